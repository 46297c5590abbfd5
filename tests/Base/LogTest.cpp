// The HTML log: page head, styles, message delivery, escaping and the UTF-8 file output.
#include "Core/Base/Log.h"
#include "Platform/Base/Log.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace
{
using Lines = std::vector<std::wstring>;

// Records every write; the lines outlive the output, which the log owns.
class MemoryOutput : public base::LogOutput
{
public:
    explicit MemoryOutput(std::shared_ptr<Lines> lines) : mLines(std::move(lines)) {}
    void Write(const std::wstring& text) override { mLines->push_back(text); }

private:
    std::shared_ptr<Lines> mLines;
};

#define TEST_LOG(log, format) base::LogMessage(log, format, __FILE__, "stamp", __func__, __LINE__)

class LogTest : public ::testing::Test
{
protected:
    LogTest()
    {
        mLog.AddHtmlOutput(new MemoryOutput(mHtml));
        mLog.AddPlainOutput(new MemoryOutput(mPlain));
    }

    std::shared_ptr<Lines> mHtml = std::make_shared<Lines>();
    std::shared_ptr<Lines> mPlain = std::make_shared<Lines>();
    base::Log mLog;
};
} // namespace

TEST_F(LogTest, OutputsStartWithTheHeadStylesNestAndArgumentsAreEscapedOnHtmlOnly)
{
    // The page head, line by line as browsers and log readers expect it; the file is UTF-8 and
    // says so.
    const std::wstring head = L"<html><head><meta http-equiv=Content-Type content=\"text/html; charset=utf-8\">"
                              L"<meta http-equiv=Content-Language content=ru><style>\n"
                              L"body {font-family:verdana;}\n"
                              L"hr { size:1px;color:000000 }\n"
                              L"div.error { border-width:0 0 0 0px;border-style:solid;border-color:FF0000;"
                              L"color:AA0000;background:#CCCCCC;font-weight:bold;padding-bottom:0px; }\n"
                              L"span.info { color:000000; }\n"
                              L"div.block { border-width:1px;border-style:solid;border-color:000000;padding:3px;"
                              L"margin-bottom:5px; }\n"
                              L"div.blockhead { border-width:0px;padding:3px; font-weight:bold ;color:000000;"
                              L"background:#DDDDDD;}\n"
                              L"</style></head>\n"
                              L"<body>\n";
    ASSERT_EQ(mHtml->size(), 1u);
    EXPECT_EQ(mHtml->front(), head);
    ASSERT_EQ(mPlain->size(), 1u);
    EXPECT_EQ(mPlain->front(), L"log initialized\n");

    TEST_LOG(mLog, L"x=%d\n") << base::LogStyle::Default << 5;
    ASSERT_EQ(mHtml->size(), 2u);
    EXPECT_EQ(mHtml->back(), L"<div class=\"\">x=5\n</div>");
    ASSERT_EQ(mPlain->size(), 2u);
    EXPECT_EQ(mPlain->back(), L"x=5\n");

    TEST_LOG(mLog, L"%s\n") << base::LogStyle::Block << base::LogStyle::Default << L"r";
    EXPECT_EQ(mHtml->back(), L"<div class=\"block\"><div class=\"\">r\n</div></div>");
    TEST_LOG(mLog, L"bad\n") << base::LogStyle::Error;
    EXPECT_EQ(mHtml->back(), L"<div class=\"error\">bad\n</div>");
    EXPECT_EQ(mPlain->back(), L"bad\n");
    // Without a style a message still stands on its own line, and so does each line inside it.
    TEST_LOG(mLog, L"bare\n");
    EXPECT_EQ(mHtml->back(), L"<div class=\"\">bare\n</div>");
    TEST_LOG(mLog, L"two\n%s\n") << L"lines";
    EXPECT_EQ(mHtml->back(), L"<div class=\"\">two<br>\nlines\n</div>");
    EXPECT_EQ(mPlain->back(), L"two\nlines\n");

    TEST_LOG(mLog, L"<%s> & '%s'\n") << base::LogStyle::Block << L"a<b>&c" << std::string("d&e");
    EXPECT_EQ(mHtml->back(), L"<div class=\"block\">&lt;a&lt;b&gt;&amp;c&gt; &amp; 'd&amp;e'\n</div>");
    EXPECT_EQ(mPlain->back(), L"<a<b>&c> & 'd&e'\n");

    TEST_LOG(mLog, L"%d %u %d %u %.2f %g %s %s|")
        << -1 << 2u << -3LL << 4UL << 1.5f << 0.25 << "utf8 \xc3\xa9" << std::wstring(L"w");
    EXPECT_EQ(mPlain->back(), L"-1 2 -3 4 1.50 0.25 utf8 \u00e9 w|");
    // Too many or too few arguments are the formatter's own cases.
    TEST_LOG(mLog, std::wstring(L"%s")) << static_cast<const wchar_t*>(nullptr) << static_cast<const char*>(nullptr);
    EXPECT_EQ(mPlain->back(), L"");
}

TEST(Log, DestructionEndsTheOutputsQlLogReachesTheMainLogAndTheUtf8FileIsAValidPage)
{
    auto html = std::make_shared<Lines>();
    auto plain = std::make_shared<Lines>();
    {
        base::Log log;
        log.AddHtmlOutput(new MemoryOutput(html));
        log.AddPlainOutput(new MemoryOutput(plain));
        log.AddHtmlOutput(nullptr);
    }
    EXPECT_EQ(html->back(), L"</body></html>");
    EXPECT_EQ(plain->back(), L"log terminated\n");

    base::SingletoneBase::DestroyAll();
    plain->clear();
    base::MainLog::Instance()->AddPlainOutput(new MemoryOutput(plain));
    QL_LOG(L"Cannot open '%s' (%d)\n") << base::LogStyle::Error << L"x.png" << 2;
    EXPECT_EQ(plain->back(), L"Cannot open 'x.png' (2)\n");
    // The platform's reports reach the main log while it lives, UTF-8 arguments decoded...
    platform::LogError(L"Cannot decode '%s'\n", {"caf\xc3\xa9.ogg"});
    EXPECT_EQ(plain->back(), L"Cannot decode 'caf\u00e9.ogg'\n");
    base::SingletoneBase::DestroyAll();
    EXPECT_EQ(plain->back(), L"log terminated\n");
    EXPECT_FALSE(base::MainLog::Exists());
    // ...and are dropped once it is gone.
    EXPECT_EQ(nullptr, platform::GetLogSink());
    platform::LogError(L"lost %s\n", {"x"});

    // The UTF-8 file truncates at open and writes a valid page, or loses messages quietly.
    testsupport::TempDir dir;
    dir.Write("log.html", "stale content from an earlier run");
    {
        base::Log log;
        log.AddHtmlOutput(new base::LogUtf8File(dir.WPath("log.html")));
        TEST_LOG(log, L"Loaded '%s' in %d ms\n") << base::LogStyle::Default << L"caf\u00e9 <&> \u65e5" << 12;
        // Flushed at once: readable while the log is still open.
        EXPECT_NE(dir.Read("log.html").find("caf\xc3\xa9"), std::string::npos);
        TEST_LOG(log, L"bad code point %s\n") << std::wstring(1, static_cast<wchar_t>(0xD800));
    }
    const std::string page = dir.Read("log.html");
    EXPECT_EQ(page.find("stale"), std::string::npos);
    EXPECT_EQ(page.rfind("<html><head>", 0), 0u);
    EXPECT_NE(page.find("charset=utf-8"), std::string::npos);
    EXPECT_NE(page.find("<div class=\"\">Loaded 'caf\xc3\xa9 &lt;&amp;&gt; \xe6\x97\xa5' in 12 ms\n</div>"),
              std::string::npos);
    EXPECT_NE(page.find("bad code point \xef\xbf\xbd\n"), std::string::npos);
    EXPECT_EQ(page.substr(page.size() - 14), "</body></html>");

    // An unwritable path loses the messages quietly.
    base::Log log;
    log.AddHtmlOutput(new base::LogUtf8File(dir.WPath("no/such/folder/log.html")));
    TEST_LOG(log, L"lost %d\n") << 1;
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "no"));
}
