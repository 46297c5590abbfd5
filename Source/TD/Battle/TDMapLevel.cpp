// Level start: the level file's name, reading it into points, links, spots, scenery and waves,
// and the paths. A level that cannot be read starts no battle.
#include "Source/TD/Battle/TDMap.h"

#include "Core/Base/Log.h"
#include "Core/Base/OwnedList.h"
#include "Core/Base/Random.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Data/TDFileSource.h"
#include "Source/TD/Data/TDText.h"
#include "Source/TD/Units/TDEffectTimer.h"

#include <tinyxml2.h>

#include <cstdio>

std::wstring TDMap::levelFileName(TDDifficulty mode, i32 episode, i32 level)
{
    char name[64];
    std::snprintf(name, sizeof(name), "level_%02d_%02d.xml", episode + 1, level + 1);
    return (mode == kDifficultyHardcore ? L"td/levels_hardcore/" : L"td/levels_normal/") + tdtext::utf8ToWide(name);
}

std::wstring TDMap::getPathCacheName() const
{
    char name[96];
    const char* folder = mMode == kDifficultyHardcore ? "hardcore" : "normal";
    std::snprintf(name, sizeof(name), "td/levels_%s/level_%02d_%02d.cache", folder, mEpisode + 1, mLevel + 1);
    return mCacheRoot + tdtext::utf8ToWide(name);
}

QLResultEnum TDMap::loadLevel()
{
    mLevelFile = levelFileName(mMode, mEpisode, mLevel);
    QLResultEnum result = restart();
    mHud->setHasWindows(0);
    mDropChanceOverride = static_cast<float>(mProgress->getTutorialParam("dropChanceOverride"));
    if (result == QL_OK)
        mTutorial->onEvent(L"level_" + std::to_wstring(mEpisode + 1) + L"_" + std::to_wstring(mLevel + 1) + L"_start");
    return result;
}

QLResultEnum TDMap::restart()
{
    mHud->setHasWindows(0);
    mOffsetX = mOffsetY = 0.0f;
    mScale = 1.0f;
    mScreenMode->drawLoadingScreen();
    mStats.reset();
    TDGlobalBonus bonus;
    mUpgrades.applyGlobal(upgradeContext(), bonus);
    mHealthBonus = bonus.healthBonus;
    mEnemyCostBonus = bonus.enemyCostBonus;
    mStartBudgetBonus = bonus.startBudgetBonus;
    loadSheets();
    mSelectedSpell = -1;
    mScreen = kScreenLoading;
    mSpeed = 0.0f;
    mTutorialPaused = false;
    mHud->setHasWindows(0);
    mHud->resetSpellButtons();
    mMaxHealth = mHealth = mMode == kDifficultyHardcore ? 1.0f : 25.0f + static_cast<float>(mHealthBonus);
    mHud->closeAllWindows();

    if (parseLevel(mLevelFile) != QL_OK)
    {
        // No battle on an empty level: the wave manager would call it won at once.
        clearLevel();
        mMessageReturnScreen = kScreenLevels;
        mScreen = kScreenMessage;
        LocalStrings* strings = LocalStrings::Instance();
        mHud->showMessage(strings->get(L"level_error_title"), strings->get(L"level_error_text"), kScreenLevels);
        return QL_FAIL;
    }
    mSpeed = 1.0f;
    mScreen = kScreenBattle;
    updateControlButtons();
    i32 track = mEpisode >= 0 && mEpisode <= 6 ? mEpisode + 1 : 1;
    mSounds->playMusic(L"td/data/music/ingame" + std::to_wstring(track) + L".ogg");
    mPaths.build(network(), mWaves, getPathCacheName());
    for (const auto& [spot, id] : mPrebuiltTowers)
        buildPrebuiltTower(spot, id);
    mTutorial->resetIncompleteSteps();
    showLevelStart();
    mHud->updateWaves();
    mHud->updateCrystals();
    mHud->updateCoins();
    mHud->updateMana();
    return QL_OK;
}

void TDMap::clearLevel()
{
    mLevelLoaded = false;
    clearBattle();
    mPaths.clear();
    mWaves.clear();
    mSpots.clear();
    base::DeleteAll(mLinks);
    base::DeleteAll(mPoints);
    mScenery.reset();
    mPrebuiltTowers.clear();
    mBudget = 0;
}

QLResultEnum TDMap::parseLevel(const std::wstring& fileName)
{
    mLevelFile = fileName;
    std::string text = TDFileSource::current().readFile(fileName);
    return parseLevelText(text, fileName);
}

void TDMap::loadPoints(const tinyxml2::XMLElement* element)
{
    base::DeleteAll(mPoints);
    if (element)
        for (const tinyxml2::XMLElement* e = element->FirstChildElement(); e; e = e->NextSiblingElement())
            mPoints.push_back(new TDPoint(e, mCoordScale));
}

void TDMap::loadLinks(const tinyxml2::XMLElement* element)
{
    base::DeleteAll(mLinks);
    if (element)
        for (const tinyxml2::XMLElement* e = element->FirstChildElement(); e; e = e->NextSiblingElement())
            mLinks.push_back(new TDLink(e, mCoordScale));
}

void TDMap::loadSpots(const tinyxml2::XMLElement* element)
{
    if (element)
        for (const tinyxml2::XMLElement* e = element->FirstChildElement(); e; e = e->NextSiblingElement())
            mSpots.push_back(std::make_unique<TDBuildSpot>(e));
}

namespace
{
// One ambient effect per "fx" layer: river sparkles in the first episode, birds in the second.
void loadEffectTimers(const TDMapScene& scenery, i32 episode, base::OwnedList<TDEffectTimer>& timers)
{
    const wchar_t* name = episode == 0 ? L"tr1" : episode == 1 ? L"bird" : L"";
    for (const TDSceneLayer& place : scenery.effectPlaces)
    {
        auto timer = std::make_unique<TDEffectTimer>();
        timer->name = name;
        timer->x = place.x;
        timer->y = place.y;
        timer->maxRepeatDelay = 30.0f;
        timer->continuous = timer->maxRepeatDelay == 0.0f;
        timer->firstDelay = 3.0f + 5.0f * math::Random();
        timers.push_back(std::move(timer));
    }
}
} // namespace

QLResultEnum TDMap::parseLevelText(const std::string& text, const std::wstring& fileName)
{
    mHud->removeSpellButtons();
    for (i32 spell = 0; spell < 5; ++spell)
        mHud->addSpellButton(spell);
    mLevelFile = fileName;
    mPaths.clear();
    clearLevel();

    tinyxml2::XMLDocument document;
    if (text.empty())
    {
        QL_LOG(L"Level '%s' cannot be read\n") << base::LogStyle::Error << fileName;
        return QL_FAIL;
    }
    if (document.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS)
    {
        QL_LOG(L"Level '%s' is not well-formed XML: %s (line %d)\n")
            << base::LogStyle::Error << fileName << document.ErrorStr() << document.ErrorLineNum();
        return QL_FAIL;
    }
    const tinyxml2::XMLElement* map = document.FirstChildElement("map");
    if (!map)
    {
        QL_LOG(L"Level '%s' has no \"map\" element\n") << base::LogStyle::Error << fileName;
        return QL_FAIL;
    }
    // A missing element counts as empty.
    const tinyxml2::XMLElement* li = map->FirstChildElement("li");
    const tinyxml2::XMLElement* budget = map->FirstChildElement("budget");
    mBudget = budget && budget->GetText() ? tdtext::leadingInt(budget->GetText()) : 0;
    loadPoints(map->FirstChildElement("points"));
    loadLinks(map->FirstChildElement("links"));
    loadSpots(map->FirstChildElement("spots"));
    mWaves.loadWaves(map->FirstChildElement("waves"));

    i32 amount = mBudget + tdtext::truncToInt(static_cast<float>(mBudget) * mStartBudgetBonus);
    mStats.addCoins(amount);
    mStats.mStartCoins = amount;
    mStats.mShownCoins = mStats.mCoins;

    std::string folder;
    if (li && li->GetText())
    {
        mBackgroundName = li->GetText();
        const std::string marker = "/td/data/";
        size_t at = mBackgroundName.rfind(marker);
        std::string rest;
        if (at != std::string::npos)
            rest = mBackgroundName.substr(at + marker.size());
        else
        {
            QL_LOG(L"Level '%s': background '%s' lies outside /td/data/\n") << fileName << mBackgroundName;
            std::string trimmedName = mBackgroundName;
            while (!trimmedName.empty() && trimmedName.back() == '/')
                trimmedName.pop_back();
            size_t slash = trimmedName.rfind('/');
            rest = slash == std::string::npos ? trimmedName : trimmedName.substr(slash + 1);
        }
        folder = "td/data/" + rest;
        if (!folder.empty() && folder.back() == '/')
            folder.pop_back();
    }
    mScenery = std::make_unique<TDMapScene>(folder);
    if (!folder.empty())
        mScenery->loadLayers(mImages->backgroundLayers(tdtext::utf8ToWide(folder)));
    loadEffectTimers(*mScenery, mEpisode, mEffectTimers);
    const wchar_t* spotImages[3] = {L"spots/s", L"spots/g", L"spots/p"};
    for (int i = 0; i < 3; ++i)
        if (const TDImage* image = mImages->findImage(L"td/spots", spotImages[i]))
            mScenery->spotSizes[i] = {image->width(), image->height()};

    for (size_t i = 0; i < mSpots.size(); ++i)
    {
        std::string name = "#" + std::to_string(i);
        bool owned = mProgress->isSpotOwned(name, mEpisode, mLevel);
        mScenery->addSpot(*mSpots[i], static_cast<i32>(i), owned);
        i32 towerId = tdtext::truncToInt(mSpots[i]->properties.getFloat("tower_id"));
        if (towerId == 0)
            continue;
        if (mPrototypes.findById(towerId))
            mPrebuiltTowers.emplace_back(static_cast<i32>(i), towerId);
        else
            QL_LOG(L"Level '%s': spot %d names tower %d, which no sheet has\n")
                << base::LogStyle::Error << fileName << static_cast<int>(i) << towerId;
    }
    mLevelLoaded = true;
    mPathPictureDirty = true;
    return QL_OK;
}
