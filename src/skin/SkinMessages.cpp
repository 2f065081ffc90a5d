#include "skin/SkinMessages.h"

#include <QCoreApplication>

bool RefusesSkin(QObject* target)
{
    if (!target)
        return false;
    TSkinQueryEvent query;
    QCoreApplication::sendEvent(target, &query);
    return query.Result == 1;
}
