#include "WriteFaults.h"

#include <QDir>
#include <QFile>

#include <sys/fsuid.h>
#include <unistd.h>

namespace {

constexpr uid_t kUnprivilegedUser = 65534;

// Sets the permissions of the folder and of every file in it.
void SetPermissions(const QString& folder, QFile::Permissions folderPermissions, QFile::Permissions filePermissions)
{
    QFile::setPermissions(folder, folderPermissions);
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        QFile::setPermissions(QDir(folder).filePath(name), filePermissions);
}

const QFile::Permissions kReadable = QFile::ReadOwner | QFile::ReadUser | QFile::ReadGroup | QFile::ReadOther;
const QFile::Permissions kSearchable = QFile::ExeOwner | QFile::ExeUser | QFile::ExeGroup | QFile::ExeOther;
const QFile::Permissions kOwnerWrites = QFile::WriteOwner | QFile::WriteUser;

} // namespace

FullDisk::FullDisk(rlim_t limit)
{
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &previousAction_);
    getrlimit(RLIMIT_FSIZE, &previous_);
    const rlimit lowered{limit, previous_.rlim_max};
    setrlimit(RLIMIT_FSIZE, &lowered);
}

FullDisk::~FullDisk()
{
    setrlimit(RLIMIT_FSIZE, &previous_);
    sigaction(SIGXFSZ, &previousAction_, nullptr);
}

ReadOnlyFolder::ReadOnlyFolder(const QString& folder) : folder_(folder)
{
    if (geteuid() == 0) {
        // Root owns the folder: readable and searchable by everyone, writable by root only.
        SetPermissions(folder_, kReadable | kSearchable | kOwnerWrites, kReadable | kOwnerWrites);
        previousFsuid_ = setfsuid(kUnprivilegedUser);
    } else {
        SetPermissions(folder_, kReadable | kSearchable, kReadable);
    }
}

ReadOnlyFolder::~ReadOnlyFolder()
{
    if (previousFsuid_ >= 0)
        setfsuid(static_cast<uid_t>(previousFsuid_));
    SetPermissions(folder_, kReadable | kSearchable | kOwnerWrites, kReadable | kOwnerWrites);
}
