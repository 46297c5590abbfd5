// The installed log sink.
#include "Platform/Base/Log.h"

#include <atomic>

namespace platform
{
namespace
{
std::atomic<LogSink*> gSink{nullptr};
} // namespace

void SetLogSink(LogSink* sink) { gSink.store(sink); }

LogSink* GetLogSink() { return gSink.load(); }

void LogError(const std::wstring& format, const std::vector<std::string>& args)
{
    if (LogSink* sink = gSink.load())
        sink->Error(format, args);
}
} // namespace platform
