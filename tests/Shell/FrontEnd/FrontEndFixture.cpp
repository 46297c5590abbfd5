// The front-end fixture: a copy of the demo content, the game on the headless window and device.
#include "FrontEndFixture.h"

#include "Core/Base/Singletone.h"
#include "Platform/Os/NullVideo.h"
#include "Source/TD/Shell/HUDMainMenu.h"

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace frontendtest
{
testsupport::TempDir* FrontEndTest::sData = nullptr;

void FrontEndTest::SetUpTestSuite()
{
    sData = new testsupport::TempDir();
    fs::copy(fs::path(QL_SOURCE_DIR) / "content/td", sData->Path() / "td", fs::copy_options::recursive);
    fs::copy(fs::path(QL_SOURCE_DIR) / "content/logo", sData->Path() / "logo", fs::copy_options::recursive);
    fs::copy_file(fs::path(QL_SOURCE_DIR) / "content/play.url", sData->Path() / "play.url");
}

void FrontEndTest::TearDownTestSuite()
{
    delete sData;
    sData = nullptr;
}

void FrontEndTest::SetUp()
{
    mOldCwd = fs::current_path();
    setenv("XDG_DATA_HOME", mHome.Path().c_str(), 1);
    setenv("QL_NO_MESSAGE_BOX", "1", 1);
    setenv("QL_NO_SHELL_OPEN", "1", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    os::SetVideoDriver(std::make_unique<os::NullVideoDriver>());
    mGame = new Game();
    mGame->Arguments() = {L"--data_path", sData->WPath()};
    ASSERT_EQ(QL_OK, mGame->Init());
    ASSERT_EQ(QL_OK, mGame->Start());
    mBoard = mGame->getBoard();
    ASSERT_NE(nullptr, mBoard);
    mMap = mGame->getMap();
    ASSERT_NE(nullptr, mMap);
}

void FrontEndTest::TearDown()
{
    base::SingletoneBase::DestroyAll();
    os::SetVideoDriver(nullptr);
    fs::current_path(mOldCwd);
}

widget::FrameManager* FrontEndTest::Frames() const
{
    return dynamic_cast<widget::FrameManager*>(mGame->mFrameManager);
}

void FrontEndTest::Click(float x, float y)
{
    widget::FrameManager* frames = Frames();
    ASSERT_NE(nullptr, frames);
    frames->OnMouseMove({x, y});
    frames->OnMouseDown({x, y}, 1);
    frames->OnMouseUp({x, y}, 1);
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
