#include "SoxCheck.h"

#include <array>
#include <cstdio>
#include <cstdlib>

namespace audiotest
{
bool HaveSox() { return std::system("sox --version >/dev/null 2>&1") == 0; }

SoxStat MeasureRaw(const std::string& path, const std::string& effects)
{
    SoxStat result;
    std::string command =
        "sox -t raw -r 44100 -e signed -b 16 -c 2 '" + path + "' -n " + effects + " stat 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    std::string text;
    std::array<char, 256> buffer;
    while (fgets(buffer.data(), buffer.size(), pipe))
        text += buffer.data();
    int status = pclose(pipe);
    auto value = [&text](const std::string& key, double& out) {
        size_t at = text.find(key);
        if (at == std::string::npos)
            return false;
        at = text.find(':', at);
        out = std::atof(text.c_str() + at + 1);
        return true;
    };
    result.ok = status == 0 && value("Length (seconds)", result.seconds) && value("RMS     amplitude", result.rms);
    return result;
}
ScopedAudioDriver::ScopedAudioDriver(const std::string& driver, const std::string& diskFile)
{
    const char* old = std::getenv("SDL_AUDIODRIVER");
    mHad = old != nullptr;
    mOld = old ? old : "";
    setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
    if (!diskFile.empty())
        setenv("SDL_DISKAUDIOFILE", diskFile.c_str(), 1);
}

ScopedAudioDriver::~ScopedAudioDriver()
{
    if (mHad)
        setenv("SDL_AUDIODRIVER", mOld.c_str(), 1);
    else
        unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");
}
} // namespace audiotest
