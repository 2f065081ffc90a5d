#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <string_view>

namespace transfer {

// Writes a file whole or not at all. The bytes go to a new temporary file in
// the target's folder, made readable and writable by its owner only (and no
// more than the permissions given); Commit flushes it to disk and renames it
// over the target in one step. Until then the target is untouched, and a
// writer dropped without Commit removes its temporary file. Every failure
// throws std::runtime_error with the system's reason.
class WholeFileWriter {
public:
    WholeFileWriter(const QString& path, QFileDevice::Permissions permissions);
    ~WholeFileWriter();
    WholeFileWriter(const WholeFileWriter&) = delete;
    WholeFileWriter& operator=(const WholeFileWriter&) = delete;

    void Write(std::string_view bytes);
    void Commit();

private:
    [[noreturn]] void Fail() const;
    void CloseFile();

    QString path_;
    QByteArray temporary_; // the temporary file's name in the file system's encoding
    int fd_ = -1;
};

// The permission bits, as open() takes them, of QFileDevice permissions.
unsigned PosixMode(QFileDevice::Permissions permissions);

} // namespace transfer
