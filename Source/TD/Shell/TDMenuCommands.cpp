// The release handlers of the menus and the shop: main menu, episode and level selection, the
// shop and its reset confirmation.
#include "Source/TD/Shell/TDScreenCommands.h"

#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Data/TDText.h"

bool TDScreenCommands::onMainMenuRelease(i32 x, i32 y)
{
    std::wstring name = mMap.mHud->buttonNameAt(x, y);
    if (name == L"play" || name == L"shop")
    {
        if (mMap.mProgress->currentName().empty())
        {
            // Without a profile the name input comes first, then the screen asked for.
            mMap.mAfterProfileInput = name == L"play" ? kAfterInputPlay : kAfterInputShop;
            mMap.mScreen = kScreenProfileCreate;
            mMap.mHud->showProfileNameInput();
            return true;
        }
        mMap.mHud->closeTopWindow();
        if (name == L"play")
            mMap.mHud->showEpisodeSelect();
        else
        {
            mMap.mHud->showShop(false);
            mMap.mShopReturnTarget = kShopReturnMainMenu;
        }
    }
    else if (name == L"cloze")
        mMap.mHud->quitGame();
    else if (name == L"options")
        mMap.mHud->showOptions();
    else if (name == L"profile")
    {
        mMap.mHud->closeTopWindow();
        mMap.mHud->showProfiles();
    }
    return true;
}

bool TDScreenCommands::onEpisodesRelease(i32 x, i32 y)
{
    std::wstring name = mMap.mHud->buttonNameAt(x, y);
    i32 n = mMap.mHud->buttonAt(x, y);
    if (name == L"back")
    {
        mMap.mHud->closeTopWindow();
        mMap.mHud->showMainMenu();
        return false;
    }
    if (name == L"shop")
    {
        mMap.mHud->closeTopWindow();
        mMap.mHud->showShop(false);
        mMap.mShopReturnTarget = kShopReturnEpisodes;
        return false;
    }
    if (n != -1 && mMap.isEpisodeUnlocked(n))
    {
        mMap.mEpisode = n;
        mMap.mHud->closeTopWindow();
        mMap.mHud->showLevelSelect();
    }
    return true;
}

bool TDScreenCommands::onLevelsRelease(i32 x, i32 y)
{
    std::wstring name = mMap.mHud->buttonNameAt(x, y);
    if (name == L"back")
    {
        mMap.mHud->closeTopWindow();
        if (mMap.mMode == kDifficultyHardcore)
        {
            mMap.mMode = mMap.mProgress->getMode();
            mMap.mHud->showLevelSelect();
        }
        else
            mMap.mHud->showEpisodeSelect();
    }
    else if (name == L"upgrade")
    {
        mMap.mHud->closeTopWindow();
        mMap.mHud->showShop(false);
        mMap.mShopReturnTarget = kShopReturnLevels;
        return false;
    }
    else if (name == L"unlocked_d")
    {
        mMap.mHud->closeTopWindow();
        mMap.mMode = kDifficultyHardcore;
        mMap.mHud->showLevelSelect();
        return false;
    }
    else if (name == L"locked_d")
    {
        LocalStrings* strings = LocalStrings::Instance();
        // The rule in numbers: the episode's stars of every mode against three per level.
        const std::wstring text =
            tdtext::fillNumbers(strings->get(L"HardcoreUnlockMessage"),
                                {3 * mMap.getLevelCount(mMap.mEpisode), mMap.mProgress->getStarTotal(mMap.mEpisode)});
        mMap.mHud->showMessage(strings->get(L"HardcoreTitle"), text, kScreenLevels);
        mMap.mProgress->setEpisodeVisited(mMap.mEpisode, kDifficultyHardcore,
                                          mMap.getHardcoreLevelCount(mMap.mEpisode));
        return false;
    }
    if (!name.empty())
        return true;
    // A level plate.
    i32 n = mMap.mHud->buttonAt(x, y);
    if (n != -1 && mMap.mProgress->isLevelOpen(mMap.mEpisode, n, mMap.mMode))
    {
        mMap.mLevel = n;
        mMap.mHud->closeTopWindow();
        (void)mMap.loadLevel();
        return false;
    }
    return true;
}

bool TDScreenCommands::onShopRelease(i32 x, i32 y)
{
    std::wstring name = mMap.mHud->buttonNameAt(x, y);
    if (name == L"back_ac")
    {
        mMap.postEvent(L"shop_state_changed");
        const TDShopReturn target = mMap.mShopReturnTarget;
        if (target == kShopReturnMainMenu || target == kShopReturnLevels || target == kShopReturnEpisodes)
        {
            mMap.mHud->closeTopWindow();
            if (target == kShopReturnMainMenu)
                mMap.mHud->showMainMenu();
            else if (target == kShopReturnLevels)
                mMap.mHud->showLevelSelect();
            else
                mMap.mHud->showEpisodeSelect();
        }
        return false;
    }
    if (name == L"return_ac")
    {
        mMap.postEvent(L"shop_state_changed");
        mMap.mHud->closeTopWindow();
        if (mMap.mResultAction == kResultActionRestart)
            (void)mMap.restart();
        else if (mMap.mResultAction == kResultActionNextLevel)
            mMap.mHud->nextLevel();
        mMap.mResultAction = kResultActionNone;
    }
    return true;
}

bool TDScreenCommands::onResetUpgradesRelease(i32 x, i32 y)
{
    std::wstring name = mMap.mHud->buttonNameAt(x, y);
    if (name != L"ok" && name != L"cancel")
        return true;
    mMap.mHud->closeTopWindow();
    mMap.mHud->setHasWindows(0);
    mMap.mScreen = kScreenShop;
    if (name == L"ok")
    {
        mMap.refundUpgrades();
        mMap.mHud->refreshTopWindow();
    }
    // The release answered the dialog: the shop beneath must not take it as a purchase.
    return false;
}
