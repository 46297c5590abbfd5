// The game headless on the demo content with its logos: the front end from the splash logos
// on, driven through the frame manager's dispatch.
#pragma once

#include "App/Game.h"
#include "Core/Widget/FrameManager.h"
#include "Source/TD/Shell/GameWindow.h"
#include "Source/TD/Shell/HUD.h"
#include "Source/TD/TDMap.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace frontendtest
{
class FrontEndTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    widget::FrameManager* Frames() const;
    HUD* Hud() const { return mBoard->getHud(); }
    // The top screen of the stack as T, or null.
    template <class T> T* Top() const
    {
        const auto& windows = Hud()->windows();
        return windows.empty() ? nullptr : dynamic_cast<T*>(windows.back());
    }
    // The first screen of the stack that is a T, or null.
    template <class T> T* Find() const
    {
        for (HUDWindow* w : Hud()->windows())
            if (auto* t = dynamic_cast<T*>(w))
                return t;
        return nullptr;
    }
    // Frames of dt seconds (updates and drawing) until the condition holds or the time is up;
    // true when it held.
    template <class F> bool RunUntil(F condition, float seconds, float dt = 0.04f)
    {
        for (float t = 0.0f; t < seconds; t += dt)
        {
            if (condition())
                return true;
            if (mGame->FrameStep(dt) != QL_OK)
                return false;
        }
        return condition();
    }
    // Frames of no time until the HUD holds a screen (the board joins the frame manager first).
    void Settle();
    // A left press and release at a point in game coordinates, through the frame manager.
    void Click(float x, float y);
    // Straight to the main menu: the splash and the intro skipped by presses.
    void ReachMainMenu();

    static testsupport::TempDir* sData;
    testsupport::TempDir mHome;
    std::filesystem::path mOldCwd;
    Game* mGame = nullptr;
    GameWindow* mBoard = nullptr;
    TDMap* mMap = nullptr;
};
} // namespace frontendtest
