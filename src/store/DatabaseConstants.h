#pragma once

#include <QString>

// Fixed names and secrets of the record store. The database file lies in the
// program folder; the password protects the file itself, the cipher key
// string encrypts the management password kept in table Pass.
namespace store {

inline const QString DatabaseFileName = QStringLiteral("_.udb");
inline const QString CategoryFileName = QStringLiteral("class.dat");
inline const QString DatabasePassword = QStringLiteral("Rz4nKq8wTe2m");
inline constexpr char PassCipherKey[] = "qxj";

// The management password written into a freshly delivered database.
inline const QString DefaultInitialPassword = QStringLiteral("Quillory2010");

// The program's connection string for the database in programFolder (which
// ends with its path delimiter), built exactly as the program always has.
inline QString ProgramConnectionString(const QString& programFolder)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + programFolder
        + DatabaseFileName + QStringLiteral(";Persist Security Info=False;Jet OLEDB:Database Password=")
        + DatabasePassword;
}

} // namespace store
