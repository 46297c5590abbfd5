// Sanitized builds: the DRI driver outlives the display, for the leak check.
#include "Platform/Gpu/DriverPin.h"

#if defined(__SANITIZE_ADDRESS__)
#include <dlfcn.h>
#include <link.h>

#include <cstring>
#include <string>
#include <vector>
#endif

namespace gpu
{
void PinGlDriverForLeakCheck()
{
#if defined(__SANITIZE_ADDRESS__)
    std::vector<std::string> drivers;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* found)
        {
            const char* name = info->dlpi_name;
            const size_t length = name ? std::strlen(name) : 0;
            if (length > 7 && std::strcmp(name + length - 7, "_dri.so") == 0)
                static_cast<std::vector<std::string>*>(found)->push_back(name);
            return 0;
        },
        &drivers);
    // RTLD_NOLOAD takes only what is already loaded; RTLD_NODELETE keeps it past its last dlclose.
    for (const std::string& driver : drivers)
        dlopen(driver.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
#endif
}
} // namespace gpu
