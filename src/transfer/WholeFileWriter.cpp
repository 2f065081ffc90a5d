#include "transfer/WholeFileWriter.h"

#include <sys/stat.h>

namespace transfer {
namespace {

constexpr unsigned OwnerOnly = S_IRUSR | S_IWUSR;

// The permission bits, as open() takes them, of QFileDevice permissions.
unsigned PosixMode(QFileDevice::Permissions permissions)
{
    unsigned mode = 0;
    mode |= permissions & QFileDevice::ReadOwner ? S_IRUSR : 0;
    mode |= permissions & QFileDevice::WriteOwner ? S_IWUSR : 0;
    mode |= permissions & QFileDevice::ReadGroup ? S_IRGRP : 0;
    mode |= permissions & QFileDevice::WriteGroup ? S_IWGRP : 0;
    mode |= permissions & QFileDevice::ReadOther ? S_IROTH : 0;
    mode |= permissions & QFileDevice::WriteOther ? S_IWOTH : 0;
    return mode;
}

platform::ReplacementOptions PrivateFile(QFileDevice::Permissions permissions)
{
    platform::ReplacementOptions options;
    options.newFileMode = OwnerOnly & PosixMode(permissions);
    options.keptMode = options.newFileMode;
    return options;
}

} // namespace

WholeFileWriter::WholeFileWriter(const QString& path, QFileDevice::Permissions permissions)
    : file_(path, PrivateFile(permissions))
{
}

} // namespace transfer
