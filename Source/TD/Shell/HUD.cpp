// The battle HUD: layout, counters, spell buttons and the screen stack.
#include "Source/TD/Shell/HUD.h"

#include "Core/Base/Log.h"
#include "Core/Base/Math.h"
#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Image/Image.h"
#include "Core/Media/Image/ImageContainer.h"
#include "Core/Widget/Controls/OptionsDialog.h"
#include "Core/Widget/Controls/TMessageBox.h"
#include "Core/Widget/FrameManager.h"
#include "Framework/GameApplication.h"
#include "Source/TD/Battle/HUDSpellButton.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Seams/TDBattleCanvas.h"
#include "Source/TD/Shell/HUDMainMenu.h"
#include "Source/TD/Shell/TDSplashScreens.h"
#include "Source/TD/Shell/TDVideoIntro.h"
#include "Source/TD/Sprites/TDAnimation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{
// Whole numbers without a fraction, others with up to six significant digits.
std::wstring number(float value)
{
    wchar_t text[32];
    std::swprintf(text, 32, L"%g", static_cast<double>(value));
    return text;
}

// The spell-cast cursor drawn through the battle canvas.
class CanvasSpritePainter : public TDSpritePainter
{
public:
    explicit CanvasSpritePainter(TDBattleCanvas& canvas) : mCanvas(canvas) {}
    void drawImage(const TDTexture* image, float width, float height, const math::Transform2D& transform,
                   const TDColor& color) override
    {
        mCanvas.setColor(color);
        mCanvas.drawImage(image, width, height, transform, false);
    }

private:
    TDBattleCanvas& mCanvas;
};

bool isMenuScreen(TDScreen s)
{
    return s == kScreenSplash || s == kScreenVideoIntro || s == kScreenMainMenu || s == kScreenLevels ||
           s == kScreenEpisodes;
}
} // namespace

HUD::HUD(const std::wstring& layout)
{
    if (!layout.empty() && buildFromLayout(layout))
    {
        // The HUD keys its text areas by their full names ("text/coins"), and its spell slots
        // are the "spell/" group.
        std::map<std::wstring, std::unique_ptr<TDFrameEntry>> areas;
        for (auto& [name, area] : mTextAreas)
        {
            area->mName = L"text/" + name;
            areas.emplace(area->mName, std::move(area));
        }
        mTextAreas.swap(areas);
        for (u32 i = 0; i < mLayout->GetImageCount(); ++i)
        {
            const base::ImageInfo* info = mLayout->GetImage(i);
            if (!info || info->mName.rfind(L"spell/", 0) != 0)
                continue;
            auto slot = std::make_unique<TDFrameEntry>();
            slot->mName = info->mName.substr(6);
            slot->mX = info->mX;
            slot->mY = info->mY;
            slot->mWidth = info->mWidth;
            slot->mHeight = info->mHeight;
            mSpellSlots.push_back(std::move(slot));
        }
        mLayout.reset();
    }
    // Buttons are drawn and hit by the HUD only: the layout's "button" group holds them.
    addDefaultTextAreas();
    // Each counter in the colour of its icon.
    const std::pair<const wchar_t*, TDColor> colours[] = {
        {L"text/coins", {1.0f, 0.86f, 0.35f, 1.0f}},
        {L"text/mana", {1.0f, 0.62f, 0.6f, 1.0f}},
        {L"text/waves", {0.9f, 0.94f, 1.0f, 1.0f}},
        {L"text/crystals", {0.6f, 0.9f, 1.0f, 1.0f}},
    };
    for (const auto& [name, colour] : colours)
        if (auto it = mTextAreas.find(name); it != mTextAreas.end())
            it->second->mColor = colour;
}

HUD::~HUD()
{
    mSpellCast.reset();
    mSpellButtons.clear();
    mSpellSlots.clear();
    destroyWindows();
}

void HUD::destroyWindows()
{
    mWindows.clear();
    mPendingWindows.clear();
    buryClosedWindows();
}

void HUD::addDefaultTextAreas()
{
    // Where a layout without counters shows them: along the top edge of the 1024 x 768 core.
    struct Place
    {
        const wchar_t* name;
        float x, y, w, h;
        TDColor color;
    };
    const Place places[] = {
        {L"text/coins", 20.0f, 8.0f, 200.0f, 44.0f, {1.0f, 0.86f, 0.35f, 1.0f}},
        {L"text/mana", 230.0f, 8.0f, 200.0f, 44.0f, {1.0f, 0.55f, 0.5f, 1.0f}},
        {L"text/waves", 440.0f, 8.0f, 260.0f, 44.0f, {0.85f, 0.92f, 1.0f, 1.0f}},
        {L"text/crystals", 710.0f, 8.0f, 160.0f, 44.0f, {0.6f, 0.9f, 1.0f, 1.0f}},
    };
    for (const Place& p : places)
    {
        if (mTextAreas.count(p.name))
            continue;
        auto area = std::make_unique<TDFrameEntry>();
        area->mName = p.name;
        area->mX = p.x;
        area->mY = p.y;
        area->mWidth = p.w;
        area->mHeight = p.h;
        area->mColor = p.color;
        mTextAreas.emplace(p.name, std::move(area));
    }
}

void HUD::notBuilt(const wchar_t* screen) { QL_LOG(L"Screen '%s' is not part of the game yet\n") << screen; }

void HUD::Update(float dt)
{
    buryClosedWindows();
    HUDWindow::Update(dt);
    if (mAppear == kHudAppearGrowing)
    {
        mTimer = std::min(mTimer + dt, 1.0f);
        if (mTimer > 0.1f)
            mAppear = kHudAppearShown;
    }
    if (mSpellCast)
        mSpellCast->update(dt);
    pulsePlayButton();
    mPulseTime = std::fmod(mPulseTime + dt, 1.0f);
    for (HUDSpellButton* button : mSpellButtons)
        button->update(dt);
    // By index: an update may open or close screens.
    for (size_t i = 0; i < mWindows.size(); ++i)
        mWindows[i]->Update(dt);
    for (size_t i = 0; i < mWindows.size();)
    {
        if (mWindows[i]->mOpen)
        {
            ++i;
            continue;
        }
        mWindows[i]->OnClosing();
        mWindows.eraseAt(i);
    }
    while (!mPendingWindows.empty())
        mWindows.push_back(mPendingWindows.release(mPendingWindows.front()));
}

void HUD::Draw(render::Graphics* graphics)
{
    // The logos, the intro and the menus cover the whole screen: no counters under them.
    const TDScreen s = mMap ? mMap->mScreen : kScreenBattle;
    if (!isMenuScreen(s))
        HUDWindow::Draw(graphics);
    if (graphics && showsSideImages(s))
        drawSideImages(graphics);
    if (graphics)
    {
        (void)graphics->SetBlendMode(render::BLEND_ALPHA);
        graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
    }
}

bool HUD::showsSideImages(TDScreen screen)
{
    switch (screen)
    {
    case kScreenEpisodes:
    case kScreenLevels:
    case kScreenShop:
    case kScreenProfiles:
    case kScreenProfileCreate:
    case kScreenProfileRename:
    case kScreenMessage:
    case kScreenResetUpgrades: return true;
    default: return false;
    }
}

// In layout coordinates, spanning its 768 rows: the left picture ends at x = 1, the right one
// starts at x = 1023.
void HUD::drawSideImages(render::Graphics* graphics)
{
    if (!mLeftSide || !mRightSide || mLeftSide->GetHeight() <= 0)
        return;
    const float scale = 768.0f / static_cast<float>(mLeftSide->GetHeight());
    {
        auto command = graphics->DrawImage(mLeftSide).Scale(scale, scale);
        command->mAlignH = 1;
        command->mAlignV = 0;
        command.mTransform.Translate(1.0f, 0.0f);
    }
    {
        auto command = graphics->DrawImage(mRightSide).Scale(scale, scale);
        command.mTransform.Translate(1023.0f, 0.0f);
    }
}

void HUD::pulsePlayButton()
{
    TDButtonFrame* play = findButton(L"play_btn");
    if (!play)
        return;
    // Up and down once a second while the battle stands still with no screen over it.
    const bool waiting = mMap && mMap->mScreen == kScreenBattle && mMap->mSpeed == 0.0f && mWindows.empty();
    play->mScale = waiting ? 1.0f + 0.18f * std::sin(mPulseTime * math::kTwoPi) * std::sin(mPulseTime * math::kTwoPi)
                           : std::max(1.0f, play->mScale);
}

void HUD::drawSpellButtons(TDUiPainter& painter)
{
    const TDScreen s = mMap ? mMap->mScreen : kScreenBattle;
    if (isMenuScreen(s))
        return;
    for (HUDSpellButton* button : mSpellButtons)
        button->draw(painter);
}

void HUD::drawSpellCast(TDBattleCanvas& canvas)
{
    if (!mMap || mMap->mSelectedSpell < 0 || mMap->mScreen != kScreenBattle || mCursorX < 0.0f)
        return;
    if (!mSpellCast)
        mSpellCast = std::make_unique<TDAnimation>(L"td/spell_cast");
    CanvasSpritePainter painter(canvas);
    mSpellCast->draw(painter, mCursorX, mCursorY, 0.0f);
    canvas.setColor(TDColor{});
}

void HUD::listButtons(std::vector<ButtonPlace>& out) const
{
    for (const HUDSpellButton* button : mSpellButtons)
        out.push_back({button->mName, button->mCentreX - 35.0f, button->mCentreY - 35.0f, 70.0f, 70.0f, true});
    HUDWindow::listButtons(out);
}

void HUD::drawWindows(render::Graphics* graphics, int layer)
{
    for (HUDWindow* window : mWindows)
        if (window->mDrawLayer == layer)
            window->Draw(graphics);
}

void HUD::MouseMove(int x, int y)
{
    HUDWindow::MouseMove(x, y);
    // The release notice moves the pointer to (-1, -1); the cursor stays where it was.
    if (x >= 0 && y >= 0)
    {
        mCursorX = static_cast<float>(x);
        mCursorY = static_cast<float>(y);
    }
    if (!mWindows.empty())
        mWindows.back()->MouseMove(x, y);
    for (HUDSpellButton* button : mSpellButtons)
        button->onHover(x, y);
}

void HUD::Release(int x, int y)
{
    if (!mWindows.empty())
        mWindows.back()->Release(x, y);
}

void HUD::Press(int x, int y)
{
    if (!mWindows.empty())
        mWindows.back()->Press(x, y);
}

void HUD::Wheel(int delta)
{
    for (HUDWindow* window : mWindows)
        window->Wheel(delta);
}

void HUD::charToWindows(int character)
{
    for (HUDWindow* window : mWindows)
        window->Char(character);
}

void HUD::keyDownToWindows(int code)
{
    for (HUDWindow* window : mWindows)
        window->KeyDown(code);
}

int HUD::ButtonAt(int x, int y)
{
    for (size_t i = mWindows.size(); i-- > 0;)
        if (int n = mWindows[i]->ButtonAt(x, y); n != -1)
            return n;
    if (!mWindows.empty())
        return -1;
    if (int n = HUDWindow::ButtonAt(x, y); n != -1)
        return kOwnButtonBase + n;
    bool touched = false;
    for (HUDSpellButton* button : mSpellButtons)
    {
        if (button->canPress(x, y))
            return button->mIndex;
        touched = touched || button->contains(x, y);
    }
    return touched ? -2 : -1;
}

std::wstring HUD::ButtonNameAt(int x, int y)
{
    if (!mWindows.empty())
        return mWindows.back()->ButtonNameAt(x, y);
    for (HUDSpellButton* button : mSpellButtons)
        if (button->canPress(x, y))
            return button->mName;
    return HUDWindow::ButtonNameAt(x, y);
}

void HUD::pushWindow(std::unique_ptr<HUDWindow> window)
{
    if (!window)
        return;
    if (mWindows.empty())
    {
        mAppear = kHudAppearGrowing;
        mTimer = 0.0f;
    }
    mPendingWindows.push_back(std::move(window));
}

// Screens leave the stack at once but are deleted by the next update: the caller may be the
// top screen's own handler, still running.
void HUD::closeTopWindow()
{
    if (mWindows.empty())
        return;
    mClosedWindows.push_back(mWindows.release(mWindows.back()));
}

void HUD::closeAllWindows()
{
    while (!mWindows.empty())
        mClosedWindows.push_back(mWindows.release(mWindows.front()));
}

void HUD::buryClosedWindows()
{
    // Taken out first: a closing screen's destructor may close or open others.
    base::OwnedList<HUDWindow> closed;
    closed.swap(mClosedWindows);
}

void HUD::refreshTopWindow()
{
    if (!mWindows.empty())
        mWindows.back()->Refresh();
}

void HUD::resetSpellButtons()
{
    for (HUDSpellButton* button : mSpellButtons)
    {
        button->mCooldown = 0.0f;
        button->mUsed = 0;
    }
}

void HUD::removeSpellButtons() { mSpellButtons.clear(); }

void HUD::addSpellButton(i32 spell)
{
    if (!mMap || !mMap->mSpells.findById(spell) || !mMap->isUnlocked(spell))
        return;
    const size_t k = mSpellButtons.size();
    if (k >= mSpellSlots.size())
        return; // no slot left for it
    const TDFrameEntry& slot = *mSpellSlots[k];
    auto button = std::make_unique<HUDSpellButton>(*mMap, spell);
    button->mCentreX = slot.mX + slot.mWidth * 0.5f;
    button->mCentreY = slot.mY + slot.mHeight * 0.5f;
    button->mIndex = static_cast<i32>(k);
    button->mName = slot.mName;
    mSpellButtons.push_back(std::move(button));
}

void HUD::updateCoins()
{
    if (mMap)
        HUDWindow::setText(L"text/coins", std::to_wstring(mMap->mStats.mShownCoins));
}

void HUD::updateCrystals()
{
    if (mMap)
        HUDWindow::setText(L"text/crystals", std::to_wstring(mMap->mStats.mGems));
}

void HUD::updateMana()
{
    if (mMap)
        HUDWindow::setText(L"text/mana", number(mMap->mHealth) + L"/" + number(mMap->mMaxHealth));
}

void HUD::updateWaves()
{
    if (!mMap)
        return;
    const i32 n = mMap->mWaves.countWaves();
    const i32 c = std::min(mMap->mWaves.mWavesDone + 1, n);
    HUDWindow::setText(L"text/waves", LocalStrings::Instance()->get(L"game_wave") + L" " +
                                          number(static_cast<float>(c)) + L"/" + std::to_wstring(n));
}

void HUD::setButtonVisible(const std::wstring& name, bool visible)
{
    for (TDButtonFrame* button : mButtons)
        if (button->mName == name)
            button->mVisible = visible ? 1 : 0;
}

bool HUD::buttonRect(const std::wstring& name, float& x, float& y, float& w, float& h)
{
    const TDButtonFrame* button = findButton(name);
    if (!button)
        return false;
    x = button->mX;
    y = button->mY;
    w = button->mWidth;
    h = button->mHeight;
    return true;
}

HUDSpellButton* HUD::spellButton(i32 index)
{
    for (HUDSpellButton* button : mSpellButtons)
        if (button->mIndex == index)
            return button;
    return nullptr;
}

void HUD::quitGame()
{
    if (mOnQuit)
        mOnQuit();
}

void HUD::showSplashScreens()
{
    pushWindow(std::make_unique<TDSplashScreens>(this));
    if (mMap)
        mMap->mScreen = kScreenSplash;
}

void HUD::showVideoIntro()
{
    pushWindow(std::make_unique<TDVideoIntro>(this));
    if (mMap)
        mMap->mScreen = kScreenVideoIntro;
}

void HUD::showMainMenu()
{
    if (mMap)
        mMap->mScreen = kScreenMainMenu;
    pushWindow(std::make_unique<HUDMainMenu>(mMap));
}

void HUD::showConfirm(const std::wstring& key, const std::wstring& command)
{
    framework::GameApplication* app = framework::GameApplication::Get();
    auto* frames = app ? dynamic_cast<widget::FrameManager*>(app->mFrameManager) : nullptr;
    if (!frames)
        return notBuilt(L"confirmation (no frame manager)");
    // The battle's confirmations all ask before a level's progress is given up.
    auto box = std::make_unique<TMessageBox>(key, command, L"progress_confirm_caption");
    if (box->Build() != QL_OK || frames->ShowModal(box.get(), true) != QL_OK)
    {
        QL_LOG(L"The confirmation box could not be opened\n") << base::LogStyle::Error;
        return;
    }
    if (!box->mCaption && !mCaptionPlaceReported)
    {
        mCaptionPlaceReported = true;
        QL_LOG(L"The layout '%s' has no place '%s': confirmations open without their caption\n")
            << base::LogStyle::Error << TMessageBox::kLayout << TMessageBox::kCaptionPlace;
    }
    (void)box.release(); // removed and deleted by the frame manager when it closes
}

void HUD::showOptions()
{
    framework::GameApplication* app = framework::GameApplication::Get();
    auto* frames = app ? dynamic_cast<widget::FrameManager*>(app->mFrameManager) : nullptr;
    if (!frames)
        return notBuilt(L"options (no frame manager)");
    auto dialog = std::make_unique<OptionsDialog>();
    if (dialog->Build() != QL_OK || frames->ShowModal(dialog.get(), true) != QL_OK)
    {
        QL_LOG(L"The options window could not be opened\n") << base::LogStyle::Error;
        return;
    }
    (void)dialog.release(); // removed and deleted by the frame manager when it closes
}
