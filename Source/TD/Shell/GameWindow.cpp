// The root board: the battle's services over the engine, and the frame manager's calls turned
// into battle calls.
#include "Source/TD/Shell/GameWindow.h"

#include "Core/Base/Log.h"
#include "Core/Media/Font/BMFont.h"
#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Sound/SoundTags.h"
#include "Core/Resource/ResourceManager.h"
#include "Core/Widget/Controls/ResourceControlHost.h"
#include "Framework/GameApplication.h"
#include "Framework/GameWindow.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/TDFileManagerSource.h"
#include "Source/TD/Data/TDProfilesFileStore.h"
#include "Source/TD/Draw/TDBattleDrawer.h"
#include "Source/TD/Draw/TDSpriteTableMetrics.h"
#include "Source/TD/Services/TDEngineParticles.h"
#include "Source/TD/Services/TDEngineSound.h"
#include "Source/TD/Services/TDRenderImages.h"
#include "Source/TD/Services/TDRenderTexture.h"
#include "Source/TD/Shell/HUD.h"
#include "Source/TD/Shell/HUDModalInput.h"
#include "Source/TD/Shell/HUDWindow.h"
#include "Source/TD/Shell/TDGameSettings.h"
#include "Source/TD/Shell/TDScreenCommands.h"
#include "Source/TD/Shell/TDScreenView.h"
#include "Source/TD/Shell/TDShellPainter.h"
#include "Source/TD/Shell/TDTutorial.h"
#include "Source/TD/Shell/TMobShader.h"
#include "Source/TD/Sprites/TDPsdSheet.h"
#include "Source/TD/Sprites/TDResources.h"
#include "Source/TD/Sprites/TDSpriteTable.h"

#include <cmath>

namespace
{
// The application's switch between full screen and a window.
class AppScreenMode : public TDScreenMode
{
public:
    explicit AppScreenMode(GameWindow& board) : mBoard(board) {}
    bool isFullscreen() const override
    {
        framework::GameApplication* app = framework::GameApplication::Get();
        return app && app->mWindow && !app->mWindow->IsWindowed();
    }
    void switchScreenMode() override
    {
        if (framework::GameApplication* app = framework::GameApplication::Get())
            (void)app->SwitchScreenMode();
    }
    TDViewRect battleViewRect() const override
    {
        const TDScreenView view = TDScreenView::current();
        return {view.x, view.y, view.width, view.height};
    }
    void drawLoadingScreen() override
    {
        if (mBoard.mDrawLoadingScreen)
            mBoard.mDrawLoadingScreen();
    }

private:
    GameWindow& mBoard;
};

void playTag(const std::wstring& tag) { k2::SoundTags::Instance()->Play(tag); }

int truncated(float value)
{
    if (!std::isfinite(value) || std::fabs(value) > 1e9f)
        return 0;
    return static_cast<int>(value);
}
} // namespace

// Everything the battle runs with, in the order it must be torn down (last member first).
class TDBattleServicesSet
{
public:
    TDBattleServicesSet(render::Render* render, GameWindow& board)
        : loader(render), images(loader, *TDResources::Instance()), table(*TDResources::Instance()),
          metrics(table, *TDResources::Instance()), screen(board)
    {
        TDFileSource::setCurrent(&files);
        TDResources* resources = TDResources::Instance();
        resources->setSheetOpener([](const std::wstring& path, bool keep) { return TDPsdSheet::open(path, keep); });
        resources->setTextureLoader(&loader);
        for (const std::wstring& path : TDResources::battleSheets())
            resources->loadContainer(path);
    }
    ~TDBattleServicesSet()
    {
        TDResources::Instance()->setTextureLoader(nullptr);
        loader.releaseAll();
        TDFileSource::setCurrent(nullptr);
    }
    TDBattleServices services()
    {
        TDBattleServices s;
        s.images = &images;
        s.sounds = &sounds;
        s.particles = &particles;
        s.hud = &hud;
        s.screen = &screen;
        s.sprites = &metrics;
        return s;
    }

    TDFileManagerSource files;
    TDRenderTextureLoader loader;
    TDRenderImages images;
    TDEngineSoundTags sounds;
    TDEngineParticles particles;
    TDSpriteTable table;
    TDSpriteTableMetrics metrics;
    AppScreenMode screen;
    TDProfilesFileStore profiles;
    HUD hud;
    std::unique_ptr<TDProgressVolumes> volumes;
    std::unique_ptr<TDBattleDrawer> drawer;
};

GameWindow::GameWindow() = default;

GameWindow::~GameWindow()
{
    if (mSettings && gui::GameSettings::Get() == mSettings.get())
        gui::GameSettings::Set(nullptr);
    // The overlays go while the battle and the HUD they point at still exist.
    mModalWindow.reset();
    mBannerWindow.reset();
    // The tutorial outlives the board: it lets go of the board's layer, battle and pictures.
    if (base::Singletone<TDTutorial>::Exists())
        TDTutorial::Instance()->attach(nullptr);
    if (mServices)
    {
        if (base::Singletone<k2::SoundTags>::Exists())
            k2::SoundTags::Instance()->SetVolumeSource(nullptr);
        mServices->drawer.reset();
        // The screens over the battle go while the battle they hand back to still exists.
        mServices->hud.destroyWindows();
    }
    mScreenCommands.reset();
    mMap.reset();
    mServices.reset();
    HUDWindowContext& context = HUDWindowContext::Get();
    context = HUDWindowContext();
    if (auto* host = dynamic_cast<gui::ResourceControlHost*>(gui::ControlHost::Get()))
        host->SetFonts({});
}

HUD* GameWindow::getHud() const { return mServices ? &mServices->hud : nullptr; }

TDBattleDrawer* GameWindow::getDrawer() const { return mServices ? mServices->drawer.get() : nullptr; }

QLResultEnum GameWindow::Start()
{
    SetRect(-10000.0f, -10000.0f, 20000.0f, 20000.0f);
    mPointerX = mPointerY = 0;
    framework::GameApplication* app = framework::GameApplication::Get();
    render::Render* render = app ? app->mRender : nullptr;

    if (TDEngineParticles::load(render) != QL_OK)
        QL_LOG(L"Effect library 'td/fx/fx2.ptc' not loaded: the battle shows no particles\n") << base::LogStyle::Error;

    base::CountedPtr<render::BMFont>* fonts[] = {&mFontMain32_1, &mFontMain32_2, &mFontMain42_1,
                                                 &mFontMain42_2, &mFontMain80,   &mFontMain42_3};
    const wchar_t* names[] = {L"td/data/fonts/main_32_1", L"td/data/fonts/main_32_2", L"td/data/fonts/main_42_1",
                              L"td/data/fonts/main_42_2", L"td/data/fonts/main_80",   L"td/data/fonts/main_42_3"};
    for (int i = 0; i < 6; ++i)
    {
        *fonts[i] = resource::ResourceManager::Instance()->Get<render::BMFont>(names[i]);
        if (!*fonts[i])
            continue;
        (*fonts[i])->SetRender(render);
        if ((*fonts[i])->Load() != QL_OK)
            *fonts[i] = base::CountedPtr<render::BMFont>(); // logged by the font
    }
    // The dialogs (options, message box) use the board's fonts; the control host would otherwise
    // load its own and keep them past the renderer.
    if (auto* host = dynamic_cast<gui::ResourceControlHost*>(gui::ControlHost::Get()))
        host->SetFonts({mFontMain32_1, mFontMain32_2, mFontMain42_1, mFontMain42_2, mFontMain42_3, mFontMain80});
    HUDWindowContext& context = HUDWindowContext::Get();
    context.windowFont = mFontMain42_3;
    context.captionFont = mFontMain80;
    context.buttonFont = mFontMain32_1;
    context.playSound = &playTag;

    mServices = std::make_unique<TDBattleServicesSet>(render, *this);
    mMap = std::make_unique<TDMap>(mServices->services(), mServices->profiles);
    mServices->hud.setMap(mMap.get());
    TDTutorial* tutorial = TDTutorial::Instance();
    tutorial->attach(this);
    mMap->setTutorial(tutorial);
    mScreenCommands = std::make_unique<TDScreenCommands>(*mMap);
    mMap->setScreenFlow(mScreenCommands.get());
    mSettings = std::make_unique<TDGameSettings>(*this);
    gui::GameSettings::Set(mSettings.get());
    mServices->hud.mOnQuit = [app]
    {
        if (app)
        {
            app->NoteEndCause("the main menu's close button");
            app->Stop();
        }
    };
    // A new level-name banner replaces the one still showing.
    mServices->hud.mOnBanner = [this](std::unique_ptr<HUDWindow> banner) { mBannerWindow = std::move(banner); };
    mServices->volumes = std::make_unique<TDProgressVolumes>(*mMap->mProgress);
    k2::SoundTags::Instance()->SetVolumeSource(mServices->volumes.get());
    mServices->drawer = std::make_unique<TDBattleDrawer>(*mMap, *TDResources::Instance());
    mServices->drawer->setSpriteTable(&mServices->table);
    mServices->drawer->loadUiImages();
    QL_LOG(L"Battle ready: %d sprite graphics, %d textures\n")
        << static_cast<int>(TDResources::Instance()->graphics().size())
        << static_cast<int>(mServices->loader.liveCount());

    // The crystals stored in the profile join the battle's counters.
    mMap->mStats.mGems = 0;
    mMap->mStats.addGems(mMap->mProgress->getGems());

    mServices->hud.showSplashScreens();
    mModalWindow.reset();
    mBannerWindow.reset();
    return QL_OK;
}

render::BMFont* GameWindow::fontByName(const std::wstring& name) const
{
    if (name == L"main_32_1")
        return mFontMain32_1.Get();
    if (name == L"main_32_2")
        return mFontMain32_2.Get();
    if (name == L"main_42_1")
        return mFontMain42_1.Get();
    if (name == L"main_42_2")
        return mFontMain42_2.Get();
    if (name == L"main_80")
        return mFontMain80.Get();
    if (name == L"main_42_3")
        return mFontMain42_3.Get();
    return nullptr;
}

QLResultEnum GameWindow::Update(float dt)
{
    for (std::unique_ptr<HUDWindow>* overlay : {&mModalWindow, &mBannerWindow})
    {
        if (!*overlay)
            continue;
        if (!(*overlay)->mOpen)
            overlay->reset();
        else
            (*overlay)->Update(dt);
    }
    if (mMap)
    {
        // The battle's update runs the HUD (and its screens) itself unless it stops early; the
        // HUD must run once per frame either way, or every screen would run at double speed.
        const bool battleRunsHud = mMap->mLevelActive && mMap->mReloadState != kReloadShown;
        mMap->update(dt);
        if (!battleRunsHud)
            mServices->hud.Update(dt);
        noteScreen();
    }
    return QL_OK;
}

void GameWindow::noteScreen()
{
    const TDScreen screen = mMap->mScreen;
    if (screen == mLastScreen)
        return;
    QL_LOG(L"Screen number: %d.\n") << static_cast<i32>(screen);
    // Back from the in-game menu the battle only goes on.
    if (screen == kScreenBattle && mLastScreen != kScreenIngameMenu)
        QL_LOG(L"Battle started: episode %d, level %d, mode %d\n")
            << mMap->mEpisode + 1 << mMap->mLevel + 1 << static_cast<i32>(mMap->mMode);
    // The menus never show the field again without loading a level: its background goes (a
    // restart or the next level loads it afresh).
    const bool menu = screen == kScreenEpisodes || screen == kScreenLevels || screen == kScreenMainMenu ||
                      screen == kScreenShop || screen == kScreenProfiles;
    if (menu && TDBattleDrawer::showsBattle(mLastScreen))
        TDResources::Instance()->releaseBackground();
    mLastScreen = screen;
}

QLResultEnum GameWindow::OnPreDraw(render::Graphics* graphics, layer::Layer*)
{
    if (!graphics || !mMap)
        return QL_OK;
    (void)graphics->SetBlendMode(render::BLEND_ALPHA);
    render::Font* previous = graphics->mFont;
    TDShellPainter painter(*graphics, mServices->images,
                           [this](const std::wstring& name) -> render::Font* { return fontByName(name); });
    graphics->mFont = mFontMain42_2.Get();
    // Over the HUD: the spell buttons, then the level-name banner, under the HUD's windows. The
    // ring menu follows from the battle drawer, in the battle's transform and in the font left
    // here.
    auto overHud = [this, &painter, graphics]
    {
        graphics->mFont = mFontMain32_1.Get();
        mServices->hud.drawSpellButtons(painter);
        graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
        if (mBannerWindow)
            mBannerWindow->Draw(graphics);
    };
    // Everything stays inside the part of the layout the display shows: nothing reaches the bars.
    const TDScreenView view = TDScreenView::current();
    const float visible[4] = {view.x, view.y, view.width, view.height};
    graphics->SetClipRect(visible);
    {
        TDShellCanvas canvas(*graphics, mFontMain42_2.Get(), mFontMain32_1.Get(), mServices->hud, overHud);
        canvas.setUiPainter(&painter);
        if (mMobShader)
            canvas.setMobShader(mMobShader,
                                [this](const float c[4]) {
                                    mMobShader->SetColor2(math::Point4{c[0], c[1], c[2], c[3]});
                                });
        mServices->drawer->draw(canvas);
    }
    graphics->DisableClipRect();
    graphics->mFont = previous;
    graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
    return QL_OK;
}

QLResultEnum GameWindow::OnPostDraw(render::Graphics* graphics, layer::Layer*)
{
    if (mModalWindow)
        mModalWindow->Draw(graphics);
    return QL_OK;
}

QLResultEnum GameWindow::OnKeyDown(u32 code)
{
    if (!mMap)
        return QL_OK;
    mServices->hud.keyDownToWindows(static_cast<int>(code));
    // Enter confirms the name input as its "ok" does; after the windows had the key, since the
    // input closes itself.
    HUD* hud = getHud();
    if ((code == HUDModalInput::kEnter || code == HUDModalInput::kEnterCode) && hud && !hud->windows().empty())
        if (auto* input = dynamic_cast<HUDModalInput*>(hud->windows().back()))
            input->confirm();
    if (!mDebugKeys || mMap->mScreen != kScreenBattle)
        return QL_OK;
    switch (code)
    {
    case 'r':
        mMap->loadSheets();
        (void)mMap->restart();
        break;
    case 'w': mMap->showVictory(); break;
    case 'l': mMap->showDefeat(); break;
    case 'm': mMap->mStats.addCoins(1000); break;
    case 'c': mMap->mStats.addGems(100); break;
    case 'h':
        mMap->mHealth = mMap->mMaxHealth = 100.0f;
        mServices->hud.updateMana();
        break;
    case '1':
    case '2':
    case '3':
    {
        bool& flag = mMap->mDebugDisplay[code - '1'];
        flag = !flag;
        QL_LOG(L"Debug display %d %s\n") << static_cast<int>(code - '0') << (flag ? L"on" : L"off");
        break;
    }
    case '4': mServices->hud.resetSpellButtons(); break;
    default: break;
    }
    return QL_OK;
}

QLResultEnum GameWindow::OnChar(u16 character)
{
    if (mMap)
        mServices->hud.charToWindows(static_cast<int>(character));
    return QL_OK;
}

QLResultEnum GameWindow::OnPress(const math::Point3& point, u32 button)
{
    if (!mMap || button != 1)
        return QL_OK;
    const int x = truncated(point.x), y = truncated(point.y);
    if (mModalWindow)
    {
        mModalWindow->Press(x, y);
        mModalWindow->MouseMove(x, y);
    }
    else
        mMap->onPointerDown(x, y);
    return QL_OK;
}

QLResultEnum GameWindow::OnRelease(const math::Point3& point, u32)
{
    if (!mMap)
        return QL_OK;
    const int x = truncated(point.x), y = truncated(point.y);
    if (mModalWindow)
        mModalWindow->Release(x, y);
    else
        mMap->onPointerUp(x, y);
    return QL_OK;
}

QLResultEnum GameWindow::OnPointerMove(const math::Point3& point)
{
    if (!mMap)
        return QL_OK;
    mPointerX = truncated(point.x);
    mPointerY = truncated(point.y);
    if (mModalWindow)
        mModalWindow->MouseMove(mPointerX, mPointerY);
    else
        mMap->onPointerMove(mPointerX, mPointerY);
    return QL_OK;
}

QLResultEnum GameWindow::OnPointerDrag(const math::Point3& point)
{
    if (!mMap)
        return QL_OK;
    const int x = truncated(point.x), y = truncated(point.y);
    mMap->onPointerMove(x, y);
    if (mModalWindow)
        mModalWindow->MouseMove(x, y);
    return QL_OK;
}

QLResultEnum GameWindow::OnPointerWheel(const math::Point3&, u32 value)
{
    if (mMap)
        mMap->onWheel(static_cast<i16>(static_cast<u16>(value)));
    return QL_OK;
}
