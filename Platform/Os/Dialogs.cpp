// Message box over SDL, shell open over xdg-open.
#include "Platform/Os/Dialogs.h"

#include "Platform/Base/Headless.h"
#include "Platform/Os/Text.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <spawn.h>

extern char** environ;

namespace os
{
static bool EnvSet(const char* name)
{
    const char* v = std::getenv(name);
    return v && *v;
}

bool ShowErrorBox(const std::wstring& caption, const std::wstring& text)
{
    const std::string c = ToUtf8(caption);
    const std::string t = ToUtf8(text);
    // The terminal gets the text whether or not a box shows it.
    std::fprintf(stderr, "%s: %s\n", c.c_str(), t.c_str());
    const bool headless = !EnvSet("DISPLAY") && !EnvSet("WAYLAND_DISPLAY");
    return !(headless || EnvSet("QL_NO_MESSAGE_BOX") || EnvSet("CI") || IsHeadless()) &&
           SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, c.c_str(), t.c_str(), nullptr) == 0;
}

bool ShellOpenAllowed() { return !EnvSet("QL_NO_SHELL_OPEN") && !EnvSet("CI"); }

bool ShellOpen(const std::wstring& path)
{
    if (!ShellOpenAllowed())
        return false;
    const std::string p = SystemPath(path);
    char program[] = "xdg-open";
    char* argv[] = {program, const_cast<char*>(p.c_str()), nullptr};
    pid_t pid;
    return posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) == 0;
}
} // namespace os
