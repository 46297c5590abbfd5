// The game's view of the current player profile. New elements go first under their parent;
// only "episodeVisited" is appended last.
#include "Source/TD/Data/TDProgress.h"

#include "Core/Base/Log.h"
#include "Source/TD/Data/TDEpisodeTable.h"
#include "Source/TD/Data/TDProfileStore.h"
#include "Source/TD/Data/TDText.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <tuple>

namespace
{
using tinyxml2::XMLElement;

i32 intAttribute(const XMLElement* e, const char* name, i32 fallback = 0)
{
    i32 value = fallback;
    if (e)
        if (const char* text = e->Attribute(name))
            tdtext::parseInt(text, value);
    return value;
}

constexpr i32 kMaxStars = 3;
constexpr i32 kMaxInt = 2147483647;

// A stored enum's number: one outside [first, last] is read as the fallback.
template <typename E>
E enumAttribute(TDCheckedValues& checked, const XMLElement* e, const char* name, E first, E last, E fallback)
{
    return static_cast<E>(
        checked.integer(e, name, static_cast<i32>(first), static_cast<i32>(last), static_cast<i32>(fallback)));
}

bool boolAttribute(const XMLElement* e, const char* name, bool fallback)
{
    bool value = fallback;
    if (e)
        if (const char* text = e->Attribute(name))
            tdtext::parseBool(text, value);
    return value;
}

XMLElement* insertFirst(XMLElement* parent, const char* name)
{
    XMLElement* e = parent->GetDocument()->NewElement(name);
    parent->InsertFirstChild(e);
    return e;
}

XMLElement* childOf(XMLElement* parent, const char* name, bool create)
{
    XMLElement* e = parent->FirstChildElement(name);
    if (!e && create)
        e = insertFirst(parent, name);
    return e;
}

std::string episodeKey(i32 episode, TDDifficulty mode)
{
    char key[32];
    std::snprintf(key, sizeof(key), "episode%d%c", episode, mode == kDifficultyHardcore ? 'h' : 'n');
    return key;
}

std::string eventKey(i32 id) { return "event" + std::to_string(id); }
} // namespace

TDProgress::TDProgress(TDProfileStore& store, TDProgressHost& host) : mStore(store), mHost(host), mChecked(store)
{
    takeCurrentProfile();
    refreshProfileNames();
    applyDefaults();
}

void TDProgress::takeCurrentProfile()
{
    mProfile = mStore.currentProfile();
    if (!mProfile)
    {
        mStore.selectProfile(base::kDefaultProfileName);
        mProfile = mStore.currentProfile();
    }
    mModeCached = false;
}

void TDProgress::save() { mStore.save(); }

void TDProgress::flush() { save(); }

XMLElement* TDProgress::child(const char* name, bool create) { return childOf(mProfile, name, create); }

void TDProgress::applyDefaults()
{
    child("levels", true);
    child("towers", true);
    mProfile->SetAttribute("version", 4);
}

// Everything the game holds of a profile is read again from the new one: nothing of the previous
// profile carries over.
void TDProgress::selectProfile(const std::wstring& name)
{
    mStore.selectProfile(name);
    takeCurrentProfile();
    mUpgradeCache.clear();
    TDProfileValues values;
    values.gems = getGems();
    values.mode = getMode();
    values.musicVolume = getMusicVolume();
    values.soundVolume = getSoundVolume();
    // Read before the save: a profile without a choice stores the mode the player is in.
    const bool fullscreen = getFullscreen();
    save();
    mHost.onProfileSelected(values);
    mHost.reloadTutorial();
    if (fullscreen != mHost.isFullscreen())
        mHost.switchScreenMode();
    refreshProfileNames();
}

void TDProgress::createProfile(const std::wstring& name)
{
    selectProfile(name);
    applyDefaults();
}

void TDProgress::renameProfile(const std::wstring& name)
{
    mStore.renameCurrentProfile(name);
    // The name as stored: a repaired one may differ from the name given.
    mStore.selectProfile(mStore.currentProfileName());
    takeCurrentProfile();
    save();
    refreshProfileNames();
}

void TDProgress::deleteCurrentProfile()
{
    mStore.deleteProfile(mStore.currentProfileName());
    std::vector<std::wstring> names = mStore.profileNames();
    if (names.size() >= 2)
        selectProfile(names[1]);
    else
        selectProfile(mStore.currentProfileName());
    refreshProfileNames();
}

void TDProgress::resetCurrentProfile()
{
    mStore.deleteProfile(mStore.currentProfileName());
    takeCurrentProfile();
    applyDefaults();
    mUpgradeCache.clear();
    XMLElement* tutorial = child("tutorial", false);
    mHost.setTutorialActive(tutorial ? boolAttribute(tutorial, "avail", true) : true);
}

void TDProgress::refreshProfileNames()
{
    std::vector<std::wstring> names = mStore.profileNames();
    mNames.assign(names.size() > 1 ? names.begin() + 1 : names.end(), names.end());
    mCurrentName = names.size() == 1 ? std::wstring() : mStore.currentProfileName();
}

TDDifficulty TDProgress::getMode()
{
    if (mModeCached)
        return mMode;
    XMLElement* e = child("mode", false);
    if (!e)
    {
        e = child("mode", true);
        e->SetAttribute("v", 0);
    }
    mMode = enumAttribute(mChecked, e, "v", kDifficultyEasy, kDifficultyHardcore, kDifficultyEasy);
    mModeCached = true;
    return mMode;
}

void TDProgress::setMode(TDDifficulty mode)
{
    child("mode", true)->SetAttribute("v", static_cast<i32>(mode));
    mMode = mode;
    mModeCached = true;
    save();
}

i32 TDProgress::storedGems() { return mChecked.integer(child("gems", false), "amount", 0, kMaxInt, 0); }

i32 TDProgress::getGems()
{
    if (!child("gems", false))
        child("gems", true)->SetAttribute("amount", mHost.startGems());
    return storedGems();
}

void TDProgress::setGems(i32 gems)
{
    child("gems", true)->SetAttribute("amount", gems);
    save();
}

void TDProgress::addGems(i32 gems)
{
    XMLElement* e = child("gems", false);
    if (!e)
    {
        e = child("gems", true);
        e->SetAttribute("amount", gems);
    }
    else
    {
        long long sum = static_cast<long long>(storedGems()) + gems;
        e->SetAttribute("amount", static_cast<i32>(sum > 2147483647LL    ? 2147483647LL
                                                   : sum < -2147483647LL ? -2147483647LL
                                                                         : sum));
    }
    save();
}

namespace
{
float volume(TDCheckedValues& checked, XMLElement* profile, const char* name)
{
    XMLElement* e = childOf(profile, name, false);
    if (!e)
    {
        e = childOf(profile, name, true);
        e->SetAttribute("v", tdtext::formatFixed(1.0f).c_str());
    }
    return checked.fraction(e, "v", 0.0f, 1.0f, 1.0f);
}
} // namespace

float TDProgress::getMusicVolume() { return volume(mChecked, mProfile, "music"); }

void TDProgress::setMusicVolume(float v)
{
    child("music", true)->SetAttribute("v", tdtext::formatFixed(v).c_str());
    save();
}

float TDProgress::getSoundVolume() { return volume(mChecked, mProfile, "sound"); }

void TDProgress::setSoundVolume(float v)
{
    child("sound", true)->SetAttribute("v", tdtext::formatFixed(v).c_str());
    save();
}

bool TDProgress::getFullscreen()
{
    if (!child("fs", false))
        child("fs", true)->SetAttribute("v", mHost.isFullscreen() ? 1 : 0);
    return storedFullscreen(mProfile);
}

bool TDProgress::storedFullscreen(const XMLElement* profile)
{
    const XMLElement* e = profile ? profile->FirstChildElement("fs") : nullptr;
    return e ? boolAttribute(e, "v", false) : true;
}

void TDProgress::setFullscreen(bool fullscreen)
{
    child("fs", true)->SetAttribute("v", fullscreen ? 1 : 0);
    save();
}

i32 TDProgress::getLastEpisode()
{
    // One of the game's episodes; anything else would open the selection on no card.
    const auto& episodes = mHost.episodeTable().episodes();
    const i32 last = episodes.empty() ? 0 : std::max(0, episodes.rbegin()->first);
    const i32 episode = mChecked.integer(mProfile, "lastEpisode", 0, last, 0);
    return episodes.count(episode) ? episode : 0;
}

XMLElement* TDProgress::levelElement(i32 episode, i32 level, TDDifficulty mode)
{
    XMLElement* levels = child("levels", true);
    for (XMLElement* e = levels->FirstChildElement("level"); e; e = e->NextSiblingElement("level"))
        if (intAttribute(e, "n") == level && intAttribute(e, "episode") == episode &&
            intAttribute(e, "mode") == static_cast<i32>(mode))
            return e;
    XMLElement* e = insertFirst(levels, "level");
    e->SetAttribute("n", level);
    e->SetAttribute("episode", episode);
    e->SetAttribute("mode", static_cast<i32>(mode));
    return e;
}

TDLevelResult TDProgress::getLevelResult(i32 episode, i32 level, TDDifficulty mode)
{
    XMLElement* e = levelElement(episode, level, mode);
    TDLevelResult r;
    r.kills = mChecked.integer(e, "kills", 0, kMaxInt, 0);
    r.combo = mChecked.integer(e, "combo", 0, kMaxInt, 0);
    r.healthBonus = mChecked.integer(e, "healthBonus", 0, kMaxInt, 0);
    r.stars = storedStars(e);
    r.gems = mChecked.integer(e, "gems", 0, kMaxInt, 0);
    r.high = mChecked.integer(e, "high", 0, kMaxInt, 0);
    r.mode = mode; // the element was found by it
    return r;
}

void TDProgress::saveLevelResult(i32 episode, i32 level, TDDifficulty mode, const TDLevelResult& r)
{
    XMLElement* e = levelElement(episode, level, mode);
    e->SetAttribute("combo", r.combo);
    e->SetAttribute("kills", r.kills);
    e->SetAttribute("healthBonus", r.healthBonus);
    e->SetAttribute("gems", r.gems);
    i32 high = mChecked.integer(e, "high", 0, kMaxInt, 0);
    if (high < r.totalScore())
        high = r.totalScore();
    e->SetAttribute("high", high);
    i32 stars = storedStars(e);
    if (stars < r.stars)
        stars = r.stars;
    e->SetAttribute("stars", stars);
    mProfile->SetAttribute("lastEpisode", episode);
    addGems(r.gems);
    save();
}

i32 TDProgress::getNextLevel(i32 episode, TDDifficulty mode)
{
    const TDEpisodeTable& table = mHost.episodeTable();
    i32 n = mode == kDifficultyHardcore ? table.getHardcoreLevelCount(episode) : table.getLevelCount(episode);
    if (n < 1)
        return n - 1;
    for (i32 level = 0; level < n; ++level)
        if (storedStars(levelElement(episode, level, mode)) == 0)
            return level;
    return n - 1;
}

bool TDProgress::isLevelOpen(i32 episode, i32 level, TDDifficulty mode) { return getNextLevel(episode, mode) >= level; }

void TDProgress::getFurthestLevel(i32& episode, i32& level)
{
    episode = 0;
    level = 0;
    const auto& episodes = mHost.episodeTable().episodes();
    for (auto it = episodes.rbegin(); it != episodes.rend(); ++it)
    {
        if (it->first < 0 || !mHost.isEpisodeUnlocked(it->first))
            continue;
        episode = it->first;
        // Scans the normal level count in every mode, as stored files expect.
        const TDDifficulty mode = getMode();
        for (i32 l = 0; l < it->second.levelCount; ++l)
            if (storedStars(levelElement(episode, l, mode)) > 0)
                level = l;
        return;
    }
}

i32 TDProgress::storedStars(const XMLElement* level) { return mChecked.integer(level, "stars", 0, kMaxStars, 0); }

// A level of the episode table in a mode the game has.
bool TDProgress::isOwnLevel(const XMLElement* e)
{
    const i32 episode = intAttribute(e, "episode");
    const i32 level = intAttribute(e, "n");
    const i32 mode = intAttribute(e, "mode");
    const TDEpisodeTable& table = mHost.episodeTable();
    const i32 count = mode == static_cast<i32>(kDifficultyHardcore) ? table.getHardcoreLevelCount(episode)
                                                                    : table.getLevelCount(episode);
    return std::strcmp(e->Value(), "level") == 0 && mode >= static_cast<i32>(kDifficultyEasy) &&
           mode <= static_cast<i32>(kDifficultyHardcore) && level >= 0 && level < count;
}

// Only the game's own levels count, each by its first entry (the one the level lookup finds).
i32 TDProgress::getStarTotal(i32 episode)
{
    XMLElement* levels = child("levels", false);
    if (!levels)
        return 0;
    std::set<std::tuple<i32, i32, i32>> seen;
    long long total = 0;
    i32 skipped = 0;
    const XMLElement* firstSkipped = nullptr;
    for (XMLElement* e = levels->FirstChildElement(); e; e = e->NextSiblingElement())
    {
        const i32 own = intAttribute(e, "episode");
        if (isOwnLevel(e) && seen.emplace(own, intAttribute(e, "n"), intAttribute(e, "mode")).second)
        {
            if (episode == -1 || own == episode)
                total += storedStars(e);
        }
        else if (e->Attribute("stars") && ++skipped == 1)
            firstSkipped = e;
    }
    if (firstSkipped)
        mChecked.tellOnce(levels, "foreign",
                          "Profile entries not counted: " + std::to_string(skipped) +
                              " with stars are not the game's levels or repeat one (the first " +
                              TDCheckedValues::describe(firstSkipped) + ")");
    return static_cast<i32>(std::min<long long>(total, kMaxInt));
}

i32 TDProgress::getEpisodeVisited(i32 episode, TDDifficulty mode)
{
    return mChecked.integer(child("episodeVisited", false), episodeKey(episode, mode).c_str(), 0, kMaxInt, 0);
}

void TDProgress::setEpisodeVisited(i32 episode, TDDifficulty mode, i32 value)
{
    XMLElement* e = child("episodeVisited", false);
    if (!e)
    {
        e = mProfile->GetDocument()->NewElement("episodeVisited");
        mProfile->InsertEndChild(e);
    }
    e->SetAttribute(episodeKey(episode, mode).c_str(), value);
    save();
}

bool TDProgress::isEventSeen(i32 id)
{
    return boolAttribute(child("episodeVisited", false), eventKey(id).c_str(), false);
}

void TDProgress::setEventSeen(i32 id)
{
    XMLElement* e = child("episodeVisited", false);
    if (!e)
    {
        e = mProfile->GetDocument()->NewElement("episodeVisited");
        mProfile->InsertEndChild(e);
    }
    e->SetAttribute(eventKey(id).c_str(), 1);
    save();
}

// A "tutorial" without "avail" counts as available: reading a parameter must not switch the
// tutorial off.
bool TDProgress::isTutorialAvailable()
{
    XMLElement* tutorial = child("tutorial", false);
    return tutorial ? boolAttribute(tutorial, "avail", true) : true;
}

void TDProgress::setTutorialAvailable(bool available)
{
    child("tutorial", true)->SetAttribute("avail", available ? 1 : 0);
    save();
}

XMLElement* TDProgress::tutorialElement(bool setAvailable)
{
    XMLElement* tutorial = child("tutorial", false);
    if (!tutorial)
    {
        tutorial = child("tutorial", true);
        if (setAvailable)
            tutorial->SetAttribute("avail", 1);
    }
    return tutorial;
}

TDTutorialStepState TDProgress::getTutorialStepState(i32 id)
{
    XMLElement* tutorial = tutorialElement(true);
    for (XMLElement* step = tutorial->FirstChildElement("step"); step; step = step->NextSiblingElement("step"))
        if (intAttribute(step, "id") == id)
            return enumAttribute(mChecked, step, "state", kStepWaiting, kStepComplete, kStepWaiting);
    XMLElement* step = insertFirst(tutorial, "step");
    step->SetAttribute("id", id);
    step->SetAttribute("state", static_cast<i32>(kStepWaiting));
    save();
    return kStepWaiting;
}

void TDProgress::setTutorialStepState(i32 id, TDTutorialStepState state)
{
    getTutorialStepState(id);
    XMLElement* tutorial = tutorialElement(true);
    for (XMLElement* step = tutorial->FirstChildElement("step"); step; step = step->NextSiblingElement("step"))
        if (intAttribute(step, "id") == id)
        {
            step->SetAttribute("state", static_cast<i32>(state));
            break;
        }
    save();
}

i32 TDProgress::getTutorialParam(const std::string& name)
{
    XMLElement* tutorial = tutorialElement(false);
    for (XMLElement* p = tutorial->FirstChildElement("param"); p; p = p->NextSiblingElement("param"))
    {
        const char* own = p->Attribute("name");
        if (name == (own ? own : ""))
            return intAttribute(p, "v");
    }
    XMLElement* p = insertFirst(tutorial, "param");
    p->SetAttribute("name", name.c_str());
    p->SetAttribute("v", 0);
    save();
    return 0;
}

void TDProgress::setTutorialParam(const std::string& name, i32 value)
{
    getTutorialParam(name);
    XMLElement* tutorial = tutorialElement(false);
    for (XMLElement* p = tutorial->FirstChildElement("param"); p; p = p->NextSiblingElement("param"))
    {
        const char* own = p->Attribute("name");
        if (name == (own ? own : ""))
        {
            p->SetAttribute("v", value);
            break;
        }
    }
    save();
}

i32 TDProgress::getUpgradeLevel(i32 id)
{
    // The stored level whatever the battle's mode: hardcore's "no upgrades" is the battle's rule
    // (TDMap::upgradeContext), and the shop reads and writes what was bought.
    auto cached = mUpgradeCache.find(id);
    if (cached != mUpgradeCache.end())
        return cached->second;
    XMLElement* upgrades = child("upgrades", false);
    if (!upgrades)
    {
        upgrades = child("upgrades", true);
        // In tree order, each new entry first: the file lists them newest first, like every list.
        for (i32 upgradeId : mHost.upgradeIds())
        {
            XMLElement* e = insertFirst(upgrades, "upgrade");
            e->SetAttribute("id", upgradeId);
            e->SetAttribute("level", -1);
        }
        save();
        mUpgradeCache[id] = -1;
        return -1;
    }
    for (XMLElement* e = upgrades->FirstChildElement("upgrade"); e; e = e->NextSiblingElement("upgrade"))
        if (intAttribute(e, "id") == id)
        {
            // As stored: without a number the first step is bought, any negative is none, and
            // one past the tree's last step applies none but stays what the player bought.
            const i32 level = intAttribute(e, "level");
            if (level >= mHost.upgradeStepCount(id))
                mChecked.tellOnce(e, "level",
                                  "Profile value level=\"" + std::to_string(level) + "\" of " +
                                      TDCheckedValues::describe(e) +
                                      " is past the upgrade's last step; no step applies");
            mUpgradeCache[id] = level;
            return level;
        }
    mUpgradeCache[id] = -1;
    return -2;
}

void TDProgress::setUpgradeLevel(i32 id, i32 level)
{
    mUpgradeCache[id] = level;
    XMLElement* upgrades = child("upgrades", true);
    XMLElement* found = nullptr;
    for (XMLElement* e = upgrades->FirstChildElement("upgrade"); e && !found; e = e->NextSiblingElement("upgrade"))
        if (intAttribute(e, "id") == id)
            found = e;
    if (!found)
    {
        found = insertFirst(upgrades, "upgrade");
        found->SetAttribute("id", id);
    }
    found->SetAttribute("level", level);
    save();
}

void TDProgress::addOwnedSpot(const std::string& name, i32 episode, i32 level)
{
    XMLElement* spot = insertFirst(child("owned", true), "spot");
    spot->SetAttribute("name", name.c_str());
    spot->SetAttribute("episode", episode);
    spot->SetAttribute("level", level);
    spot->SetAttribute("mode", static_cast<i32>(mHost.currentMode()));
    save();
}

bool TDProgress::isSpotOwned(const std::string& name, i32 episode, i32 level)
{
    XMLElement* owned = child("owned", false);
    if (!owned)
        return false;
    bool hardcore = mHost.currentMode() == kDifficultyHardcore;
    for (XMLElement* spot = owned->FirstChildElement("spot"); spot; spot = spot->NextSiblingElement("spot"))
    {
        const char* own = spot->Attribute("name");
        if (name == (own ? own : "") && intAttribute(spot, "episode") == episode &&
            intAttribute(spot, "level") == level &&
            (intAttribute(spot, "mode") == static_cast<i32>(kDifficultyHardcore)) == hardcore)
            return true;
    }
    return false;
}
