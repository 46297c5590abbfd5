// Executable path from procfs; the per-user folders from the environment.
#include "Platform/Os/Folders.h"

#include "Platform/Os/Error.h"
#include "Platform/Os/Text.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace os
{
namespace
{
// An empty or relative value is treated as unset.
bool AbsoluteVariable(const char* name, std::string& out)
{
    const char* value = std::getenv(name);
    if (!value || value[0] != '/')
        return false;
    out = value;
    return true;
}
} // namespace

bool PerUserDataFolder(std::string& out)
{
    if (AbsoluteVariable("XDG_DATA_HOME", out))
        return true;
    std::string home;
    if (!AbsoluteVariable("HOME", home))
        return false;
    while (home.size() > 1 && home.back() == '/')
        home.pop_back();
    out = (home == "/" ? "" : home) + "/.local/share/";
    return true;
}

bool HomeFolder(std::string& out) { return AbsoluteVariable("HOME", out); }

bool ExecutablePath(std::wstring& out)
{
    std::vector<char> buffer(256);
    for (;;)
    {
        const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0)
        {
            SetLastError(std::string("readlink /proc/self/exe: ") + std::strerror(errno));
            return false;
        }
        if (static_cast<size_t>(n) < buffer.size())
        {
            out = FromSystemPath(std::string(buffer.data(), static_cast<size_t>(n)));
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace os
