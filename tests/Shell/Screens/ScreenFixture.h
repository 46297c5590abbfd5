// The game on the demo content, headless, with every screen closed: the profile screens and
// small windows are opened through the HUD's openers and driven through the frame manager. A
// thin fixture over the shared game harness.
#pragma once

#include "App/Game.h"
#include "Core/File/Profiles.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Shell/GameWindow.h"
#include "Source/TD/Shell/HUD.h"
#include "Source/TD/Shell/HUDButtonList.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/TDProgress.h"
#include "support/GameHarness.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class ScreenFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testsupport::GameHarness::Options options;
        options.logos = false;
        options.tutorial = true; // the tutorial skip dialog acts on a live tutorial
        mHarness = std::make_unique<testsupport::GameHarness>(options);
        ASSERT_TRUE(mHarness->started()) << mHarness->log();
        mGame = &mHarness->game();
        mBoard = &mHarness->board();
        mMap = &mHarness->map();
        mHud = &mHarness->hud();
        // The game opens on the splash: start from nothing.
        Frame();
        mHud->closeAllWindows();
        mHud->mPendingWindows.clear();
        mMap->mScreen = 7;
    }
    void TearDown() override { mHarness.reset(); }

    // One whole frame: queued windows join the stack, closed dialogs go, everything is drawn.
    void Frame() { ASSERT_TRUE(mHarness->frame()); }
    void Click(float x, float y) { mHarness->click(x, y); }
    // The centre of a window's own button where it is drawn.
    static bool Centre(const HUDButtonList& list, const std::wstring& name, float& x, float& y)
    {
        const HUDButtonOver* button = list.find(name);
        return button && HUDButtonList::centreOf(button, x, y);
    }
    void ClickButton(const HUDButtonList& list, const std::wstring& name)
    {
        float x = 0, y = 0;
        ASSERT_TRUE(Centre(list, name, x, y)) << "no button " << std::string(name.begin(), name.end());
        Click(x, y);
    }
    void Type(const std::wstring& text) { mHarness->type(text); }
    HUDWindow* Top() const { return mHarness->top(); }
    template <class T> T* TopAs() const { return mHarness->top<T>(); }
    static std::wstring L10n(const wchar_t* key) { return LocalStrings::Instance()->get(key); }
    std::string ProfilesFile() const { return mHarness->profilesFile(); }
    std::wstring Text(HUDWindow* window, const std::wstring& name) const
    {
        const std::wstring* text = window ? window->getText(name) : nullptr;
        return text ? *text : std::wstring(L"<none>");
    }

    std::unique_ptr<testsupport::GameHarness> mHarness;
    Game* mGame = nullptr;
    GameWindow* mBoard = nullptr;
    TDMap* mMap = nullptr;
    HUD* mHud = nullptr;
};
