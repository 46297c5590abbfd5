// Engine key codes (0-323) and virtual keys (0-255), both ways.
#pragma once

#include "Core/Base/Types.h"

#include <array>

namespace input
{
constexpr u32 kKeyCodeCount = 324;
constexpr u32 kVirtualKeyCount = 256;

class KeyMap
{
public:
    KeyMap();
    // Virtual key of an engine code; 0 for codes outside the table.
    u32 ToVirtualKey(u32 code) const { return code < kKeyCodeCount ? mToVirtual[code] : 0; }
    // Engine code of a virtual key: the highest code mapping to it (return -> 271, 186 -> 59).
    u32 ToKeyCode(u32 virtualKey) const { return virtualKey < kVirtualKeyCount ? mToCode[virtualKey] : 0; }

private:
    std::array<u32, kKeyCodeCount> mToVirtual{};
    std::array<u32, kVirtualKeyCount> mToCode{};
};

// Held-modifier bits for the left/right shift, control and Alt keys.
enum ModifierBits : u32
{
    MOD_LSHIFT = 0x1,
    MOD_RSHIFT = 0x2,
    MOD_LCONTROL = 0x40,
    MOD_RCONTROL = 0x80,
    MOD_LALT = 0x100,
    MOD_RALT = 0x200,
};
} // namespace input
