// Picks the process's video driver: SDL, or the null one when the program runs headless.
#include "Platform/Os/Video.h"

#include "Platform/Base/Headless.h"
#include "Platform/Os/NullVideo.h"
#include "Platform/Os/QuitSignals.h"
#include "Platform/Os/SdlVideo.h"

#include <cstring>

namespace os
{
static std::unique_ptr<VideoDriver>& Current()
{
    static std::unique_ptr<VideoDriver> driver;
    return driver;
}

VideoDriver& Video()
{
    auto& driver = Current();
    if (!driver)
    {
        if (IsHeadless())
            driver = std::make_unique<NullVideoDriver>();
        else
            driver = std::make_unique<SdlVideoDriver>();
        // Both drivers' windows turn quit signals into close requests.
        CatchQuitSignals();
    }
    return *driver;
}

std::string NeedsOpenGl33(const std::string& offered)
{
    return "this game needs OpenGL 3.3, and the graphics driver offers " +
           (offered.empty() ? std::string("no version it could name") : "OpenGL " + offered);
}

void SetVideoDriver(std::unique_ptr<VideoDriver> driver) { Current() = std::move(driver); }

void UseHeadlessVideo()
{
    auto& driver = Current();
    if (!driver || std::strcmp(driver->Name(), "null") != 0)
        driver = std::make_unique<NullVideoDriver>();
}
} // namespace os
