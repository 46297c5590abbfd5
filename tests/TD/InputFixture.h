// A battle driven by the pointer: a HUD fake with named buttons, spell buttons and screen
// openers that set the screen number like the real ones, and a recording painter for the ring
// menu and the spell buttons.
#pragma once

#include "BattleFixture.h"
#include "Source/TD/Draw/HUDSpellButton.h"
#include "Source/TD/Battle/TDLevelResultKeeper.h"
#include "Source/TD/Draw/TDUiPainter.h"

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

struct InputHud : TDNullHud
{
    struct Button
    {
        float x, y, w, h;
        bool visible = true;
    };
    TDMap* map = nullptr;
    std::map<std::wstring, Button> named;
    std::vector<std::unique_ptr<HUDSpellButton>> spells;
    std::vector<std::wstring> calls;
    std::map<std::wstring, bool> shown; // setButtonVisible
    std::map<std::wstring, std::wstring> texts;
    std::map<std::wstring, bool> frames;
    std::wstring font;
    i32 block = 0;
    i32 results = 0;
    TDLevelOutcome outcome;

    static bool in(const Button& b, i32 x, i32 y)
    {
        float fx = static_cast<float>(x), fy = static_cast<float>(y);
        return b.visible && b.x <= fx && fx <= b.x + b.w && b.y <= fy && fy <= b.y + b.h;
    }
    void add(const std::wstring& name, float x, float y, float w = 40.0f, float h = 40.0f)
    {
        named[name] = Button{x, y, w, h};
    }
    std::wstring buttonNameAt(i32 x, i32 y) override
    {
        for (const auto& [name, b] : named)
            if (in(b, x, y))
                return name;
        return L"";
    }
    // As the real HUD: a spell button that cannot be pressed still takes the press (-2).
    i32 buttonAt(i32 x, i32 y) override
    {
        for (const auto& s : spells)
        {
            if (s->canPress(x, y))
                return s->mIndex;
            if (s->contains(x, y))
                return -2;
        }
        return -1;
    }
    void onPress(i32 x, i32 y) override { calls.push_back(L"press " + pt(x, y)); }
    void onRelease(i32 x, i32 y) override { calls.push_back(L"release " + pt(x, y)); }
    void onMouseMove(i32 x, i32 y) override
    {
        calls.push_back(L"move " + pt(x, y));
        for (const auto& s : spells)
            s->onHover(x, y);
    }
    void onWheel(i16 delta) override { calls.push_back(L"wheel " + std::to_wstring(delta)); }
    i32 uiBlock() const override { return block; }
    bool buttonRect(const std::wstring& name, float& x, float& y, float& w, float& h) override
    {
        auto it = named.find(name);
        if (it == named.end())
            return false;
        x = it->second.x, y = it->second.y, w = it->second.w, h = it->second.h;
        return true;
    }
    void setButtonVisible(const std::wstring& name, bool visible) override
    {
        shown[name] = visible;
        auto it = named.find(name);
        if (it != named.end())
            it->second.visible = visible;
    }
    HUDSpellButton* spellButton(i32 n) override
    {
        return n >= 0 && static_cast<size_t>(n) < spells.size() ? spells[static_cast<size_t>(n)].get() : nullptr;
    }
    i32 spellButtonCount() const override { return static_cast<i32>(spells.size()); }
    // As the real HUD: unlocked spells only, five slots, and a reset only zeroes cooldowns.
    void addSpellButton(i32 spell) override
    {
        if (!map || !map->mSpells.findById(spell) || !map->isUnlocked(spell) || spells.size() >= 5)
            return;
        auto button = std::make_unique<HUDSpellButton>(*map, spell);
        button->mIndex = static_cast<i32>(spells.size());
        button->mCentreX = 100.0f + 100.0f * static_cast<float>(spells.size());
        button->mCentreY = 700.0f;
        spells.push_back(std::move(button));
    }
    void resetSpellButtons() override
    {
        for (auto& button : spells)
        {
            button->mCooldown = 0.0f;
            button->mUsed = 0;
        }
    }
    void removeSpellButtons() override { spells.clear(); }
    void closeAllWindows() override { calls.push_back(L"closeAll"); }
    void opened(const wchar_t* name, i32 screen)
    {
        calls.push_back(name);
        if (map && screen >= 0)
            map->mScreen = screen;
    }
    void showLevelSelect() override { opened(L"levels", 6); }
    void showShop(bool afterLevel) override { opened(afterLevel ? L"shop after" : L"shop", 8); }
    void showUnlockMessage(const std::vector<i32>&) override { opened(L"unlock", 11); }
    void showLevelName() override { opened(L"levelName", -1); }
    void nextLevel() override { opened(L"nextLevel", -1); }
    // The result window reads the stored outcome when it is made.
    void showLevelResult() override
    {
        ++results;
        outcome = map->mLevelOutcome;
    }
    void setText(const std::wstring& name, const std::wstring& text) override { texts[name] = text; }
    void setFrameVisible(const std::wstring& name, bool visible) override { frames[name] = visible; }
    void setFont(const std::wstring& name) override { font = name; }

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

struct UiCall
{
    std::wstring what; // "image", "text", "line", "rect", "spell", "tower", "font", "emitter"
    std::wstring name;
    float x = 0.0f, y = 0.0f, a = 0.0f, b = 0.0f, scale = 0.0f; // a, b: a line's end, a rect's size
    TDColor color;
    const TDImage* image = nullptr;
};

struct RecordingUiPainter : TDUiPainter
{
    std::vector<UiCall> calls;
    void add(const wchar_t* what, const std::wstring& name = L"", float x = 0, float y = 0, float a = 0, float b = 0,
             float scale = 0, const TDColor& c = {}, const TDImage* image = nullptr)
    {
        calls.push_back(UiCall{what, name, x, y, a, b, scale, c, image});
    }
    void drawUiImage(const std::wstring& name, float x, float y, float scale, const TDColor& c) override
    {
        add(L"image", name, x, y, 0.0f, 0.0f, scale, c);
    }
    void drawImage(const TDImage* image, float x, float y, float scale) override
    {
        add(L"spell", L"", x, y, 0.0f, 0.0f, scale, TDColor(), image);
    }
    void drawImageToRect(const TDImage* image, float w, float h, float x, float y, float scale) override
    {
        add(L"rect", L"", x, y, w, h, scale, TDColor(), image);
    }
    void drawLine(float x1, float y1, float x2, float y2, const TDColor& c) override { add(L"line", L"", x1, y1, x2, y2, 0.0f, c); }
    void drawText(const std::wstring& text, float x, float y, const TDColor& c) override { add(L"text", text, x, y, 0, 0, 0, c); }
    bool setFont(const std::wstring& name) override
    {
        add(L"font", name);
        return true;
    }
    void drawEmitter(const TDEmitter&) override { add(L"emitter"); }
    void drawTower(const TDTower&) override { add(L"tower"); }
    std::vector<UiCall> of(const std::wstring& what) const
    {
        std::vector<UiCall> out;
        std::copy_if(calls.begin(), calls.end(), std::back_inserter(out), [&](const UiCall& c) { return c.what == what; });
        return out;
    }
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
    void made(TDMap& m) override { ihud.map = &m; }

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
    size_t played(const std::wstring& tag) const
    {
        return static_cast<size_t>(std::count(sounds.played.begin(), sounds.played.end(), tag));
    }
};
} // namespace tdtest
