// Keyboard and mouse input: the key map, key states per poll, modifiers and listener events.
#include "Core/Input/InputWin32.h"
#include "Core/Input/KeyMap.h"
#include "RecordingListener.h"

#include <gtest/gtest.h>

using testinput::HalvingConverter;
using testinput::RecordingListener;

TEST(KeyMap, ReverseMapLetsTheLaterCodeWin)
{
    // Return and keypad enter share 271; unmapped codes map to VK 0 (323); 'A' -> 'a'; keypad 0;
    // F15; right shift is listed before left; generic shift, control and Alt have no code.
    const std::pair<u32, u32> toKeyCode[] = {{13, 271},  {186, 59},  {0, 323},   {65, 97}, {27, 27}, {96, 256},
                                             {126, 296}, {161, 303}, {160, 304}, {16, 0},  {17, 0},  {18, 0}};
    input::KeyMap map;
    for (const auto& [vk, code] : toKeyCode)
        EXPECT_EQ(map.ToKeyCode(vk), code) << vk;
    EXPECT_EQ(map.ToVirtualKey(127), 46u);
    EXPECT_EQ(map.ToVirtualKey(271), 13u);
    EXPECT_EQ(map.ToVirtualKey(5000), 0u);
}

class InputTest : public ::testing::Test
{
protected:
    RecordingListener listener;
    HalvingConverter converter;
    input::InputWin32 in{&listener, &converter};

    void Press(u32 key, u32 side = 0)
    {
        in.SetKeyPressed(key, side, true);
        in.KeyDown(key);
    }
    void Release(u32 key, u32 side = 0)
    {
        in.SetKeyPressed(key, side, false);
        in.KeyUp(key);
    }
    // Polls once and returns the key's state.
    u32 Poll(u32 key)
    {
        EXPECT_EQ(QL_OK, in.Update());
        return in.GetKeyState(key);
    }
};

TEST_F(InputTest, KeyStatesAdvanceOncePerPollShowMouseButtonsAndMouseEventsAreConverted)
{
    in.SetKeyPressed(65, 0, true);
    EXPECT_EQ(Poll(65), input::KEY_PRESSED);
    EXPECT_EQ(Poll(65), input::KEY_HELD);
    in.SetKeyPressed(65, 0, false);
    EXPECT_EQ(Poll(65), input::KEY_RELEASED);
    EXPECT_EQ(Poll(65), input::KEY_UP);

    // A press and release between polls never passes held or released.
    Press(66); // the key-down polls: 0 -> 1
    EXPECT_EQ(in.GetKeyState(66), input::KEY_PRESSED);
    Release(66);
    EXPECT_EQ(Poll(66), input::KEY_UP);

    // Mouse buttons show in the key table.
    in.MouseDown({0, 0}, 3);
    EXPECT_EQ(Poll(2), input::KEY_PRESSED);
    in.MouseUp({0, 0}, 3);
    EXPECT_EQ(Poll(2), input::KEY_UP);

    // Mouse events go through the converter; moves with a button down drag.
    listener.mEvents.clear();
    in.MouseMove({100, 50});
    in.MouseWheel({40, 20}, static_cast<u16>(-120));
    in.MouseLeave({0, 8});
    EXPECT_EQ(in.GetMousePosition(), math::Point2(-10, 4));
    in.MouseDown({0, 0}, 4); // buttons beyond the table are ignored
    in.MouseUp({0, 0}, 7);
    in.MouseDoubleClick({0, 0}, 99);
    in.MouseDown({20, 20}, 1);
    in.MouseMove({22, 20});
    in.MouseUp({22, 20}, 1);
    in.MouseDoubleClick({22, 20}, 1);
    EXPECT_EQ(in.GetButtonState(1), input::BUTTON_DOUBLE_CLICKED);
    in.MouseMove({24, 20}); // not a drag after a double click
    const std::vector<std::string> expected = {"move 40,25 0", "wheel 10,10 65416", "leave -10,4 0", "down 0,10 1",
                                               "drag 1,10 0",  "up 1,10 1",         "dbl 1,10 1",    "move 2,10 0"};
    EXPECT_EQ(listener.mEvents, expected);
}

TEST_F(InputTest, KeysAndTextReachTheListenerAndSideKeysDriveTheModifiers)
{
    Press(8); // backspace types a control character on every stroke
    in.KeyDown(8);
    in.KeyDown(8);
    Press(13); // return and keypad enter both report 271; a key-up carries 0
    Release(13);
    in.Text("a\xC3\xA9\xF0\x9F\x98\x80"); // a, e-acute, U+1F600 as a surrogate pair
    const std::vector<std::string> expected = {"keydown 8",   "char 8",     "char 8",    "char 8",
                                               "keydown 271", "char 13",    "keyup 0",   "char 97",
                                               "char 233",    "char 55357", "char 56832"};
    EXPECT_EQ(listener.mEvents, expected);

    listener.mEvents.clear();
    Press(16, 160);
    Press(18, 165);
    EXPECT_EQ(QL_OK, in.Update());
    EXPECT_EQ(in.GetModifiers(), input::MOD_LSHIFT | input::MOD_RALT);
    EXPECT_EQ(listener.mEvents[0], "keydown 0");
    Press(16, 161);
    Release(16, 160); // right shift still down keeps the generic shift down
    EXPECT_EQ(Poll(16), input::KEY_HELD);
    EXPECT_EQ(in.GetKeyState(160), input::KEY_RELEASED);
    EXPECT_EQ(QL_OK, in.Update());
    EXPECT_EQ(in.GetModifiers(), input::MOD_RSHIFT | input::MOD_RALT);
}
