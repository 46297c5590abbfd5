// One glyph of a bitmap font, and the records of laid-out text.
#pragma once

#include "Core/Base/Types.h"

#include <map>

namespace render
{
struct Glyph
{
    float x = 0.0f, y = 0.0f, width = 0.0f, height = 0.0f; // on the page, times texture x display scale
    float xOffset = 0.0f, yOffset = 0.0f, xAdvance = 0.0f; // times the display scale
    i32 page = 0;
    i32 channel = 0;
    std::map<u16, float> kerning; // preceding character -> amount

    float KerningAfter(wchar_t previous) const
    {
        if (previous == 0 || previous > 0xFFFF || kerning.empty())
            return 0.0f;
        auto found = kerning.find(static_cast<u16>(previous));
        return found == kerning.end() ? 0.0f : found->second;
    }
};

struct TextLine
{
    float width = 0.0f;
    u32 first = 0;
    u32 count = 0;
    u32 innerSpaces = 0;
    float indent = 0.0f;
    bool wrapped = false;
};

struct PageRun
{
    u32 count = 0;
    i32 page = 0;
};
} // namespace render
