#pragma once

#include <QAbstractTableModel>

class TDataSource;
class TADOQuery;
class QTableView;

// The grid's view of the record list: reads the query's static result in
// place (no copy, no widget per cell), titles the columns by their names and
// marks the current row in the row indicator.
class RecordGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    RecordGridModel(TDataSource* source, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Keeps the grid's current cell and the list's current row together, both ways.
    void LinkGrid(QTableView* grid);

private:
    TADOQuery* query() const;
    void resetFromQuery();
    void currentRowMoved(int row);

    TDataSource* source_;
    QTableView* grid_ = nullptr;
    int rows_ = 0;
    int columns_ = 0;
    int currentRow_ = -1;
};
