// Keyboard and mouse state, turned into listener events in game coordinates.
#pragma once

#include "Core/Input/InputListener.h"
#include "Core/Input/KeyMap.h"

#include <array>
#include <string>

namespace input
{
enum KeyState : u32
{
    KEY_UP = 0,
    KEY_PRESSED = 1, // went down since the previous poll
    KEY_HELD = 2,
    KEY_RELEASED = 3, // went up since the previous poll
};

enum ButtonState : u32
{
    BUTTON_UP = 0,
    BUTTON_PRESSED = 1,
    BUTTON_DOUBLE_CLICKED = 4,
};

class InputWin32
{
public:
    InputWin32(InputListener* listener, CoordConverter* converter);

    // Advances every key state from the physical key table; once per frame and per key-down.
    QLResultEnum Update();

    // The physical key table (what the keyboard reports right now). The window writes it before
    // handing over the event; sideKey (160-165) keeps the generic shift/control/Alt key in step.
    void SetKeyPressed(u32 key, u32 sideKey, bool pressed);
    void ReleaseAllKeys();

    void KeyDown(u32 key);
    void KeyUp(u32 key);
    // Typed text following a key-down, as UTF-8: one OnChar per UTF-16 unit.
    void Text(const std::string& utf8);

    // Points in window pixels.
    void MouseMove(const math::Point2& point);
    void MouseDown(const math::Point2& point, u32 button);
    void MouseUp(const math::Point2& point, u32 button);
    void MouseDoubleClick(const math::Point2& point, u32 button);
    void MouseWheel(const math::Point2& point, u32 delta);
    void MouseLeave(const math::Point2& point);

    u32 GetKeyState(u32 key) const { return key < kVirtualKeyCount ? mKeyStates[key] : KEY_UP; }
    u32 GetButtonState(u32 button) const { return button < 4 ? mButtonStates[button] : BUTTON_UP; }
    u32 GetModifiers() const { return mModifiers; }
    const math::Point2& GetMousePosition() const { return mMousePosition; }
    const KeyMap& GetKeyMap() const { return mKeyMap; }

private:
    void Convert(const math::Point2& point);
    void SetButton(u32 button, u32 state);

    InputListener* mListener;
    CoordConverter* mConverter;
    math::Point2 mMousePosition;
    std::array<u32, 4> mButtonStates{};
    std::array<u32, kVirtualKeyCount> mKeyStates{};
    std::array<u8, kVirtualKeyCount> mPhysical{};
    // Keys released since the last poll: their next key-down is a new press, not auto-repeat.
    std::array<bool, kVirtualKeyCount> mReleasedSincePoll{};
    KeyMap mKeyMap;
    u32 mModifiers = 0;
};
} // namespace input
