// Number, boolean and text helpers of the data readers, and the property bag of level items.
#include "Source/TD/Data/TDPropertyBag.h"
#include "Source/TD/Data/TDText.h"

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <cmath>
#include <limits>

TEST(Text, NumbersClampBadTextKeepsTheValueAndSplittingAndUtf8)
{
    for (auto [in, out] : {std::pair{"12abc", 12},
                           {" -7", -7},
                           {"abc", 0},
                           {"99999999999999999999", 2147483647},
                           {"-99999999999", -2147483647 - 1}})
        EXPECT_EQ(tdtext::leadingInt(in), out) << in;
    EXPECT_EQ(tdtext::leadingFloat("0.5x"), 0.5f);
    i32 kept = 5;
    EXPECT_FALSE(tdtext::parseInt("x1", kept));
    EXPECT_EQ(kept, 5);
    float f = 2.0f;
    EXPECT_FALSE(tdtext::parseFloat("", f));
    EXPECT_TRUE(tdtext::parseFloat("1e999", f) && std::isinf(f));
    bool b = false;
    EXPECT_TRUE(tdtext::parseBool("true", b) && b);
    EXPECT_TRUE(tdtext::parseBool("false", b) && !b);
    b = true;
    EXPECT_TRUE(tdtext::parseBool("0", b) && !b);
    EXPECT_TRUE(tdtext::parseBool("7", b) && b);
    EXPECT_FALSE(tdtext::parseBool("yes", b));
    EXPECT_TRUE(b);
    for (auto [in, out] : {std::pair{12.9f, 12},
                           {-0.5f, 0},
                           {std::numeric_limits<float>::quiet_NaN(), 0},
                           {1e20f, 2147483647},
                           {-1e20f, -2147483647 - 1}})
        EXPECT_EQ(tdtext::truncToInt(in), out) << in;
    for (auto [in, out] :
         {std::pair{-0.0f, "0.000000"}, {-0.25f, "-0.250000"}, {std::numeric_limits<float>::quiet_NaN(), "NaN"}})
        EXPECT_EQ(tdtext::formatFixed(in), out) << in;

    // Splitting, blanks and UTF-8.
    EXPECT_EQ(tdtext::split("a;;b;", ';', false), (std::vector<std::string>{"a", "", "b", ""}));
    EXPECT_EQ(tdtext::split(" a ; b ", ';', false), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(tdtext::split("x\n\ny", '\n', true), (std::vector<std::string>{"x", "y"}));
    EXPECT_TRUE(tdtext::split("", ';', true).empty());
    EXPECT_EQ(tdtext::split("", ';', false), (std::vector<std::string>{""}));
    EXPECT_EQ(tdtext::removeBlanks(" 1 ;\t2 "), "1;2");
    EXPECT_EQ(tdtext::utf8ToWide("caf\xC3\xA9"), L"caf\u00e9");
    EXPECT_EQ(tdtext::utf8ToWide("a\xFF"
                                 "b")
                  .back(),
              L'b');
    EXPECT_EQ(tdtext::wideToUtf8(L"\u6771"), "\xE6\x9D\xB1");
    EXPECT_EQ(tdtext::wideToUtf8(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xEF\xBF\xBD");
}

TEST(PropertyBag, LaterNamesWinAndMissingNamesAreInserted)
{
    tinyxml2::XMLDocument document;
    document.Parse(
        R"(<spot><p name="a" value="1.5"/><p name="a" value="2"/><p name="b" value="x"/><p name="c"/></spot>)");
    TDPropertyBag bag(document.FirstChildElement());
    EXPECT_EQ(bag.getFloat("a"), 2.0f);
    EXPECT_EQ(bag.getFloat("b"), 0.0f);
    EXPECT_EQ(bag.getString("c"), "0.000000");
    EXPECT_FALSE(bag.has("zzz"));
    EXPECT_EQ(bag.getFloat("zzz"), 0.0f);
    EXPECT_TRUE(bag.has("zzz"));
    EXPECT_EQ(bag.getString("never"), "");
}
