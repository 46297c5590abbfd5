// Line layout and measuring: breaks, wrapping, kerning, fallbacks.
#include "Core/Media/Font/TextLayout.h"

#include <gtest/gtest.h>

#include <string>

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

const GlyphMap kTwenty = Glyphs({{L'a', 20}, {L'b', 20}, {L'c', 20}, {L'd', 20}, {L'e', 20}, {L'f', 20}, {L' ', 10}});

// Each line as "first+count=width", then "w" when wrapped and "sN" for N inner spaces.
std::string Describe(const TextLines& lines)
{
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i)
    {
        const auto& line = lines[i];
        out += (out.empty() ? "" : " ") + std::to_string(line.first) + "+" + std::to_string(line.count) + "=" +
               std::to_string(static_cast<int>(line.width)) + (line.wrapped ? "w" : "");
        if (line.innerSpaces)
            out += "s" + std::to_string(line.innerSpaces);
    }
    return out;
}
} // namespace

TEST(TextLayout, BreaksWrapsSpacesMeasuresAndFallbacksFallWhereTheyShould)
{
    const struct
    {
        const char* what;
        const wchar_t* text;
        float wrap;
        const char* lines;
    } cases[] = {
        {"wraps before the word that overflows", L"abc def", 100, "0+3=60w 4+3=60"},
        {"counts the inner spaces of a wrapped line", L"a b c def", 100, "0+5=80ws2 6+3=60"},
        {"breaks inside a word longer than the line", L"abcdef", 50, "0+2=40w 2+2=40w 4+2=40"},
        // The first word overflows after its spaces and breaks inside; the spaces are spent there
        // and do not shorten the next line.
        {"leading spaces stay on the first line", L"  abcdef abc", 100, "0+6=100w 6+2=40w 9+3=60"},
        // Spaces that open the text leave no empty line: with the word after them it is the
        // line's first word, broken where it overflows, even one that would fit a line alone.
        {"leading spaces then a word that overflows break inside it", L"  abc", 60, "0+4=60w 4+1=20"},
        {"five leading spaces before two words of 60 in 100", L"     abc def", 100, "0+7=90w 7+5=90s1"},
        {"leading spaces are not inner spaces", L"  a b cd", 100, "0+5=70ws1 6+2=40"},
        {"line breaks make lines, empty ones too", L"a\n\nb", 0, "0+1=20 2+0=0 3+1=20"},
        {"a trailing break makes no line", L"a\n", 0, "0+1=20"},
        {"trailing spaces are dropped at a break", L"ab  \ncd", 0, "0+2=40 5+2=40"},
        {"no text, no lines", L"", 0, ""},
    };
    for (const auto& c : cases)
    {
        TextFormat format;
        format.mWrapWidth = c.wrap;
        EXPECT_EQ(c.lines, Describe(Layout(kTwenty, c.text, format))) << c.what;
    }
    // "   hello" at 60 with letters 10 and spaces 5: no empty first line; the "o" goes down.
    const GlyphMap tens = Glyphs({{L'h', 10}, {L'e', 10}, {L'l', 10}, {L'o', 10}, {L' ', 5}});
    TextFormat sixty;
    sixty.mWrapWidth = 60;
    EXPECT_EQ("0+7=55w 7+1=10", Describe(Layout(tens, L"   hello", sixty)));
    EXPECT_EQ("0+8=65", Describe(Layout(tens, L"   hello", TextFormat()))) << "unwrapped the spaces count";
    // A glyph wider than the line stays whole.
    TextFormat narrow;
    narrow.mWrapWidth = 15;
    const TextLines single = Layout(kTwenty, L"ab", narrow);
    ASSERT_EQ(2u, single.size());
    EXPECT_EQ(1u, single[0].count);
    EXPECT_FLOAT_EQ(20.0f, single[0].width);
    EXPECT_EQ(1u, single[1].first);
    // With an indent a trailing break does make a line.
    TextFormat indented;
    indented.mParagraphIndent = 8;
    const TextLines withIndent = Layout(kTwenty, L"a\n", indented);
    ASSERT_EQ(2u, withIndent.size());
    EXPECT_FLOAT_EQ(28.0f, withIndent[0].width);
    EXPECT_FLOAT_EQ(8.0f, withIndent[0].indent);

    // Measuring gives the widest line or the wrap width, of any number of lines; missing glyphs use the fallback.
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
    // Many lines spill past the inline storage.
    std::wstring text;
    for (int i = 0; i < 1500; ++i)
        text += L"a\n";
    EXPECT_EQ(1500u, Layout(kTwenty, text).size());
    // Missing glyphs use the fallback or add nothing.
    format = TextFormat();
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
