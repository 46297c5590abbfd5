// The release dispatcher: the open screen's handler runs the command of the HUD button under
// the pointer. The battle and the screens over it are handled here; the menus, the shop, the
// profiles and the message by the screen flow (the shell's TDScreenCommands).
#include "Source/TD/Battle/HUDSpellButton.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Units/TDDrops.h"
#include "Source/TD/Units/TDTower.h"

void TDMap::castSelectedSpell(float x, float y)
{
    HUDSpellButton* button = mHud->spellButton(mSelectedSpell);
    mSelectedSpell = -1;
    if (!button)
        return;
    playSound(L"spell" + std::to_wstring(button->mSpellId));
    castSpell(button->mSpellId, x, y);
    button->startCooldown();
}

void TDMap::onPointerUp(i32 x, i32 y)
{
    mTutorial->onClick(x, y);
    bool notify = true;
    switch (mScreen)
    {
    case kScreenBattle: notify = onBattleRelease(x, y); break;
    case kScreenWon:
    case kScreenLost: notify = onResultRelease(x, y); break;
    case kScreenIngameMenu: notify = onIngameMenuRelease(x, y); break;
    case kScreenUnlockMessage: notify = onUnlockMessageRelease(x, y); break;
    case kScreenEpisodes:
    case kScreenLevels:
    case kScreenMainMenu:
    case kScreenShop:
    case kScreenProfiles:
    case kScreenProfileCreate:
    case kScreenProfileRename:
    case kScreenMessage:
    case kScreenResetUpgrades: notify = mScreenFlow->onRelease(x, y); break;
    default: break;
    }
    if (notify)
    {
        mHud->onRelease(x, y);
        mHud->onMouseMove(-1, -1);
    }
}

bool TDMap::onResultRelease(i32 x, i32 y)
{
    std::wstring name = mHud->buttonNameAt(x, y);
    if (name == L"done" || name == L"close")
    {
        mHud->closeTopWindow();
        mHud->showShop(true);
        mShopReturnTarget = kShopReturnGame;
    }
    else if (name == L"restart")
    {
        (void)restart();
        mHud->setHasWindows(0);
    }
    else if (name == L"menu")
    {
        mHud->closeTopWindow();
        mHud->showLevelSelect();
    }
    return true;
}

bool TDMap::onIngameMenuRelease(i32 x, i32 y)
{
    std::wstring name = mHud->buttonNameAt(x, y);
    if (name == L"resume" || name == L"close")
    {
        mTutorial->show();
        mHud->closeTopWindow();
        mHud->setHasWindows(0);
        mScreen = kScreenBattle;
        return false;
    }
    if (name == L"restart" || name == L"mmenu")
    {
        mHud->showConfirm(L"progress_confirm_text", name);
        return false;
    }
    if (name == L"options")
    {
        mHud->showOptions();
        return false;
    }
    if (name == L"levels")
        mHud->showConfirm(L"progress_confirm_text", L"levels");
    return true;
}

bool TDMap::onUnlockMessageRelease(i32 x, i32 y)
{
    if (mHud->buttonNameAt(x, y) == L"ok")
    {
        mHud->closeTopWindow();
        mHud->setHasWindows(0);
        mScreen = kScreenBattle;
        mSpeed = 1.0f;
        mHud->showLevelName();
        postEvent(mProgress->getTutorialStepState(5) == kStepComplete ? L"buildspot_bought" : L"unlock_window_close");
    }
    return true;
}

bool TDMap::onBattleRelease(i32 x, i32 y)
{
    // Spells aim at the transformed point; drops, spots and towers are found at its whole part.
    float bx = (static_cast<float>(x) - mOffsetX) / mScale;
    float by = (static_cast<float>(y) - mOffsetY) / mScale;
    i32 wx = 0, wy = 0;
    screenToBattle(static_cast<float>(x), static_cast<float>(y), wx, wy);
    float fx = static_cast<float>(wx), fy = static_cast<float>(wy);
    if (mSelectedSpell >= 0 && mHud->buttonAt(x, y) == -1)
    {
        castSelectedSpell(bx, by);
        return false;
    }
    if (TDTowerSpecial* drop = findDropAt(static_cast<i32>(fx), static_cast<i32>(fy)))
    {
        collectDrop(drop);
        return false;
    }
    std::wstring name = mHud->buttonNameAt(x, y);
    if (!name.empty())
    {
        bool handled = true;
        if (name == L"ok")
            mHud->closeTopWindow();
        else if (name == L"options_btn")
            pause();
        else if (name == L"pause_btn_ac" || name == L"play_btn_ac" || name == L"options_btn_ac" ||
                 name == L"speed_btn_ac")
        {
        }
        else if (name == L"pause_btn")
        {
            mSpeed = 0.0f;
            mTutorialPaused = false;
            updateControlButtons();
        }
        else if (name == L"play_btn")
        {
            if (mHud->uiBlock() <= 1)
            {
                mSpeed = 1.0f;
                mTutorialPaused = false;
                updateControlButtons();
                postEvent(L"game_play");
            }
        }
        else if (name == L"speed_btn")
        {
            if (mHud->uiBlock() == 0)
            {
                mSpeed = 2.0f;
                mTutorialPaused = false;
                updateControlButtons();
            }
        }
        else
            handled = false;
        if (handled)
        {
            playSound(L"simple");
            return false;
        }
    }

    i32 n = mHud->buttonAt(x, y);
    if (mSelectedSpell >= 0 && n == mSelectedSpell)
    {
        mSelectedSpell = -1;
        return false;
    }
    if (n != -1)
    {
        if (mHud->uiBlock() != 0 || n == -2 || n >= mHud->spellButtonCount() || n < 0)
            return false;
        HUDSpellButton* button = mHud->spellButton(n);
        if (!button)
            return false;
        mSelectedSpell = n;
        playSound(L"simple");
        if (mActiveEmitter)
            mActiveEmitter->setPosition(button->mCentreX, button->mCentreY);
        if (button->mSpellId == 4)
            castSelectedSpell(static_cast<float>(x), static_cast<float>(y));
        // The release was the spell button's: the spot or tower beneath it stays closed.
        return false;
    }

    if (TDSpotFrame* spot = findFreeSpotAt(fx, fy))
    {
        if (mContextMenu)
        {
            if (mContextMenu->spot == spot && !mContextMenu->tower)
                mContextMenu->close();
            else
                mContextMenu.reset();
            return false;
        }
        if (mTutorialSpot != -1 && spot->name != "#" + std::to_string(mTutorialSpot))
            return false;
        mContextMenu = std::make_unique<TDContextMenu>(*this);
        if (spot->spot && spot->spot->open)
            mContextMenu->openBuild(spot);
        else
            mContextMenu->openBuySpot(spot);
        mContextMenu->centreX = static_cast<float>(spot->x) + static_cast<float>(spot->width) * 0.5f;
        mContextMenu->centreY = static_cast<float>(spot->y) + static_cast<float>(spot->height) * 0.5f;
        return false;
    }
    if (TDTower* tower = findTowerAt(fx, fy))
    {
        if (mContextMenu)
        {
            if (mContextMenu->tower == tower)
                mContextMenu->close();
            else
                mContextMenu.reset();
            return false;
        }
        mContextMenu = std::make_unique<TDContextMenu>(*this);
        mContextMenu->openTower(tower);
        if (tower->mSpot && tower->mSpot->spot && tower->mSpot->spot->x == 896.0f && tower->mSpot->spot->y == 563.0f)
            postEvent(L"tower_select_3");
        mContextMenu->centreX = tower->mX;
        mContextMenu->centreY = tower->mY;
    }
    return true;
}
