#pragma once

#include <QString>

#include <stdexcept>

namespace platform {

// A file operation the system refused: the path as the caller named it, the
// system's error number, and a message that names both in Chinese.
class FileError : public std::runtime_error {
public:
    enum class Action { Writing, Reading };
    FileError(const QString& path, int error, Action action = Action::Writing);

    const QString& Path() const { return path_; }
    int Error() const { return error_; }

private:
    QString path_;
    int error_;
};

} // namespace platform
