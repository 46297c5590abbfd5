// The HTML log: page head and tail, UTF-8 file and debug outputs, styled messages with escaped text.
#include "Core/Base/Log.h"

#include "Core/Base/Formatter.h"
#include "Core/Base/StringConvert.h"
#include "Platform/Os/OpenFile.h"
#include "Platform/Os/Text.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>

namespace base
{
namespace
{
// The log cannot report its own conversion faults: repair invalid code points before converting.
std::string ToUtf8Quietly(const std::wstring& text)
{
    for (wchar_t c : text)
    {
        const u32 cp = static_cast<u32>(c);
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        {
            std::wstring repaired(text);
            for (wchar_t& r : repaired)
            {
                const u32 v = static_cast<u32>(r);
                if (v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF))
                    r = static_cast<wchar_t>(0xFFFD);
            }
            return WStringToString(repaired, 1);
        }
    }
    return WStringToString(text, 1);
}

// A line break inside a message starts a new line on the page too; the final one ends it.
std::wstring BreakLines(const std::wstring& text)
{
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == L'\n' && i + 1 < text.size())
            out += L"<br>";
        out.push_back(text[i]);
    }
    return out;
}

std::wstring EscapeHtml(const std::wstring& text)
{
    if (text.find_first_of(L"&<>") == std::wstring::npos)
        return text;
    std::wstring escaped;
    escaped.reserve(text.size() + 16);
    for (wchar_t c : text)
    {
        switch (c)
        {
        case L'&': escaped += L"&amp;"; break;
        case L'<': escaped += L"&lt;"; break;
        case L'>': escaped += L"&gt;"; break;
        default: escaped.push_back(c); break;
        }
    }
    return escaped;
}
} // namespace

// --- Outputs ---

void LogDebugOutput::Write(const std::wstring& text)
{
    static const bool enabled = []
    {
        const char* flag = std::getenv("QL_LOG_STDERR");
        return flag && *flag && *flag != '0';
    }();
    if (!enabled)
        return;
    const std::string bytes = ToUtf8Quietly(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stderr);
}

LogUtf8File::LogUtf8File(const std::wstring& path) : mFd(os::OpenFreshFile(os::SystemPath(path))) {}

LogUtf8File::~LogUtf8File()
{
    if (mFd >= 0)
        (void)os::CloseFile(mFd);
}

void LogUtf8File::Write(const std::wstring& text)
{
    if (mFd < 0)
        return;
    // Unbuffered: every line is on the disk before the next one is written.
    const std::string bytes = ToUtf8Quietly(text);
    size_t done = 0;
    if (os::WriteFile(mFd, bytes.data(), bytes.size(), done) && done == bytes.size())
        return;
    (void)os::CloseFile(mFd);
    mFd = -1;
}

// --- Styles ---

LogStyle::LogStyle(const std::wstring& className) : mOpen(L"<div class=\"" + className + L"\">"), mClose(L"</div>") {}

const LogStyle LogStyle::Default(L"");
const LogStyle LogStyle::Block(L"block");
const LogStyle LogStyle::Error(L"error");

// --- Log ---

const std::wstring& Log::PageHead()
{
    static const std::wstring head =
        L"<html><head><meta http-equiv=Content-Type content=\"text/html; charset=utf-8\">"
        L"<meta http-equiv=Content-Language content=ru><style>\n"
        L"body {font-family:verdana;}\n"
        L"hr { size:1px;color:000000 }\n"
        L"div.error { border-width:0 0 0 0px;border-style:solid;border-color:FF0000;color:AA0000;"
        L"background:#CCCCCC;font-weight:bold;padding-bottom:0px; }\n"
        L"span.info { color:000000; }\n"
        L"div.block { border-width:1px;border-style:solid;border-color:000000;padding:3px;margin-bottom:5px; }\n"
        L"div.blockhead { border-width:0px;padding:3px; font-weight:bold ;color:000000;background:#DDDDDD;}\n"
        L"</style></head>\n"
        L"<body>\n";
    return head;
}

Log::~Log()
{
    CloseHtmlOutputs();
    for (auto& output : mPlainOutputs)
        output->Write(L"log terminated\n");
    mPlainOutputs.clear();
}

void Log::CloseHtmlOutputs()
{
    for (auto& output : mHtmlOutputs)
        output->Write(L"</body></html>");
    mHtmlOutputs.clear();
}

void Log::AddHtmlOutput(LogOutput* output) { AddHtmlOutput(std::unique_ptr<LogOutput>(output)); }

void Log::AddPlainOutput(LogOutput* output) { AddPlainOutput(std::unique_ptr<LogOutput>(output)); }

void Log::AddHtmlOutput(std::unique_ptr<LogOutput> output)
{
    if (!output)
        return;
    output->Write(PageHead());
    mHtmlOutputs.push_back(std::move(output));
}

void Log::AddPlainOutput(std::unique_ptr<LogOutput> output)
{
    if (!output)
        return;
    output->Write(L"log initialized\n");
    mPlainOutputs.push_back(std::move(output));
}

MainLog::MainLog() { platform::SetLogSink(this); }

MainLog::~MainLog()
{
    if (platform::GetLogSink() == this)
        platform::SetLogSink(nullptr);
}

void MainLog::Error(const std::wstring& format, const std::vector<std::string>& args)
{
    LogMessage message(*this, format, __FILE__, __DATE__ " " __TIME__, __PRETTY_FUNCTION__, __LINE__);
    message << LogStyle::Error;
    for (const std::string& arg : args)
        message << arg;
}

// --- Messages ---

struct LogMessage::Entry
{
    Entry(LogOutput* target, const std::wstring& format) : output(target), formatter(format) {}
    LogOutput* output;
    Formatter<wchar_t> formatter;
    std::wstring open;
    std::wstring close;
};

LogMessage::LogMessage(Log& log, const wchar_t* format, const char*, const char*, const char*, int)
{
    Init(log, format ? std::wstring(format) : std::wstring());
}

LogMessage::LogMessage(Log& log, const std::wstring& format, const char*, const char*, const char*, int)
{
    Init(log, format);
}

void LogMessage::Init(Log& log, const std::wstring& format)
{
    for (const auto& output : log.HtmlOutputs())
        mHtml.push_back(std::make_unique<Entry>(output.get(), format));
    for (const auto& output : log.PlainOutputs())
        mPlain.push_back(std::make_unique<Entry>(output.get(), format));
}

LogMessage::~LogMessage()
{
    try
    {
        for (auto& entry : mHtml)
        {
            entry->formatter.Finish();
            // A message without a style still gets a block of its own, or the page runs it
            // into the one before.
            const bool bare = entry->open.empty();
            entry->output->Write((bare ? LogStyle::Default.mOpen : entry->open) +
                                 BreakLines(EscapeHtml(entry->formatter.GetResult())) +
                                 (bare ? LogStyle::Default.mClose : entry->close));
        }
        for (auto& entry : mPlain)
        {
            entry->formatter.Finish();
            entry->output->Write(entry->formatter.GetResult());
        }
    }
    catch (...)
    {
        // Logging must never end the program (out of memory while formatting).
    }
}

LogMessage& LogMessage::operator<<(const LogStyle& style)
{
    for (auto& entry : mHtml)
    {
        entry->open += style.mOpen;
        entry->close.insert(0, style.mClose);
    }
    return *this;
}

template <class V> LogMessage& LogMessage::Feed(const V& value)
{
    for (auto& entry : mHtml)
        entry->formatter << value;
    for (auto& entry : mPlain)
        entry->formatter << value;
    return *this;
}

LogMessage& LogMessage::operator<<(const std::wstring& text) { return Feed(text); }
LogMessage& LogMessage::operator<<(const wchar_t* text) { return Feed(std::wstring(text ? text : L"")); }
LogMessage& LogMessage::operator<<(const std::string& utf8) { return Feed(StringToWString(utf8, 1)); }
LogMessage& LogMessage::operator<<(const char* utf8) { return Feed(StringToWString(utf8 ? utf8 : "", 1)); }
LogMessage& LogMessage::operator<<(int value) { return Feed(value); }
LogMessage& LogMessage::operator<<(unsigned value) { return Feed(value); }
LogMessage& LogMessage::operator<<(long value) { return Feed(value); }
LogMessage& LogMessage::operator<<(unsigned long value) { return Feed(value); }
LogMessage& LogMessage::operator<<(long long value) { return Feed(value); }
LogMessage& LogMessage::operator<<(unsigned long long value) { return Feed(value); }
LogMessage& LogMessage::operator<<(float value) { return Feed(value); }
LogMessage& LogMessage::operator<<(double value) { return Feed(value); }
} // namespace base
