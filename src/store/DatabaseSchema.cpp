#include "store/DatabaseSchema.h"

#include "store/engine/DatabaseError.h"
#include "store/engine/SqliteHandles.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <sqlite3.h>

namespace store {
namespace {

// The record columns in the order every statement names them.
constexpr const char* SchemaStatements[] = {
    "CREATE TABLE data (编号 INTEGER PRIMARY KEY AUTOINCREMENT, 分类 TEXT, 姓名 TEXT, QQ TEXT,"
    " 手机 TEXT, 电话 TEXT, 传真 TEXT, 邮箱 TEXT, 主页 TEXT, 备注 TEXT)",
    "CREATE TABLE Pass (密码 TEXT)",
};

// Removes a half-written file (and the engine's journal beside it) unless released.
class PartialFileGuard {
public:
    explicit PartialFileGuard(QString path) : path_(std::move(path)) {}
    ~PartialFileGuard()
    {
        if (path_.isEmpty())
            return;
        QFile::remove(path_);
        QFile::remove(path_ + QStringLiteral("-journal"));
    }
    PartialFileGuard(const PartialFileGuard&) = delete;
    PartialFileGuard& operator=(const PartialFileGuard&) = delete;
    void Release() { path_.clear(); }

private:
    QString path_;
};

void FillDatabase(const QString& path, const QString& databasePassword, const QString& passCipherText)
{
    const SqliteDatabase db = OpenKeyedDatabase(path, databasePassword, OpenMode::CreateIfMissing);
    Execute(db.get(), "BEGIN");
    for (const char* statement : SchemaStatements)
        Execute(db.get(), statement);
    const SqliteStatement insert = PrepareSingleStatement(db.get(), "INSERT INTO Pass (密码) VALUES (?1)");
    const QByteArray cipher = passCipherText.toUtf8();
    if (sqlite3_bind_text(insert.get(), 1, cipher.constData(), static_cast<int>(cipher.size()), SQLITE_TRANSIENT)
        != SQLITE_OK)
        ThrowEngineError(db.get());
    RunToCompletion(db.get(), insert.get());
    Execute(db.get(), "COMMIT");
}

} // namespace

void WriteNewDatabase(const QString& path, const QString& databasePassword, const QString& passCipherText)
{
    if (QFileInfo::exists(path))
        throw EDatabaseError(QStringLiteral("The file \"%1\" already exists; it was left unchanged.").arg(path));

    QTemporaryFile temporary(path + QStringLiteral(".XXXXXX"));
    temporary.setAutoRemove(false);
    if (!temporary.open())
        throw EDatabaseError(QStringLiteral("Cannot write in the folder of \"%1\": %2").arg(path, temporary.errorString()));
    const QString temporaryPath = temporary.fileName();
    temporary.close();
    PartialFileGuard guard(temporaryPath);

    FillDatabase(temporaryPath, databasePassword, passCipherText);

    // Refuses to replace a file that appeared meanwhile.
    if (!QFile::rename(temporaryPath, path))
        throw EDatabaseError(QStringLiteral("Cannot create \"%1\": the name is taken or the folder refuses it.").arg(path));
    guard.Release();
}

} // namespace store
