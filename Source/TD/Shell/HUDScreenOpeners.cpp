// The HUD's openers of the selection screens, the in-game menu, the level-name banner and the
// level result, and the step to the next level.
#include "Core/Base/Log.h"
#include "Core/Resource/ResourceManager.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Shell/HUD.h"
#include "Source/TD/Shell/HUDEpisodeSelectIOS.h"
#include "Source/TD/Shell/HUDIngameMenu.h"
#include "Source/TD/Shell/HUDLevelName.h"
#include "Source/TD/Shell/HUDLevelResultWindow.h"
#include "Source/TD/Shell/HUDLevelSelect.h"

HUDWindow* HUD::newestWindow()
{
    if (!mPendingWindows.empty())
        return mPendingWindows.back();
    if (!mWindows.empty())
        return mWindows.back();
    return this;
}

void HUD::setFont(const std::wstring& name)
{
    base::CountedPtr<render::BMFont> font = resource::ResourceManager::Instance()->Get<render::BMFont>(name);
    if (font && font->IsLoaded())
        newestWindow()->setFont(font);
}

void HUD::showEpisodeSelect()
{
    if (!mMap)
        return notBuilt(L"episode selection");
    mMap->mScreen = kScreenEpisodes;
    pushWindow(std::make_unique<HUDEpisodeSelectIOS>(*mMap));
}

void HUD::showLevelSelect()
{
    if (!mMap)
        return notBuilt(L"level selection");
    mMap->mScreen = kScreenLevels;
    pushWindow(std::make_unique<HUDLevelSelect>(*mMap));
}

void HUD::showIngameMenu() { pushWindow(std::make_unique<HUDIngameMenu>()); }

void HUD::showLevelName()
{
    if (!mMap)
        return;
    if (mOnBanner)
        mOnBanner(std::make_unique<HUDLevelName>(mMap->mEpisode, mMap->mLevel, mMap->mMode));
}

void HUD::showLevelResult()
{
    if (mMap)
        pushWindow(std::make_unique<HUDLevelResultWindow>(*mMap));
}

void HUD::nextLevel()
{
    if (!mMap)
        return;
    mMap->mLevel += 1;
    const i32 episode = mMap->mEpisode;
    if (mMap->mMode == kDifficultyHardcore)
    {
        if (mMap->mLevel >= mMap->getHardcoreLevelCount(episode))
        {
            mMap->mMode = mMap->mProgress->getMode();
            showEpisodeSelect();
        }
        else
            (void)mMap->loadLevel();
        return;
    }
    if (mMap->mLevel >= mMap->getLevelCount(episode))
        showEpisodeSelect();
    else
        (void)mMap->loadLevel();
}
