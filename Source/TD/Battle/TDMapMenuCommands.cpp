// The release handlers of the menus and the shop: main menu, episode and level selection, the
// shop and its reset confirmation.
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Data/TDText.h"

bool TDMap::onMainMenuRelease(i32 x, i32 y)
{
    std::wstring name = mHud->buttonNameAt(x, y);
    if (name == L"play" || name == L"shop")
    {
        if (mProgress->currentName().empty())
        {
            // Without a profile the name input comes first, then the screen asked for.
            mAfterProfileInput = name == L"play" ? L"mmenu" : L"shop";
            mScreen = kScreenProfileCreate;
            mHud->showProfileNameInput();
            return true;
        }
        mHud->closeTopWindow();
        if (name == L"play")
            mHud->showEpisodeSelect();
        else
        {
            mHud->showShop(false);
            mShopReturnTarget = L"mmenu";
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
    return true;
}

bool TDMap::onEpisodesRelease(i32 x, i32 y)
{
    std::wstring name = mHud->buttonNameAt(x, y);
    i32 n = mHud->buttonAt(x, y);
    if (name == L"back")
    {
        mHud->closeTopWindow();
        mHud->showMainMenu();
        return false;
    }
    if (name == L"shop")
    {
        mHud->closeTopWindow();
        mHud->showShop(false);
        mShopReturnTarget = L"episodes";
        return false;
    }
    if (n != -1 && isEpisodeUnlocked(n))
    {
        mEpisode = n;
        mHud->closeTopWindow();
        mHud->showLevelSelect();
    }
    return true;
}

bool TDMap::onLevelsRelease(i32 x, i32 y)
{
    std::wstring name = mHud->buttonNameAt(x, y);
    if (name == L"back")
    {
        mHud->closeTopWindow();
        if (mMode == kDifficultyHardcore)
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
        mShopReturnTarget = L"levels";
        return false;
    }
    else if (name == L"unlocked_d")
    {
        mHud->closeTopWindow();
        mMode = kDifficultyHardcore;
        mHud->showLevelSelect();
        return false;
    }
    else if (name == L"locked_d")
    {
        LocalStrings* strings = LocalStrings::Instance();
        // The rule in numbers: the episode's stars of every mode against three per level.
        const std::wstring text = tdtext::fillNumbers(strings->get(L"HardcoreUnlockMessage"),
                                                      {3 * getLevelCount(mEpisode), mProgress->getStarTotal(mEpisode)});
        mHud->showMessage(strings->get(L"HardcoreTitle"), text, kScreenLevels);
        mProgress->setEpisodeVisited(mEpisode, 3, getHardcoreLevelCount(mEpisode));
        return false;
    }
    if (!name.empty())
        return true;
    // A level plate.
    i32 n = mHud->buttonAt(x, y);
    if (n != -1 && mProgress->isLevelOpen(mEpisode, n, mMode))
    {
        mLevel = n;
        mHud->closeTopWindow();
        (void)loadLevel();
        return false;
    }
    return true;
}

bool TDMap::onShopRelease(i32 x, i32 y)
{
    std::wstring name = mHud->buttonNameAt(x, y);
    if (name == L"back_ac")
    {
        postEvent(L"shop_state_changed");
        if (mShopReturnTarget == L"mmenu" || mShopReturnTarget == L"levels" || mShopReturnTarget == L"episodes")
        {
            mHud->closeTopWindow();
            if (mShopReturnTarget == L"mmenu")
                mHud->showMainMenu();
            else if (mShopReturnTarget == L"levels")
                mHud->showLevelSelect();
            else
                mHud->showEpisodeSelect();
        }
        return false;
    }
    if (name == L"return_ac")
    {
        postEvent(L"shop_state_changed");
        mHud->closeTopWindow();
        if (mResultAction == kResultActionRestart)
            (void)restart();
        else if (mResultAction == kResultActionNextLevel)
            mHud->nextLevel();
        mResultAction = kResultActionNone;
    }
    return true;
}

bool TDMap::onResetUpgradesRelease(i32 x, i32 y)
{
    std::wstring name = mHud->buttonNameAt(x, y);
    if (name != L"ok" && name != L"cancel")
        return true;
    mHud->closeTopWindow();
    mHud->setHasWindows(0);
    mScreen = kScreenShop;
    if (name == L"ok")
    {
        refundUpgrades();
        mHud->refreshTopWindow();
    }
    // The release answered the dialog: the shop beneath must not take it as a purchase.
    return false;
}
