// The key table and its reverse, where a later engine code wins.
#include "Core/Input/KeyMap.h"

namespace input
{
KeyMap::KeyMap()
{
    auto& m = mToVirtual;
    for (u32 c : {8u, 9u, 12u, 13u, 19u, 27u, 32u})
        m[c] = c;
    for (u32 c = 48; c <= 57; ++c)
        m[c] = c;
    m[58] = m[59] = 186;
    for (u32 c = 97; c <= 122; ++c)
        m[c] = c - 32;
    m[127] = 46;
    for (u32 c = 256; c <= 265; ++c)
        m[c] = c - 160;
    const u32 keypad[] = {110, 111, 106, 109, 107, 13};
    for (u32 i = 0; i < 6; ++i)
        m[266 + i] = keypad[i];
    const u32 arrowsAndBlock[] = {38, 40, 39, 37, 45, 36, 35, 33, 34};
    for (u32 i = 0; i < 9; ++i)
        m[273 + i] = arrowsAndBlock[i];
    for (u32 c = 282; c <= 296; ++c)
        m[c] = c - 170;
    m[300] = 144;
    m[301] = 20;
    m[302] = 145;
    const u32 modifiers[] = {161, 160, 163, 162, 164, 165};
    for (u32 i = 0; i < 6; ++i)
        m[303 + i] = modifiers[i];
    m[311] = 91;
    m[312] = 92;
    m[315] = 47;
    m[316] = 42;
    m[317] = 44;

    for (u32 code = 0; code < kKeyCodeCount; ++code)
        mToCode[mToVirtual[code]] = code;
}
} // namespace input
