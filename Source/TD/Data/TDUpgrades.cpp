// The upgrades tree and the statistics its bought steps give. Float32 arithmetic throughout,
// the percentage divided by 100 first.
#include "Source/TD/Data/TDUpgrades.h"

#include "Core/Base/OwnedList.h"
#include "Source/TD/Data/TDFileSource.h"
#include "Source/TD/Data/TDPrototype.h"
#include "Source/TD/Data/TDText.h"

#include <tinyxml2.h>

#include <cmath>

namespace
{
const TDUpgradeStep* stepInForce(const TDUpgradeContext& context, const TDUpgrade& upgrade)
{
    if (!context.boughtLevel)
        return nullptr;
    return upgrade.getStep(context.boughtLevel(upgrade.id));
}

i32 floatToInt(float value) { return tdtext::truncToInt(value); }
} // namespace

void TDUpgrades::readText(const std::string& text)
{
    upgrades.clear();
    tinyxml2::XMLDocument document;
    if (document.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS)
        return;
    const tinyxml2::XMLElement* root = document.FirstChildElement("upgrades");
    if (!root)
        return;
    for (const tinyxml2::XMLElement* e = root->FirstChildElement(); e; e = e->NextSiblingElement())
        upgrades.push_back(std::make_unique<TDUpgrade>(e));
}

void TDUpgrades::load(const std::wstring& fileName) { readText(TDFileSource::current().readFile(fileName)); }

void TDUpgrades::getSection(i32 section, std::vector<TDUpgrade*>& out) const
{
    for (TDUpgrade* upgrade : upgrades)
        if (upgrade->section == section)
            out.push_back(upgrade);
}

bool TDUpgrades::isAvailable(const TDUpgrade& upgrade, const std::function<bool(i32)>& isUnlocked)
{
    for (i32 target : upgrade.targetIds)
        if (target == -1 || (isUnlocked && isUnlocked(target)))
            return true;
    return false;
}

std::vector<const TDUpgradeStep*> TDUpgrades::stepsFor(const TDUpgradeContext& context, i32 prototypeId) const
{
    std::vector<const TDUpgradeStep*> steps;
    for (const TDUpgrade* upgrade : upgrades)
    {
        if (!isAvailable(*upgrade, context.isUnlocked) || !upgrade->targets(prototypeId))
            continue;
        if (const TDUpgradeStep* step = stepInForce(context, *upgrade))
            steps.push_back(step);
    }
    return steps;
}

void TDUpgrades::applyGlobal(const TDUpgradeContext& context, TDGlobalBonus& bonus) const
{
    for (const TDUpgrade* upgrade : upgrades)
    {
        if (!upgrade->isGlobal())
            continue;
        const TDUpgradeStep* step = stepInForce(context, *upgrade);
        if (!step)
            continue;
        float maxHP = step->percent("maxHP");
        float enemyCost = step->percent("enemyCost");
        float startBudget = step->percent("startBudget");
        if (maxHP > 0.0f)
            bonus.healthBonus = floatToInt(maxHP);
        if (enemyCost > 0.0f)
            bonus.enemyCostBonus = enemyCost / 100.0f;
        if (startBudget > 0.0f)
            bonus.startBudgetBonus = startBudget / 100.0f;
    }
}

void TDUpgrades::applyToPrototype(const TDUpgradeContext& context, TDPrototype& p) const
{
    for (const TDUpgradeStep* step : stepsFor(context, p.id))
    {
        float radius = step->percent("radius") / 100.0f;
        float strength = step->percent("strength") / 100.0f;
        float cost = step->percent("cost") / 100.0f;
        float cooldown = step->percent("cooldown") / 100.0f;
        float income = step->percent("goldIncome") / 100.0f;
        float speed = step->percent("speed") / 100.0f;
        p.radius = p.radius + radius * p.radius;
        p.strength = p.strength + std::ceil(strength * p.strength);
        p.cost = p.cost + std::floor(cost * p.cost);
        p.cooldown = p.cooldown - cooldown * p.cooldown;
        p.goldIncome = p.goldIncome + floatToInt(income * static_cast<float>(p.goldIncome));
        // A negative speed marks an instant bullet; scaling it would change its meaning.
        if (p.speed >= 0.0f)
            p.speed = p.speed + std::floor(speed * p.speed);
    }
}

void TDUpgrades::applyToTower(const TDUpgradeContext& context, const TDPrototype& current, const TDTierSteps& steps,
                              TDPrototype& bonus) const
{
    const float radius = current.radius + steps.radius, strength = current.strength + steps.strength;
    for (const TDUpgradeStep* step : stepsFor(context, current.id))
    {
        bonus.radius += step->percent("radius") / 100.0f * radius;
        bonus.strength += std::ceil(step->percent("strength") / 100.0f * strength);
        // The firing takes the bonus's cooldown off the prototype's: a bought step shortens the wait.
        bonus.cooldown += step->percent("cooldown") / 100.0f * current.cooldown;
    }
}
