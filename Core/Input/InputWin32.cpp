// Key state machine, key and character events, and mouse events through the converter.
#include "Core/Input/InputWin32.h"

#include <utf8.h>

namespace input
{
namespace
{
constexpr u32 kLeftButtonKey = 1;
constexpr u32 kRightButtonKey = 2;
constexpr u32 kFirstSideKey = 160;
constexpr u32 kModifierBits[6] = {MOD_LSHIFT, MOD_RSHIFT, MOD_LCONTROL, MOD_RCONTROL, MOD_LALT, MOD_RALT};

// Keys whose down stroke also types a control character (what the keyboard layout gives).
u16 ControlCharacter(u32 key)
{
    switch (key)
    {
    case 8:
    case 9:
    case 13:
    case 27: return static_cast<u16>(key);
    default: return 0;
    }
}
} // namespace

InputWin32::InputWin32(InputListener* listener, CoordConverter* converter) : mListener(listener), mConverter(converter)
{
}

QLResultEnum InputWin32::Update()
{
    mModifiers = 0;
    mReleasedSincePoll.fill(false);
    for (u32 key = 0; key < kVirtualKeyCount; ++key)
    {
        u32& state = mKeyStates[key];
        if (mPhysical[key] & 0x80)
            state = (state == KEY_PRESSED || state == KEY_HELD) ? KEY_HELD : KEY_PRESSED;
        else
            state = state == KEY_HELD ? KEY_RELEASED : KEY_UP;
    }
    for (u32 i = 0; i < 6; ++i)
        if (mKeyStates[kFirstSideKey + i] == KEY_HELD)
            mModifiers |= kModifierBits[i];
    return QL_OK;
}

void InputWin32::SetKeyPressed(u32 key, u32 sideKey, bool pressed)
{
    if (key >= kVirtualKeyCount)
        return;
    const u8 value = pressed ? 0x80 : 0;
    if (sideKey >= kFirstSideKey && sideKey < kFirstSideKey + 6)
    {
        mPhysical[sideKey] = value;
        // The generic key stays down while either side is down.
        const u32 pair = kFirstSideKey + ((sideKey - kFirstSideKey) & ~1u);
        mPhysical[key] = (mPhysical[pair] | mPhysical[pair + 1]) & 0x80;
    }
    else
        mPhysical[key] = value;
}

void InputWin32::ReleaseAllKeys() { mPhysical.fill(0); }

void InputWin32::KeyDown(u32 key)
{
    const bool fresh = key < kVirtualKeyCount && mReleasedSincePoll[key];
    (void)Update();
    if (fresh)
        mKeyStates[key] = KEY_PRESSED;
    if (GetKeyState(key) == KEY_PRESSED)
        (void)mListener->OnKeyDown(mKeyMap.ToKeyCode(key));
    if (u16 c = ControlCharacter(key))
        (void)mListener->OnChar(c);
}

void InputWin32::KeyUp(u32 key)
{
    // A press that follows before the next poll (fast typing) is a new press and is reported,
    // not taken for auto-repeat; the poll itself still sees the release.
    if (key < kVirtualKeyCount && !(mPhysical[key] & 0x80))
        mReleasedSincePoll[key] = true;
    // Nothing reads the code of a key-up; it is always 0.
    (void)mListener->OnKeyUp(0);
}

void InputWin32::Text(const std::string& utf8)
{
    std::string valid;
    utf8::replace_invalid(utf8.begin(), utf8.end(), std::back_inserter(valid));
    std::u16string units;
    utf8::unchecked::utf8to16(valid.begin(), valid.end(), std::back_inserter(units));
    for (char16_t unit : units)
        (void)mListener->OnChar(static_cast<u16>(unit));
}

void InputWin32::Convert(const math::Point2& point)
{
    mMousePosition = mConverter ? mConverter->ToGameCoords(point) : point;
}

void InputWin32::SetButton(u32 button, u32 state)
{
    mButtonStates[button] = state;
    const u32 key = button == 1 ? kLeftButtonKey : button == 3 ? kRightButtonKey : 0;
    if (key)
        mPhysical[key] = state == BUTTON_UP ? 0 : 0x80;
}

void InputWin32::MouseMove(const math::Point2& point)
{
    Convert(point);
    bool dragging = false;
    for (u32 s : mButtonStates)
        dragging = dragging || s == BUTTON_PRESSED || s == 2;
    if (dragging)
        (void)mListener->OnMouseDrag(mMousePosition);
    else
        (void)mListener->OnMouseMove(mMousePosition);
}

// Buttons beyond the state table (4 and up) are ignored rather than reported.
void InputWin32::MouseDown(const math::Point2& point, u32 button)
{
    if (button >= mButtonStates.size())
        return;
    Convert(point);
    SetButton(button, BUTTON_PRESSED);
    (void)mListener->OnMouseDown(mMousePosition, button);
}

void InputWin32::MouseUp(const math::Point2& point, u32 button)
{
    if (button >= mButtonStates.size())
        return;
    Convert(point);
    SetButton(button, BUTTON_UP);
    (void)mListener->OnMouseUp(mMousePosition, button);
}

void InputWin32::MouseDoubleClick(const math::Point2& point, u32 button)
{
    if (button >= mButtonStates.size())
        return;
    Convert(point);
    SetButton(button, BUTTON_DOUBLE_CLICKED);
    (void)mListener->OnMouseDoubleClick(mMousePosition, button);
}

void InputWin32::MouseWheel(const math::Point2& point, u32 delta)
{
    Convert(point);
    (void)mListener->OnMouseWheel(mMousePosition, delta);
}

void InputWin32::MouseLeave(const math::Point2& point)
{
    Convert(point);
    (void)mListener->OnMouseLeave(mMousePosition);
}
} // namespace input
