// The demo shop's upgrades in the battles they change: steps bought by clicking in the shop, then
// the third level of the first episode played with every unit held at one point in a tower's
// reach. The text a step's plate showed is read as claims, a number and the word after it ("25%
// harder", "+5 health", "+10% bounty (rounded up)"), and each claim is measured in the battle
// against the battle without upgrades; what the text does not claim stays as it was there.
#include "ShopClicks.h"
#include "support/GameHarness.h"

#include "Source/TD/Battle/TDContextMenu.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/TDProgress.h"
#include "Source/TD/Shell/HUDLevelSelect.h"
#include "Source/TD/Units/TDTower.h"
#include "Source/TD/Units/TDUnit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cwctype>
#include <iostream>
#include <map>
#include <set>
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

// A tower's strength and reach as the battle counts them (its tier's, its bonus's added).
struct Might
{
    float strength = 0.0f, range = 0.0f;
};

// What one battle showed.
struct Readings
{
    bool played = false;
    std::map<i32, std::wstring> texts; // by upgrade: the plate's text for the step last bought
    float maxHealth = 0.0f;
    i32 startCoins = 0;
    std::map<i32, i32> bounty;  // by unit kind: the kill score of one kill
    i32 mineIncome[2] = {0, 0}; // one payment of a mine of each tier
    float minePeriod = 0.0f;    // between two payments of the first tier
    float cannonWait = 0.0f;
    int cannonShots = 0;
    float mageRange = 0.0f, mageHit = 0.0f, mageStrength = 0.0f;
    i32 dartPrice = 0;
    float dartTierPrice = 0.0f;
    float dartRange = 0.0f, dartHit = 0.0f, dartStrength = 0.0f;
    int dartShots = 0, dartShotsAtEdge = 0;
    std::map<i32, Might> dartTiers; // by tier id
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

// The battle's coins after the next change; false when none came within the time.
bool nextPay(GameHarness& game, i32& pay, float& seconds)
{
    TDMap& map = game.map();
    const i32 coins = map.mStats.mCoins;
    seconds = 0.0f;
    for (; seconds < 10.0f; seconds += kDt)
    {
        if (!game.frame(kDt))
            return false;
        if (map.mStats.mCoins != coins)
        {
            pay = map.mStats.mCoins - coins;
            seconds += kDt;
            return true;
        }
    }
    return false;
}

Might mightOf(const TDTower& tower) { return {tower.currentProto()->strength + tower.mBonus.strength, tower.range()}; }

// The battle measured: globals, a mine's pay on both tiers, a dart's price, hits, reach, tiers
// and its ring's tier price, a mage's reach and hit, a cannon's shots, a meteor's blow, then one
// kill of each unit kind on the field.
void measure(GameHarness& game, Readings& r)
{
    TDMap& map = game.map();
    r.maxHealth = map.mMaxHealth;
    r.startCoins = map.mStats.mStartCoins;
    map.mStats.mCoins = 100000;

    // The mines pay before the first unit can be killed.
    TDTower* mine = build(map, kMine);
    ASSERT_NE(nullptr, mine);
    float seconds = 0.0f;
    ASSERT_TRUE(nextPay(game, r.mineIncome[0], seconds));
    ASSERT_TRUE(nextPay(game, r.mineIncome[0], r.minePeriod));
    ASSERT_TRUE(mine->upgrade(1, 0.0f));
    ASSERT_TRUE(nextPay(game, r.mineIncome[1], seconds));
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
    ASSERT_EQ(TDContextMenu::kTowerUpgrades, map.mContextMenu->kind);
    r.dartTierPrice = map.mContextMenu->costOf(1);
    map.mContextMenu->close();
    map.sellTower(dart);
    // Every tier of the line: 1 then 2 on one tower, 1 then 3 on another.
    for (i32 last : {2, 3})
    {
        dart = build(map, kDart);
        ASSERT_NE(nullptr, dart);
        for (i32 tier : {1, last})
        {
            ASSERT_TRUE(dart->upgrade(tier, 0.0f));
            game.frame(kDt);
            r.dartTiers[dart->currentProto()->id] = mightOf(*dart);
        }
        map.sellTower(dart);
    }

    TDTower* mage = build(map, kMage);
    ASSERT_NE(nullptr, mage);
    game.frame(kDt);
    r.mageRange = mage->range();
    r.mageStrength = mage->currentProto()->strength;
    r.mageHit = watch(game, *mage, 0.3f * map.findPrototype(kMage)->radius, 5.0f).hit;
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

// One claim of a text: a number, whether a percentage, the word after it, and whether the text
// says it is rounded up ("+10% bounty (rounded up)").
struct Claim
{
    int number = 0;
    bool percent = false;
    bool roundedUp = false;
};

// The claims of a text by the word after each number (letter case aside).
std::map<std::wstring, Claim> claimsOf(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    std::map<std::wstring, Claim> out;
    for (size_t i = 0; i < text.size();)
    {
        if (!std::iswdigit(text[i]))
        {
            ++i;
            continue;
        }
        Claim claim;
        size_t end = i;
        while (end < text.size() && std::iswdigit(text[end]))
            ++end;
        claim.number = std::stoi(text.substr(i, end - i));
        claim.percent = end < text.size() && text[end] == L'%';
        size_t word = text.find_first_not_of(L"% ", end);
        size_t wordEnd = word;
        while (wordEnd < text.size() && std::iswalpha(text[wordEnd]))
            ++wordEnd;
        const std::wstring rest = text.substr(wordEnd, text.find(L',', wordEnd) - wordEnd);
        claim.roundedUp = rest.find(L"rounded up") != std::wstring::npos;
        const std::wstring name = word == std::wstring::npos ? L"" : text.substr(word, wordEnd - word);
        EXPECT_FALSE(out.count(name)) << "claimed twice: " << std::string(name.begin(), name.end());
        out[name] = claim;
        i = end;
    }
    return out;
}

// Checks a stage's battle against the bare one by what one upgrade's text claims: each check
// reads the claim of its word, or, when the text makes none, expects the bare battle's value.
class ClaimCheck
{
public:
    ClaimCheck(const Readings& r, i32 upgrade) : mText(r.texts.at(upgrade)), mClaims(claimsOf(mText)) {}
    ~ClaimCheck()
    {
        for (const auto& [word, claim] : mClaims)
            EXPECT_TRUE(mRead.count(word)) << what() << ": claims \"" << std::string(word.begin(), word.end())
                                           << "\", which the battle does not measure";
    }
    std::string what() const { return "\"" + std::string(mText.begin(), mText.end()) + "\""; }

    // A whole number raised (sign +1) or lowered (-1) by the percentage: exactly, or rounded up
    // where the text says so.
    void whole(const wchar_t* word, int sign, i64 bare, i64 got, const std::string& of)
    {
        const Claim* c = claim(word);
        if (!c)
        {
            EXPECT_EQ(bare, got) << what() << " says nothing of " << of;
            return;
        }
        EXPECT_TRUE(c->percent) << what();
        const i64 scaled = bare * (100 + sign * c->number);
        if (c->roundedUp)
            EXPECT_EQ((scaled + 99) / 100, got) << what() << ": " << of;
        else
        {
            EXPECT_EQ(0, scaled % 100) << what() << ": " << of << " gets no whole number";
            EXPECT_EQ(scaled, got * 100) << what() << ": " << of;
        }
    }
    // A number raised by a percentage, or by a number (a claim without "%").
    void scaled(const wchar_t* word, float bare, float got, const std::string& of)
    {
        const Claim* c = claim(word);
        if (!c)
            EXPECT_EQ(bare, got) << what() << " says nothing of " << of;
        else if (c->percent)
            EXPECT_NEAR(bare * (1.0f + static_cast<float>(c->number) / 100.0f), got, 1e-5f * bare)
                << what() << ": " << of;
        else
            EXPECT_EQ(bare + static_cast<float>(c->number), got) << what() << ": " << of;
    }
    // A wait shortened: the pace (one over the wait) raised by the percentage.
    void pace(const wchar_t* word, float bareWait, float gotWait, const std::string& of)
    {
        const Claim* c = claim(word);
        if (!c)
            EXPECT_EQ(bareWait, gotWait) << what() << " says nothing of " << of;
        else
            EXPECT_NEAR(1.0f + static_cast<float>(c->number) / 100.0f, bareWait / gotWait, 1e-5f)
                << what() << ": " << of;
    }
    const Claim* claim(const wchar_t* word)
    {
        mRead.insert(word);
        auto it = mClaims.find(word);
        return it == mClaims.end() ? nullptr : &it->second;
    }

private:
    std::wstring mText;
    std::map<std::wstring, Claim> mClaims;
    std::set<std::wstring> mRead;
};

// What each upgrade's text may claim, measured in a stage's battle against the bare one.
void checkClaims(const Readings& bare, const Readings& r)
{
    {
        SCOPED_TRACE("Moorland Might");
        ClaimCheck check(r, 1);
        check.scaled(L"health", bare.maxHealth, r.maxHealth, "the camp's health");
        check.whole(L"starting", 1, bare.startCoins, r.startCoins, "the starting gold");
        ASSERT_FALSE(bare.bounty.empty());
        for (const auto& [kind, gold] : bare.bounty)
        {
            ASSERT_TRUE(r.bounty.count(kind)) << "kind " << kind;
            check.whole(L"bounty", 1, gold, r.bounty.at(kind), "the bounty of kind " + std::to_string(kind));
        }
    }
    {
        SCOPED_TRACE("Dart Craft");
        ClaimCheck check(r, 2);
        // The hit is the strength and the spot's own addition: the claim is on the strength.
        check.whole(L"harder", 1, static_cast<i64>(bare.dartStrength),
                    static_cast<i64>(bare.dartStrength + r.dartHit - bare.dartHit), "a dart's hit");
        check.scaled(L"farther", bare.dartRange, r.dartRange, "a dart's reach");
        check.whole(L"less", -1, bare.dartPrice, r.dartPrice, "a dart's price");
        check.whole(L"less", -1, static_cast<i64>(bare.dartTierPrice), static_cast<i64>(r.dartTierPrice),
                    "a dart's next tier's price");
        ASSERT_EQ(3u, bare.dartTiers.size());
        for (const auto& [tier, might] : bare.dartTiers)
        {
            ASSERT_TRUE(r.dartTiers.count(tier));
            check.whole(L"harder", 1, static_cast<i64>(might.strength), static_cast<i64>(r.dartTiers.at(tier).strength),
                        "the strength of tier " + std::to_string(tier));
            check.scaled(L"farther", might.range, r.dartTiers.at(tier).range,
                         "the reach of tier " + std::to_string(tier));
        }
        if (check.claim(L"farther"))
        {
            EXPECT_EQ(0, bare.dartShotsAtEdge) << "out of the bare reach";
            EXPECT_GT(r.dartShotsAtEdge, 0) << "within the longer reach";
        }
        else
            EXPECT_EQ(0, r.dartShotsAtEdge);
    }
    {
        SCOPED_TRACE("Cannon Drill");
        ClaimCheck check(r, 3);
        check.pace(L"faster", bare.cannonWait, r.cannonWait, "a cannon's reload");
    }
    {
        SCOPED_TRACE("Deep Purses");
        ClaimCheck check(r, 4);
        check.whole(L"more", 1, bare.mineIncome[0], r.mineIncome[0], "a mine's pay");
        check.whole(L"more", 1, bare.mineIncome[1], r.mineIncome[1], "a second-tier mine's pay");
        EXPECT_EQ(bare.minePeriod, r.minePeriod) << "a mine pays as often";
    }
    {
        SCOPED_TRACE("Arcane Reach");
        ClaimCheck check(r, 5);
        check.scaled(L"farther", bare.mageRange, r.mageRange, "a mage's reach");
        check.whole(L"harder", 1, static_cast<i64>(bare.mageStrength),
                    static_cast<i64>(bare.mageStrength + r.mageHit - bare.mageHit), "a mage's hit");
    }
    // Nothing bought changes what no step names: the darts' pace, a spell's blow.
    EXPECT_EQ(bare.dartShots, r.dartShots);
    EXPECT_GT(bare.meteorHit, 0.0f);
    EXPECT_EQ(bare.meteorHit, r.meteorHit);
}
} // namespace

TEST(BoughtUpgrades, TheCannonDrillSpeedsTheCannonsReloadByItsPercentage)
{
    const Readings& bare = stage(0);
    const Readings& drilled = stage(1);
    ASSERT_TRUE(bare.played && drilled.played);
    std::cout << "cannon shots in 30 s: " << bare.cannonShots << " without the drill, " << drilled.cannonShots
              << " with it; wait " << bare.cannonWait << " s and " << drilled.cannonWait << " s\n";
    const std::map<std::wstring, Claim> claims = claimsOf(drilled.texts.at(3));
    ASSERT_EQ(1u, claims.count(L"faster"));
    const float pace = 1.0f + static_cast<float>(claims.at(L"faster").number) / 100.0f;
    EXPECT_NEAR(pace, bare.cannonWait / drilled.cannonWait, 1e-5f);
    // A shot takes its firing animation and its shell's flight besides the wait: more shots, yet
    // at most the pace's share more.
    EXPECT_GT(drilled.cannonShots, bare.cannonShots);
    EXPECT_LE(drilled.cannonShots, static_cast<int>(std::ceil(static_cast<float>(bare.cannonShots) * pace)));
    // The darts are no cannons: their shots stay as they were.
    EXPECT_EQ(bare.dartShots, drilled.dartShots);
}

TEST(BoughtUpgrades, EveryClaimOfEveryStepsTextIsWhatTheBattleGives)
{
    const Readings& bare = stage(0);
    ASSERT_TRUE(bare.played);
    for (int steps = 1; steps <= 3; ++steps)
    {
        const Readings& r = stage(steps);
        ASSERT_TRUE(r.played) << steps << " steps";
        SCOPED_TRACE(std::to_string(steps) + " steps bought");
        checkClaims(bare, r);
    }
    // Each step's text is its own: the steps the stages bought showed five, three and one texts
    // that differ from the stage before.
    EXPECT_EQ(5u, stage(1).texts.size());
    for (i32 upgrade : {1, 2, 4})
        EXPECT_NE(stage(1).texts.at(upgrade), stage(2).texts.at(upgrade)) << upgrade;
    EXPECT_NE(stage(2).texts.at(2), stage(3).texts.at(2));
}
