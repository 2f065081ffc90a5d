// Damaged data files: a "_.udb" with flipped bytes, cut short or keyed with
// another password; a "class.dat" with invalid GBK sequences and a zero byte;
// a stored skin of another format. The program reports the engine's text,
// falls back, or keeps the system look, and never crashes, hangs or makes a
// damaged file worse.
#include "DatabaseState.h"
#include "ProgramRun.h"

#include "forms/Unit1.h"
#include "forms/Unit_Login.h"
#include "platform/system/CodePage.h"
#include "runtime/Application.h"
#include "security/Unit_DESCrypt.h"
#include "skin/Skins.h"
#include "store/ADOQuery.h"
#include "store/DatabaseConstants.h"
#include "store/DatabaseSchema.h"

#include <QBuffer>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <iostream>
#include <optional>
#include <random>

namespace {


void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

class DamagedDatabaseTest : public ProgramFixture {
protected:
    // A delivered database with records, its state, and its intact bytes.
    void SetUp() override
    {
        DeliverDatabase(QStringLiteral("pass2010"));
        QList<QStringList> records;
        for (int i = 0; i < 60; ++i)
            records << SampleRecord(i);
        InsertRecords(ProgramFolder(), records);
        intact = ReadDatabaseState(ProgramFolder());
        intactBytes = FileBytes(DatabasePath());
    }

    QString DatabasePath() const { return FileInFolder(store::DatabaseFileName); }

    QStringList Run(const std::function<void()>& handler)
    {
        messageBoxes.clear();
        application->Dispatch(handler);
        return messageBoxes.texts();
    }

    // Starts the program on the file as it now is and uses it as far as it
    // lets itself be used: the login check, the list, an add, a compaction.
    void UseTheProgram(const std::string& what)
    {
        SCOPED_TRACE(what);
        const QByteArray damaged = FileBytes(DatabasePath());
        RestartProgram();
        ++inputsTried;
        const QStringList check = Run([this] { form1->Timer_CheckLoginTimer(form1->Timer_CheckLogin); });
        EXPECT_FALSE(form1->Timer_CheckLogin->isActive());  // one check, one report
        if (!check.isEmpty()) {
            // The engine's error: no login window, and the tray menu still ends the program.
            ASSERT_EQ(check.size(), 1) << check.join(u'|').toStdString();
            EXPECT_FALSE(check[0].isEmpty());
            EXPECT_FALSE(form2->isVisible());
            EXPECT_FALSE(form1->isVisible());
            EXPECT_FALSE(application->Terminated());
        } else {
            EXPECT_TRUE(form2->isVisible());
            const QStringList list = Run([this] { form1->Button_RefreshClick(form1->Button_Refresh); });
            EXPECT_LE(list.size(), 1);
        }
        // Compaction either keeps every record the file held or fails and
        // leaves the file as it was.
        const std::optional<DatabaseState> held = StateOfACopy();
        const QStringList compaction = Run([this] { form1->Button11Click(form1->Button11); });
        ASSERT_FALSE(compaction.isEmpty());
        if (compaction[0] == kCompacted) {
            if (held)
                EXPECT_EQ(ReadDatabaseState(ProgramFolder()), *held);
            else  // only a file too short to hold even the cipher's salt counts as empty
                EXPECT_LT(damaged.size(), 16) << "compacted a file whose records could not all be read";
        } else {
            EXPECT_EQ(compaction[0], kCompactionFailed);
            EXPECT_EQ(FileBytes(DatabasePath()), damaged);
        }
        Run([this] { form1->CloseMeClick(form1->CloseMe); });
        EXPECT_TRUE(application->Terminated());
    }

    // What the file holds now, when it opens and is intact.
    std::optional<DatabaseState> StateOfACopy()
    {
        CopyDatabaseFiles(ProgramFolder(), scratch.path() + u'/');
        try {
            return ReadDatabaseState(scratch.path() + u'/');
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }

    QTemporaryDir scratch;
    DatabaseState intact;
    QByteArray intactBytes;
    int inputsTried = 0;
};

TEST_F(DamagedDatabaseTest, FlippedBytesAreReportedOrHarmless)
{
    std::vector<qsizetype> offsets{0, 8, 15, 16, 17, 20, 100, 1000, 4000, 4095};
    std::mt19937 rng(8);
    // And a few anywhere in each 4 KiB of the file.
    for (qsizetype block = 0; block * 4096 < intactBytes.size(); ++block) {
        for (int i = 0; i < 3; ++i)
            offsets.push_back(block * 4096 + std::uniform_int_distribution<int>(0, 4095)(rng));
    }
    for (const qsizetype offset : offsets) {
        if (offset >= intactBytes.size())
            continue;
        QByteArray damaged = intactBytes;
        damaged[offset] = static_cast<char>(damaged[offset] ^ 0x5A);
        WriteFile(DatabasePath(), damaged);
        UseTheProgram("byte " + std::to_string(offset) + " flipped");
        if (HasFatalFailure())
            return;
    }
    std::cout << "[ figures  ] " << inputsTried << " files with a flipped byte, " << intactBytes.size() << " bytes each"
              << std::endl;
}

TEST_F(DamagedDatabaseTest, TruncatedFilesAreReportedOrHarmless)
{
    const qsizetype size = intactBytes.size();
    for (const qsizetype length : {qsizetype(0), qsizetype(1), qsizetype(16), qsizetype(512), qsizetype(4096),
                                   qsizetype(4097), size / 2, size - 4096, size - 1}) {
        WriteFile(DatabasePath(), intactBytes.left(length));
        UseTheProgram("cut to " + std::to_string(length) + " bytes");
        if (HasFatalFailure())
            return;
    }
}

TEST_F(DamagedDatabaseTest, AnotherKeyIsReportedAtTheLoginCheckAndTheFileKept)
{
    QFile::remove(DatabasePath());
    store::WriteNewDatabase(DatabasePath(), QStringLiteral("NotTheKey123"),
                            QString::fromLatin1(DesEncryptToHex("pass2010", store::PassCipherKey)));
    UseTheProgram("another key");
}

class DamagedCategoryFileTest : public ProgramFixture {};

TEST_F(DamagedCategoryFileTest, InvalidSequencesAndAZeroByteNeitherStopTheStartNorSpoilOtherLines)
{
    DeliverDatabase(QStringLiteral("pass2010"));
    const std::string website = platform::ToAnsi(QStringLiteral("网站帐号"));
    const std::string bank = platform::ToAnsi(QStringLiteral("银行帐号"));
    const std::string bad = "\x81\x7f" "bad\xff";
    const std::string content = website + "\r\n" + bad + "\r\n" + bank + "\r\ntail" + std::string(1, '\0') + "hidden\r\n";
    WriteFile(FileInFolder(QStringLiteral("class.dat")), QByteArray(content.data(), static_cast<qsizetype>(content.size())));

    StartProgram();
    EXPECT_TRUE(messageBoxes.texts().isEmpty());  // no start-up error
    ASSERT_EQ(form1->Edit_FenLei->count(), 4);
    EXPECT_EQ(form1->Edit_FenLei->itemText(0), QStringLiteral("网站帐号"));
    EXPECT_TRUE(form1->Edit_FenLei->itemText(1).contains(QStringLiteral("bad")));
    EXPECT_EQ(form1->Edit_FenLei->itemText(2), QStringLiteral("银行帐号"));
    EXPECT_EQ(form1->Edit_FenLei->itemText(3), QStringLiteral("tail"));
    EXPECT_EQ(form1->ComboBoxClass->count(), 4);

    // Rewriting the list keeps the sound lines byte for byte.
    form1->Edit_FenLei->setCurrentText(QStringLiteral("新分类"));
    application->Dispatch([this] { form1->Button_Edit_FenLei_addClick(form1->Button_Edit_FenLei_add); });
    const QList<QByteArray> lines = FileBytes(FileInFolder(QStringLiteral("class.dat"))).split('\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0].toStdString(), website + "\r");
    EXPECT_EQ(lines[2].toStdString(), bank + "\r");
    EXPECT_EQ(lines[3], QByteArray("tail\r"));
    EXPECT_EQ(form1->ComboBoxClass->count(), 5);
}

QByteArray Property(const QByteArray& storedSkin)
{
    const auto n = static_cast<quint32>(storedSkin.size());
    const char size[4] = {char(n), char(n >> 8), char(n >> 16), char(n >> 24)};
    return QByteArray(size, 4) + storedSkin;
}

QByteArray ImageFile(const char* format)
{
    QImage image(32, 16, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

TEST(DamagedSkin, StoredSkinsOfAnotherFormatLeaveTheSystemLook)
{
    std::mt19937 rng(6);
    QByteArray noise(4096, '\0');
    for (char& byte : noise)
        byte = static_cast<char>(rng());
    const QByteArray zipHeader("PK\x03\x04\x14\x00\x00\x00\x08\x00", 10);
    for (const QByteArray& stored : {ImageFile("BMP"), ImageFile("PNG"), zipHeader, noise}) {
        ScriptedMessageBoxes boxes;
        TSkin skin;
        EXPECT_FALSE(skin.ReadSkinStream(Property(stored)));
        EXPECT_FALSE(skin.SkinLoaded());
        EXPECT_EQ(skin.Data(), nullptr);
        ASSERT_LE(boxes.texts().size(), 1);
        if (!boxes.texts().isEmpty()) {
            EXPECT_EQ(boxes.texts()[0], QStringLiteral("This is Older Skin File\rPlease update to new version !"));
        }
    }
}

TEST(DamagedSkin, TheProgramSkinWithFlippedBytesNeverCrashes)
{
    const QByteArray intact = ProgramSkinStream();
    std::mt19937 rng(61);
    for (int trial = 0; trial < 40; ++trial) {
        QByteArray damaged = intact;
        const int offset = std::uniform_int_distribution<int>(8, static_cast<int>(intact.size()) - 1)(rng);
        damaged[offset] = static_cast<char>(damaged[offset] ^ (1 << (trial % 8)));
        ScriptedMessageBoxes boxes;
        TSkin skin;
        skin.ReadSkinStream(damaged);
        EXPECT_EQ(skin.SkinLoaded(), skin.Data() != nullptr);
        EXPECT_LE(boxes.texts().size(), 1);
    }
}

} // namespace
