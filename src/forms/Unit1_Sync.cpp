// The settings page's sync with the user's contact server: "立即同步", the
// conflicts, and the syncs that run by themselves (at login, a few seconds
// after an edit, every 15 minutes). The work is TSyncSession's; this file
// moves the page's values in and the results out.
#include "forms/Unit1.h"

#include "forms/SyncConflictDialog.h"
#include "forms/SyncSession.h"
#include "forms/Unit_Login.h"
#include "runtime/Application.h"
#include "runtime/Dialogs.h"
#include "store/ADOConnection.h"
#include "store/ADOQuery.h"
#include "store/SyncSchema.h"
#include "sync/SyncStore.h"
#include "ui/GridLayout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <sqlite3.h>

namespace {

QString StatusLine(const QString& time, const QString& result)
{
    return time.isEmpty() ? QStringLiteral("尚未同步.") : QStringLiteral("上次同步: %1  %2").arg(time, result);
}

} // namespace

void TForm1::Button_SyncClick(QObject* /*Sender*/) { StartSync(true); }

void TForm1::Timer_SyncTimer(QObject* /*Sender*/) { StartSync(false); }

void TForm1::Timer_SyncEveryTimer(QObject* /*Sender*/) { StartSync(false); }

void TForm1::SyncAtLogin()
{
    ShowStoredSyncSettings();
    StartSync(false);
}

void TForm1::WatchLogins()
{
    if (!Form2)
        return;
    connect(Form2->Edit_LoginPass_Temp, &QLineEdit::textChanged, this, [this](const QString& marker) {
        if (!marker.isEmpty())
            Application->Dispatch([this] { SyncAtLogin(); });
    });
}

TSyncSession& TForm1::SyncSession()
{
    if (syncSession_)
        return *syncSession_;
    syncSession_ = std::make_unique<TSyncSession>(this, ADOConnection1->ConnectionString);
    connect(syncSession_.get(), &TSyncSession::booksFound, this,
            [this](const std::vector<booksync::AddressBook>& books, const QUrl& chosen) {
                ComboBox_SyncBook->clear();
                for (const booksync::AddressBook& book : books)
                    ComboBox_SyncBook->addItem(book.name, book.url.toString());
                ComboBox_SyncBook->setCurrentIndex(ComboBox_SyncBook->findData(chosen.toString()));
            });
    connect(syncSession_.get(), &TSyncSession::finished, this,
            [this](const booksync::SyncReport& report) { Application->Dispatch([this, report] { SyncFinished(report); }); });
    return *syncSession_;
}

void TForm1::ShowStoredSyncSettings()
{
    const booksync::Account account = SyncSession().Stored();
    if (Edit_SyncServer->text().isEmpty())
        Edit_SyncServer->setText(account.server);
    if (Edit_SyncUser->text().isEmpty())
        Edit_SyncUser->setText(account.user);
    CheckBox_SyncKeepPass->setChecked(account.password.has_value());
    if (ComboBox_SyncBook->count() == 0 && !account.book.isEmpty())
        ComboBox_SyncBook->addItem(QUrl(account.book).path(), account.book);
    Label_SyncStatus->setText(StatusLine(account.lastTime, account.lastResult));
    if (!account.server.isEmpty())
        Timer_SyncEvery->start();
}

// By the button, with what the page shows; by itself, with the stored settings.
void TForm1::StartSync(bool byUser)
{
    if (ADOConnection1->ConnectionString.isEmpty())
        return;
    TSyncSession& session = SyncSession();
    TSyncSession::Request request;
    request.byUser = byUser;
    if (byUser) {
        request.server = Edit_SyncServer->text().trimmed();
        request.user = Edit_SyncUser->text().trimmed();
        request.password = Edit_SyncPass->text();
        request.book = QUrl(ComboBox_SyncBook->currentData().toString());
        request.keepPasswordInBook = CheckBox_SyncKeepPass->isChecked();
        if (request.server.isEmpty()) {
            ShowMessage(QStringLiteral("请填写服务器地址."));
            return;
        }
        Edit_SyncPass->clear();
        Edit_SyncPass->setPlaceholderText(QStringLiteral("(已记住)"));
        Timer_SyncEvery->start();
    } else {
        const booksync::Account account = session.Stored();
        if (account.server.isEmpty())
            return; // sync was never set up
        request.server = account.server;
        request.user = account.user;
        request.keepPasswordInBook = account.password.has_value();
    }
    Label_SyncStatus->setText(QStringLiteral("正在同步..."));
    Button_Sync->setEnabled(false);
    session.Sync(request);
}

void TForm1::SyncFinished(const booksync::SyncReport& report)
{
    Button_Sync->setEnabled(true);
    const booksync::Account account = syncSession_->Stored();
    Label_SyncStatus->setText(StatusLine(account.lastTime, account.lastResult));
    Button_SyncConflicts->setEnabled(report.conflicts > 0);
    const bool changedHere = report.created + report.updated + report.deletedHere + report.restored > 0;
    if (changedHere && ADOQuery1->Active()) {
        // The grid shows the records as they now are, in the list or search it
        // showed; the editor keeps what is being typed.
        const QSignalBlocker quiet(ADOQuery1); // no sync for the sync's own changes
        ADOQuery1->Close();
        ADOQuery1->Open();
        ApplyGridColumnLayout(DBGrid1);
    }
    if (!report.categories.isEmpty())
        AddCategories(report.categories);
}

void TForm1::Button_SyncConflictsClick(QObject* /*Sender*/)
{
    booksync::SyncStore store(ADOConnection1->ConnectionString);
    const std::vector<booksync::Conflict> conflicts = store.Conflicts();
    if (conflicts.empty()) {
        Button_SyncConflicts->setEnabled(false);
        return;
    }
    const std::optional<std::vector<bool>> choices = AskConflictChoices(this, conflicts);
    if (!choices)
        return;
    for (std::size_t i = 0; i < conflicts.size(); ++i)
        store.ResolveConflict(conflicts[i].number, conflicts[i].column, (*choices)[i]);
    Button_SyncConflicts->setEnabled(false);
    if (ADOQuery1->Active()) {
        const QSignalBlocker quiet(ADOQuery1);
        ADOQuery1->Close();
        ADOQuery1->Open();
        ApplyGridColumnLayout(DBGrid1);
    }
    StartSync(false);
}

void TForm1::SyncSoonAfterEdit()
{
    if (!syncSession_ || syncSession_->Stored().server.isEmpty())
        return;
    // The cheap question first: does any record wait to go up?
    sqlite3* db = ADOConnection1->Connected() ? ADOConnection1->Handle() : nullptr;
    if (!db || !store::HasSyncSchema(db))
        return;
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT EXISTS (SELECT 1 FROM sync_item WHERE dirty > 0)", -1, &raw, nullptr) != SQLITE_OK)
        return;
    const store::SqliteStatement dirty(raw);
    if (sqlite3_step(dirty.get()) == SQLITE_ROW && sqlite3_column_int(dirty.get(), 0) != 0)
        Timer_Sync->start();
}
