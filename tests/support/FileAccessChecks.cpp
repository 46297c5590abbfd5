// Capabilities through the raw system calls: only the calling thread's effective set changes.
#include "support/FileAccessChecks.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace testsupport
{
namespace
{
constexpr unsigned kOverrides = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);

bool Get(__user_cap_data_struct data[2])
{
    __user_cap_header_struct header = {_LINUX_CAPABILITY_VERSION_3, 0};
    return syscall(SYS_capget, &header, data) == 0;
}

bool Set(__user_cap_data_struct data[2])
{
    __user_cap_header_struct header = {_LINUX_CAPABILITY_VERSION_3, 0};
    return syscall(SYS_capset, &header, data) == 0;
}
} // namespace

FileAccessChecks::FileAccessChecks()
{
    __user_cap_data_struct data[2] = {};
    if (!Get(data))
        return;
    mSaved = data[0].effective & kOverrides;
    if (mSaved == 0)
    {
        mActive = true; // nothing overrides permissions here
        return;
    }
    data[0].effective &= ~kOverrides;
    mDropped = mActive = Set(data);
}

FileAccessChecks::~FileAccessChecks()
{
    if (!mDropped)
        return;
    __user_cap_data_struct data[2] = {};
    if (Get(data))
    {
        data[0].effective |= mSaved;
        (void)Set(data);
    }
}
} // namespace testsupport
