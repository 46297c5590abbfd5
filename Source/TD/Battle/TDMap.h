// The battle controller: owns the level (points, links, spots, waves, paths), the game data
// (prototypes, episode table, upgrades, unlocks, spells, progress) and the screen number.
// One lives for the whole run; it talks to drawing, sound, particles, HUD and tutorial only
// through TDBattleServices.
#pragma once

#include "Core/Base/OwnedList.h"
#include "Core/Base/Types.h"
#include "Source/TD/Battle/TDAfterProfileInput.h"
#include "Source/TD/Battle/TDContextMenu.h"
#include "Source/TD/Battle/TDLevelResultKeeper.h"
#include "Source/TD/Battle/TDReloadState.h"
#include "Source/TD/Battle/TDResultAction.h"
#include "Source/TD/Battle/TDShopReturn.h"
#include "Source/TD/Data/TDDifficulty.h"
#include "Source/TD/Data/TDEpisodeTable.h"
#include "Source/TD/Data/TDProgress.h"
#include "Source/TD/Data/TDPrototypes.h"
#include "Source/TD/Data/TDSpellSheet.h"
#include "Source/TD/Data/TDUnlocks.h"
#include "Source/TD/Data/TDUpgrades.h"
#include "Source/TD/Level/TDBuildSpot.h"
#include "Source/TD/Level/TDLink.h"
#include "Source/TD/Level/TDMapScene.h"
#include "Source/TD/Level/TDPathSet.h"
#include "Source/TD/Level/TDPoint.h"
#include "Source/TD/Level/TDRoadNetwork.h"
#include "Source/TD/Level/TDWaveHint.h"
#include "Source/TD/Seams/TDBattleServices.h"
#include "Source/TD/Seams/TDScreen.h"
#include "Source/TD/Sprites/TDTexture.h"
#include "Source/TD/Units/TDBattleStats.h"
#include "Source/TD/Units/TDBattleWorld.h"
#include "Source/TD/Units/TDEffectHolder.h"
#include "Source/TD/Units/TDIndicator.h"
#include "Source/TD/Units/TDUnitGrid.h"
#include "Source/TD/Units/TDWaveManager.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tinyxml2
{
class XMLElement;
}

class TDBattleCanvas;
class TDBulletList;
class TDEffectTimer;
class TDModifier;
class TDParticle;
class TDSpriteEffect;
class TDTower;
class TDTowerSpecial;
class TDUnit;
class TDProfileStore;

class TDMap : public TDBattleWorld, public TDProgressHost
{
public:
    TDMap(const TDBattleServices& services, TDProfileStore& profiles);
    ~TDMap() override;
    TDMap(const TDMap&) = delete;
    TDMap& operator=(const TDMap&) = delete;

    // --- Game data ---
    // Reads the three prototype sheets and the episode table again; sets the sell factor.
    void loadSheets();
    TDUpgradeContext upgradeContext() override;
    TDUpgradeContext upgradeContextByProgress();
    // What the shop lists: an upgrade whose target is unlocked at the current level, or (byProgress)
    // at the furthest level reached, or a global one.
    bool isUpgradeAvailable(const TDUpgrade& upgrade, bool byProgress);
    bool isUnlocked(i32 id) const { return mUnlocks.isUnlocked(id, mEpisode, mLevel); }

    // --- Level ---
    // "td/levels_normal/" or "td/levels_hardcore/" + "level_EE_LL.xml" (one-based numbers).
    static std::wstring levelFileName(TDDifficulty mode, i32 episode, i32 level);
    std::wstring getPathCacheName() const;
    // Loads the level of mMode/mEpisode/mLevel. A level that cannot be read is a logged failure:
    // the battle does not start (mScreen stays off kScreenBattle) and no result can be stored.
    QLResultEnum loadLevel();
    QLResultEnum restart();
    QLResultEnum parseLevel(const std::wstring& fileName);
    QLResultEnum parseLevelText(const std::string& text, const std::wstring& fileName);
    void loadPoints(const tinyxml2::XMLElement* element);
    void loadLinks(const tinyxml2::XMLElement* element);
    void loadSpots(const tinyxml2::XMLElement* element);
    void clearLevel();
    bool isLevelLoaded() const { return mLevelLoaded; }
    void onMessageBoxResult(const std::wstring& command);
    void showLevelStart();

    // --- Paths and geometry ---
    TDRoadNetwork network() const override { return TDRoadNetwork(mPoints, mLinks); }
    std::vector<i32> findRoute(const TDPoint* from, const TDPoint* to) const;
    std::vector<TDPoint*> getNeighbours(const TDPoint* p) const { return network().getNeighbours(p); }
    float getLinkLength(const TDPoint* a, const TDPoint* b) const { return network().getLinkLength(a, b); }
    static float distance(float x1, float y1, float x2, float y2);
    void getLinkNormal(const TDLink* link, float t, float& nx, float& ny) const;
    // The road dots of a link: points of its curve from its start through its anchor to its end,
    // 25 apart along it, the end itself only when a step lands on it; none without both ends.
    std::vector<std::pair<float, float>> linkDots(const TDLink& link) const;
    float getLinkCurveLength(const TDLink* link) const override;
    float findLinkParameter(const TDLink* link, float t, float distance, float offset) const;
    float getHealthFactor() const override;
    // Money a tier chain has cost since the tier rootId: proto's cost plus its predecessors' (by
    // "require" and "levelid" in prototypes) down to the one that requires rootId. None when the
    // chain never gets there (an unknown predecessor, a loop): such a tier has no price.
    static std::optional<float> getChainCost(i32 rootId, const std::vector<const TDPrototype*>& prototypes,
                                             const TDPrototype* proto);
    // Screen point to battle point.
    void screenToBattle(float x, float y, i32& bx, i32& by) const;

    // --- The running battle ---
    // One frame: reloads and screen requests, the presentation on dt, then (battle screen only)
    // the battle on dt x mSpeed, in a fixed order.
    void update(float dt);
    void updateEffectTimers(float dt);
    void updateAnimations(float dt);
    // A unit for the entry at the spawn point, with its kind's abilities, placed on its route.
    // Null when the entry names no kind, or the level has no goal or no route to it.
    TDUnit* spawnUnit(TDWaveEntry* entry, const TDPoint* spawn) override;
    // Everything that points at the unit lets go of it (before it is deleted).
    void forgetUnit(TDUnit* unit) override;
    void onUnitReachedGoal(TDUnit* unit) override;
    // Releases count units of kind 11 along the carrier's path.
    void spawnCarriedUnits(TDUnit* unit, i32 count) override;
    bool isTowerBlocked(const TDTower* tower) const override;
    bool isTowerDebuffed(const TDTower* tower) const override;
    // Sum of "health" / 100 of the income towers whose range covers the unit.
    float killBonusFactor(const TDUnit* unit) const override;
    void refundUpgrades();
    // Builds a tower of that kind on spot index when the coins cover its upgraded cost.
    TDTower* buildTower(i32 spotIndex, i32 protoId);
    // A start button of the next wave lies strictly around the battle point.
    bool isOnNextWaveButton(float bx, float by) const;
    // The player calls the next wave early: 2 coins per second of waiting left, shown at the
    // press point (x, y), and the wave clocks jump forward.
    void forceNextWave(float x, float y);
    // Takes a tower out of the battle (a sale): its bullets, the effects it left on units and
    // every boost that knows it let go; its spot is free again. Deletes it.
    void removeTower(TDTower* tower);
    // Puts a tower on the spot without price or lock.
    TDTower* placeTower(i32 spotIndex, i32 protoId);
    // What a build of that kind costs: its price with the bought upgrades.
    float buildPrice(const TDPrototype& kind);
    // A tower the level starts with: its build price credited, then built as the player builds
    // (charge, sound, build effect; no "tower_built", which only the player's builds post); a
    // refusal takes the credit back.
    TDTower* buildPrebuiltTower(i32 spotIndex, i32 protoId);
    // Casts the spell with that spell-sheet id at (x, y).
    bool castSpell(i32 spellId, float x, float y);
    // The first lying drop within sqrt(1200) of (x, y), or null.
    TDTowerSpecial* findDropAt(i32 x, i32 y) const;
    void collectDrop(TDTowerSpecial* drop);
    void showVictory() override;
    void showDefeat();
    // Deletes every battle object: towers, units, bullets, modifiers, drops, effects.
    void clearBattle();
    // Stars of a finished level: 3 at full health, 2 from half, 1 above 0.
    i32 resultStars() const;

    // Helpers of the battle objects.
    const TDPrototype* findPrototype(i32 id) const override { return mPrototypes.findById(id); }
    // Starts a one-shot (or looping) effect at (x, y) into list; null when the effect is unknown.
    TDEffectHolder* startEffect(base::OwnedList<TDEffectHolder>& list, const std::wstring& name, float x, float y,
                                bool loop = false) override;
    bool hasEffect(const base::OwnedList<TDEffectHolder>& list, const TDEffectHolder* effect) const override;
    void playSound(const std::wstring& tag) override { mSounds->play(tag); }
    void postEvent(const std::wstring& name) override { mTutorial->onEvent(name); }
    // The tutorial the battle posts to; null gives the null twin back.
    void setTutorial(TDTutorialHooks* tutorial) { mTutorial = tutorial ? tutorial : &mNullTutorial; }
    // The commands of the menus, the shop, the profiles and the message; null gives the null twin.
    void setScreenFlow(TDScreenFlow* flow) { mScreenFlow = flow ? flow : &mNullScreenFlow; }
    // An upgrade's text (kIndicatorText) lifts the older ones over its point clear of it.
    TDIndicator* addIndicator(float x, float y, TDIndicatorKind kind, const std::wstring& text) override;
    TDPoint* findPoint(i32 id) const override { return network().findPoint(id); }
    void sortTowers() override;
    // Effect sprites of the battle: a non-null sprite is appended; removing deletes it.
    void addSprite(TDSpriteEffect* sprite) override;
    void removeSprite(TDSpriteEffect* sprite) override;

    // --- Pointer input and commands ---
    // A press, a move and a wheel turn at screen points (the root board passes them on).
    void onPointerDown(i32 x, i32 y);
    void onPointerMove(i32 x, i32 y);
    void onWheel(i16 delta);
    // A release: the command of the HUD button under the point on the open screen, spells,
    // gems and the context menus of spots and towers. Each screen has its handler below.
    void onPointerUp(i32 x, i32 y);
    // Speed 0, the in-game menu.
    void pause();
    // The window lost the focus: a running battle pauses with the in-game menu.
    void pauseIfRunning();
    // Shows the play, speed and pause buttons that match mSpeed and moves the button glow.
    void updateControlButtons();
    // The first free spot whose centre lies within 40 of the battle point, or null.
    TDSpotFrame* findFreeSpotAt(float px, float py);
    // The first tower whose position lies nearer than 50 to the battle point, or null.
    TDTower* findTowerAt(float px, float py) const;
    // The first live unit whose touch box holds the battle point, or null.
    TDUnit* findUnitAt(float px, float py) const;
    // Sells the tower: half of what its tier chain cost comes back.
    void sellTower(TDTower* tower);
    // Buys a locked spot when the coins and gems cover its prices; false when they do not.
    bool buySpot(TDSpotFrame* spot);
    // Casts the spell of the selected spell button at the point and starts its recharge.
    void castSelectedSpell(float x, float y);
    i32 spotIndex(const TDSpotFrame* spot) const;

    // --- Episode table and rules ---
    i32 getEpisodeCount() const { return mEpisodes.getEpisodeCount(); }
    i32 getLevelCount(i32 episode) const { return mEpisodes.getLevelCount(episode); }
    i32 getHardcoreLevelCount(i32 episode) const { return mEpisodes.getHardcoreLevelCount(episode); }
    i32 getStarsToUnlock(i32 episode) const { return mEpisodes.getStarsToUnlock(episode); }
    i32 getTotalLevelCount() const { return mEpisodes.getTotalLevelCount(); }
    // Open when it has levels and the stars over all episodes reach its price.
    bool isEpisodeUnlocked(i32 episode) override;
    // Open when the episode's stars reach three per normal level.
    bool isHardcoreUnlocked(i32 episode);

    // --- TDProgressHost ---
    TDDifficulty currentMode() const override { return mMode; }
    i32 startGems() const override { return mStartGems; }
    const TDEpisodeTable& episodeTable() const override { return mEpisodes; }
    std::vector<i32> upgradeIds() const override;
    i32 upgradeStepCount(i32 id) const override;
    void onProfileSelected(const TDProfileValues& values) override;
    void reloadTutorial() override { mTutorial->loadProgress(); }
    void setTutorialActive(bool active) override { mTutorialActive = active; }
    bool isFullscreen() const override { return mScreenMode->isFullscreen(); }
    void switchScreenMode() override { mScreenMode->switchScreenMode(); }

    // Services (never null; mSprites, mParticleSystem and mHud are the world's).
    TDImageLoader* mImages;
    TDSoundTags* mSounds;
    TDTutorialHooks* mTutorial;
    TDScreenMode* mScreenMode;
    TDScreenFlow* mScreenFlow = &mNullScreenFlow;

    // State.
    TDScreen mScreen = kScreenNone;
    float mSpeed = 1.0f;
    float mTime = 0.0f;
    float mScale = 1.0f;
    float mOffsetX = 0.0f;
    float mOffsetY = 0.0f;
    TDDifficulty mMode = kDifficultyEasy;
    i32 mEpisode = 0;
    i32 mLevel = 0;
    i32 mTutorialSpot = -1;
    TDResultAction mResultAction = kResultActionNone;
    TDScreen mMessageReturnScreen = kScreenBattle;
    float mStartBudgetBonus = 0.0f;
    i32 mHealthBonus = 0;
    float mSellFactor = 0.5f;
    i32 mBudget = 0;
    i32 mStartGems = 0;
    float mHealth = 25.0f;
    float mMaxHealth = 25.0f;
    float mCoordScale = 1.0f;
    bool mTutorialActive = true;
    // The battle stands still under the tutorial's "pause" (until the script or the player sets
    // a speed), so that skipping the tutorial lifts that pause and no pause of the player's.
    bool mTutorialPaused = false;
    // Developer display switches, toggled by the debug keys 1 to 3.
    bool mDebugDisplay[3] = {false, false, false};
    // The path picture: the level's roads as rows of brush dots, drawn once over the battle's
    // view rectangle (mPathPictureRect); shown as the road glow while a spell waits for its
    // target. A level parse marks it dirty, and the drawing renders it again then, or when the
    // view changed. Null where the canvas has no off-screen pictures.
    std::unique_ptr<TDTexture> mPathPicture;
    TDViewRect mPathPictureRect;
    bool mPathPictureDirty = true;
    bool isPathPictureStale() const
    {
        return mPathPictureDirty || !(mPathPictureRect == mScreenMode->battleViewRect());
    }
    // Renders the path picture through the canvas with the brush picture (its size given).
    void renderPathPicture(TDBattleCanvas& canvas, const TDTexture* brush, float brushWidth, float brushHeight);
    // Every link's dots, in link order, the brush centred on each, through the canvas's transform.
    void drawLinks(TDBattleCanvas& canvas, const TDTexture* brush, float brushWidth, float brushHeight) const;
    std::wstring mLevelFile;
    std::string mBackgroundName;
    // Folder the path caches are read from ("" is the working directory).
    std::wstring mCacheRoot;

    // Battle state.
    TDReloadState mReloadState = kReloadNone;
    bool mScreenChangePending = false;
    bool mLevelActive = true;
    float mEnemySpotTime = 0.0f;
    i32 mSelectedSpell = -1;                                      // spell waiting for its target; -1 none
    std::unique_ptr<TDContextMenu> mContextMenu;                  // the ring menu of a spot or tower, or null
    TDAfterProfileInput mAfterProfileInput = kAfterInputProfiles; // where the name input goes on
    TDShopReturn mShopReturnTarget = kShopReturnNone;             // where the shop's "back_ac" leads
    TDLevelOutcome mLevelOutcome;                                 // the stored result of the level that ended last
    // The battle's objects beside the world's. clearBattle (also run by the destructor) deletes
    // them all in the order they need.
    base::OwnedList<TDEffectTimer> mEffectTimers;
    TDIndicatorList mIndicators;
    // Built with the world's unit grid for the towers' step of each frame: the units that block
    // or slow towers. Outside that step the lookups scan the unit list.
    std::vector<TDUnit*> mTowerBlockers;
    bool mBlockersValid = false;
    // When set, update() appends the name of each step it runs (tests of the frame order).
    std::vector<std::string>* mTrace = nullptr;

    // Game data, alive for the whole run.
    TDEpisodeTable mEpisodes;
    TDUnlocks mUnlocks;
    TDSpellSheet mSpells;

    // The level beside the world's points, links, waves and paths (all deleted by clearLevel).
    base::OwnedList<TDBuildSpot> mSpots;
    std::unique_ptr<TDMapScene> mScenery;
    // Towers that stand on a spot from the start: (spot index, prototype id). The tower builder
    // credits each one's cost and builds it; ids that name no prototype are already dropped.
    std::vector<std::pair<i32, i32>> mPrebuiltTowers;
    std::unique_ptr<TDEmitter> mActiveEmitter;
    std::unique_ptr<TDEmitter> mActiveButtonEmitter;
    // The button glow sits on an active control button (else it is not drawn).
    bool mActiveButtonPlaced = false;

    // Last: the progress store reads the members above through TDProgressHost.
    std::unique_ptr<TDProgress> mProgress;

private:
    // The release handlers, one per screen; each returns true when the HUD hears of the
    // release afterwards. Battle and the screens over it (TDMapCommands.cpp):
    bool onBattleRelease(i32 x, i32 y);
    bool onResultRelease(i32 x, i32 y);
    bool onIngameMenuRelease(i32 x, i32 y);
    bool onUnlockMessageRelease(i32 x, i32 y);
    // The menus, the shop, the profiles and the message are the screen flow's (mScreenFlow).

    TDNullImageLoader mNullImages;
    TDNullSoundTags mNullSounds;
    TDNullParticles mNullParticles;
    TDNullHud mNullHud;
    TDNullTutorial mNullTutorial;
    TDNullScreenFlow mNullScreenFlow;
    TDNullScreenMode mNullScreen;
    TDNullSpriteMetrics mNullSprites;
    bool mLevelLoaded = false;
};
