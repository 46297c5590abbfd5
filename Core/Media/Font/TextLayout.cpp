// Line layout. Spaces between words are pending until the next word shows the line still fits;
// a line that overflows breaks before its last word, or inside its first word when that is all
// it holds (after the spaces that open the text, if any).
// Spaces that open a line are indentation: they are not among its inner spaces.
#include "Core/Media/Font/TextLayout.h"

#include <algorithm>

namespace render
{
const Glyph* FindGlyph(const GlyphMap& glyphs, wchar_t character, u16 fallback)
{
    if (character >= 0 && character <= 0xFFFF)
    {
        auto found = glyphs.find(static_cast<u16>(character));
        if (found != glyphs.end())
            return &found->second;
    }
    if (fallback != 0)
    {
        auto found = glyphs.find(fallback);
        if (found != glyphs.end())
            return &found->second;
    }
    return nullptr;
}

void BuildPageRuns(const GlyphMap& glyphs, const std::wstring& text, const TextFormat& format, PageRuns& runs)
{
    runs.clear();
    for (wchar_t c : text)
    {
        if (c == static_cast<wchar_t>(format.mLineBreak) || IsBlank(c))
            continue;
        const Glyph* glyph = FindGlyph(glyphs, c, format.mFallback);
        if (!glyph)
            continue;
        if (!runs.empty() && runs[runs.size() - 1].page == glyph->page)
            ++runs[runs.size() - 1].count;
        else
            runs.push_back(PageRun{1, glyph->page});
    }
}

namespace
{
class LineBuilder
{
public:
    LineBuilder(const GlyphMap& glyphs, const std::wstring& text, const TextFormat& format, TextLines& lines)
        : mGlyphs(glyphs), mText(text), mFormat(format), mLines(lines), mLineWidth(format.mParagraphIndent)
    {
    }

    void Run()
    {
        mLines.clear();
        const u32 length = static_cast<u32>(mText.size());
        for (u32 i = 0; i < length; ++i)
            Step(i);
        if (mLineWidth + mWordWidth > 0.0f)
            EndParagraphLine(length);
    }

private:
    void Emit(u32 first, u32 count, float width, u32 innerSpaces, float indent, bool wrapped)
    {
        mLines.push_back(TextLine{width, first, count, innerSpaces, indent, wrapped});
    }
    float FirstIndent() const { return mFirstLine ? mFormat.mParagraphIndent : 0.0f; }

    // A line ended by a break (or by the end of the text); trailing spaces are dropped.
    void EndParagraphLine(u32 i)
    {
        if (mInSpaces)
            Emit(mLineStart, mWordStart - mLineStart, mLineWidth + mWordWidth, InnerSpaces(mSpacesRun), FirstIndent(),
                 false);
        else
            Emit(mLineStart, i - mLineStart, mLineWidth + mPendingSpaces + mWordWidth, InnerSpaces(0), FirstIndent(),
                 false);
    }

    // The spaces between the line's words, without those that open it and the run just passed.
    u32 InnerSpaces(u32 trailing) const { return mLineHasWord ? mSpaceCount - mLeadingSpaces - trailing : 0; }

    // A new line from first, its first word already begun (wordWidth is kept).
    void StartWrappedLine(u32 first)
    {
        mLineStart = mWordStart = first;
        mLineWidth = 0.0f;
        mPendingSpaces = 0.0f;
        mSpaceCount = mSpacesRun = mLeadingSpaces = 0;
        mLineHasWord = true;
    }

    void Step(u32 i)
    {
        const wchar_t c = mText[i];
        const wchar_t prev = i > 0 ? mText[i - 1] : 0;
        if (c == static_cast<wchar_t>(mFormat.mLineBreak))
        {
            EndParagraphLine(i);
            mLineStart = mWordStart = i + 1;
            mLineWidth = 0.0f;
            mWordWidth = mFormat.mParagraphIndent;
            mPendingSpaces = 0.0f;
            mSpaceCount = mSpacesRun = mLeadingSpaces = 0;
            mInSpaces = false;
            mLineHasWord = false;
            mFirstLine = true;
            return;
        }
        const Glyph* glyph = FindGlyph(mGlyphs, c, mFormat.mFallback);
        if (!glyph)
            return;
        if (IsBlank(c))
        {
            if (!mInSpaces)
            {
                mLineWidth += mPendingSpaces + mWordWidth;
                mWordWidth = 0.0f;
                mPendingSpaces = 0.0f;
                mWordStart = i;
                mSpacesRun = 0;
            }
            mPendingSpaces += glyph->xAdvance + mFormat.mLetterSpacing;
            ++mSpaceCount;
            ++mSpacesRun;
            if (!mLineHasWord)
                ++mLeadingSpaces;
            mInSpaces = true;
            return;
        }
        if (mInSpaces)
        {
            mAfterSpaces = i;
            mInSpaces = false;
        }
        mLineHasWord = true;
        const float step = glyph->KerningAfter(prev) + glyph->xAdvance + mFormat.mLetterSpacing;
        mWordWidth += step;
        if (mFormat.mWrapWidth <= 0.0f || mLineWidth + mPendingSpaces + mWordWidth <= mFormat.mWrapWidth)
            return;
        if (mWordStart != mLineStart)
        {
            // Break before the word: the spaces between go with neither line.
            Emit(mLineStart, mWordStart - mLineStart, mLineWidth, InnerSpaces(mSpacesRun), FirstIndent(), true);
            StartWrappedLine(mAfterSpaces);
        }
        else if (i > mLineStart)
        {
            // The line's first word overflows (after the spaces that open the text, if any):
            // break inside it, before c. Those spaces stay on this line, counted in its width.
            const bool single = i - mLineStart == 1;
            Emit(mLineStart, i - mLineStart, mLineWidth + mPendingSpaces + mWordWidth - step, 0,
                 single ? 0.0f : FirstIndent(), !single);
            StartWrappedLine(i);
            mWordWidth = glyph->xAdvance + mFormat.mLetterSpacing;
        }
        else
            return; // c alone is wider than the line: it stays, there is nothing to break off
        mFirstLine = false;
    }

    const GlyphMap& mGlyphs;
    const std::wstring& mText;
    const TextFormat& mFormat;
    TextLines& mLines;
    u32 mLineStart = 0;
    u32 mWordStart = 0;
    u32 mAfterSpaces = 0;
    float mLineWidth;
    float mWordWidth = 0.0f;
    float mPendingSpaces = 0.0f;
    u32 mSpaceCount = 0;
    u32 mSpacesRun = 0;
    u32 mLeadingSpaces = 0; // spaces before the line's first word
    bool mLineHasWord = false;
    bool mFirstLine = true;
    bool mInSpaces = false;
};
} // namespace

void LayoutLines(const GlyphMap& glyphs, const std::wstring& text, const TextFormat& format, TextLines& lines)
{
    LineBuilder(glyphs, text, format, lines).Run();
}

void MeasureLines(const TextLines& lines, const TextFormat& format, float size, float lineAdvance, float out[2])
{
    float width = 0.0f;
    for (size_t i = 0; i < lines.size(); ++i)
        width = std::max(width, lines[i].width);
    if (!format.mWidestLine && format.mWrapWidth > 0.0f)
        width = format.mWrapWidth;
    const size_t count = lines.size();
    out[0] = width;
    out[1] = count <= 1 ? size : size + static_cast<float>(count - 1) * (lineAdvance + format.mLineSpacing);
}
} // namespace render
