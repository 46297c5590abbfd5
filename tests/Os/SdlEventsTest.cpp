// SDL events turned into the window's own: this window only, keys, text, buttons and the wheel.
#include "Platform/Os/SdlEvents.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <utility>

// The events below name only the fields the translator reads; the rest start as zero.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace
{
constexpr u32 kOurs = 7;
constexpr u32 kOther = 8;

SDL_Event WindowEvent(Uint8 what, u32 id = kOurs, Sint32 a = 0, Sint32 b = 0)
{
    return SDL_Event{.window = {.type = SDL_WINDOWEVENT, .windowID = id, .event = what, .data1 = a, .data2 = b}};
}

SDL_Event KeyEvent(Uint32 type, SDL_Keycode sym, bool repeat = false, u32 id = kOurs)
{
    return SDL_Event{.key = {.type = type, .windowID = id, .repeat = Uint8(repeat ? 1 : 0), .keysym = {.sym = sym}}};
}

SDL_Event ButtonEvent(Uint32 type, Uint8 button, Uint8 clicks, Sint32 x, Sint32 y, u32 id = kOurs)
{
    return SDL_Event{.button = {.type = type, .windowID = id, .button = button, .clicks = clicks, .x = x, .y = y}};
}

SDL_Event WheelEvent(float y, Sint32 mouseX, Sint32 mouseY, bool flipped = false, u32 id = kOurs)
{
    const Uint32 direction = flipped ? SDL_MOUSEWHEEL_FLIPPED : SDL_MOUSEWHEEL_NORMAL;
    return SDL_Event{.wheel = {.type = SDL_MOUSEWHEEL,
                               .windowID = id,
                               .y = Sint32(y),
                               .direction = direction,
                               .preciseY = y,
                               .mouseX = mouseX,
                               .mouseY = mouseY}};
}

SDL_Event TextEvent(const char* utf8, u32 id = kOurs)
{
    SDL_Event e{.text = {.type = SDL_TEXTINPUT, .windowID = id}};
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

TEST_F(SdlEventsTest, OnlyThisWindowsEventsAreTranslatedKeysVirtualTextUtf8WheelInNotches)
{
    // A close request says who asked, for the log.
    const os::Event close = Take(WindowEvent(SDL_WINDOWEVENT_CLOSE));
    EXPECT_EQ(close.type, os::EventType::Close);
    EXPECT_STREQ(close.cause, "the window's close request");
    EXPECT_EQ(Take(WindowEvent(SDL_WINDOWEVENT_CLOSE, kOther)).type, os::EventType::None);
    SDL_Event quit{};
    quit.type = SDL_QUIT; // the desktop's; the quit signals are the game's own
    const os::Event quitEvent = Take(quit);
    EXPECT_EQ(quitEvent.type, os::EventType::Close);
    EXPECT_STREQ(quitEvent.cause, "the desktop's quit request");
    EXPECT_EQ(Take(WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED)).cause, nullptr);
    const std::pair<Uint8, os::EventType> kinds[] = {{SDL_WINDOWEVENT_FOCUS_GAINED, os::EventType::FocusGained},
                                                     {SDL_WINDOWEVENT_FOCUS_LOST, os::EventType::FocusLost},
                                                     {SDL_WINDOWEVENT_MINIMIZED, os::EventType::Minimized},
                                                     {SDL_WINDOWEVENT_RESTORED, os::EventType::Restored},
                                                     {SDL_WINDOWEVENT_MAXIMIZED, os::EventType::Restored},
                                                     {SDL_WINDOWEVENT_ENTER, os::EventType::MouseEnter},
                                                     {SDL_WINDOWEVENT_EXPOSED, os::EventType::None}};
    for (const auto& [what, type] : kinds)
        EXPECT_EQ(Take(WindowEvent(what)).type, type) << int(what);
    const os::Event moved = Take(WindowEvent(SDL_WINDOWEVENT_MOVED, kOurs, 277, 156));
    EXPECT_EQ(std::make_tuple(os::EventType::Moved, 277, 156), std::tie(moved.type, moved.x, moved.y));

    const auto key = [](const os::Event& e) { return std::make_tuple(e.type, e.key, e.sideKey, e.repeat); };
    using K = os::EventType;
    EXPECT_EQ(key(Take(KeyEvent(SDL_KEYDOWN, SDLK_LALT))), std::make_tuple(K::KeyDown, 18u, 164u, false));
    EXPECT_EQ(key(Take(KeyEvent(SDL_KEYDOWN, SDLK_RSHIFT))), std::make_tuple(K::KeyDown, 16u, 161u, false));
    EXPECT_EQ(key(Take(KeyEvent(SDL_KEYDOWN, SDLK_KP_ENTER, true))), std::make_tuple(K::KeyDown, 13u, 0u, true));
    EXPECT_EQ(key(Take(KeyEvent(SDL_KEYUP, SDLK_a))), std::make_tuple(K::KeyUp, 65u, 0u, false));
    // The ends of the letter, digit, keypad and function-key runs, a punctuation key and a right-hand
    // modifier.
    for (auto [sym, code, side] : {std::tuple<SDL_Keycode, u32, u32>{SDLK_z, 90u, 0u},
                                   {SDLK_7, 55u, 0u},
                                   {SDLK_KP_0, 96u, 0u},
                                   {SDLK_KP_9, 105u, 0u},
                                   {SDLK_F1, 112u, 0u},
                                   {SDLK_F12, 123u, 0u},
                                   {SDLK_F15, 126u, 0u},
                                   {SDLK_SEMICOLON, 186u, 0u},
                                   {SDLK_RCTRL, 17u, 163u}})
        EXPECT_EQ(key(Take(KeyEvent(SDL_KEYDOWN, sym))), std::make_tuple(K::KeyDown, code, side, false)) << sym;
    EXPECT_EQ(Take(KeyEvent(SDL_KEYDOWN, SDLK_AUDIOPLAY)).type, os::EventType::None); // not in the tables
    EXPECT_EQ(Take(KeyEvent(SDL_KEYDOWN, SDLK_a, false, kOther)).type, os::EventType::None);

    const os::Event t = Take(TextEvent("\xC3\xA9t\xC3\xA9"));
    EXPECT_EQ(t.type, os::EventType::Text);
    EXPECT_EQ(t.text, "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(Take(TextEvent("x", kOther)).type, os::EventType::None);

    // Buttons keep their click count, the wheel is in notches and a leave is at the last cursor.
    const auto button = [](const os::Event& e) { return std::make_tuple(e.type, e.button, e.clicks, e.x, e.y); };
    EXPECT_EQ(button(Take(ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, 200, 100))),
              std::make_tuple(K::MouseDown, 1, 1, 200, 100));
    EXPECT_EQ(button(Take(ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 2, 5, 6))),
              std::make_tuple(K::MouseDown, 3, 2, 5, 6));
    EXPECT_EQ(button(Take(ButtonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE, 1, 5, 6))),
              std::make_tuple(K::MouseUp, 2, 1, 5, 6)); // the window decides to drop the middle one
    EXPECT_EQ(Take(ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 1, 5, 6)).type, os::EventType::None);
    EXPECT_EQ(Take(ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, 5, 6, kOther)).type, os::EventType::None);

    Take(SDL_Event{.motion = {.type = SDL_MOUSEMOTION, .windowID = kOurs, .x = 12, .y = 34}});
    // Another window's cursor does not count.
    Take(SDL_Event{.motion = {.type = SDL_MOUSEMOTION, .windowID = kOther, .x = 1365, .y = 400}});
    const os::Event leave = Take(WindowEvent(SDL_WINDOWEVENT_LEAVE));
    EXPECT_EQ(std::make_tuple(os::EventType::MouseLeave, 12, 34), std::tie(leave.type, leave.x, leave.y));
    Take(WheelEvent(1, 50, 60));
    EXPECT_EQ(Take(WindowEvent(SDL_WINDOWEVENT_LEAVE)).x, 50);

    const os::Event away = Take(WheelEvent(1, 300, 200));
    EXPECT_EQ(std::make_tuple(os::EventType::MouseWheel, 1.0f, 300, 200),
              std::tie(away.type, away.wheel, away.x, away.y));
    EXPECT_EQ(Take(WheelEvent(-2, 0, 0)).wheel, -2);
    EXPECT_EQ(Take(WheelEvent(1, 0, 0, true)).wheel, -1); // "natural" scrolling reports the turn itself
    EXPECT_EQ(Take(WheelEvent(0.25f, 0, 0)).wheel, 0.25f);
    EXPECT_EQ(Take(WheelEvent(0, 0, 0)).type, os::EventType::None); // a sideways turn only
}
