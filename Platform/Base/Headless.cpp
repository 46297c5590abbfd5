// The headless switch and its environment default.
#include "Platform/Base/Headless.h"

#include <cstdlib>
#include <cstring>
#include <optional>

namespace os
{
namespace
{
std::optional<bool>& Current()
{
    static std::optional<bool> headless;
    return headless;
}

bool FromEnvironment()
{
    const char* headless = std::getenv("QL_HEADLESS");
    if (headless && *headless && std::strcmp(headless, "0") != 0)
        return true;
    const char* video = std::getenv("QL_VIDEO");
    return video && std::strcmp(video, "null") == 0;
}
} // namespace

bool IsHeadless()
{
    std::optional<bool>& headless = Current();
    if (!headless)
        headless = FromEnvironment();
    return *headless;
}

void SetHeadless(bool headless) { Current() = headless; }
} // namespace os
