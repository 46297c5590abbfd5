// The game's start, its margins, keys and the loading frame.
#include "App/Game.h"

#include "App/StartFiles.h"
#include "Core/Base/Log.h"
#include "Core/File/FileManager.h"
#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Image/Image.h"
#include "Core/Media/Image/ImageContainer.h"
#include "Core/Render/Render.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Seams/TDScreen.h"
#include "Source/TD/Shell/GameWindow.h"
#include "Source/TD/Shell/HUD.h"
#include "Source/TD/Shell/TMobShader.h"

#include <memory>

Game::Game() = default;

Game::~Game()
{
    // The board (and the battle with its textures) goes while the renderer still stands, also
    // when the game ended before its first frame.
    RemoveAllFrames(true);
    mBoard = nullptr;
    mScreen = nullptr;
    mLoadingImage = mLeftSide = mRightSide = nullptr;
    mOwnedLoadingImage.reset();
    mOwnedLeftSide.reset();
    mOwnedRightSide.reset();
    mMobShader = base::CountedPtr<TMobShader>();
}

QLResultEnum Game::LoadConfig()
{
    if (QLResultEnum r = ShellGame::LoadConfig())
        return r;
    if (mBuildingPacks)
        return QL_OK; // the packs are rebuilt from the loose folders, whatever state they are in
    const std::wstring fault = CheckStartFiles();
    if (fault.empty())
        return QL_OK;
    ReportFatal(fault);
    Stop();
    return QL_FAIL;
}

QLResultEnum Game::StartGame()
{
    (void)ShellGame::StartGame();
    if (mRender && mRender->LoadShader<TMobShader>(L"td/Shaders/MobShader/DX/", &mMobShader) != QL_OK)
        QL_LOG(L"Mob shader not loaded: units draw with the plain textured shader\n") << base::LogStyle::Error;
    if (std::unique_ptr<file::ImageContainer> sides{
            file::FileManager::Instance()->OpenImageContainer(L"td/data/sides")})
    {
        mOwnedLeftSide.reset(LoadImage(L"l", sides.get()));
        mOwnedRightSide.reset(LoadImage(L"r", sides.get()));
        mLeftSide = mOwnedLeftSide.get();
        mRightSide = mOwnedRightSide.get();
    }
    mOwnedLoadingImage.reset(LoadImage(L"td/data/loading"));
    mLoadingImage = mOwnedLoadingImage.get();
    auto board = std::make_unique<GameWindow>();
    if (QLResultEnum r = SetScreen(board.get()))
    {
        ReportFatal(L"The game's first screen did not start: see log.html in '" + GetLogFolder() + L"'.");
        Stop();
        return r;
    }
    mBoard = board.release(); // the frame manager deletes it from now on
    mBoard->mDrawLoadingScreen = [this] { drawLoadingScreen(); };
    mBoard->mMobShader = mMobShader.Get();
    if (HUD* hud = mBoard->getHud())
        hud->setSideImages(mLeftSide, mRightSide);
    QL_LOG(L"Game started: the splash screens open\n");
    return QL_OK;
}

void Game::OnPause()
{
    ShellGame::OnPause();
    if (TDMap* map = getMap())
        map->pauseIfRunning();
}

bool Game::IsCalmScreen() const
{
    const TDMap* map = getMap();
    return !map || map->mScreen != kScreenBattle;
}

TDMap* Game::getMap() const { return mBoard ? mBoard->getMap() : nullptr; }

QLResultEnum Game::DrawOverlays(render::Graphics& graphics)
{
    TDMap* map = getMap();
    const TDScreen s = map ? map->mScreen : kScreenBattle;
    if (s != kScreenEpisodes && s != kScreenLevels && s != kScreenShop && s != kScreenMessage)
        return QL_OK;
    // The HUD draws the side pictures inside the layout, against the core: a second copy in the
    // bars beyond it would stand beside the first, split by a seam. Each margin shows one whole
    // picture, and black beyond it.
    return GameApplication::DrawOverlays(graphics);
}

// Without a board (no frame manager to show it) the engine's own routing stays.
QLResultEnum Game::OnKeyDown(u32 key) { return mBoard ? mBoard->OnKeyDown(key) : ShellGame::OnKeyDown(key); }
QLResultEnum Game::OnKeyUp(u32 key) { return mBoard ? mBoard->OnKeyUp(key) : ShellGame::OnKeyUp(key); }
QLResultEnum Game::OnChar(u16 unit) { return mBoard ? mBoard->OnChar(unit) : ShellGame::OnChar(unit); }

void Game::drawLoadingScreen()
{
    if (!mRender)
        return;
    const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    (void)mRender->Clear(1, black, 1.0f, 0);
    (void)mRender->BeginScene();
    {
        render::Graphics graphics(mRender);
        if (mLoadingImage)
        {
            if (mOffScreenTarget)
            {
                const float sx = mView.targetScaleX, sy = mView.targetScaleY;
                auto command = graphics.DrawImage(mLoadingImage).Scale(sx, sy);
                command->mAlignH = 2;
                command->mAlignV = 2;
                command.mTransform.Translate(sx * static_cast<float>(mLayout.fullWidth) * 0.5f,
                                             sy * static_cast<float>(mLayout.height) * 0.5f);
            }
            else
                graphics.DrawImage(mLoadingImage);
        }
    }
    (void)mRender->EndScene();
    (void)mRender->Present();
    (void)mRender->ExecuteCommands();
}
