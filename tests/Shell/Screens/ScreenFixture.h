// The game on the demo content, headless, with every screen closed: the profile screens and
// small windows are opened through the HUD's openers and driven through the frame manager.
#pragma once

#include "App/Game.h"
#include "Core/Base/Singletone.h"
#include "Core/File/Profiles.h"
#include "Core/Widget/FrameManager.h"
#include "Platform/Os/NullVideo.h"
#include "Source/TD/LocalStrings.h"
#include "Source/TD/Shell/GameWindow.h"
#include "Source/TD/Shell/HUD.h"
#include "Source/TD/Shell/HUDButtonList.h"
#include "Source/TD/TDMap.h"
#include "Source/TD/TDProgress.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class ScreenFixture : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        namespace fs = std::filesystem;
        sData = new testsupport::TempDir();
        fs::copy(fs::path(QL_SOURCE_DIR) / "content/td", sData->Path() / "td", fs::copy_options::recursive);
        fs::copy_file(fs::path(QL_SOURCE_DIR) / "content/play.url", sData->Path() / "play.url");
    }
    static void TearDownTestSuite()
    {
        delete sData;
        sData = nullptr;
    }
    void SetUp() override
    {
        mOldCwd = std::filesystem::current_path();
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
        mHud = mBoard->getHud();
        ASSERT_NE(nullptr, mHud);
        // The game opens on the splash logos: start from nothing.
        Frame();
        mHud->closeAllWindows();
        for (HUDWindow* window : mHud->mPendingWindows)
            delete window;
        mHud->mPendingWindows.clear();
        mMap->mScreen = 7;
    }
    void TearDown() override
    {
        base::SingletoneBase::DestroyAll();
        os::SetVideoDriver(nullptr);
        std::filesystem::current_path(mOldCwd);
    }

    // One whole frame: queued windows join the stack, closed dialogs go, everything is drawn.
    void Frame() { ASSERT_EQ(QL_OK, mGame->FrameStep(1.0f / 30.0f)); }
    void Click(float x, float y)
    {
        widget::FrameManager* frames = mGame->GetFrameManager();
        ASSERT_NE(nullptr, frames);
        frames->OnMouseMove({x, y});
        frames->OnMouseDown({x, y}, 1);
        frames->OnMouseUp({x, y}, 1);
        Frame();
    }
    // The centre of a window's own button where it is drawn.
    static bool Centre(const HUDButtonList& list, const std::wstring& name, float& x, float& y)
    {
        const HUDButtonOver* button = list.find(name);
        if (!button)
            return false;
        x = button->mNormal->mX + button->mNormal->mWidth * 0.5f + button->mOffsetX;
        y = button->mNormal->mY + button->mNormal->mHeight * 0.5f;
        return true;
    }
    void ClickButton(const HUDButtonList& list, const std::wstring& name)
    {
        float x = 0, y = 0;
        ASSERT_TRUE(Centre(list, name, x, y)) << "no button " << std::string(name.begin(), name.end());
        Click(x, y);
    }
    void Type(const std::wstring& text)
    {
        for (wchar_t c : text)
            mBoard->OnChar(static_cast<u16>(c));
    }
    HUDWindow* Top() const { return mHud->windows().empty() ? nullptr : mHud->windows().back(); }
    template <class T> T* TopAs() const { return dynamic_cast<T*>(Top()); }
    static std::wstring L10n(const wchar_t* key) { return LocalStrings::Instance()->get(key); }
    // The profiles file as written on disk.
    std::string ProfilesFile() const
    {
        std::ifstream in(mHome.Path() / "Marrowgate" / "Brackenmoor" / "profiles.xml", std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::wstring Text(HUDWindow* window, const std::wstring& name) const
    {
        const std::wstring* text = window ? window->getText(name) : nullptr;
        return text ? *text : std::wstring(L"<none>");
    }

    static testsupport::TempDir* sData;
    testsupport::TempDir mHome;
    std::filesystem::path mOldCwd;
    Game* mGame = nullptr;
    GameWindow* mBoard = nullptr;
    TDMap* mMap = nullptr;
    HUD* mHud = nullptr;
};
