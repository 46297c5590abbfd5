// The battle controller: construction, game data and the messages it answers.
#include "Source/TD/Battle/TDMap.h"

#include "Source/TD/Data/TDFileSource.h"
#include "Source/TD/Data/TDProfileStore.h"
#include "Source/TD/Units/TDBulletList.h"
#include "Source/TD/Units/TDDrops.h"
#include "Source/TD/Units/TDEffectTimer.h"
#include "Source/TD/Units/TDModifier.h"
#include "Source/TD/Units/TDParticle.h"
#include "Source/TD/Units/TDSpriteEffect.h"
#include "Source/TD/Units/TDTower.h"

TDMap::TDMap(const TDBattleServices& services, TDProfileStore& profiles)
{
    mImages = services.images ? services.images : &mNullImages;
    mSounds = services.sounds ? services.sounds : &mNullSounds;
    mParticleSystem = services.particles ? services.particles : &mNullParticles;
    mHud = services.hud ? services.hud : &mNullHud;
    mTutorial = services.tutorial ? services.tutorial : &mNullTutorial;
    mScreenMode = services.screen ? services.screen : &mNullScreen;
    mSprites = services.sprites ? services.sprites : &mNullSprites;
    mBullets = std::make_unique<TDBulletList>(*this);
    mStats.hud = mHud;
    if (const TDImage* icon = mImages->findImage(L"td/ui", L"ui/wave_hint"))
    {
        mNextWave.iconWidth = icon->width();
        mNextWave.iconHeight = icon->height();
    }

    mUpgrades.load();
    mUnlocks.load();
    mSounds->load(L"td/sounds_sheet.csv");
    mSpells.load(mImages);
    for (const wchar_t* name : {L"speed_btn_ac", L"pause_btn_ac", L"play_btn_ac", L"options_btn_ac"})
        mHud->setButtonVisible(name, false);
    loadSheets();
    mProgress = std::make_unique<TDProgress>(profiles, *this);
    mMode = mProgress->getMode();
    mStats.progress = mProgress.get();
    mStats.mGems = mProgress->getGems();
    mActiveEmitter = mParticleSystem->createEmitter(L"active");
    mActiveButtonEmitter = mParticleSystem->createEmitter(L"active_btn");
    for (TDEmitter* emitter : {mActiveEmitter.get(), mActiveButtonEmitter.get()})
        if (emitter)
            emitter->setState(kEmitterPlaying);
}

// The battle objects go first, then the paths (they point at links), then the level.
TDMap::~TDMap()
{
    // The tutorial's page hangs on the root board, which outlives no battle.
    mTutorial->clearShownLayers();
    clearLevel();
}

void TDMap::loadSheets()
{
    TDFileSource& files = TDFileSource::current();
    tdLoadPrototypeSheets(mPrototypes, files.readFile(L"td/towers_sheet.csv"), files.readFile(L"td/units_sheet.csv"),
                          files.readFile(L"td/ammo_sheet.csv"));
    mEpisodes.readText(files.readFile(L"td/setup_sheet.csv"));
    mSprites->prototypesLoaded(mPrototypes);
    mSellFactor = 0.5f;
    mStartGems = 0;
}

TDUpgradeContext TDMap::upgradeContext()
{
    TDUpgradeContext context;
    // Hardcore battles run without the bought upgrades; the store keeps them.
    context.boughtLevel = [this](i32 id) { return mMode == kDifficultyHardcore ? -1 : mProgress->getUpgradeLevel(id); };
    context.isUnlocked = [this](i32 id) { return isUnlocked(id); };
    return context;
}

TDUpgradeContext TDMap::upgradeContextByProgress()
{
    TDUpgradeContext context = upgradeContext();
    context.isUnlocked = [this](i32 id)
    {
        i32 episode = 0, level = 0;
        mProgress->getFurthestLevel(episode, level);
        return mUnlocks.isUnlocked(id, episode, level);
    };
    return context;
}

bool TDMap::isUpgradeAvailable(const TDUpgrade& upgrade, bool byProgress)
{
    TDUpgradeContext context = byProgress ? upgradeContextByProgress() : upgradeContext();
    return TDUpgrades::isAvailable(upgrade, context.isUnlocked);
}

std::vector<i32> TDMap::upgradeIds() const
{
    std::vector<i32> ids;
    for (const TDUpgrade* upgrade : mUpgrades.upgrades)
        ids.push_back(upgrade->id);
    return ids;
}

i32 TDMap::upgradeStepCount(i32 id) const
{
    for (const TDUpgrade* upgrade : mUpgrades.upgrades)
        if (upgrade->id == id)
            return static_cast<i32>(upgrade->steps.size());
    return 0;
}

void TDMap::onProfileSelected(const TDProfileValues& values)
{
    mStats.mGems = values.gems;
    mMode = values.mode;
    // The music that plays on takes the new player's volume at once.
    mSounds->setVolumes(values.musicVolume, values.soundVolume);
}

bool TDMap::isEpisodeUnlocked(i32 episode)
{
    if (getLevelCount(episode) < 1)
        return false;
    return getStarsToUnlock(episode) <= mProgress->getStarTotal(-1);
}

bool TDMap::isHardcoreUnlocked(i32 episode)
{
    return mProgress->getStarTotal(episode) >= 3 * getLevelCount(episode) && getLevelCount(episode) >= 1;
}

void TDMap::onMessageBoxResult(const std::wstring& command)
{
    if (command == L"restart")
    {
        mHud->closeTopWindow();
        (void)restart();
        mHud->setHasWindows(0);
    }
    else if (command == L"mmenu")
    {
        mHud->closeTopWindow();
        mHud->showMainMenu();
    }
    else if (command == L"levels")
    {
        mHud->closeTopWindow();
        mHud->showLevelSelect();
    }
}

void TDMap::showLevelStart()
{
    std::vector<i32> unlocks;
    mUnlocks.getNewUnlocks(mEpisode, mLevel, mMode, unlocks);
    if (unlocks.empty())
        mHud->showLevelName();
    else if (unlocks.front() != -1)
    {
        mHud->showUnlockMessage(unlocks);
        mScreen = kScreenUnlockMessage;
    }
}
