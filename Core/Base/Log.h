// The HTML log: outputs, styles, and messages delivered when they go out of scope.
#pragma once

#include "Core/Base/Singletone.h"
#include "Core/Base/Stream.h"
#include "Platform/Base/Log.h"

#include <memory>
#include <string>
#include <vector>

namespace base
{
template <class C> class Formatter;

class LogOutput
{
public:
    virtual ~LogOutput() = default;
    virtual void Write(const std::wstring& text) = 0;
};

// The debugger's stand-in: stderr when QL_LOG_STDERR is set, else silent.
class LogDebugOutput : public LogOutput
{
public:
    void Write(const std::wstring& text) override;
};

// UTF-8 file, emptied at open, each write on the disk before the next. Only a plain file is
// opened (never what a link names), and every write goes to its end. A failed write (a full disk,
// a file-size limit) closes it: the messages after it are lost, the program goes on.
class LogUtf8File : public LogOutput
{
public:
    explicit LogUtf8File(const std::wstring& path);
    ~LogUtf8File() override;
    LogUtf8File(const LogUtf8File&) = delete;
    LogUtf8File& operator=(const LogUtf8File&) = delete;
    void Write(const std::wstring& text) override;
    // False when the file could not be opened (errno tells why) or a write failed.
    bool IsOpen() const { return mFd >= 0; }

private:
    int mFd = -1;
};

struct LogStyle
{
    explicit LogStyle(const std::wstring& className);
    std::wstring mOpen;
    std::wstring mClose;

    static const LogStyle Default; // <div class="">
    static const LogStyle Block;   // <div class="block">
    static const LogStyle Error;   // <div class="error">
};

class Log
{
public:
    Log() = default;
    virtual ~Log();                         // closes the page of every HTML output, then ends every plain one
    void AddHtmlOutput(LogOutput* output);  // takes ownership, writes the page head
    void AddPlainOutput(LogOutput* output); // takes ownership, writes "log initialized\n"
    void AddHtmlOutput(std::unique_ptr<LogOutput> output);
    void AddPlainOutput(std::unique_ptr<LogOutput> output);

    const std::vector<std::unique_ptr<LogOutput>>& HtmlOutputs() const { return mHtmlOutputs; }
    const std::vector<std::unique_ptr<LogOutput>>& PlainOutputs() const { return mPlainOutputs; }

    // Ends the page of every HTML output and lets go of them (the log file is closed); later
    // messages reach the plain outputs only.
    void CloseHtmlOutputs();

    static const std::wstring& PageHead();

private:
    std::vector<std::unique_ptr<LogOutput>> mHtmlOutputs;
    std::vector<std::unique_ptr<LogOutput>> mPlainOutputs;
};

// Installs itself as the platform's log sink while it lives: platform errors are written in style Error.
class MainLog : public Singletone<MainLog>, public Log, private platform::LogSink
{
public:
    MainLog();
    ~MainLog() override;

private:
    void Error(const std::wstring& format, const std::vector<std::string>& args) override;
};

// One message: arguments are fed in format order; it is written to every output when destroyed.
// Formatted text is HTML-escaped on HTML outputs; style tags are not.
class LogMessage
{
public:
    LogMessage(Log& log, const wchar_t* format, const char* file, const char* stamp, const char* function, int line);
    LogMessage(Log& log, const std::wstring& format, const char* file, const char* stamp, const char* function,
               int line);
    ~LogMessage();
    LogMessage(const LogMessage&) = delete;
    LogMessage& operator=(const LogMessage&) = delete;

    LogMessage& operator<<(const LogStyle& style);
    LogMessage& operator<<(const std::wstring& text);
    LogMessage& operator<<(const wchar_t* text);
    LogMessage& operator<<(const std::string& utf8);
    LogMessage& operator<<(const char* utf8);
    LogMessage& operator<<(int value);
    LogMessage& operator<<(unsigned value);
    LogMessage& operator<<(long value);
    LogMessage& operator<<(unsigned long value);
    LogMessage& operator<<(long long value);
    LogMessage& operator<<(unsigned long long value);
    LogMessage& operator<<(float value);
    LogMessage& operator<<(double value);

private:
    struct Entry;
    void Init(Log& log, const std::wstring& format);
    template <class V> LogMessage& Feed(const V& value);
    std::vector<std::unique_ptr<Entry>> mHtml;
    std::vector<std::unique_ptr<Entry>> mPlain;
};
} // namespace base

// QL_LOG(L"Cannot open '%s'\n") << base::LogStyle::Error << path;
#define QL_LOG(format)                                                                                                 \
    base::LogMessage(*base::MainLog::Instance(), format, __FILE__, __DATE__ " " __TIME__, __PRETTY_FUNCTION__, __LINE__)
