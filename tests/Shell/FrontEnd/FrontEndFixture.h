// The front end inside the whole game on the demo content (logos included): a thin fixture over
// the shared game harness, with the harness's screens and steps under the names these tests use.
#pragma once

#include "App/Game.h"
#include "Core/Widget/FrameManager.h"
#include "Source/TD/Shell/GameWindow.h"
#include "Source/TD/Shell/HUD.h"
#include "Source/TD/Battle/TDMap.h"
#include "support/GameHarness.h"

#include <gtest/gtest.h>

#include <memory>

namespace frontendtest
{
class FrontEndTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override { mHarness.reset(); }

    widget::FrameManager* Frames() const { return &mHarness->frames(); }
    HUD* Hud() const { return mBoard->getHud(); }
    template <class T> T* Top() const { return mHarness->top<T>(); }
    template <class T> T* Find() const { return mHarness->find<T>(); }
    // Frames of dt seconds until the condition holds or the time is up; true when it held.
    template <class F> bool RunUntil(F condition, float seconds, float dt = 0.04f)
    {
        return mHarness->runUntil(condition, seconds, dt);
    }
    // Frames of no time until the HUD holds a screen (the board joins the frame manager first).
    void Settle();
    // A left press and release at a point in game coordinates, with no frame after it.
    void Click(float x, float y);
    // Straight to the main menu: the splash and the intro skipped by presses.
    void ReachMainMenu();

    std::unique_ptr<testsupport::GameHarness> mHarness;
    Game* mGame = nullptr;
    GameWindow* mBoard = nullptr;
    TDMap* mMap = nullptr;
};
} // namespace frontendtest
