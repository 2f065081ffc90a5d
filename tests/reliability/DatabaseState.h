#pragma once

#include <QString>
#include <QStringList>

#include <map>
#include <ostream>

// What a program folder's database holds, read through the program's own
// connection with its key, for comparing the file before and after a fault.
struct DatabaseState {
    // 编号 -> the nine other columns, in statement order.
    std::map<qint64, QStringList> records;
    // 密码 of every row of Pass.
    QStringList passwords;

    bool operator==(const DatabaseState&) const = default;
};

// Opens folder's "_.udb" with the program's key (rolling back a journal left
// by a killed writer, as the program would), requires PRAGMA integrity_check
// to answer "ok" and reads both tables. Throws std::exception with the
// engine's text when the file does not open or is not intact.
DatabaseState ReadDatabaseState(const QString& programFolder);

// Copies folder's "_.udb", and the rollback journal beside it when there is
// one, into target, exactly as a killed process left them. target ends with
// its delimiter; files of those names already in it are replaced.
void CopyDatabaseFiles(const QString& programFolder, const QString& target);

// Adds records with the nine values through a connection of the test's own.
void InsertRecords(const QString& programFolder, const QList<QStringList>& records);

// The nine values of a record in the editor's order, each distinct per seed.
QStringList SampleRecord(int seed);

// Test failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
