// Laying a text out with a glyph table: page runs, lines (breaks, wrapping) and measuring.
#pragma once

#include "Core/Media/Font/Glyph.h"
#include "Core/Media/Font/InlineVector.h"
#include "Core/Media/Graphics/TextFormat.h"

#include <map>
#include <string>

namespace render
{
using GlyphMap = std::map<u16, Glyph>;
using PageRuns = InlineVector<PageRun, 256>;
using TextLines = InlineVector<TextLine, 1024>;

// The character's glyph, else the fallback's; null for neither. Characters beyond U+FFFF have
// no glyph of their own (glyph keys are 16-bit).
const Glyph* FindGlyph(const GlyphMap& glyphs, wchar_t character, u16 fallback);
inline bool IsBlank(wchar_t c) { return c == 32 || c == 9; }

// Consecutive drawable glyphs sharing a page, in text order (breaks and blanks skipped).
void BuildPageRuns(const GlyphMap& glyphs, const std::wstring& text, const TextFormat& format, PageRuns& runs);
void LayoutLines(const GlyphMap& glyphs, const std::wstring& text, const TextFormat& format, TextLines& lines);
// (W, H): widest line (or the wrap width), and size plus the advance of every further line.
void MeasureLines(const TextLines& lines, const TextFormat& format, float size, float lineAdvance, float out[2]);
} // namespace render
