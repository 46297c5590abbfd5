// The upgrade tree: reading, global bonuses, prototype and tower steps, locked targets and hardcore.
#include "Source/TD/Data/TDFindById.h"
#include "Source/TD/Data/TDPrototype.h"
#include "Source/TD/Data/TDUpgrades.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <tuple>

namespace
{
const char* kTree = R"(<upgrades>
  <upgrade id="1" section="0" icon="ui/might_01">
    <targets><target id="-1"/></targets>
    <steps>
      <step cost_g="0" cost_r="10"><attributes><a name="maxHP" value="5"/><a name="startBudget" value="10"/></attributes></step>
      <step cost_g="0" cost_r="20"><attributes><a name="maxHP" value="8"/><a name="enemyCost" value="-5"/></attributes></step>
    </steps>
  </upgrade>
  <upgrade id="2" section="1" icon="ui/tower_01">
    <unlock episode="0" level="1"/>
    <targets><target id="10000"/></targets>
    <steps>
      <step cost_r="5"><attributes><a name="strength" value="15"/><a name="cost" value="-10"/><a name="radius" value="10"/></attributes></step>
      <step cost_r="9"><attributes><a name="strength" value="15"/></attributes></step>
    </steps>
  </upgrade>
  <upgrade id="3" section="1">
    <targets><target id="10000"/></targets>
    <steps><step><attributes><a name="strength" value="15"/><a name="cooldown" value="25"/><a name="speed" value="50"/></attributes></step></steps>
  </upgrade>
  <upgrade id="4" section="2" icon="x"><steps><step/></steps></upgrade>
  <upgrade id="5" section="2" icon="y"><targets><target id="-1"/></targets>
    <steps><step><attributes><a name="maxHP" value="3"/></attributes></step></steps></upgrade>
</upgrades>)";

struct UpgradeTree : ::testing::Test
{
    TDUpgrades tree;
    std::map<i32, i32> bought;
    bool unlockedAll = true;
    TDUpgradeContext context;
    void SetUp() override
    {
        tree.readText(kTree);
        context.boughtLevel = [this](i32 id) { return bought.count(id) ? bought[id] : -1; };
        context.isUnlocked = [this](i32) { return unlockedAll; };
    }
    TDPrototype tower()
    {
        TDPrototype p;
        p.id = 10000;
        p.strength = 10.0f;
        p.cost = 95.0f;
        p.cooldown = 2.0f;
        p.radius = 100.0f;
        p.speed = -1.0f;
        return p;
    }
};
} // namespace

TEST_F(UpgradeTree, ReadsFieldsAndToleratesMissingParts)
{
    ASSERT_EQ(tree.upgrades.size(), 5u);
    const TDUpgrade* second = TDFindById(tree.upgrades, 2);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->unlockLevel, 1);
    EXPECT_EQ(second->getStep(0)->costReal, 5);
    EXPECT_EQ(second->getStep(2), nullptr);
    EXPECT_EQ(second->getStep(-1), nullptr);
    EXPECT_FALSE(TDFindById(tree.upgrades, 4)->isGlobal()); // no targets
    std::vector<TDUpgrade*> section;
    tree.getSection(1, section);
    EXPECT_EQ(section.size(), 2u);

    TDUpgrades empty;
    empty.readText("<other/>");
    EXPECT_TRUE(empty.upgrades.empty());
    empty.readText("<upgrades><upgrade");
    EXPECT_TRUE(empty.upgrades.empty());
}

TEST_F(UpgradeTree, GlobalBonusLaterStepWinsAndNonPositiveKeeps)
{
    TDGlobalBonus bonus;
    bonus.enemyCostBonus = 0.25f;
    bought[1] = 1;
    bought[5] = 0;
    tree.applyGlobal(context, bonus);
    EXPECT_EQ(std::tuple(bonus.healthBonus, bonus.enemyCostBonus, bonus.startBudgetBonus), std::tuple(3, 0.25f, 0.0f));

    TDGlobalBonus first;
    bought.erase(5);
    bought[1] = 0;
    tree.applyGlobal(context, first);
    EXPECT_EQ(first.healthBonus, 5);
    EXPECT_FLOAT_EQ(first.startBudgetBonus, 0.1f);
}

TEST_F(UpgradeTree, PrototypeStepsRoundAndCompoundTowerBonusesDoNotAndLockedTargetsAndHardcoreApplyNothing)
{
    TDPrototype p = tower();
    bought[2] = 7; // past the last step: nothing
    tree.applyToPrototype(context, p);
    EXPECT_EQ(p.strength, 10.0f);
    bought[2] = 0;
    tree.applyToPrototype(context, p);
    EXPECT_EQ(std::pair(p.strength, p.cost), std::pair(12.0f, 85.0f));
    EXPECT_FLOAT_EQ(p.radius, 110.0f);

    bought[3] = 0;
    p = tower();
    tree.applyToPrototype(context, p);
    // 10 -> 12 -> 12 + ceil(1.8); instant bullets stay instant.
    EXPECT_EQ(std::tuple(p.strength, p.cooldown, p.speed), std::tuple(14.0f, 1.5f, -1.0f));

    TDPrototype base = tower();
    TDPrototype bonus;
    tree.applyToTower(context, base, {}, bonus);
    EXPECT_EQ(bonus.strength, 4.0f); // ceil(1.5) twice, from the base each time
    EXPECT_FLOAT_EQ(bonus.radius, 10.0f);
    EXPECT_FLOAT_EQ(bonus.cooldown, 0.5f); // the time a 25% step takes off a 2 s wait

    // Locked targets and hardcore apply nothing.
    bought[2] = 0;
    unlockedAll = false;
    p = tower();
    tree.applyToPrototype(context, p);
    EXPECT_EQ(p.strength, 10.0f);
    EXPECT_FALSE(TDUpgrades::isAvailable(*TDFindById(tree.upgrades, 2), context.isUnlocked));
    EXPECT_TRUE(TDUpgrades::isAvailable(*TDFindById(tree.upgrades, 1), context.isUnlocked));
    EXPECT_FALSE(TDUpgrades::isAvailable(*TDFindById(tree.upgrades, 4), context.isUnlocked));

    unlockedAll = true;
    context.boughtLevel = [](i32) { return -1; }; // what a hardcore battle answers
    TDGlobalBonus none;
    tree.applyGlobal(context, none);
    tree.applyToPrototype(context, p);
    EXPECT_EQ(std::pair(none.healthBonus, p.strength), std::pair(0, 10.0f));
}

TEST_F(UpgradeTree, TowerBonusesCountTheTierStepsInSoAPercentageHoldsForATowerWithNoneOneOrTwoSteps)
{
    bought[2] = 0; // strength 15%, range 10%
    const TDPrototype base = tower();
    for (int n = 0; n <= 2; ++n)
    {
        SCOPED_TRACE(std::to_string(n) + " steps");
        // Each step adds 3 strength and 20 range, as a tier step adds a share of the base row.
        const TDTierSteps steps{3.0f * static_cast<float>(n), 20.0f * static_cast<float>(n)};
        TDPrototype bonus;
        bonus.radius = steps.radius; // the frame starts from the steps' additions
        tree.applyToTower(context, base, steps, bonus);
        EXPECT_FLOAT_EQ(bonus.radius + base.radius, (base.radius + steps.radius) * 1.1f);
        EXPECT_EQ(bonus.strength, std::ceil((base.strength + steps.strength) * 0.15f));
    }
}
