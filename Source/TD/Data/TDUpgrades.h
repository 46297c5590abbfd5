// The upgrades tree of "td/upgrades.xml" and the statistics its bought steps give.
#pragma once

#include "Core/Base/OwnedList.h"
#include "Core/Base/Types.h"
#include "Source/TD/Data/TDUpgrade.h"

#include <functional>
#include <string>
#include <vector>

class TDPrototype;

// What the arithmetic needs to know of the player and the level.
struct TDUpgradeContext
{
    // Index of the highest bought step of an upgrade; negative when none (always in hardcore).
    std::function<i32(i32 upgradeId)> boughtLevel;
    // Whether a prototype id is unlocked at the level in question.
    std::function<bool(i32 prototypeId)> isUnlocked;
};

// The battle's global bonuses; members not raised by an upgrade keep their values.
struct TDGlobalBonus
{
    i32 healthBonus = 0;
    float enemyCostBonus = 0.0f;
    float startBudgetBonus = 0.0f;
};

// What a tower's tier steps add to its own strength and range for good.
struct TDTierSteps
{
    float strength = 0.0f;
    float radius = 0.0f;
};

class TDUpgrades
{
public:
    TDUpgrades() = default;
    TDUpgrades(const TDUpgrades&) = delete;
    TDUpgrades& operator=(const TDUpgrades&) = delete;

    // A text without an "upgrades" element gives an empty tree.
    void readText(const std::string& text);
    // Reads the file through the current file source.
    void load(const std::wstring& fileName = L"td/upgrades.xml");

    void getSection(i32 section, std::vector<TDUpgrade*>& out) const;
    // An upgrade is available when one target is unlocked or global (-1).
    static bool isAvailable(const TDUpgrade& upgrade, const std::function<bool(i32)>& isUnlocked);

    // Global upgrades (first target -1): the later step wins; values <= 0 change nothing.
    void applyGlobal(const TDUpgradeContext& context, TDGlobalBonus& bonus) const;
    // Raises a prototype copy by every step in force for its id, compounding.
    void applyToPrototype(const TDUpgradeContext& context, TDPrototype& p) const;
    // Adds the per-frame increments of range, strength and cooldown to a tower's bonus record,
    // each computed from the tower's own value (not compounded): the current prototype's with
    // the tier steps' additions, so that a percentage holds for a tower with steps too. The
    // record's cooldown is the time taken off the wait between shots.
    void applyToTower(const TDUpgradeContext& context, const TDPrototype& current, const TDTierSteps& steps,
                      TDPrototype& bonus) const;

    base::OwnedList<TDUpgrade> upgrades; // file order

private:
    std::vector<const TDUpgradeStep*> stepsFor(const TDUpgradeContext& context, i32 prototypeId) const;
};
