#pragma once

#include <QString>
#include <QStringView>

// The statements are written for the old engine. The one construct SQLite
// does not accept is a table name in parentheses after FROM
// ("select * from (data)", "delete from (data)"); this rewrites it to the bare
// name. Everything else, including text inside quotes and comments and
// parenthesised subqueries, is left exactly as written.
QString AdaptStatement(QStringView statement);
