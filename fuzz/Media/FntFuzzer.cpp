// Fuzzes the ".fnt" reader and lays out and measures a text with whatever glyphs it read.
#include "Core/Media/Font/BMFont.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    render::BMFont font;
    (void)font.Parse(reinterpret_cast<const char*>(data), size, L"");
    static const std::wstring text = L"Wave 7 of 12:\n  AVAVA To the moor\tand back \x10041 \xFFFF end.";
    float measured[2] = {};
    render::TextFormat format;
    format.mWrapWidth = 60.0f;
    format.mAlignment = 3;
    format.mFallback = L'?';
    (void)font.DrawText(nullptr, nullptr, text, format, measured);
    return 0;
}
