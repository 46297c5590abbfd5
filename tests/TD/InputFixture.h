// A battle driven by the pointer through the real HUD, and a recording painter for the ring
// menu and the spell buttons.
#pragma once

#include "BattleFixture.h"
#include "DrawRecorder.h"
#include "Source/TD/Draw/HUDSpellButton.h"
#include "Source/TD/Shell/HUD.h"

#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tdtest
{
struct FakeImage : TDImage
{
    i32 w = 0, h = 0;
    FakeImage(i32 width, i32 height) : w(width), h(height) {}
    i32 width() const override { return w; }
    i32 height() const override { return h; }
};

// Every loaded picture is w x h.
struct SizedImages : TDNullImageLoader
{
    i32 w = 140, h = 100;
    std::unique_ptr<TDImage> loadImage(const std::wstring&) override { return std::make_unique<FakeImage>(w, h); }
};

// The real HUD without a layout: five spell slots along y = 700, the control buttons' lit
// pictures above the screen and the buttons a case adds. The presses and moves that reach it
// and the closing of every screen are recorded.
struct InputHud : HUD
{
    std::vector<std::wstring> calls;

    InputHud() : HUD(L"")
    {
        for (i32 i = 0; i < 5; ++i)
        {
            auto slot = std::make_unique<TDFrameEntry>();
            slot->mX = 65.0f + 100.0f * static_cast<float>(i);
            slot->mY = 675.0f;
            slot->mWidth = 70.0f;
            slot->mHeight = 50.0f;
            mSpellSlots.push_back(std::move(slot));
        }
        for (const wchar_t* name : {L"play_btn_ac", L"speed_btn_ac", L"pause_btn_ac"})
            add(name, 800.0f, -100.0f);
    }
    TDButtonFrame* add(const std::wstring& name, float x, float y, float w = 40.0f, float h = 40.0f)
    {
        auto* button = new TDButtonFrame();
        button->mName = name;
        button->mX = x;
        button->mY = y;
        button->mWidth = w;
        button->mHeight = h;
        mButtons.push_back(button);
        return button;
    }
    bool shown(const std::wstring& name) const { return findButton(name) && findButton(name)->mVisible; }
    void onPress(i32 x, i32 y) override { record(L"press " + pt(x, y), [&] { HUD::onPress(x, y); }); }
    void onMouseMove(i32 x, i32 y) override { record(L"move " + pt(x, y), [&] { HUD::onMouseMove(x, y); }); }
    void closeAllWindows() override { record(L"closeAll", [&] { HUD::closeAllWindows(); }); }
    template <class F> void record(const std::wstring& call, F&& then)
    {
        calls.push_back(call);
        then();
    }
    size_t count(const std::wstring& call) const
    {
        return static_cast<size_t>(std::count(calls.begin(), calls.end(), call));
    }
};

struct LoadingScreen : TDNullScreenMode
{
    i32 loadingPictures = 0;
    void drawLoadingScreen() override { ++loadingPictures; }
};

struct InputFixture : BattleFixture
{
    InputHud ihud;
    SizedImages images;
    LoadingScreen screen;

    InputFixture()
    {
        services.hud = &ihud;
        services.images = &images;
        services.screen = &screen;
    }
    void made(TDMap& m) override { ihud.setMap(&m); }
    // The screens go before the battle they point at.
    void TearDown() override
    {
        ihud.mPendingWindows.clear();
        ihud.closeAllWindows();
        ihud.Update(0.0f);
        BattleFixture::TearDown();
    }

    // The straight level (spots at (250, 160) and (750, 160)) in mode 1, on screen 0, with
    // coins to spend.
    TDMap& begin(const std::string& waves = "<wave spawn=\"1\" timeout=\"600\"><e id=\"1\"/></wave>",
                 const std::string& extraSpots = "", i32 coins = 500)
    {
        start(waves, extraSpots);
        if (map->mScreen == 11) // the unlock message of a level that unlocks something
            map->mScreen = 0;
        map->mStats.mCoins = coins;
        return *map;
    }
    // Frames of the unscaled frame time (the menu opens in 0.2 s).
    void frames(float seconds, float dt = 1.0f / 60.0f)
    {
        for (float t = 0.0f; t < seconds; t += dt)
            map->update(dt);
    }
    // A point on the ray of a menu entry, outward from where the hit test places it (25 out:
    // inside its own circle and outside its neighbours', which overlap when eight share a
    // half ring).
    static void entryPoint(const TDContextMenu& menu, const TDContextMenuItem& item, i32& x, i32& y,
                           float outward = 25.0f)
    {
        float k = menu.isNearEdge() ? 1.3f : 1.0f;
        float a = item.angle * 3.14f / 180.0f;
        x = static_cast<i32>(menu.centreX + std::sin(a) * (menu.radius * k + outward));
        y = static_cast<i32>(menu.centreY + std::cos(a) * (menu.radius * k + outward));
    }
    const TDContextMenuItem* entry(i32 id) const
    {
        if (!map->mContextMenu)
            return nullptr;
        for (const auto& item : map->mContextMenu->items)
            if (item->id == id)
                return item.get();
        return nullptr;
    }
    // Presses the menu entry with that id.
    void pressEntry(i32 id)
    {
        const TDContextMenuItem* item = entry(id);
        ASSERT_NE(item, nullptr);
        i32 x = 0, y = 0;
        entryPoint(*map->mContextMenu, *item, x, y);
        map->onPointerDown(x, y);
    }
    // Click = press and release at one point.
    void click(i32 x, i32 y)
    {
        map->onPointerDown(x, y);
        map->onPointerUp(x, y);
    }
    // Screens of that kind opened (queued or on the stack).
    template <class T> size_t opened() const
    {
        size_t n = 0;
        for (HUDWindow* window : ihud.mPendingWindows)
            n += dynamic_cast<T*>(window) != nullptr;
        for (HUDWindow* window : ihud.windows())
            n += dynamic_cast<T*>(window) != nullptr;
        return n;
    }
    size_t played(const std::wstring& tag) const
    {
        return static_cast<size_t>(std::count(sounds.played.begin(), sounds.played.end(), tag));
    }
};
} // namespace tdtest
