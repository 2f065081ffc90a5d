#pragma once

#include "store/ADOQuery.h"

#include <QObject>
#include <QPointer>

// The link between a query and the grid that shows its open result.
class TDataSource : public QObject {
    Q_OBJECT
public:
    explicit TDataSource(QObject* parent = nullptr) : QObject(parent) {}

    TADOQuery* DataSet() const { return dataSet_; }
    void SetDataSet(TADOQuery* dataSet)
    {
        if (dataSet_ == dataSet)
            return;
        dataSet_ = dataSet;
        emit dataSetChanged(dataSet);
    }

signals:
    void dataSetChanged(TADOQuery* dataSet);

private:
    QPointer<TADOQuery> dataSet_;
};
