// The release dispatcher: every screen's commands run when the pointer is released, by the
// name of the HUD button under it and the number of the open screen.
#include "Source/TD/TDMapCommands.h"

#include "Source/TD/HUDSpellButton.h"
#include "Source/TD/LocalStrings.h"
#include "Source/TD/TDDrops.h"
#include "Source/TD/TDMap.h"
#include "Source/TD/TDTower.h"

std::wstring gShopReturnTarget;

namespace
{
std::wstring localised(const wchar_t* key) { return LocalStrings::Instance()->get(key); }
} // namespace

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
    float bx = (static_cast<float>(x) - mOffsetX) / mScale;
    float by = (static_cast<float>(y) - mOffsetY) / mScale;
    i32 wx = 0, wy = 0;
    screenToBattle(static_cast<float>(x), static_cast<float>(y), wx, wy);
    float fx = static_cast<float>(wx), fy = static_cast<float>(wy);
    bool notify = true;

    switch (mScreen)
    {
    case 1:
    case 2:
    {
        std::wstring name = mHud->buttonNameAt(x, y);
        if (name == L"done" || name == L"close")
        {
            mHud->closeTopWindow();
            mHud->showShop(true);
            gShopReturnTarget = L"game";
        }
        else if (name == L"restart")
        {
            restart();
            mHud->setHasWindows(0);
        }
        else if (name == L"menu")
        {
            mHud->closeTopWindow();
            mHud->showLevelSelect();
        }
        break;
    }
    case 4:
    {
        std::wstring name = mHud->buttonNameAt(x, y);
        if (name == L"resume" || name == L"close")
        {
            mTutorial->show();
            mHud->closeTopWindow();
            mHud->setHasWindows(0);
            mScreen = 0;
            notify = false;
        }
        else if (name == L"restart" || name == L"mmenu")
        {
            mHud->showConfirm(L"progress_confirm_text", name);
            notify = false;
        }
        else if (name == L"options")
        {
            mHud->showOptions();
            notify = false;
        }
        else if (name == L"levels")
            mHud->showConfirm(L"progress_confirm_text", L"levels");
        break;
    }
    case 5:
    {
        std::wstring name = mHud->buttonNameAt(x, y);
        i32 n = mHud->buttonAt(x, y);
        if (name == L"back")
        {
            mHud->closeTopWindow();
            mHud->showMainMenu();
            notify = false;
        }
        else if (name == L"shop")
        {
            mHud->closeTopWindow();
            mHud->showShop(false);
            gShopReturnTarget = L"episodes";
            notify = false;
        }
        else if (n != -1 && isEpisodeUnlocked(n))
        {
            mEpisode = n;
            mHud->closeTopWindow();
            mHud->showLevelSelect();
        }
        break;
    }
    case 6:
    {
        std::wstring name = mHud->buttonNameAt(x, y);
        if (!name.empty())
        {
            if (name == L"back")
            {
                mHud->closeTopWindow();
                if (mMode == 3)
                {
                    mMode = mProgress->getMode();
                    mHud->showLevelSelect();
                }
                else
                    mHud->showEpisodeSelect();
            }
            else if (name == L"upgrade")
            {
                mHud->closeTopWindow();
                mHud->showShop(false);
                gShopReturnTarget = L"levels";
                notify = false;
            }
            else if (name == L"unlocked_d")
            {
                mHud->closeTopWindow();
                mMode = 3;
                mHud->showLevelSelect();
                notify = false;
            }
            else if (name == L"locked_d")
            {
                mHud->showMessage(localised(L"HardcoreTitle"), localised(L"HardcoreUnlockMessage"), 6);
                mProgress->setEpisodeVisited(mEpisode, 3, getHardcoreLevelCount(mEpisode));
                notify = false;
            }
            break;
        }
        i32 n = mHud->buttonAt(x, y);
        if (n != -1 && mProgress->isLevelOpen(mEpisode, n, mMode))
        {
            mLevel = n;
            mHud->closeTopWindow();
            loadLevel();
            notify = false;
        }
        break;
    }
    case 7:
    {
        std::wstring name = mHud->buttonNameAt(x, y);
        bool noProfile = mProgress->currentName().empty();
        if (name == L"play" || name == L"shop")
        {
            if (noProfile)
            {
                mAfterProfileInput = name == L"play" ? L"mmenu" : L"shop";
                mScreen = 14;
                mHud->showProfileNameInput();
            }
            else
            {
                mHud->closeTopWindow();
                if (name == L"play")
                    mHud->showEpisodeSelect();
                else
                {
                    mHud->showShop(false);
                    gShopReturnTarget = L"mmenu";
                }
            }
        }
        else if (name == L"cloze")
            mHud->quitGame();
        else if (name == L"options")
            mHud->showOptions();
        else if (name == L"profile")
        {
            mHud->closeTopWindow();
            mHud->showProfiles();
        }
        break;
    }
    case 8:
    {
        std::wstring name = mHud->buttonNameAt(x, y);
        if (name == L"back_ac")
        {
            postEvent(L"shop_state_changed");
            if (gShopReturnTarget == L"mmenu" || gShopReturnTarget == L"levels" || gShopReturnTarget == L"episodes")
            {
                mHud->closeTopWindow();
                if (gShopReturnTarget == L"mmenu")
                    mHud->showMainMenu();
                else if (gShopReturnTarget == L"levels")
                    mHud->showLevelSelect();
                else
                    mHud->showEpisodeSelect();
            }
            notify = false;
        }
        else if (name == L"return_ac")
        {
            postEvent(L"shop_state_changed");
            mHud->closeTopWindow();
            if (mResultAction == 1)
                restart();
            else if (mResultAction == 2)
                mHud->nextLevel();
            mResultAction = -1;
        }
        break;
    }
    case 11:
        if (mHud->buttonNameAt(x, y) == L"ok")
        {
            mHud->closeTopWindow();
            mHud->setHasWindows(0);
            mScreen = 0;
            mSpeed = 1.0f;
            mHud->showLevelName();
            postEvent(mProgress->getTutorialStepState(5) == 2 ? L"buildspot_bought" : L"unlock_window_close");
        }
        break;
    case 13:
    {
        std::wstring name = mHud->buttonNameAt(x, y);
        if (name == L"create")
        {
            if (mProgress->profileNames().size() < 5)
            {
                mScreen = 14;
                mHud->showProfileNameInput();
            }
            else
                mHud->showMessage(localised(L"profiles_error"), localised(L"profiles_maxcount"), 13);
        }
        else if (name == L"back" || name == L"confirm")
        {
            mHud->closeTopWindow();
            mHud->showMainMenu();
        }
        else if (name == L"rename" && !mProgress->currentName().empty())
        {
            mScreen = 15;
            mHud->showProfileNameInput();
        }
        break;
    }
    case 14:
        if (mHud->buttonNameAt(x, y) == L"cancel")
        {
            mHud->closeTopWindow();
            mScreen = mAfterProfileInput == L"mmenu" || mAfterProfileInput == L"shop" ? 7 : 13;
        }
        break;
    case 15:
        // The rename input answers its own "ok" and "cancel".
        mHud->buttonNameAt(x, y);
        break;
    case 16:
        if (mHud->buttonNameAt(x, y) == L"ok")
        {
            mHud->closeTopWindow();
            mScreen = mMessageReturnScreen;
        }
        break;
    case 26:
    {
        std::wstring name = mHud->buttonNameAt(x, y);
        if (name == L"ok" || name == L"cancel")
        {
            mHud->closeTopWindow();
            mHud->setHasWindows(0);
            mScreen = 8;
            // The release answered the dialog: the shop beneath must not take it as a purchase.
            notify = false;
            if (name == L"ok")
            {
                refundUpgrades();
                mHud->refreshTopWindow();
            }
        }
        break;
    }
    case 0:
        notify = releaseOnBattle(x, y, bx, by, fx, fy);
        break;
    default:
        break;
    }
    if (notify)
    {
        mHud->onRelease(x, y);
        mHud->onMouseMove(-1, -1);
    }
}

bool TDMap::releaseOnBattle(i32 x, i32 y, float bx, float by, float fx, float fy)
{
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
            updateControlButtons();
        }
        else if (name == L"play_btn")
        {
            if (mHud->uiBlock() <= 1)
            {
                mSpeed = 1.0f;
                updateControlButtons();
                postEvent(L"game_play");
            }
        }
        else if (name == L"speed_btn")
        {
            if (mHud->uiBlock() == 0)
            {
                mSpeed = 2.0f;
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
