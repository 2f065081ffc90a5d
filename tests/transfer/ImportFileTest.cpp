// What an import reads of the file the user picked: a regular file up to the
// limit, through links; anything else is refused at once with why, however
// it would behave if read (endless, blocking, huge).
#include "transfer/ImportFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <functional>

namespace {

struct Pick {
    const char* what;
    // Makes the pick in the folder and answers its path.
    std::function<QString(const QString& folder)> make;
    const char* refusal; // a part of the message; nullptr: read
};

QString Written(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

const Pick kPicks[] = {
    {"a regular file", [](const QString& folder) { return Written(folder + "/a.csv", "姓名\r\n张三\r\n"); }, nullptr},
    {"a link to a regular file",
     [](const QString& folder) {
         QFile::link(Written(folder + "/a.csv", "姓名\r\n张三\r\n"), folder + "/link.csv");
         return folder + "/link.csv";
     },
     nullptr},
    {"a link to /dev/zero, as an unpacked archive may hold",
     [](const QString& folder) {
         QFile::link(QStringLiteral("/dev/zero"), folder + "/zero.vcf");
         return folder + "/zero.vcf";
     },
     "这不是普通文件"},
    {"a pipe without a writer",
     [](const QString& folder) {
         ::mkfifo(QFile::encodeName(folder + "/pipe.csv").constData(), 0600);
         return folder + "/pipe.csv";
     },
     "这不是普通文件"},
    {"a folder", [](const QString& folder) { return folder; }, "这是一个文件夹"},
    {"a file above the limit (sparse: it takes no room)",
     [](const QString& folder) {
         QFile file(folder + "/huge.csv");
         EXPECT_TRUE(file.open(QIODevice::WriteOnly));
         EXPECT_TRUE(file.resize(static_cast<qint64>(transfer::MaxImportBytes) + 1));
         return file.fileName();
     },
     "文件有257 MB, 超过了导入的上限256 MB."},
    {"a file that is not there", [](const QString& folder) { return folder + "/gone.csv"; }, std::strerror(ENOENT)},
};

} // namespace

TEST(ImportFileTest, OnlyARegularFileWithinTheLimitIsRead)
{
    for (const Pick& pick : kPicks) {
        SCOPED_TRACE(pick.what);
        QTemporaryDir folder;
        const QString path = pick.make(folder.path());
        try {
            const std::string bytes = transfer::ReadImportFile(path);
            EXPECT_EQ(pick.refusal, nullptr) << "read";
            EXPECT_EQ(bytes, "姓名\r\n张三\r\n");
        } catch (const transfer::ImportFileError& error) {
            ASSERT_NE(pick.refusal, nullptr) << error.what();
            const std::string message = error.what();
            EXPECT_EQ(message.rfind("无法读取文件\"" + path.toStdString() + "\": ", 0), 0u) << message;
            EXPECT_NE(message.find(pick.refusal), std::string::npos) << message;
        }
    }
}
