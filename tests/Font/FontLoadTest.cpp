// Reading ".fnt" documents: required parts, checks and rejected page references.
#include "FntBuilder.h"

#include "Audio/LogCapture.h"

#include "Core/Media/Font/BMFont.h"

#include <gtest/gtest.h>

#include <functional>

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

TEST(FontLoad, ReadsMetricsGlyphsAndKerningAndAcceptsOrRejectsEachLayoutAndPageReference)
{
    FntBuilder b = Basic();
    b.kernings = {{65, 86, -2}};
    b.glyphs.push_back({0x10041, 99}); // beyond 16 bits: would truncate to 'A'
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
    EXPECT_FLOAT_EQ(10.0f, font.GetGlyphs().at(65).xAdvance);
    EXPECT_FALSE(font.HasGlyph(static_cast<wchar_t>(0x10041)));
    EXPECT_FLOAT_EQ(-2.0f, font.GetGlyphs().at(86).KerningAfter(L'A'));
    EXPECT_EQ(1u, font.GetPages().size()); // no render: the page stays empty

    // Each layout is accepted or rejected, and page references outside the page count.
    audiotest::LogCapture log;
    const struct
    {
        const char* what;
        std::function<void(FntBuilder&)> change;
        QLResultEnum expected;
    } cases[] = {
        {"the misspelled charset", [](FntBuilder& b) { b.info["chasrset"] = b.info.extract("charset").mapped(); },
         QL_OK},
        {"no charset", [](FntBuilder& b) { b.info.erase("charset"); }, QL_FAIL},
        {"no kernings", [](FntBuilder& b) { b.withKernings = false; }, QL_OK},
        {"a kerning with an unknown glyph",
         [](FntBuilder& b) {
             b.kernings = {{65, 66, -1}};
         },
         QL_FAIL},
        {"not unicode", [](FntBuilder& b) { b.info["unicode"] = "0"; }, QL_FAIL},
        {"packed", [](FntBuilder& b) { b.common["packed"] = "1"; }, QL_FAIL},
        {"alpha channel", [](FntBuilder& b) { b.common["alphaChnl"] = "1"; }, QL_FAIL},
        {"red channel", [](FntBuilder& b) { b.common["redChnl"] = "0"; }, QL_FAIL},
        {"blue channel", [](FntBuilder& b) { b.common["blueChnl"] = "3"; }, QL_FAIL},
        {"size", [](FntBuilder& b) { b.info["size"] = "big"; }, QL_FAIL},
        {"padding", [](FntBuilder& b) { b.info["padding"] = "1,2,3"; }, QL_FAIL},
        {"spacing", [](FntBuilder& b) { b.info["spacing"] = "x,1"; }, QL_FAIL},
        {"no line height", [](FntBuilder& b) { b.common.erase("lineHeight"); }, QL_FAIL},
        // Page ids and glyph pages outside the page count are rejected with their reason.
        {"page id -1",
         [](FntBuilder& b) {
             b.pages = {{-1, "page0.png"}};
         },
         QL_FAIL},
        {"page id 1",
         [](FntBuilder& b) {
             b.pages = {{1, "page0.png"}};
         },
         QL_FAIL},
        {"page count -3", [](FntBuilder& b) { b.common["pages"] = "-3"; }, QL_FAIL},
        {"page count huge", [](FntBuilder& b) { b.common["pages"] = "2000000000"; }, QL_FAIL},
        {"glyph on page 1",
         [](FntBuilder& b) {
             b.glyphs.push_back({66, 10, 1});
         },
         QL_FAIL},
        {"glyph on page -1",
         [](FntBuilder& b) {
             b.glyphs.push_back({66, 10, -1});
         },
         QL_FAIL},
    };
    for (const auto& c : cases)
    {
        FntBuilder b = Basic();
        c.change(b);
        EXPECT_EQ(c.expected, Parse(b)) << c.what;
    }
    render::BMFont broken;
    EXPECT_EQ(QL_FAIL, broken.Parse("<font><info/>", 13, L"")) << "broken XML";
    EXPECT_EQ(QL_FAIL, broken.Parse("<font/>", 7, L"")) << "no parts";
    EXPECT_EQ(2, log.Count("page id"));
    EXPECT_EQ(2, log.Count("page count"));
    EXPECT_EQ(2, log.Count("names page"));
}
