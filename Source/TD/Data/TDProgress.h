// The game's view of the current player profile: results, stars, gems, settings, tutorial
// state, upgrades and owned spots. It keeps no copy; every setter saves the profiles file.
#pragma once

#include "Core/Base/Types.h"
#include "Source/TD/Data/TDCheckedValues.h"
#include "Source/TD/Data/TDDifficulty.h"
#include "Source/TD/Data/TDLevelResult.h"
#include "Source/TD/Data/TDTutorialStepState.h"

#include <map>
#include <string>
#include <vector>

namespace tinyxml2
{
class XMLElement;
}

class TDEpisodeTable;
class TDProfileStore;

// What the game holds of a profile outside the store, handed over at every profile switch.
struct TDProfileValues
{
    i32 gems = 0;
    TDDifficulty mode = kDifficultyEasy;
    float musicVolume = 1.0f;
    float soundVolume = 1.0f;
};

// What the store needs of the battle controller.
class TDProgressHost
{
public:
    virtual ~TDProgressHost() = default;
    virtual TDDifficulty currentMode() const = 0;
    virtual i32 startGems() const = 0;
    virtual const TDEpisodeTable& episodeTable() const = 0;
    // Upgrade ids of the tree, in tree order.
    virtual std::vector<i32> upgradeIds() const = 0;
    // The steps the upgrade has (0 for an id the tree lacks): bought levels run from -1 below it.
    virtual i32 upgradeStepCount(i32 id) const = 0;
    virtual bool isEpisodeUnlocked(i32 episode) = 0;
    // After a profile switch: the battle takes the profile's gems and mode, the sound its volumes.
    virtual void onProfileSelected(const TDProfileValues& values) = 0;
    virtual void reloadTutorial() = 0;
    virtual void setTutorialActive(bool active) = 0;
    virtual bool isFullscreen() const = 0;
    virtual void switchScreenMode() = 0;
};

class TDProgress
{
public:
    TDProgress(TDProfileStore& store, TDProgressHost& host);

    // Profiles.
    void selectProfile(const std::wstring& name);
    void createProfile(const std::wstring& name);
    void renameProfile(const std::wstring& name);
    void deleteCurrentProfile();
    void resetCurrentProfile();
    void refreshProfileNames();
    void flush();
    void applyDefaults();
    const std::vector<std::wstring>& profileNames() const { return mNames; }
    const std::wstring& currentName() const { return mCurrentName; }

    TDDifficulty getMode();
    void setMode(TDDifficulty mode);
    i32 getGems();
    void setGems(i32 gems);
    void addGems(i32 gems);
    float getMusicVolume();
    void setMusicVolume(float volume);
    float getSoundVolume();
    void setSoundVolume(float volume);
    // The profile's stored choice; a profile without one takes the window's mode (written into the
    // profile, not saved), so that reading it never changes the screen.
    bool getFullscreen();
    void setFullscreen(bool fullscreen);
    // The start-up's reading of "fs": a profile without it (a new player, or none at all) plays
    // full screen; its "v" reads as a boolean, false when unreadable.
    static bool storedFullscreen(const tinyxml2::XMLElement* profile);
    i32 getLastEpisode();

    TDLevelResult getLevelResult(i32 episode, i32 level, TDDifficulty mode);
    // Keeps the better stars and high score; everything else is overwritten.
    void saveLevelResult(i32 episode, i32 level, TDDifficulty mode, const TDLevelResult& result);
    // The first level without stars; n - 1 when all have stars or when n < 1.
    i32 getNextLevel(i32 episode, TDDifficulty mode);
    bool isLevelOpen(i32 episode, i32 level, TDDifficulty mode);
    void getFurthestLevel(i32& episode, i32& level);
    // Stars of one episode (both modes), or of all when episode is -1; only the game's own levels
    // count, each once.
    i32 getStarTotal(i32 episode);

    i32 getEpisodeVisited(i32 episode, TDDifficulty mode);
    void setEpisodeVisited(i32 episode, TDDifficulty mode, i32 value);
    bool isEventSeen(i32 id);
    void setEventSeen(i32 id);

    bool isTutorialAvailable();
    void setTutorialAvailable(bool available);
    TDTutorialStepState getTutorialStepState(i32 id);
    void setTutorialStepState(i32 id, TDTutorialStepState state);
    i32 getTutorialParam(const std::string& name);
    void setTutorialParam(const std::string& name, i32 value);

    // The stored level, whatever mode the battle is in, as it stands (0 without a number): negative
    // when nothing is bought, -2 once for an id the profile lacks; past the last step it applies
    // no step and offers none.
    i32 getUpgradeLevel(i32 id);
    void setUpgradeLevel(i32 id, i32 level);

    void addOwnedSpot(const std::string& name, i32 episode, i32 level);
    bool isSpotOwned(const std::string& name, i32 episode, i32 level);

    tinyxml2::XMLElement* profile() const { return mProfile; }

private:
    void save();
    void takeCurrentProfile();
    tinyxml2::XMLElement* child(const char* name, bool create);
    tinyxml2::XMLElement* levelElement(i32 episode, i32 level, TDDifficulty mode);
    tinyxml2::XMLElement* tutorialElement(bool setAvailable);
    i32 storedStars(const tinyxml2::XMLElement* level);
    // The stored amount of "gems", never below 0; 0 without the element.
    i32 storedGems();
    bool isOwnLevel(const tinyxml2::XMLElement* level);

    TDProfileStore& mStore;
    TDProgressHost& mHost;
    TDCheckedValues mChecked;
    tinyxml2::XMLElement* mProfile = nullptr;
    bool mModeCached = false;
    TDDifficulty mMode = kDifficultyEasy;
    std::map<i32, i32> mUpgradeCache;
    std::vector<std::wstring> mNames;
    std::wstring mCurrentName;
};
