#include "ui/RecordGridModel.h"

#include "store/ADOQuery.h"
#include "store/DataSource.h"

#include <QItemSelectionModel>
#include <QTableView>

namespace {
const QString kCurrentRowMark = QStringLiteral("▶");
}

RecordGridModel::RecordGridModel(TDataSource* source, QObject* parent) : QAbstractTableModel(parent), source_(source)
{
    TADOQuery* records = query();
    connect(records, &TADOQuery::opened, this, [this] {
        beginResetModel();
        resetFromQuery();
        endResetModel();
        currentRowMoved(query()->CurrentRow());
    });
    connect(records, &TADOQuery::aboutToClose, this, [this] { beginResetModel(); });
    connect(records, &TADOQuery::closed, this, [this] {
        resetFromQuery();
        endResetModel();
    });
    connect(records, &TADOQuery::rowAboutToBeRemoved, this, [this](int row) { beginRemoveRows({}, row, row); });
    connect(records, &TADOQuery::rowRemoved, this, [this](int) {
        resetFromQuery();
        endRemoveRows();
    });
    connect(records, &TADOQuery::currentRowChanged, this, &RecordGridModel::currentRowMoved);
}

TADOQuery* RecordGridModel::query() const
{
    return source_->DataSet();
}

void RecordGridModel::resetFromQuery()
{
    rows_ = query()->RecordCount();
    columns_ = query()->Active() ? query()->FieldCount() : 0;
    currentRow_ = query()->CurrentRow();
}

int RecordGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int RecordGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columns_;
}

QVariant RecordGridModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows_ || index.column() >= columns_)
        return {};
    return query()->CellText(index.row(), index.column());
}

QVariant RecordGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section < columns_ ? query()->FieldName(section) : QVariant();
    return section == currentRow_ ? kCurrentRowMark : QString();
}

void RecordGridModel::LinkGrid(QTableView* grid)
{
    grid_ = grid;
    connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && current.row() != query()->CurrentRow())
                    query()->SetRecNo(current.row() + 1);
            });
}

void RecordGridModel::currentRowMoved(int row)
{
    const int previous = currentRow_;
    currentRow_ = row;
    if (previous >= 0 && previous < rows_)
        emit headerDataChanged(Qt::Vertical, previous, previous);
    if (row >= 0 && row < rows_)
        emit headerDataChanged(Qt::Vertical, row, row);
    if (!grid_ || row < 0 || row >= rows_)
        return;
    // Follow the list's current row, keeping the grid's current column.
    const QModelIndex current = grid_->currentIndex();
    int column = current.isValid() ? current.column() : 0;
    while (column < columns_ - 1 && grid_->isColumnHidden(column))
        ++column;
    if (current.row() != row)
        grid_->setCurrentIndex(index(row, column));
    grid_->scrollTo(index(row, column));
}
