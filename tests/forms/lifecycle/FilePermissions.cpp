#include "FilePermissions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include <sys/syscall.h>
#include <unistd.h>

namespace {

int capget(__user_cap_header_struct* header, __user_cap_data_struct* data)
{
    return static_cast<int>(syscall(SYS_capget, header, data));
}

int capset(__user_cap_header_struct* header, const __user_cap_data_struct* data)
{
    return static_cast<int>(syscall(SYS_capset, header, data));
}

} // namespace

FilePermissionsApply::FilePermissionsApply()
{
    header_.version = _LINUX_CAPABILITY_VERSION_3;
    header_.pid = 0;  // this thread
    EXPECT_EQ(capget(&header_, saved_), 0);
    __user_cap_data_struct lowered[_LINUX_CAPABILITY_U32S_3];
    std::copy(std::begin(saved_), std::end(saved_), std::begin(lowered));
    lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    EXPECT_EQ(capset(&header_, lowered), 0);
}

FilePermissionsApply::~FilePermissionsApply()
{
    EXPECT_EQ(capset(&header_, saved_), 0);
}
