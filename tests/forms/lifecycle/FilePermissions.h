#pragma once

#include <linux/capability.h>

// While it lives, the calling thread is held to file permissions as any user
// is: the capabilities that let root read and write any file are lowered from
// its effective set (they stay permitted and are raised again at the end).
// Without them the tests, which may run as root, can meet a file of mode 000
// as a user meets it. Nothing changes for a thread that never had them.
class FilePermissionsApply {
public:
    FilePermissionsApply();
    ~FilePermissionsApply();
    FilePermissionsApply(const FilePermissionsApply&) = delete;
    FilePermissionsApply& operator=(const FilePermissionsApply&) = delete;

private:
    __user_cap_header_struct header_{};
    __user_cap_data_struct saved_[_LINUX_CAPABILITY_U32S_3]{};
};
