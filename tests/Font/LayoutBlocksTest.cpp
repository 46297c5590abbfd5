// Lines and page runs are kept inline up to a block (1024 lines, 256 runs) and on the heap past
// it: texts that fill the block, cross it and come back short keep every entry in its place.
#include "Core/Media/Font/TextLayout.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace render;

namespace
{
// Line k holds k % 5 + 1 letters of advance 20; lines are ended by the format's break.
std::wstring ManyLines(size_t count, wchar_t breakCharacter)
{
    std::wstring text;
    for (size_t k = 0; k < count; ++k)
    {
        if (k)
            text.push_back(breakCharacter);
        text.append(k % 5 + 1, L'a');
    }
    return text;
}

::testing::AssertionResult LinesAreInPlace(const TextLines& lines, size_t count)
{
    if (lines.size() != count)
        return ::testing::AssertionFailure() << lines.size() << " lines instead of " << count;
    u32 first = 0;
    for (size_t k = 0; k < count; ++k)
    {
        const u32 letters = static_cast<u32>(k % 5 + 1);
        const TextLine& line = lines[k];
        if (line.first != first || line.count != letters || line.width != 20.0f * letters || line.wrapped)
            return ::testing::AssertionFailure()
                   << "line " << k << ": first " << line.first << " count " << line.count << " width " << line.width
                   << ", expected first " << first << " count " << letters;
        first += letters + 1;
    }
    return ::testing::AssertionSuccess();
}
} // namespace

TEST(LayoutBlocks, LinesAroundAndPastTheInlineBlockKeepTheirPlacesAndAShortTextAfterThemLeavesNoneBehind)
{
    GlyphMap glyphs;
    glyphs[u'a'].xAdvance = 20.0f;
    const TextFormat format;
    const wchar_t breakCharacter = static_cast<wchar_t>(format.mLineBreak);
    // One object reused, as the font reuses its own: each layout starts from nothing.
    auto lines = std::make_unique<TextLines>();
    for (size_t count : {size_t{1023}, size_t{1024}, size_t{1025}, size_t{2049}, size_t{3}, size_t{1500}, size_t{1}})
    {
        LayoutLines(glyphs, ManyLines(count, breakCharacter), format, *lines);
        ASSERT_TRUE(LinesAreInPlace(*lines, count)) << count << " lines";
    }
}

TEST(LayoutBlocks, PageRunsAroundAndPastTheInlineBlockCountEveryGlyph)
{
    GlyphMap glyphs;
    glyphs[u'a'].page = 0;
    glyphs[u'b'].page = 1;
    glyphs[u'c'].page = 1;
    const TextFormat format;
    auto runs = std::make_unique<PageRuns>();
    // Runs of 1, 2 and 3 glyphs, pages alternating; blanks between do not split a run.
    for (size_t count : {size_t{255}, size_t{256}, size_t{257}, size_t{700}, size_t{2}, size_t{513}})
    {
        SCOPED_TRACE(count);
        std::wstring text;
        for (size_t k = 0; k < count; ++k)
        {
            const wchar_t letter = k % 2 ? (k % 4 == 1 ? L'b' : L'c') : L'a';
            text.append(k % 3 + 1, letter);
            if (k % 7 == 0)
                text.push_back(L' ');
        }
        BuildPageRuns(glyphs, text, format, *runs);
        ASSERT_EQ(runs->size(), count);
        for (size_t k = 0; k < count; ++k)
        {
            ASSERT_EQ((*runs)[k].page, static_cast<i32>(k % 2)) << "run " << k;
            ASSERT_EQ((*runs)[k].count, static_cast<u32>(k % 3 + 1)) << "run " << k;
        }
    }
}
