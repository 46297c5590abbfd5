// Executable path from procfs.
#include "Platform/Os/Folders.h"

#include "Platform/Os/Error.h"
#include "Platform/Os/Text.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace os
{
QLResultEnum ExecutablePath(std::wstring& out)
{
    std::vector<char> buffer(256);
    for (;;)
    {
        const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0)
        {
            SetLastError(std::string("readlink /proc/self/exe: ") + std::strerror(errno));
            return QL_FAIL;
        }
        if (static_cast<size_t>(n) < buffer.size())
        {
            out = FromUtf8(std::string(buffer.data(), static_cast<size_t>(n)));
            return QL_OK;
        }
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace os
