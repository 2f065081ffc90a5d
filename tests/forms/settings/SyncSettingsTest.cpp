// The settings page's group "通讯录同步" against a real server: where the
// password comes from and goes, a sync by the button and by the timers with
// the grid following the server, the conflicts dialog, and the mass-delete
// question.
#include "TransferFixture.h"

#include "support/CardDavServer.h"
#include "forms/Unit_Login.h"
#include "support/FakeCredentials.h"
#include "sync/CardMap.h"
#include "sync/CardPatch.h"
#include "sync/SyncStore.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

namespace {

namespace col = transfer::col;

class SyncSettingsTest : public TransferFixture {
protected:
    void SetUp() override
    {
        TransferFixture::SetUp();
        server = std::make_unique<CardDavServer>(CardDavServer::Kind::Radicale);
        book = server->NewBook(QStringLiteral("book"));
    }

    // Fills the page and presses "立即同步"; answers when the sync has ended.
    QString PressSync(const QString& password = QStringLiteral("secret"), bool keepInBook = false)
    {
        form1->Edit_SyncServer->setText(server->Root().toString());
        form1->Edit_SyncUser->setText(server->User());
        form1->Edit_SyncPass->setText(password);
        form1->CheckBox_SyncKeepPass->setChecked(keepInBook);
        form1->Button_Sync->click();
        return WaitForSync();
    }
    QString WaitForSync()
    {
        EXPECT_TRUE(QTest::qWaitFor([this] { return form1->Button_Sync->isEnabled(); }, 60000));
        return form1->Label_SyncStatus->text();
    }
    booksync::Account Account() { return booksync::SyncStore::PeekAccount(store::ProgramConnectionString(ProgramFolder())); }
    QUrl CardUrl(int index)
    {
        QUrl url = book;
        url.setPath(server->Hrefs(book).at(index));
        return url;
    }

    FakeCredentials credentials;
    std::unique_ptr<CardDavServer> server;
    QUrl book;
};

TEST_F(SyncSettingsTest, ThePasswordGoesWhereTheUserChose)
{
    struct Row {
        const char* what;
        bool secretStore;
        const char* typed;
        bool keepInBook;
        std::optional<QString> answer; // to the question, when one comes
        bool inStore;
        bool inBook;
        int asked;
        const char* status; // part of the status line
    };
    const Row rows[] = {
        {"typed, into the secret store", true, "secret", false, std::nullopt, true, false, 0, "同步完成"},
        {"typed, kept in the book as the user chose", true, "secret", true, std::nullopt, true, true, 0, "同步完成"},
        {"no secret store, nothing typed: asked", false, "", false, QStringLiteral("secret"), false, false, 1, "同步完成"},
        {"asked and cancelled", false, "", false, std::nullopt, false, false, 1, "没有密码"},
        {"a wrong password is kept nowhere", true, "wrong", true, std::nullopt, false, false, 0, "401"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        RestartProgram();
        credentials.available = row.secretStore;
        credentials.secrets.clear();
        credentials.asked = 0;
        credentials.answers = {row.answer};
        const QString status = PressSync(QString::fromUtf8(row.typed), row.keepInBook);
        EXPECT_TRUE(status.contains(QString::fromUtf8(row.status))) << status.toStdString();
        EXPECT_EQ(!credentials.secrets.isEmpty(), row.inStore);
        EXPECT_EQ(Account().password.has_value(), row.inBook);
        EXPECT_EQ(credentials.asked, row.asked);
        EXPECT_TRUE(form1->Edit_SyncPass->text().isEmpty()) << "the typed password does not stay in the box";
    }
    // Without a secret store the question comes once per run, however often a sync runs.
    RestartProgram();
    credentials.available = false;
    credentials.asked = 0;
    credentials.answers = {QStringLiteral("secret")};
    PressSync(QString());
    form1->Button_Sync->click();
    EXPECT_TRUE(WaitForSync().contains(QStringLiteral("同步完成")));
    form1->Timer_SyncEveryTimer(form1->Timer_SyncEvery);
    EXPECT_TRUE(WaitForSync().contains(QStringLiteral("同步完成")));
    EXPECT_EQ(credentials.asked, 1);
}

TEST_F(SyncSettingsTest, SyncsByTheButtonTheTimersAndAtLoginAndTheGridFollows)
{
    EXPECT_TRUE(PressSync().contains(QStringLiteral("上传3条")));
    EXPECT_EQ(server->Hrefs(book).size(), 3);
    EXPECT_EQ(form1->ComboBox_SyncBook->currentData().toString(), book.toString());
    EXPECT_TRUE(form1->Timer_SyncEvery->isActive());
    EXPECT_EQ(form1->Timer_SyncEvery->interval(), 15 * 60 * 1000);

    // The server's card changes, as a phone changes it; the 15-minute tick brings it in.
    ASSERT_TRUE(server->ChangeCard(CardUrl(0), col::Mobile, "13912345678"));
    form1->Edit_XingMing->setText(QStringLiteral("正在输入")); // being typed: a sync leaves it
    ASSERT_TRUE(QMetaObject::invokeMethod(form1->Timer_SyncEvery, "timeout"));
    WaitForSync();
    EXPECT_TRUE(ColumnOnDatabase(QStringLiteral("手机"), QStringLiteral("data")).contains(QStringLiteral("13912345678")));
    bool shown = false;
    for (int row = 0; row < GridRows(); ++row)
        for (int column = 0; column < form1->DBGrid1->model()->columnCount(); ++column)
            shown = shown || form1->DBGrid1->model()->index(row, column).data().toString() == QStringLiteral("13912345678");
    EXPECT_TRUE(shown) << "the grid shows the server's change";
    EXPECT_EQ(form1->Edit_XingMing->text(), QStringLiteral("正在输入"));

    // An edit here arms the sync a few seconds later; a reload without one does not.
    form1->Timer_Sync->stop();
    form1->Button_Refresh->click();
    EXPECT_FALSE(form1->Timer_Sync->isActive());
    ExecOnDatabase(QStringLiteral("update data set QQ = '20002' where 姓名 = '李四'"));
    form1->Button_Refresh->click();
    EXPECT_TRUE(form1->Timer_Sync->isActive());
    ASSERT_TRUE(QMetaObject::invokeMethod(form1->Timer_Sync, "timeout"));
    EXPECT_TRUE(WaitForSync().contains(QStringLiteral("上传1条")));

    // A new run of the program shows the stored settings and syncs at login.
    RestartProgram();
    form1->StartupCompleted();
    ASSERT_TRUE(QMetaObject::invokeMethod(form1->Timer_CheckLogin, "timeout"));
    form2->Edit_LoginPass->setText(QStringLiteral("pw2010"));
    form2->Button_Logining->click();
    ASSERT_TRUE(form1->isVisible());
    EXPECT_EQ(form1->Edit_SyncServer->text(), server->Root().toString());
    EXPECT_TRUE(WaitForSync().contains(QStringLiteral("没有变化"))) << form1->Label_SyncStatus->text().toStdString();
}

TEST_F(SyncSettingsTest, ConflictsArePickedFieldByFieldAndMassDeletionsAsked)
{
    PressSync();
    // Both sides change 手机 of the same record.
    const QUrl url = CardUrl(0);
    const std::string name = booksync::RecordOfCard(server->Get(url).body.toStdString()).value()[col::Name];
    ASSERT_TRUE(server->ChangeCard(url, col::Mobile, "13900000001"));
    ExecOnDatabase(QStringLiteral("update data set 手机 = '13900000002' where 姓名 = '%1'").arg(QString::fromStdString(name)));
    EXPECT_TRUE(PressSync(QString()).contains(QStringLiteral("1处冲突")));
    ASSERT_TRUE(form1->Button_SyncConflicts->isEnabled());

    int dialogs = 0;
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != QLatin1String("SyncConflicts"))
            return;
        ++dialogs;
        dialog->findChild<QComboBox*>(QStringLiteral("Keep0"))->setCurrentIndex(1); // 服务器
        dialog->findChild<QPushButton*>(QStringLiteral("Ok"))->click();
    });
    driver.start(0);
    form1->Button_SyncConflicts->click();
    WaitForSync();
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(ColumnOnDatabase(QStringLiteral("手机"), QStringLiteral("data")).contains(QStringLiteral("13900000001")));
    EXPECT_FALSE(form1->Button_SyncConflicts->isEnabled());

    // 清空数据 of a book of 30 on the server: the button asks before the server loses them.
    AddRecords(std::vector<transfer::Record>(27, MakeRecord({"朋友", "同名"})));
    PressSync(QString());
    ExecOnDatabase(QStringLiteral("delete from data"));
    messageBoxes.answer(platform::MessageResult::No);
    EXPECT_TRUE(PressSync(QString()).contains(QStringLiteral("等待确认")));
    EXPECT_EQ(server->Hrefs(book).size(), 30);
    messageBoxes.answer(platform::MessageResult::Yes);
    PressSync(QString());
    EXPECT_EQ(server->Hrefs(book).size(), 0);
}

} // namespace
