#pragma once

#include "DatabaseState.h"

#include "support/ProgramFixture.h"

#include <QByteArray>
#include <QStringList>

class TForm1;

// What compaction answers.
inline const QString kCompacted = QStringLiteral("数据库压缩完成.");
inline const QString kCompactionFailed = QStringLiteral("数据库压缩失败.");

// A program run over a delivered database holding some records, logged in
// with its record list loaded, whose handlers run through the application's
// dispatcher as the event loop would run them. Confirmations are answered Yes.
class ProgramRun : public ProgramFixture {
protected:
    static constexpr int kRecords = 60;

    void SetUp() override;

    // Runs a handler of the main window; returns the texts of the boxes it showed.
    QStringList Run(void (TForm1::*handler)(QObject*));
    void FillEditor(const QStringList& values);
    // Picks the record list's row (1-based) in the grid, as a click does.
    void ClickRow(int recNo);

    QString DatabasePath() const;
    // The names of the files in the program folder.
    QStringList FolderFiles() const;

    DatabaseState before;
};

QByteArray FileBytes(const QString& path);
