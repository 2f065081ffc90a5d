#pragma once

#include <QAbstractTableModel>
#include <QStyledItemDelegate>

#include <functional>

class QTableView;
class QWidget;

namespace transfer {
class ImportPreview;
}

// The list of a file's columns (or its cards' properties) in the import's
// preview: its name, its first value (or how often it occurs) and where it
// goes. A file may have a hundred thousand columns: the list draws only the
// rows in sight, and where a column goes is edited in one box at a time
// ("Target<row>"), made when the user clicks into the row's cell.
class ImportSourcesModel final : public QAbstractTableModel {
public:
    // choose sends a column elsewhere and answers whether it went (a reading
    // that was cancelled leaves it where it was).
    ImportSourcesModel(const transfer::ImportPreview& preview, std::function<bool(int row, int choice)> choose,
                       QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // The index of a choice (Choices) for a row's column 2.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // The preview's sources changed (another reading): shows them afresh.
    void Reload();
    // The first values changed (another survey).
    void SamplesChanged();

private:
    const transfer::ImportPreview& preview_;
    std::function<bool(int, int)> choose_;
};

// The box that edits where a column goes, made for one row at a time.
class ImportTargetDelegate final : public QStyledItemDelegate {
public:
    ImportTargetDelegate(const transfer::ImportPreview& preview, QObject* parent);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

private:
    void Commit();

    const transfer::ImportPreview& preview_;
};

// The list itself, set up for the model and the delegate (object name "Sources").
QTableView* MakeSourcesView(QWidget* parent, ImportSourcesModel* model, ImportTargetDelegate* delegate);
