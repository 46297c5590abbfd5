// Text conversions one after another: a repaired or reported conversion leaves nothing behind for
// the next one (no half sequence carried over, no report swallowed), in every mode.
#include "Core/Base/StringConvert.h"

#include "Core/Base/Log.h"
#include "Core/Base/Singletone.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
class Lines : public base::LogOutput
{
public:
    explicit Lines(std::shared_ptr<std::vector<std::wstring>> lines) : mLines(std::move(lines)) {}
    void Write(const std::wstring& text) override { mLines->push_back(text); }

private:
    std::shared_ptr<std::vector<std::wstring>> mLines;
};

class ConversionSequence : public ::testing::Test
{
protected:
    ConversionSequence()
    {
        base::SingletoneBase::DestroyAll();
        base::MainLog::Instance()->AddPlainOutput(new Lines(mLines));
        mLines->clear();
    }
    ~ConversionSequence() override { base::SingletoneBase::DestroyAll(); }

    std::shared_ptr<std::vector<std::wstring>> mLines = std::make_shared<std::vector<std::wstring>>();
};

const std::wstring kFffd(1, static_cast<wchar_t>(0xFFFD));
} // namespace

TEST_F(ConversionSequence, AFaultyConversionLeavesTheNextOneCleanAndEveryFaultIsReported)
{
    for (int mode : {1, 2, 3})
    {
        SCOPED_TRACE(mode);
        mLines->clear();
        // A sequence cut between two calls is two faults, never joined into one character.
        EXPECT_EQ(base::StringToWString("ab\xE2\x82", mode), L"ab" + kFffd);
        EXPECT_EQ(base::StringToWString("\xAC"
                                        "cd",
                                        mode),
                  kFffd + L"cd");
        EXPECT_EQ(mLines->size(), 2u) << "both halves reported";

        // Then valid text converts whole and reports nothing.
        EXPECT_EQ(base::StringToWString("\xE2\x82\xAC", mode), L"\u20ac");
        EXPECT_EQ(base::StringToWString("plain", mode), L"plain");
        EXPECT_EQ(mLines->size(), 2u);

        // The same for the other direction: a bad code point, then good ones.
        std::wstring bad = L"x";
        bad.push_back(static_cast<wchar_t>(0xDC00));
        EXPECT_EQ(base::WStringToString(bad, mode), "x\xEF\xBF\xBD");
        EXPECT_EQ(base::WStringToString(L"\u00e9\U0001F600", mode), "\xC3\xA9\xF0\x9F\x98\x80");
        EXPECT_EQ(mLines->size(), 3u);

        // Byte mode in between keeps its own rule and does not disturb the next UTF-8 conversion.
        EXPECT_EQ(base::StringToWString("\xC3", 0), std::wstring(1, static_cast<wchar_t>(0xFFC3)));
        EXPECT_EQ(base::StringToWString("\xA9", mode), kFffd);
        EXPECT_EQ(mLines->size(), 4u);
    }

    // A fault met while the log reports another one is not reported twice; the next fault after
    // it is reported again, as the first was.
    mLines->clear();
    QL_LOG(L"name %s\n") << std::string("bad \xFE name");
    const size_t afterNested = mLines->size();
    ASSERT_EQ(afterNested, 2u);
    EXPECT_EQ(base::StringToWString("again \xFF", 1), L"again " + kFffd);
    EXPECT_EQ(mLines->size(), afterNested + 1) << "reporting is back on after the nested fault";
    QL_LOG(L"name %s\n") << std::string("bad \xFE name");
    EXPECT_EQ(mLines->size(), afterNested + 3);
}
