// Whether the run is CI's.
#include "support/CiSkip.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace testsupport
{
bool InCi()
{
    const char* value = std::getenv("CI");
    return value && *value && std::strcmp(value, "0") != 0 && strcasecmp(value, "false") != 0;
}
} // namespace testsupport
