// One permanent upgrade of the shop: its targets and its purchasable steps.
#pragma once

#include "Core/Base/Types.h"
#include "Source/TD/Data/TDPropertyBag.h"

#include <memory>
#include <string>
#include <vector>

namespace tinyxml2
{
class XMLElement;
}

struct TDUpgradeStep
{
    i32 costGold = 0; // "cost_g"
    i32 costReal = 0; // "cost_r"
    // Percentages by statistic name; absent when the step has no "attributes".
    std::unique_ptr<TDPropertyBag> attributes;

    // A percentage that is not given reads 0.
    float percent(const std::string& name) const { return attributes ? attributes->peekFloat(name) : 0.0f; }
};

class TDUpgrade
{
public:
    TDUpgrade() = default;
    explicit TDUpgrade(const tinyxml2::XMLElement* element);

    // The step at index, or null when the index is negative or past the last step.
    const TDUpgradeStep* getStep(i32 index) const;
    bool isGlobal() const;
    bool targets(i32 prototypeId) const;

    i32 id = 0;
    i32 section = 0;
    i32 unlockEpisode = 0;
    i32 unlockLevel = 0;
    std::wstring icon;
    std::vector<i32> targetIds;
    std::vector<std::unique_ptr<TDUpgradeStep>> steps;
};
