// Line layout and measuring: breaks, wrapping, kerning, fallbacks.
#include "Core/Media/Font/TextLayout.h"

#include <gtest/gtest.h>

using namespace render;

namespace
{
GlyphMap Glyphs(std::initializer_list<std::pair<wchar_t, float>> advances)
{
    GlyphMap glyphs;
    for (const auto& [c, advance] : advances)
        glyphs[static_cast<u16>(c)].xAdvance = advance;
    return glyphs;
}

TextLines Layout(const GlyphMap& glyphs, const std::wstring& text, const TextFormat& format = TextFormat())
{
    TextLines lines;
    LayoutLines(glyphs, text, format, lines);
    return lines;
}

const GlyphMap kTwenty =
    Glyphs({{L'a', 20}, {L'b', 20}, {L'c', 20}, {L'd', 20}, {L'e', 20}, {L'f', 20}, {L' ', 10}});
} // namespace

TEST(TextLayout, WrapsBeforeTheWordThatOverflows)
{
    TextFormat format;
    format.mWrapWidth = 100;
    const TextLines lines = Layout(kTwenty, L"abc def", format);
    ASSERT_EQ(2u, lines.size());
    EXPECT_FLOAT_EQ(60.0f, lines[0].width);
    EXPECT_EQ(0u, lines[0].first);
    EXPECT_EQ(3u, lines[0].count);
    EXPECT_TRUE(lines[0].wrapped);
    EXPECT_EQ(0u, lines[0].innerSpaces);
    EXPECT_FLOAT_EQ(60.0f, lines[1].width);
    EXPECT_EQ(4u, lines[1].first);
    EXPECT_EQ(3u, lines[1].count);
    EXPECT_FALSE(lines[1].wrapped);
}

TEST(TextLayout, CountsInnerSpacesOfWrappedLines)
{
    TextFormat format;
    format.mWrapWidth = 100;
    // "ab ab ab" is 20+20+10+... : "a b c" fits (20+10+20+10+20 = 80), the next word does not.
    const TextLines lines = Layout(kTwenty, L"a b c def", format);
    ASSERT_EQ(2u, lines.size());
    EXPECT_FLOAT_EQ(80.0f, lines[0].width);
    EXPECT_EQ(2u, lines[0].innerSpaces);
    EXPECT_TRUE(lines[0].wrapped);
}

TEST(TextLayout, BreaksInsideAWordLongerThanTheLine)
{
    TextFormat format;
    format.mWrapWidth = 50;
    const TextLines lines = Layout(kTwenty, L"abcdef", format);
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ(2u, lines[0].count);
    EXPECT_FLOAT_EQ(40.0f, lines[0].width);
    EXPECT_TRUE(lines[0].wrapped);
    EXPECT_EQ(2u, lines[1].first);
    EXPECT_FLOAT_EQ(40.0f, lines[1].width);
    EXPECT_EQ(4u, lines[2].first);
    EXPECT_FLOAT_EQ(40.0f, lines[2].width);
}

TEST(TextLayout, LeadingSpacesStayOnTheFirstLineAndDoNotShortenTheNext)
{
    TextFormat format;
    format.mWrapWidth = 100;
    // The first word overflows after its spaces and breaks inside; the spaces are spent there.
    const TextLines lines = Layout(kTwenty, L"  abcdef abc", format);
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ(6u, lines[0].count);
    EXPECT_FLOAT_EQ(100.0f, lines[0].width) << "two spaces and four letters";
    EXPECT_EQ(6u, lines[1].first);
    EXPECT_EQ(2u, lines[1].count);
    EXPECT_FLOAT_EQ(40.0f, lines[1].width) << "no spaces left pending from the first line";
    EXPECT_EQ(9u, lines[2].first);
    EXPECT_FLOAT_EQ(60.0f, lines[2].width);
}

TEST(TextLayout, ASingleGlyphWiderThanTheLineStaysWhole)
{
    TextFormat format;
    format.mWrapWidth = 15;
    const TextLines lines = Layout(kTwenty, L"ab", format);
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(1u, lines[0].count);
    EXPECT_FLOAT_EQ(20.0f, lines[0].width);
    EXPECT_EQ(1u, lines[1].first);
    EXPECT_FLOAT_EQ(20.0f, lines[1].width);
}

TEST(TextLayout, LineBreaksMakeLinesAndTrailingBreaksOnlyWithAnIndent)
{
    const TextLines three = Layout(kTwenty, L"a\n\nb");
    ASSERT_EQ(3u, three.size());
    EXPECT_EQ(0u, three[1].count);
    EXPECT_FLOAT_EQ(0.0f, three[1].width);
    EXPECT_EQ(3u, three[2].first);

    EXPECT_EQ(1u, Layout(kTwenty, L"a\n").size());
    TextFormat indented;
    indented.mParagraphIndent = 8;
    const TextLines withIndent = Layout(kTwenty, L"a\n", indented);
    ASSERT_EQ(2u, withIndent.size());
    EXPECT_FLOAT_EQ(28.0f, withIndent[0].width);
    EXPECT_FLOAT_EQ(8.0f, withIndent[0].indent);
    EXPECT_EQ(0u, Layout(kTwenty, L"").size());
}

TEST(TextLayout, TrailingSpacesAreDroppedAtABreak)
{
    const TextLines lines = Layout(kTwenty, L"ab  \ncd");
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(2u, lines[0].count);
    EXPECT_FLOAT_EQ(40.0f, lines[0].width);
}

TEST(TextLayout, KerningNarrowsTheMeasuredWidth)
{
    GlyphMap glyphs = Glyphs({{L'A', 10}, {L'V', 10}});
    glyphs[L'V'].kerning[L'A'] = -2.0f;
    TextLines lines;
    LayoutLines(glyphs, L"AV", TextFormat(), lines);
    float size[2];
    MeasureLines(lines, TextFormat(), 20.0f, 22.0f, size);
    EXPECT_FLOAT_EQ(18.0f, size[0]);
    EXPECT_FLOAT_EQ(20.0f, size[1]);
    LayoutLines(glyphs, L"VA", TextFormat(), lines);
    MeasureLines(lines, TextFormat(), 20.0f, 22.0f, size);
    EXPECT_FLOAT_EQ(20.0f, size[0]) << "the pair is ordered";
}

TEST(TextLayout, MeasuresTheWidestLineOrTheWrapWidth)
{
    TextFormat format;
    format.mLineSpacing = 3;
    TextLines lines;
    LayoutLines(kTwenty, L"ab\nabc\na", format, lines);
    float size[2];
    MeasureLines(lines, format, 20.0f, 22.0f, size);
    EXPECT_FLOAT_EQ(60.0f, size[0]);
    EXPECT_FLOAT_EQ(20.0f + 2 * 25.0f, size[1]);
    format.mWrapWidth = 200;
    format.mWidestLine = false;
    MeasureLines(lines, format, 20.0f, 22.0f, size);
    EXPECT_FLOAT_EQ(200.0f, size[0]);
}

TEST(TextLayout, MissingGlyphsUseTheFallbackOrAddNothing)
{
    TextFormat format;
    const TextLines plain = Layout(kTwenty, L"a?b", format);
    ASSERT_EQ(1u, plain.size());
    EXPECT_FLOAT_EQ(40.0f, plain[0].width);
    format.mFallback = L'e';
    EXPECT_FLOAT_EQ(60.0f, Layout(kTwenty, L"a?b", format)[0].width);
    // Beyond 16 bits a character never aliases a glyph.
    format.mFallback = 0;
    const std::wstring wide = std::wstring(L"a") + static_cast<wchar_t>(0x10061) + L"b";
    EXPECT_FLOAT_EQ(40.0f, Layout(kTwenty, wide, format)[0].width);

    PageRuns runs;
    BuildPageRuns(kTwenty, L"a? b", TextFormat(), runs);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(2u, runs[0].count);
}

TEST(TextLayout, PageRunsGroupNeighboursOnOnePage)
{
    GlyphMap glyphs = Glyphs({{L'a', 5}, {L'b', 5}, {L'c', 5}});
    glyphs[L'b'].page = 1;
    PageRuns runs;
    BuildPageRuns(glyphs, L"aab\ncca", TextFormat(), runs);
    ASSERT_EQ(3u, runs.size());
    EXPECT_EQ(2u, runs[0].count);
    EXPECT_EQ(1, runs[1].page);
    EXPECT_EQ(3u, runs[2].count);
}

TEST(TextLayout, ManyLinesSpillPastTheInlineStorage)
{
    std::wstring text;
    for (int i = 0; i < 1500; ++i)
        text += L"a\n";
    EXPECT_EQ(1500u, Layout(kTwenty, text).size());
}
