// How a text is laid out: spacing, wrapping, alignment, justification.
#pragma once

#include "Core/Base/Types.h"

namespace render
{
struct TextFormat
{
    float mLetterSpacing = 0.0f;   // added to every advance, spaces and tabs included
    float mWrapWidth = 0.0f;       // lines wrap when > 0
    u32 mAlignment = 0;            // 0 left, 1 right, 2 centre, 3 justified
    u16 mLineBreak = 10;           // line feed
    u16 mFallback = 0;             // glyph for missing characters; 0 none
    float mLineSpacing = 0.0f;     // added to every line advance
    float mParagraphIndent = 0.0f; // first line and every line after a break
    bool mJustifyLetters = true;   // spread a justified line without spaces between its letters
    bool mWidestLine = true;       // measured width = widest line; else the wrap width when set
};
} // namespace render
