// Text helpers: the four conversion modes (invalid input repaired with U+FFFD and reported in the
// log), the tokenizer's splitting rules, number reads and the trimming helpers.
#include "Core/Base/StringConvert.h"

#include "Core/Base/Log.h"
#include "Core/Base/Tokenizer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
class CaptureOutput : public base::LogOutput
{
public:
    explicit CaptureOutput(std::shared_ptr<std::vector<std::wstring>> lines) : mLines(std::move(lines)) {}
    void Write(const std::wstring& text) override { mLines->push_back(text); }

private:
    std::shared_ptr<std::vector<std::wstring>> mLines;
};

// Captures what reaches the main log's plain outputs during one test.
class StringConvertTest : public ::testing::Test
{
protected:
    StringConvertTest()
    {
        base::SingletoneBase::DestroyAll();
        base::MainLog::Instance()->AddPlainOutput(new CaptureOutput(mLines));
        mLines->clear();
    }
    ~StringConvertTest() override { base::SingletoneBase::DestroyAll(); }

    std::shared_ptr<std::vector<std::wstring>> mLines = std::make_shared<std::vector<std::wstring>>();
};

std::vector<std::string> Split(const std::string& text, char delimiter, bool skipEmpty)
{
    base::Tokenizer tokenizer(text, delimiter, skipEmpty);
    const int counted = tokenizer.count();
    std::vector<std::string> tokens;
    std::string token;
    while (tokenizer.NextToken(&token))
        tokens.push_back(token);
    EXPECT_FALSE(tokenizer.NextToken(&token)) << "stays finished";
    EXPECT_EQ(counted, static_cast<int>(tokens.size())) << "count() agrees with the tokens read";
    return tokens;
}

using Tokens = std::vector<std::string>;
} // namespace

TEST_F(StringConvertTest, ModesConvertLosslesslyAndInvalidTextIsRepairedAndLogged)
{
    const std::wstring text = L"Pr\u00fcfung \u0416 \u20ac";
    for (int mode : {2, 3})
    {
        EXPECT_EQ(base::StringToWString(base::WStringToString(text, mode), mode), text) << mode;
        EXPECT_EQ(base::WStringToString(text, mode), base::WStringToString(text, 1)) << mode;
    }

    for (int mode : {4, 65001, -1})
    {
        EXPECT_EQ(base::StringToWString("abc", mode), L"") << mode;
        EXPECT_EQ(base::WStringToString(L"abc", mode), "") << mode;
    }

    const std::wstring wide = base::StringToWString(std::string("A\xE9\x7F\x80", 4), 0);
    EXPECT_EQ(std::vector<u32>(wide.begin(), wide.end()), (std::vector<u32>{0x41u, 0xFFE9u, 0x7Fu, 0xFF80u}));
    EXPECT_EQ(base::WStringToString(wide, 0), std::string("A\xE9\x7F\x80", 4)) << "low bytes come back";
    EXPECT_EQ(base::WStringToString(L"\u0141", 0), "\x41");

    EXPECT_EQ(base::StringToWString("\xC3\xA9", 1), std::wstring(1, static_cast<wchar_t>(0xE9)));
    const std::wstring mixed = L"a\u00e9\u65e5\U0001F600";
    const std::string bytes = "a\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80";
    EXPECT_EQ(base::WStringToString(mixed, 1), bytes);
    EXPECT_EQ(base::StringToWString(bytes, 1), mixed);
    EXPECT_EQ(base::StringToWString(std::string("a\0b", 3), 1), std::wstring(L"a\0b", 3));
    EXPECT_EQ(base::Utf8ToWide(""), L"");
    EXPECT_TRUE(mLines->empty()) << "valid text logs nothing";

    // Invalid UTF-8 and code points become U+FFFD and are logged, without recursing.
    const std::wstring fffd(1, static_cast<wchar_t>(0xFFFD));
    EXPECT_EQ(base::StringToWString("ab\xFF"
                                    "cd",
                                    1),
              L"ab" + fffd + L"cd");
    ASSERT_EQ(mLines->size(), 1u);
    EXPECT_NE(mLines->back().find(L"byte 2 of 5"), std::wstring::npos) << mLines->back();

    EXPECT_EQ(base::StringToWString("x\xC3", 2), L"x" + fffd) << "truncated sequence at the end";
    EXPECT_EQ(base::StringToWString("\xED\xA0\x80", 1).find_first_not_of(fffd), std::wstring::npos)
        << "encoded surrogate";
    EXPECT_EQ(base::StringToWString("\xC0\xAF", 1).find(L'/'), std::wstring::npos) << "overlong slash";
    EXPECT_EQ(mLines->size(), 4u);

    mLines->clear();
    std::wstring bad = L"a";
    bad.push_back(static_cast<wchar_t>(0xD800));
    bad.push_back(static_cast<wchar_t>(0x110000));
    bad.push_back(static_cast<wchar_t>(-1));
    EXPECT_EQ(base::WStringToString(bad, 1), "a\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
    ASSERT_EQ(mLines->size(), 1u);
    EXPECT_NE(mLines->back().find(L"character 1 of 4"), std::wstring::npos) << mLines->back();

    // Logging a bad argument does not recurse.
    mLines->clear();
    QL_LOG(L"name %s\n") << std::string("bad \xFE name");
    ASSERT_EQ(mLines->size(), 2u) << "the fault, then the message itself";
    EXPECT_EQ(mLines->back(), L"name bad \uFFFD name\n");
}

TEST(Tokenizer, SplitsSkipsReadsNumbersAndTrims)
{
    struct Case
    {
        const char* text;
        char delimiter;
        bool skipEmpty;
        Tokens tokens;
    };
    const Case cases[] = {
        {"first\n\nthird", '\n', true, {"first", "third"}},
        {"first\n \t \nthird\n", '\n', true, {"first", "third"}},
        {"a;;b;", ';', false, {"a", "", "b", ""}}, // the last empty field counts
        {";", ';', false, {"", ""}},
        {" a ; b ", ';', false, {"a", "b"}},
        {"\t x y \t;", ';', false, {"x y", ""}},
        {"  a;b;  ", ';', false, {"a", "b", ""}}, // trailing blanks go before splitting
        {"", ';', false, {""}},
        {"  \t", ';', false, {""}},
        {"", ';', true, {}},
        {";;;", ';', true, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Split(c.text, c.delimiter, c.skipEmpty), c.tokens) << "'" << c.text << "'";

    // Skipping judges emptiness, numbers read leading digits, trimming takes blanks only.
    base::Tokenizer tokenizer("a; ;b", ';', true);
    EXPECT_TRUE(tokenizer.NextToken(nullptr));
    EXPECT_EQ(tokenizer.count(), 2) << "counting keeps the read position";
    std::string token;
    ASSERT_TRUE(tokenizer.NextToken(&token));
    EXPECT_EQ(token, "b");

    base::Tokenizer blanks(" ; \t;x", ';', true);
    EXPECT_TRUE(blanks.NextToken(nullptr)) << "skips two blank fields, lands on x";
    EXPECT_FALSE(blanks.NextToken(nullptr));

    base::Tokenizer numbers("12abc;-7; 2.5 ;x;99999999999", ';', false);
    int a = 0, b = 0, d = 5, e = 0, past = 42;
    float c = 0;
    numbers >> a >> b >> c >> d >> e >> past;
    EXPECT_EQ(a, 12);
    EXPECT_EQ(b, -7);
    EXPECT_FLOAT_EQ(c, 2.5f);
    EXPECT_EQ(d, 0) << "text that is no number reads 0";
    EXPECT_EQ(e, 2147483647) << "out of range clamps";
    EXPECT_EQ(past, 42) << "past the end the target keeps its value";
    float f = 1.25f;
    numbers >> f;
    EXPECT_EQ(f, 1.25f);

    std::string text = " \t a b\n \t";
    base::Trim(text);
    EXPECT_EQ(text, "a b\n");
    std::string blank = " \t ";
    base::Trim(blank);
    EXPECT_EQ(blank, "");

    std::string out = ">";
    base::RemoveChar(" 1 ; 2 ;3 ", ' ', out);
    EXPECT_EQ(out, ">1;2;3");
}
