// Reading ".fnt" documents: required parts, checks and rejected page references.
#include "FntBuilder.h"

#include "Audio/LogCapture.h"

#include "Core/Media/Font/BMFont.h"

#include <gtest/gtest.h>

using fonttest::FntBuilder;

namespace
{
FntBuilder Basic()
{
    FntBuilder b;
    b.glyphs = {{65, 10}, {86, 10}, {32, 5}};
    return b;
}

QLResultEnum Parse(const FntBuilder& builder, render::BMFont* out = nullptr)
{
    render::BMFont local;
    render::BMFont& font = out ? *out : local;
    const std::string text = builder.Build();
    return font.Parse(text.data(), text.size(), L"");
}
} // namespace

TEST(FontLoad, ReadsMetricsGlyphsAndKerning)
{
    FntBuilder b = Basic();
    b.kernings = {{65, 86, -2}};
    render::BMFont font;
    ASSERT_EQ(QL_OK, Parse(b, &font));
    EXPECT_EQ("Test", font.GetFace());
    EXPECT_FLOAT_EQ(20.0f, font.GetSize());
    EXPECT_FLOAT_EQ(18.0f, font.GetBase());
    EXPECT_FLOAT_EQ(2.0f, font.GetDescent());
    EXPECT_FLOAT_EQ(20.0f, font.GetLineAdvance());
    EXPECT_FLOAT_EQ(24.0f, font.GetLineHeight());
    EXPECT_TRUE(font.HasGlyph(L'A'));
    EXPECT_FALSE(font.HasGlyph(L'B'));
    EXPECT_FLOAT_EQ(-2.0f, font.GetGlyphs().at(86).KerningAfter(L'A'));
    EXPECT_EQ(1u, font.GetPages().size()); // no render: the page stays empty
}

TEST(FontLoad, TheMisspelledCharsetIsAcceptedButOneMustExist)
{
    FntBuilder b = Basic();
    b.info.erase("charset");
    b.info["chasrset"] = "";
    EXPECT_EQ(QL_OK, Parse(b));
    b.info.erase("chasrset");
    EXPECT_EQ(QL_FAIL, Parse(b));
}

TEST(FontLoad, KerningsAreOptionalButMustNameKnownCharacters)
{
    FntBuilder b = Basic();
    b.withKernings = false;
    EXPECT_EQ(QL_OK, Parse(b));
    b.withKernings = true;
    b.kernings = {{65, 66, -1}};
    EXPECT_EQ(QL_FAIL, Parse(b)) << "second character without a glyph";
}

TEST(FontLoad, RejectsUnsupportedLayouts)
{
    const std::vector<std::pair<std::string, std::pair<std::string, std::string>>> cases = {
        {"info", {"unicode", "0"}},     {"common", {"packed", "1"}},   {"common", {"alphaChnl", "1"}},
        {"common", {"redChnl", "0"}},   {"common", {"blueChnl", "3"}}, {"info", {"size", "big"}},
        {"info", {"padding", "1,2,3"}}, {"info", {"spacing", "x,1"}}};
    for (const auto& [element, attribute] : cases)
    {
        FntBuilder b = Basic();
        (element == "info" ? b.info : b.common)[attribute.first] = attribute.second;
        EXPECT_EQ(QL_FAIL, Parse(b)) << attribute.first << "=" << attribute.second;
    }
    FntBuilder missing = Basic();
    missing.common.erase("lineHeight");
    EXPECT_EQ(QL_FAIL, Parse(missing));
    render::BMFont font;
    EXPECT_EQ(QL_FAIL, font.Parse("<font><info/>", 13, L"")) << "broken XML";
    EXPECT_EQ(QL_FAIL, font.Parse("<font/>", 7, L"")) << "no parts";
}

TEST(FontLoad, PageIdsAndGlyphPagesOutsideThePageCountAreRejected)
{
    audiotest::LogCapture log;
    FntBuilder negativeId = Basic();
    negativeId.pages = {{-1, "page0.png"}};
    EXPECT_EQ(QL_FAIL, Parse(negativeId));

    FntBuilder tooLarge = Basic();
    tooLarge.pages = {{1, "page0.png"}};
    EXPECT_EQ(QL_FAIL, Parse(tooLarge));

    FntBuilder negativeCount = Basic();
    negativeCount.common["pages"] = "-3";
    negativeCount.pages.clear();
    EXPECT_EQ(QL_FAIL, Parse(negativeCount));

    FntBuilder hugeCount = Basic();
    hugeCount.common["pages"] = "2000000000";
    EXPECT_EQ(QL_FAIL, Parse(hugeCount));

    FntBuilder glyphPage = Basic();
    glyphPage.glyphs.push_back({66, 10, 1});
    EXPECT_EQ(QL_FAIL, Parse(glyphPage));
    glyphPage.glyphs.back().page = -1;
    EXPECT_EQ(QL_FAIL, Parse(glyphPage));

    EXPECT_EQ(2, log.Count("page id"));
    EXPECT_EQ(2, log.Count("page count"));
    EXPECT_EQ(2, log.Count("names page"));
}

TEST(FontLoad, CharactersBeyondSixteenBitsDoNotAliasOthers)
{
    FntBuilder b = Basic();
    b.glyphs.push_back({0x10041, 99}); // would truncate to 'A'
    render::BMFont font;
    ASSERT_EQ(QL_OK, Parse(b, &font));
    EXPECT_FLOAT_EQ(10.0f, font.GetGlyphs().at(65).xAdvance);
    EXPECT_FALSE(font.HasGlyph(static_cast<wchar_t>(0x10041)));
}
