// The whole game started headless on the demo content, as the fixture of the shell's screen tests.
#pragma once

#include "support/GameHarness.h"

#include "App/Game.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Shell/GameWindow.h"
#include "Source/TD/Shell/HUD.h"

#include <gtest/gtest.h>

namespace shelltest
{
class ShellGameTest : public ::testing::Test, public testsupport::GameHarness
{
protected:
    ShellGameTest() = default;
    explicit ShellGameTest(const Options& options) : GameHarness(options) {}
    void SetUp() override { ASSERT_TRUE(started()) << log(); }
};
} // namespace shelltest
