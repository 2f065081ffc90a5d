#pragma once

#include "store/DatabaseConstants.h"

#include <QString>

namespace store {

// One or more digits and ASCII letters: what the login's password box lets through.
bool IsTypeablePassword(const QString& password);

// Writes the database the program is delivered with: folder + "_.udb", keyed
// with the database password, an empty table data and table Pass holding
// initialPassword encrypted under the cipher key. Refuses to replace an
// existing file, and a password that could never be typed at the login.
// Returns the file's path; raises EDatabaseError.
QString CreateDeliveredDatabase(const QString& folder, const QString& initialPassword = DefaultInitialPassword);

} // namespace store
