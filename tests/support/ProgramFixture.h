#pragma once

#include "support/FakeClipboard.h"
#include "support/FakeDesktop.h"
#include "support/FakeNotificationArea.h"
#include "support/FakeTimers.h"
#include "support/RecordingShell.h"
#include "support/ScriptedMessageBoxes.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

class TApplication;
class TForm1;
class TForm2;

// A run of the program in a temporary program folder, with every desktop
// service replaced by a double: the application object (its executable lies
// in the folder), the main window and the login window, made in the order the
// program entry makes them. The message loop is not run; tests drive the
// forms' handlers and controls directly.
class ProgramFixture : public ::testing::Test {
protected:
    ProgramFixture();
    ~ProgramFixture() override;

    // The folder with its trailing delimiter, as the program sees it.
    QString ProgramFolder() const;
    // Runs the program from a folder of this name inside the temporary one
    // (made when missing), for a test that needs a path of a certain length.
    void UseProgramFolder(const QString& relativePath);
    QString FileInFolder(const QString& name) const { return ProgramFolder() + name; }

    // Writes the delivered "_.udb" into the folder with this management password.
    // Its derived key stays held for the test, so the test's own connections
    // and the program's do not each derive it again (64,000 rounds a time).
    void DeliverDatabase(const QString& managementPassword);
    // Runs a statement on the folder's database through a connection of its own.
    void ExecOnDatabase(const QString& statement);
    // Every value of one column, in the order the database returns the rows.
    QStringList ColumnOnDatabase(const QString& column, const QString& table);

    // Makes the application object and both windows; the main window becomes
    // the application's main form, so closing it ends the run.
    void StartProgram();
    // Destroys the windows and the application object, as the end of the process does.
    void EndProgram();
    // EndProgram, then StartProgram on the same folder.
    void RestartProgram();

    ScriptedMessageBoxes messageBoxes;
    FakeClipboard clipboard;
    FakeDesktop desktop;
    FakeNotificationArea notificationArea;
    FakeTimers timers;
    RecordingShell shell;

    std::unique_ptr<TApplication> application;
    std::unique_ptr<TForm1> form1;
    std::unique_ptr<TForm2> form2;

private:
    QTemporaryDir folder_;
    QString inside_; // the folder used inside folder_, if any
    std::shared_ptr<const void> heldKey_;
};
