// The front-end fixture over the game harness.
#include "FrontEndFixture.h"

#include "Source/TD/Shell/HUDMainMenu.h"

namespace frontendtest
{
void FrontEndTest::SetUp()
{
    mHarness = std::make_unique<testsupport::GameHarness>();
    ASSERT_TRUE(mHarness->started()) << mHarness->log();
    mGame = &mHarness->game();
    mBoard = &mHarness->board();
    mMap = &mHarness->map();
}

void FrontEndTest::Click(float x, float y)
{
    mHarness->press(x, y);
    mHarness->release(x, y);
}

void FrontEndTest::Settle()
{
    for (int i = 0; i < 5 && Hud()->windows().empty(); ++i)
        ASSERT_EQ(QL_OK, mGame->FrameStep(0.0f));
    ASSERT_FALSE(Hud()->windows().empty());
}

void FrontEndTest::ReachMainMenu()
{
    Settle();
    while (mMap->mScreen == 12)
        Click(500.0f, 400.0f);
    ASSERT_EQ(121, mMap->mScreen);
    ASSERT_EQ(QL_OK, mGame->FrameStep(0.0f)); // the intro joins the stack
    Click(500.0f, 400.0f);
    ASSERT_EQ(7, mMap->mScreen);
    ASSERT_TRUE(RunUntil([this] { return Top<HUDMainMenu>() != nullptr; }, 1.0f));
}
} // namespace frontendtest
