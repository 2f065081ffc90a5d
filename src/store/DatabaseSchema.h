#pragma once

#include <QString>

namespace store {

// Writes a new database file at path, keyed with databasePassword, holding
// table data (empty) and table Pass with one row whose 密码 is
// passCipherText. An existing file at path is never touched: that is an
// error. The file is built under a temporary name beside it and renamed into
// place only when complete, so a failure leaves no partial file behind.
// Raises EDatabaseError.
void WriteNewDatabase(const QString& path, const QString& databasePassword, const QString& passCipherText);

} // namespace store
