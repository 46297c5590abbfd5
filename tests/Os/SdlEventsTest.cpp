// SDL events turned into the window's own: this window only, keys, text, buttons and the wheel.
#include "Platform/Os/SdlEvents.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

namespace
{
constexpr u32 kOurs = 7;
constexpr u32 kOther = 8;

SDL_Event WindowEvent(Uint8 what, u32 id = kOurs, Sint32 a = 0, Sint32 b = 0)
{
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = id;
    e.window.event = what;
    e.window.data1 = a;
    e.window.data2 = b;
    return e;
}

SDL_Event KeyEvent(Uint32 type, SDL_Keycode sym, bool repeat = false, u32 id = kOurs)
{
    SDL_Event e{};
    e.type = type;
    e.key.windowID = id;
    e.key.keysym.sym = sym;
    e.key.repeat = repeat ? 1 : 0;
    return e;
}

SDL_Event ButtonEvent(Uint32 type, Uint8 button, Uint8 clicks, Sint32 x, Sint32 y, u32 id = kOurs)
{
    SDL_Event e{};
    e.type = type;
    e.button.windowID = id;
    e.button.button = button;
    e.button.clicks = clicks;
    e.button.x = x;
    e.button.y = y;
    return e;
}

SDL_Event MotionEvent(Sint32 x, Sint32 y, u32 id = kOurs)
{
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = id;
    e.motion.x = x;
    e.motion.y = y;
    return e;
}

SDL_Event WheelEvent(float y, Sint32 mouseX, Sint32 mouseY, bool flipped = false, u32 id = kOurs)
{
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.windowID = id;
    e.wheel.y = static_cast<Sint32>(y);
    e.wheel.preciseY = y;
    e.wheel.direction = flipped ? SDL_MOUSEWHEEL_FLIPPED : SDL_MOUSEWHEEL_NORMAL;
    e.wheel.mouseX = mouseX;
    e.wheel.mouseY = mouseY;
    return e;
}

SDL_Event TextEvent(const char* utf8, u32 id = kOurs)
{
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    e.text.windowID = id;
    std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
    return e;
}

class SdlEventsTest : public ::testing::Test
{
protected:
    void SetUp() override { translator.SetWindowId(kOurs); }
    // The translated event; type None when the event was dropped.
    os::Event Take(const SDL_Event& e)
    {
        os::Event out;
        out.type = os::EventType::MouseDown; // must be overwritten either way
        if (!translator.Translate(e, out))
            return os::Event();
        return out;
    }
    os::SdlEventTranslator translator;
};
} // namespace

TEST_F(SdlEventsTest, WindowEventsOfThisWindowOnlyAndQuitAlwaysClose)
{
    EXPECT_EQ(Take(WindowEvent(SDL_WINDOWEVENT_CLOSE)).type, os::EventType::Close);
    EXPECT_EQ(Take(WindowEvent(SDL_WINDOWEVENT_CLOSE, kOther)).type, os::EventType::None);
    SDL_Event quit{};
    quit.type = SDL_QUIT; // SIGTERM and SIGINT arrive as this
    EXPECT_EQ(Take(quit).type, os::EventType::Close);
    const std::pair<Uint8, os::EventType> kinds[] = {
        {SDL_WINDOWEVENT_FOCUS_GAINED, os::EventType::FocusGained}, {SDL_WINDOWEVENT_FOCUS_LOST, os::EventType::FocusLost},
        {SDL_WINDOWEVENT_MINIMIZED, os::EventType::Minimized},      {SDL_WINDOWEVENT_RESTORED, os::EventType::Restored},
        {SDL_WINDOWEVENT_MAXIMIZED, os::EventType::Restored},       {SDL_WINDOWEVENT_ENTER, os::EventType::MouseEnter},
        {SDL_WINDOWEVENT_EXPOSED, os::EventType::None}};
    for (const auto& [what, type] : kinds)
        EXPECT_EQ(Take(WindowEvent(what)).type, type) << int(what);
    const os::Event moved = Take(WindowEvent(SDL_WINDOWEVENT_MOVED, kOurs, 277, 156));
    EXPECT_EQ(moved.type, os::EventType::Moved);
    EXPECT_EQ(moved.x, 277);
    EXPECT_EQ(moved.y, 156);
}

TEST_F(SdlEventsTest, LeaveIsReportedAtTheLastCursorPosition)
{
    Take(MotionEvent(12, 34));
    Take(MotionEvent(1365, 400, kOther)); // another window's cursor does not count
    const os::Event leave = Take(WindowEvent(SDL_WINDOWEVENT_LEAVE));
    EXPECT_EQ(leave.type, os::EventType::MouseLeave);
    EXPECT_EQ(leave.x, 12);
    EXPECT_EQ(leave.y, 34);
    Take(WheelEvent(1, 50, 60));
    EXPECT_EQ(Take(WindowEvent(SDL_WINDOWEVENT_LEAVE)).x, 50);
}

TEST_F(SdlEventsTest, KeysBecomeVirtualKeysWithTheSideAndRepeat)
{
    os::Event alt = Take(KeyEvent(SDL_KEYDOWN, SDLK_LALT));
    EXPECT_EQ(alt.type, os::EventType::KeyDown);
    EXPECT_EQ(alt.key, 18u);
    EXPECT_EQ(alt.sideKey, 164u);
    EXPECT_FALSE(alt.repeat);
    const os::Event right = Take(KeyEvent(SDL_KEYDOWN, SDLK_RSHIFT));
    EXPECT_EQ(right.key, 16u);
    EXPECT_EQ(right.sideKey, 161u);
    const os::Event enter = Take(KeyEvent(SDL_KEYDOWN, SDLK_KP_ENTER, true));
    EXPECT_EQ(enter.key, 13u);
    EXPECT_EQ(enter.sideKey, 0u);
    EXPECT_TRUE(enter.repeat);
    const os::Event up = Take(KeyEvent(SDL_KEYUP, SDLK_a));
    EXPECT_EQ(up.type, os::EventType::KeyUp);
    EXPECT_EQ(up.key, 65u);
    EXPECT_EQ(Take(KeyEvent(SDL_KEYDOWN, SDLK_AUDIOPLAY)).type, os::EventType::None); // not in the tables
    EXPECT_EQ(Take(KeyEvent(SDL_KEYDOWN, SDLK_a, false, kOther)).type, os::EventType::None);
}

TEST_F(SdlEventsTest, TextIsPassedOnAsUtf8)
{
    const os::Event t = Take(TextEvent("\xC3\xA9t\xC3\xA9"));
    EXPECT_EQ(t.type, os::EventType::Text);
    EXPECT_EQ(t.text, "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(Take(TextEvent("x", kOther)).type, os::EventType::None);
}

TEST_F(SdlEventsTest, ButtonsKeepTheirClickCountAndOnlyTheThreeMainOnesPass)
{
    const os::Event down = Take(ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, 200, 100));
    EXPECT_EQ(down.type, os::EventType::MouseDown);
    EXPECT_EQ(down.button, 1);
    EXPECT_EQ(down.clicks, 1);
    EXPECT_EQ(down.x, 200);
    EXPECT_EQ(down.y, 100);
    const os::Event second = Take(ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 2, 5, 6));
    EXPECT_EQ(second.button, 3);
    EXPECT_EQ(second.clicks, 2);
    const os::Event up = Take(ButtonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE, 1, 5, 6));
    EXPECT_EQ(up.type, os::EventType::MouseUp);
    EXPECT_EQ(up.button, 2); // the window decides to drop it
    EXPECT_EQ(Take(ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 1, 5, 6)).type, os::EventType::None);
    EXPECT_EQ(Take(ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, 5, 6, kOther)).type,
              os::EventType::None);
}

TEST_F(SdlEventsTest, WheelIsSignedInNotchesAtTheCursorInClientPixels)
{
    const os::Event away = Take(WheelEvent(1, 300, 200));
    EXPECT_EQ(away.type, os::EventType::MouseWheel);
    EXPECT_EQ(away.wheel, 1);
    EXPECT_EQ(away.x, 300);
    EXPECT_EQ(away.y, 200);
    EXPECT_EQ(Take(WheelEvent(-2, 0, 0)).wheel, -2);
    EXPECT_EQ(Take(WheelEvent(1, 0, 0, true)).wheel, -1); // "natural" scrolling reports the turn itself
    EXPECT_EQ(Take(WheelEvent(0.25f, 0, 0)).wheel, 0.25f);
    EXPECT_EQ(Take(WheelEvent(0, 0, 0)).type, os::EventType::None); // a sideways turn only
}
