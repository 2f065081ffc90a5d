#pragma once

#include <QString>

#include <csignal>
#include <sys/resource.h>

// Faults of the file system for the current thread's writes, undone when the
// object goes out of scope.

// A disk that is full past limit bytes: the soft file-size limit of the
// process drops to limit, so a write beyond it fails with EFBIG (SIGXFSZ,
// which would end the process, is ignored meanwhile).
class FullDisk {
public:
    explicit FullDisk(rlim_t limit);
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    rlimit previous_{};
    struct sigaction previousAction_{};
};

// The program folder turned read-only. As root (whose privileges pass every
// permission check) this thread's file accesses are checked as an
// unprivileged user, for whom the folder and its files are readable only;
// otherwise the folder and its files lose their write permissions.
// Files already open keep the access they were opened with.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& folder);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

private:
    QString folder_;
    int previousFsuid_ = -1;
};
