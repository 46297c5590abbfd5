// The demo shop's upgrades in the battles they change: steps bought by clicking in the shop, then
// the third level of the first episode played with every unit held at one point in a tower's
// reach. Each step's battle is measured against the battle before it was bought and held to the
// direction and the amount of the text its plate showed.
#include "ShopClicks.h"
#include "support/GameHarness.h"

#include "Source/TD/Battle/TDContextMenu.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/TDFindById.h"
#include "Source/TD/Data/TDProgress.h"
#include "Source/TD/Data/TDUpgrades.h"
#include "Source/TD/Shell/HUDLevelSelect.h"
#include "Source/TD/Units/TDTower.h"
#include "Source/TD/Units/TDUnit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cwctype>
#include <iostream>
#include <map>
#include <string>
#include <vector>

using testsupport::GameHarness;

namespace
{
constexpr float kDt = 1.0f / 30.0f;
constexpr i32 kDart = 10000, kCannon = 20000, kMage = 30000, kMine = 50000;
constexpr float kHeld = 1000.0f; // the health every held unit is given back before each frame

// A player with three stars on every level of the first episode and crystals for the whole shop.
GameHarness::Options shopper()
{
    static const GameHarness::Options options =
        GameHarness::threeStarPlayer([](TDProgress& progress) { progress.setGems(1000); });
    return options;
}

struct Purchase
{
    int tab;
    i32 upgrade;
};

// What one battle showed.
struct Readings
{
    bool played = false;
    std::map<i32, std::wstring> texts; // by upgrade: the plate's text for the step last bought
    float maxHealth = 0.0f;
    i32 startCoins = 0;
    std::map<i32, i32> bounty; // by unit kind: the kill score of one kill
    i32 mineIncome = 0;
    float minePercent[2] = {0.0f, 0.0f}; // the tree's "goldIncome" of the purses' steps
    float blastPercent = 0.0f;           // the tree's "radius" of the wide blast's step
    float cannonWait = 0.0f;
    int cannonShots = 0;
    float mageRange = 0.0f;
    i32 dartPrice = 0;
    float dartTierPrice = 0.0f;
    float dartRange = 0.0f, dartHit = 0.0f, dartStrength = 0.0f;
    int dartShots = 0, dartShotsAtEdge = 0;
    float meteorHit = 0.0f;
};

// One tower's shots while every unit stands at a point, kept alive.
struct Watch
{
    int shots = 0;
    float wait = 0.0f; // the wait set by the last shot
    float hit = 0.0f;  // the first damage a held unit took
};

void holdUnits(TDMap& map, float x, float y)
{
    map.mHovered = nullptr;
    for (TDUnit* unit : map.mWaves.mUnits)
    {
        if (!unit->mAlive || unit->isGone())
            continue;
        unit->mPos[0] = unit->mDrawPos[0] = x;
        unit->mPos[1] = unit->mDrawPos[1] = y;
        unit->mHealth = kHeld;
        if (!map.mHovered)
            map.mHovered = unit; // picked: every tower in reach aims at it
    }
}

Watch watch(GameHarness& game, const TDTower& tower, float distance, float seconds)
{
    Watch w;
    TDMap& map = game.map();
    const float x = tower.mX + distance, y = tower.mY;
    float before = tower.mCooldown;
    for (float t = 0.0f; t < seconds; t += kDt)
    {
        holdUnits(map, x, y);
        TDUnit* held = map.mHovered;
        if (!game.frame(kDt))
            break;
        if (tower.mCooldown > before + 1e-4f)
        {
            ++w.shots;
            w.wait = tower.mCooldown;
        }
        before = tower.mCooldown;
        if (w.hit == 0.0f && held && held->mHealth < kHeld)
            w.hit = kHeld - held->mHealth;
    }
    return w;
}

TDTower* build(TDMap& map, i32 kind, i32* price = nullptr)
{
    const i32 coins = map.mStats.mCoins;
    TDTower* tower = map.buildTower(0, kind);
    if (price)
        *price = coins - map.mStats.mCoins;
    return tower;
}

// The percentage an attribute of an upgrade's step gives, as the game's tree holds it.
float stepPercent(const TDMap& map, i32 upgrade, i32 step, const char* attribute)
{
    const TDUpgrade* u = TDFindById(map.mUpgrades.upgrades, upgrade);
    const TDUpgradeStep* s = u ? u->getStep(step) : nullptr;
    return s ? s->percent(attribute) : 0.0f;
}

// The battle measured: globals, a mine's pay, a dart's price, hits, reach and its ring's tier
// price, a mage's reach, a cannon's shots, a meteor's blow, then one kill of each unit kind on the
// field.
void measure(GameHarness& game, Readings& r)
{
    TDMap& map = game.map();
    r.maxHealth = map.mMaxHealth;
    r.startCoins = map.mStats.mStartCoins;
    for (i32 step = 0; step < 2; ++step)
        r.minePercent[step] = stepPercent(map, 4, step, "goldIncome");
    r.blastPercent = stepPercent(map, 5, 0, "radius");
    map.mStats.mCoins = 100000;

    // The mine pays before the first unit can be killed.
    TDTower* mine = build(map, kMine);
    ASSERT_NE(nullptr, mine);
    const i32 coins = map.mStats.mCoins;
    ASSERT_TRUE(game.runUntil([&] { return map.mStats.mCoins != coins; }, 8.0f));
    r.mineIncome = map.mStats.mCoins - coins;
    map.sellTower(mine);
    ASSERT_TRUE(game.runUntil([&] { return !map.mWaves.mUnits.empty(); }, 20.0f));

    // The dart first: nothing else has burnt the units its hits are read from.
    TDTower* dart = build(map, kDart, &r.dartPrice);
    ASSERT_NE(nullptr, dart);
    game.frame(kDt);
    r.dartRange = dart->range();
    r.dartStrength = dart->currentProto()->strength;
    const float base = map.findPrototype(kDart)->radius;
    const Watch near = watch(game, *dart, 0.3f * base, 10.0f);
    r.dartShots = near.shots;
    r.dartHit = near.hit;
    // Between half the bare reach and half of 1.1 times it: shot at only with the longer reach.
    r.dartShotsAtEdge = watch(game, *dart, 0.525f * base, 4.0f).shots;
    // The tower's ring, clicked open: the price of its first tier (its entry's id is the tier's
    // level id, 1).
    holdUnits(map, dart->mX + 0.3f * base, dart->mY);
    game.click(dart->mX * map.mScale + map.mOffsetX, dart->mY * map.mScale + map.mOffsetY);
    auto ringOpen = [&]
    { return map.mContextMenu && map.mContextMenu->tower == dart && map.mContextMenu->state == TDContextMenu::kOpen; };
    ASSERT_TRUE(game.runUntil(ringOpen, 1.0f));
    r.dartTierPrice = map.mContextMenu->costOf(1);
    map.mContextMenu->close();
    map.sellTower(dart);

    TDTower* mage = build(map, kMage);
    ASSERT_NE(nullptr, mage);
    game.frame(kDt);
    r.mageRange = mage->range();
    map.sellTower(mage);

    TDTower* cannon = build(map, kCannon);
    ASSERT_NE(nullptr, cannon);
    const Watch shots = watch(game, *cannon, 60.0f, 30.0f);
    r.cannonShots = shots.shots;
    r.cannonWait = shots.wait;
    map.sellTower(cannon);

    // A meteor cast on the held units: no step names a spell.
    holdUnits(map, 400.0f, 400.0f);
    ASSERT_NE(nullptr, map.mHovered);
    ASSERT_TRUE(map.castSpell(0, 400.0f, 400.0f));
    r.meteorHit = kHeld - map.mHovered->mHealth;

    // One kill of each kind; the kill score counts the bounty alone.
    std::vector<TDUnit*> victims;
    for (TDUnit* unit : map.mWaves.mUnits)
        if (unit->mAlive && !unit->isGone() && !r.bounty.count(unit->protoId()))
        {
            r.bounty[unit->protoId()] = 0;
            victims.push_back(unit);
        }
    for (TDUnit* unit : victims)
    {
        holdUnits(map, 100.0f, 100.0f);
        const i32 kind = unit->protoId();
        const i32 score = map.mStats.mKillScore;
        unit->mHealth = 0.0f;
        ASSERT_TRUE(game.frame(kDt));
        r.bounty[kind] = map.mStats.mKillScore - score;
    }
    r.played = true;
}

// A fresh game of the shopper: the purchases clicked in the shop the level selection opens, then
// the third level played and measured.
Readings play(const std::vector<Purchase>& purchases)
{
    Readings r;
    GameHarness game(shopper());
    EXPECT_TRUE(game.started()) << game.log();
    if (!game.started() || !game.reachEpisodeSelect() || !game.click(L"play") ||
        !game.runUntil([&] { return game.screen() == kScreenLevels; }, 2.0f))
        return r;
    if (!purchases.empty())
    {
        if (!game.click(L"upgrade"))
            return r;
        HUDShopWindow* shop = game.top<HUDShopWindow>();
        if (!shop)
            return r;
        for (const Purchase& p : purchases)
        {
            const ShopUpgradePlate* plate = playtest::showTab(game, *shop, p.tab, p.upgrade);
            if (!plate)
                return r;
            r.texts[p.upgrade] = plate->descriptionText;
            if (!playtest::buy(game, *shop, p.tab, p.upgrade))
                return r;
        }
        if (!game.click(L"back_ac") || !game.runUntil([&] { return game.screen() == kScreenLevels; }, 2.0f))
            return r;
    }
    HUDLevelSelect* levels = game.top<HUDLevelSelect>();
    if (!levels)
        return r;
    for (const LevelPlate& plate : levels->mPlates)
        if (plate.level == 2)
            game.click(static_cast<float>(plate.x + plate.width / 2), static_cast<float>(plate.y + plate.height / 2));
    if (!game.closeUnlockMessages() || game.map().mLevel != 2 || game.screen() != kScreenBattle)
        return r;
    measure(game, r);
    return r;
}

// Battles by the number of steps bought of each upgrade: none; the first step of every upgrade;
// the second of each that has one; the dart craft's third.
const Readings& stage(int steps)
{
    static std::map<int, Readings> played;
    auto it = played.find(steps);
    if (it != played.end())
        return it->second;
    std::vector<Purchase> purchases;
    const std::vector<Purchase> first = {{0, 1}, {1, 2}, {1, 3}, {2, 4}, {2, 5}};
    const std::vector<Purchase> second = {{0, 1}, {1, 2}, {2, 4}};
    if (steps >= 1)
        purchases = first;
    if (steps >= 2)
        purchases.insert(purchases.end(), second.begin(), second.end());
    if (steps >= 3)
        purchases.push_back({1, 2});
    return played[steps] = play(purchases);
}

// The whole numbers of a text, in order.
std::vector<int> numbers(const std::wstring& text)
{
    std::vector<int> out;
    for (size_t i = 0; i < text.size();)
    {
        if (!std::iswdigit(text[i]))
        {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < text.size() && std::iswdigit(text[end]))
            ++end;
        out.push_back(std::stoi(text.substr(i, end - i)));
        i = end;
    }
    return out;
}

// Whether the text holds the words, letter case aside.
bool says(std::wstring text, const wchar_t* words)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return text.find(words) != std::wstring::npos;
}
} // namespace

TEST(BoughtUpgrades, TheCannonDrillShortensTheCannonsWaitByItsPercentage)
{
    const Readings& bare = stage(0);
    const Readings& drilled = stage(1);
    ASSERT_TRUE(bare.played && drilled.played);
    std::cout << "cannon shots in 30 s: " << bare.cannonShots << " without the drill, " << drilled.cannonShots
              << " with it; wait " << bare.cannonWait << " s and " << drilled.cannonWait << " s\n";
    const std::wstring& text = drilled.texts.at(3);
    ASSERT_TRUE(says(text, L"faster")) << "the shop: " << std::string(text.begin(), text.end());
    ASSERT_EQ(1u, numbers(text).size());
    const float percent = static_cast<float>(numbers(text)[0]) / 100.0f;
    EXPECT_FLOAT_EQ(bare.cannonWait * (1.0f - percent), drilled.cannonWait);
    // A shot takes its firing animation and its shell's flight besides the wait: more shots, yet
    // at most 1 / (1 - the percentage) times as many.
    EXPECT_GT(drilled.cannonShots, bare.cannonShots);
    EXPECT_LE(drilled.cannonShots, static_cast<int>(std::ceil(bare.cannonShots / (1.0f - percent))));
    // The darts are no cannons: their shots stay as they were.
    EXPECT_EQ(bare.dartShots, drilled.dartShots);
}

TEST(BoughtUpgrades, EachStepOfTheDemoShopChangesTheBattleByTheAmountItsTextGives)
{
    const Readings& bare = stage(0);
    const Readings& one = stage(1);
    const Readings& two = stage(2);
    const Readings& three = stage(3);
    ASSERT_TRUE(bare.played && one.played && two.played && three.played);
    auto text = [](const Readings& r, i32 upgrade)
    { return std::string(r.texts.at(upgrade).begin(), r.texts.at(upgrade).end()); };

    // Moorland Might: "+N health, +P% bounty and starting gold", then "+N health, +P% bounty, +S%
    // starting gold", each against the bare battle (a later step replaces an earlier one). The
    // bounty is rounded up to whole gold, the starting gold down.
    const std::pair<const Readings*, int> might[] = {{&one, 0}, {&two, 1}};
    for (const auto& [r, step] : might)
    {
        const std::vector<int> n = numbers(r->texts.at(1));
        SCOPED_TRACE(text(*r, 1));
        ASSERT_EQ(step == 0 ? 2u : 3u, n.size());
        ASSERT_TRUE(says(r->texts.at(1), L"health") && says(r->texts.at(1), L"bounty") &&
                    says(r->texts.at(1), L"starting gold"));
        const float bounty = n[1] / 100.0f, start = (step == 0 ? n[1] : n[2]) / 100.0f;
        EXPECT_EQ(bare.maxHealth + static_cast<float>(n[0]), r->maxHealth);
        EXPECT_EQ(bare.startCoins + static_cast<i32>(bare.startCoins * start), r->startCoins);
        ASSERT_FALSE(bare.bounty.empty());
        for (const auto& [kind, gold] : bare.bounty)
        {
            ASSERT_TRUE(r->bounty.count(kind)) << "kind " << kind;
            EXPECT_EQ(gold + static_cast<i32>(std::ceil(gold * bounty)), r->bounty.at(kind)) << "kind " << kind;
        }
    }

    // Dart Craft: "Darts strike P% harder" (a hit's damage rounded up to whole points), "Darts fly
    // P% farther", "Dart towers cost P% less" (rounded down, tiers too); each step keeps the last.
    {
        SCOPED_TRACE(text(one, 2));
        ASSERT_TRUE(says(one.texts.at(2), L"harder"));
        const float p = numbers(one.texts.at(2)).at(0) / 100.0f;
        EXPECT_EQ(bare.dartHit + std::ceil(p * bare.dartStrength), one.dartHit);
        EXPECT_GE(one.dartHit - bare.dartHit, p * bare.dartStrength);
        EXPECT_EQ(bare.dartRange, one.dartRange);
    }
    {
        SCOPED_TRACE(text(two, 2));
        ASSERT_TRUE(says(two.texts.at(2), L"farther"));
        const float p = numbers(two.texts.at(2)).at(0) / 100.0f;
        EXPECT_FLOAT_EQ(one.dartRange * (1.0f + p), two.dartRange);
        EXPECT_EQ(0, one.dartShotsAtEdge) << "out of the shorter reach";
        EXPECT_GT(two.dartShotsAtEdge, 0) << "within the longer reach";
        EXPECT_EQ(one.dartHit, two.dartHit);
        EXPECT_EQ(one.dartPrice, two.dartPrice);
    }
    {
        SCOPED_TRACE(text(three, 2));
        ASSERT_TRUE(says(three.texts.at(2), L"less"));
        const float p = numbers(three.texts.at(2)).at(0) / 100.0f;
        EXPECT_EQ(two.dartPrice + static_cast<i32>(std::floor(-p * two.dartPrice)), three.dartPrice);
        EXPECT_EQ(two.dartTierPrice + std::floor(-p * two.dartTierPrice), three.dartTierPrice);
        EXPECT_GT(two.dartTierPrice, 0.0f);
        EXPECT_EQ(std::pair(two.dartHit, two.dartRange), std::pair(three.dartHit, three.dartRange));
    }

    // Deep Purses: "More gold per wave", "Still more gold per wave": a mine pays more, by the
    // step's percentage of its pay (rounded toward zero).
    {
        SCOPED_TRACE(text(one, 4) + " / " + text(two, 4));
        ASSERT_TRUE(says(one.texts.at(4), L"more gold") && says(two.texts.at(4), L"more gold"));
        EXPECT_GT(one.mineIncome, bare.mineIncome);
        EXPECT_GT(two.mineIncome, one.mineIncome);
        for (const auto& [r, step] : {std::pair(&one, 0), std::pair(&two, 1)})
        {
            const float p = r->minePercent[step] / 100.0f;
            EXPECT_EQ(bare.mineIncome + static_cast<i32>(p * bare.mineIncome), r->mineIncome) << "step " << step;
        }
    }

    // Wide Blast: "Blasts reach further": the mage's reach, by the step's percentage.
    {
        SCOPED_TRACE(text(one, 5));
        ASSERT_TRUE(says(one.texts.at(5), L"further"));
        EXPECT_FLOAT_EQ(bare.mageRange * (1.0f + one.blastPercent / 100.0f), one.mageRange);
    }

    // Nothing bought changes what no step names: the darts' pace, the cannons' pace after the
    // drill, the mage's reach after its one step, a spell's blow.
    EXPECT_EQ(bare.dartShots, three.dartShots);
    EXPECT_GT(bare.meteorHit, 0.0f);
    EXPECT_EQ(bare.meteorHit, three.meteorHit);
    EXPECT_EQ(one.cannonWait, three.cannonWait);
    EXPECT_EQ(one.mageRange, three.mageRange);
}
