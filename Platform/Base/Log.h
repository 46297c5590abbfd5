// The platform's error reports and the sink they go to: the engine's log installs itself here.
#pragma once

#include <string>
#include <vector>

namespace platform
{
class LogSink
{
public:
    virtual ~LogSink() = default;
    // format takes one %s per argument; the arguments are UTF-8.
    virtual void Error(const std::wstring& format, const std::vector<std::string>& args) = 0;
};

// nullptr uninstalls: reports are then dropped.
void SetLogSink(LogSink* sink);
LogSink* GetLogSink();

void LogError(const std::wstring& format, const std::vector<std::string>& args);
} // namespace platform
