#pragma once

#include "platform/system/FileError.h"

#include <QString>

#include <string_view>

// Writing a file whole or not at all, in place of another or afresh. The one
// way every file the program replaces is written (the compacted database,
// class.dat, the password backup, exports), so that each keeps a symbolic
// link and the rights of the file it replaces.
namespace platform {

struct ReplacementOptions {
    // The rights of a file made afresh (the umask narrows them).
    unsigned newFileMode = 0666;
    // Of the rights of the file replaced, those that the new one keeps.
    unsigned keptMode = 07777;
    // Whether an existing file may be replaced at all: if not, Commit fails
    // with EEXIST should a file of that name have appeared.
    bool mayReplace = true;
    // The new file's name while it is written, beside the target; six "X"
    // stand for random characters. Empty: "." + the target's name + ".XXXXXX".
    QString temporaryName;
};

// Replaces the file at a path, or makes it. The bytes go to a new file beside
// the file the path finally names (beside a link's target, never in the
// link's place), made at once with the owner and group of the file it
// replaces and, for anyone but its owner, no more than the rights it keeps
// (or with the rights for a new file). Commit gives it exactly those rights,
// puts it on disk and renames it over that file in one step, so a link
// stays a link and the target is never half written. Until then nothing else
// changes, and a replacement dropped without Commit removes its file. Every
// failure throws FileError.
class FileReplacement {
public:
    explicit FileReplacement(const QString& path, const ReplacementOptions& options = {});
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // The file the bytes go to, for writers that open it themselves.
    const QString& TemporaryPath() const { return temporary_; }
    // The file that Commit replaces (the links followed).
    const QString& TargetPath() const { return target_; }

    void Write(std::string_view bytes);
    void Commit();

private:
    [[noreturn]] void Fail(int error) const;
    void CloseFile();

    QString path_;
    QString target_;
    QString temporary_;
    bool mayReplace_;
    int keptMode_ = -1; // the rights of the file replaced that the new one takes at Commit
    int fd_ = -1;
};

} // namespace platform
