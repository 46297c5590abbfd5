// The demo's tier steps as a player meets them: a mage tower built from a spot's ring, its own
// ring offering the step at the base row's price, each step bought by a click shown over the tower
// and measured in its hits and its reach, then the next rank, which keeps them; the new rank's
// own steps after a switch of the screen mode, and a second mage's from no step.
#include "RingClicks.h"
#include "support/GameHarness.h"

#include "Core/Widget/Controls/ControlHost.h"
#include "Source/TD/Battle/TDContextMenu.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Units/TDBullet.h"
#include "Source/TD/Units/TDIndicator.h"
#include "Source/TD/Units/TDModifier.h"
#include "Source/TD/Units/TDTower.h"
#include "Source/TD/Units/TDUnit.h"
#include "TD/DrawRecorder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

using testsupport::GameHarness;

namespace
{
constexpr i32 kMage = 30000;
constexpr float kHeld = 1000.0f;

// The damage of one direct hit of the tower on a foe of the battle (unhurt, rid of the lasting
// effects of earlier hits), as the battle deals it; 0 without a foe.
float hitOf(TDMap& map, TDTower& tower)
{
    for (TDUnit* unit : map.mWaves.mUnits)
    {
        if (!unit->mAlive || unit->isGone())
            continue;
        const float health = unit->mHealth;
        unit->mModifiers.clear();
        unit->mHealth = kHeld;
        TDBullet shot(map, &tower, unit);
        unit->onHit(shot, true);
        const float hit = kHeld - unit->mHealth;
        unit->mModifiers.clear();
        unit->mHealth = health;
        return hit;
    }
    return 0.0f;
}

struct TierSteps : ::testing::Test
{
    GameHarness game{GameHarness::threeStarPlayer(nullptr)};
    TDMap* map = nullptr;
    const TDPrototype* mage = nullptr;

    void SetUp() override
    {
        // The second level: the first with the mage and its second rank.
        ASSERT_TRUE(game.startLevel(0, 1)) << game.log();
        map = &game.map();
        mage = map->findPrototype(kMage);
        ASSERT_NE(nullptr, mage);
        ASSERT_GT(mage->tierUpdates, 0) << "the demo's mage has tier steps";
        ASSERT_GT(mage->tierCost, 0.0f);
        ASSERT_GT(mage->tierK, 0.0f);
        // The foes stand where they come in and outlive every shot, so that the battle lasts as
        // long as the look at a few towers does and no kill pays while a price is read; the
        // towers' hits are dealt to them.
        for (TDPrototype* p : map->mPrototypes.all)
            if (p->type == 0)
            {
                p->speed = 0.0f;
                p->health = 1e6f;
            }
        ASSERT_TRUE(game.runUntil([&] { return !map->mWaves.mUnits.empty(); }, 30.0f)) << "units to hit";
    }

    void clickAt(float bx, float by) { game.click(map->mOffsetX + bx * map->mScale, map->mOffsetY + by * map->mScale); }

    // A mage built through the ring of a free open spot away from every tower.
    TDTower* buildMage()
    {
        for (TDSpotFrame& spot : map->mScenery->spotFrames)
        {
            const float x = spot.x + spot.width * 0.5f, y = spot.y + spot.height * 0.5f;
            bool apart = !spot.hasTower && spot.spot && spot.spot->open;
            for (const TDTower* t : map->mTowers)
                apart = apart && std::hypot(t->mX - x, t->mY - y) > 120.0f;
            if (!apart)
                continue;
            map->mContextMenu.reset();
            clickAt(x, y);
            if (!map->mContextMenu || map->mContextMenu->kind != TDContextMenu::kBuild)
                continue;
            if (!playtest::ClickMenuEntry(game, [](i32 id) { return id == kMage; }))
                return nullptr;
            game.run(10); // the ring closes
            return spot.hasTower ? map->findTowerAt(x, y) : nullptr;
        }
        return nullptr;
    }

    // The tower's ring, clicked open.
    TDContextMenu* openRing(const TDTower& tower)
    {
        map->mContextMenu.reset();
        clickAt(tower.mX, tower.mY);
        return map->mContextMenu && map->mContextMenu->tower == &tower ? map->mContextMenu.get() : nullptr;
    }

    // One battle frame drawn into a recording canvas, the ring's pictures and labels with it.
    tdtest::RecordingCanvas drawn()
    {
        tdtest::RecordingCanvas canvas;
        tdtest::InlineUiPainter ring{canvas};
        canvas.ui = &ring;
        game.drawBattle(canvas);
        canvas.ui = nullptr;
        return canvas;
    }

    // Buys the tower's steps one by one through its ring, each shown over the tower and measured:
    // after step n the tower hits n x tierK of the base row's strength harder and reaches
    // n x tierK of its range farther than before. Then the ring turns to the ranks.
    void buySteps(TDTower& tower, const std::string& where)
    {
        SCOPED_TRACE(where);
        const float plainHit = hitOf(*map, tower), plainRange = tower.range();
        ASSERT_GT(plainHit, 0.0f);
        const float mult = tower.spotProperty("radius_mult") == 0.0f ? 1.0f : tower.spotProperty("radius_mult");
        const float spotHit = tower.spotProperty("damage_mult");
        float hit = plainHit, reach = plainRange;
        for (i32 n = 1; n <= mage->tierUpdates; ++n)
        {
            SCOPED_TRACE("step " + std::to_string(n));
            TDContextMenu* ring = openRing(tower);
            ASSERT_NE(nullptr, ring);
            ASSERT_EQ(TDContextMenu::kTowerTier, ring->kind);
            ASSERT_EQ(2u, ring->items.size()) << "the sale and the step";
            EXPECT_EQ(mage->tierCost, ring->costOf(1));
            game.run(10); // open
            const std::wstring price = L"$" + std::to_wstring(static_cast<i32>(mage->tierCost));
            {
                const tdtest::RecordingCanvas frame = drawn();
                int labels = 0;
                for (const tdtest::Drawn& d : frame.drawn)
                    labels += d.kind == tdtest::Drawn::Text && d.name == price;
                EXPECT_EQ(1, labels) << "the step's price over its entry";
            }

            const i32 coins = map->mStats.mCoins;
            std::set<const TDEmitter*> emitters;
            for (const auto& e : map->mEmitters)
                emitters.insert(e.get());
            ASSERT_TRUE(playtest::ClickMenuEntry(game, [](i32 id) { return id == 1; }));
            EXPECT_EQ(coins - static_cast<i32>(mage->tierCost), map->mStats.mCoins) << "the price shown is charged";
            EXPECT_EQ(n, tower.mTierCount);

            // Shown on the tower: what it gained against what it had (its reach and its hit without
            // the spot's own addition), floating up from it, and the upgrade's sparkle at its foot.
            const TDIndicator* info = map->mIndicators.items.empty() ? nullptr : map->mIndicators.items.back();
            ASSERT_NE(nullptr, info);
            auto gain = [&](const wchar_t* key, float step, float had)
            { return tdFormatInt(GameHarness::localized(key), static_cast<i32>(std::lround(100.0f * step / had))); };
            EXPECT_EQ(gain(L"towerUpgradeInfoRange", mage->tierK * mage->radius * mult, reach) + L"\n" +
                          gain(L"towerUpgradeInfoDamage", mage->tierK * mage->strength, hit - spotHit),
                      info->mText);
            ASSERT_FALSE(map->mEmitters.empty());
            const TDEmitter* sparkle = map->mEmitters.back().get();
            ASSERT_FALSE(emitters.count(sparkle)) << "a new effect";
            game.frame();
            const tdtest::RecordingCanvas frame = drawn();
            bool text = false, effect = false;
            for (const tdtest::Drawn& d : frame.drawn)
            {
                if (d.kind == tdtest::Drawn::Text && d.name == info->mText)
                    text = std::fabs(d.x - tower.mBaseX) < 40.0f && d.y < tower.mBaseY && d.y > tower.mBaseY - 80.0f;
                effect = effect || (d.kind == tdtest::Drawn::Emitter && d.emitter == sparkle);
            }
            EXPECT_TRUE(text) << "the step's text over the tower";
            EXPECT_TRUE(effect) << "the upgrade's sparkle drawn";

            // Measured: the hits and the reach.
            const float k = static_cast<float>(n) * mage->tierK;
            hit = hitOf(*map, tower);
            reach = tower.range();
            EXPECT_NEAR(plainHit + k * mage->strength, hit, 1e-3f);
            EXPECT_FLOAT_EQ(plainRange + k * mage->radius * mult, reach);
        }
        // The steps bought, the ring offers the ranks, its range picture the reach the steps gave.
        TDContextMenu* ring = openRing(tower);
        ASSERT_NE(nullptr, ring);
        EXPECT_EQ(TDContextMenu::kTowerUpgrades, ring->kind);
        game.run(10);
        ring->hoveredItem = nullptr;
        tdtest::RecordingUiPainter painter;
        ring->drawRange(painter);
        const std::vector<tdtest::UiCall> range = painter.of(L"image");
        ASSERT_EQ(1u, range.size());
        EXPECT_NEAR(tower.range(), range[0].scale * 336.0f, 1e-3f);
        map->mContextMenu.reset();
    }
};
} // namespace

TEST_F(TierSteps, TheRingOffersEachStepAtItsPriceThenTheNextRankOnEveryRankAndForEveryTower)
{
    map->mStats.mCoins = 10000;
    TDTower* tower = buildMage();
    ASSERT_NE(nullptr, tower);
    EXPECT_EQ(0, tower->mTierCount);
    const float ring0Range = tower->range();
    buySteps(*tower, "first rank");

    // A click on a step's entry the coins do not cover buys nothing.
    TDTower* second = buildMage();
    ASSERT_NE(nullptr, second);
    map->mStats.mCoins = static_cast<i32>(mage->tierCost) - 1;
    ASSERT_NE(nullptr, openRing(*second));
    ASSERT_TRUE(playtest::ClickMenuEntry(game, [](i32 id) { return id == 1; }));
    EXPECT_EQ(0, second->mTierCount);
    EXPECT_EQ(static_cast<i32>(mage->tierCost) - 1, map->mStats.mCoins);
    map->mStats.mCoins = 10000;

    // The next rank, offered at its price and bought from the ring, keeps the steps bought: its own
    // strength and reach and theirs.
    const TDPrototype* rank = tower->currentProto(1);
    ASSERT_NE(nullptr, rank);
    TDContextMenu* ring = openRing(*tower);
    ASSERT_NE(nullptr, ring);
    ASSERT_EQ(2u, ring->items.size());
    ASSERT_TRUE(ring->items[1]->prototype);
    EXPECT_EQ(rank->id, ring->items[1]->prototype->id);
    EXPECT_EQ(rank->cost, ring->costOf(1));
    ASSERT_TRUE(playtest::ClickMenuEntry(game, [](i32 id) { return id == 1; }));
    ASSERT_EQ(1, tower->mLevel);
    EXPECT_EQ(0, tower->mTierCount);
    const float steps = static_cast<float>(mage->tierUpdates) * mage->tierK;
    EXPECT_NEAR(rank->strength + steps * mage->strength + tower->spotProperty("damage_mult"), hitOf(*map, *tower),
                1e-3f);
    EXPECT_FLOAT_EQ((rank->radius + steps * mage->radius) * (ring0Range / mage->radius), tower->range());

    // Across a switch of the screen mode: the new rank's steps, and the second mage's from the
    // first.
    gui::ControlHost& host = *gui::ControlHost::Get();
    const bool windowed = host.IsWindowed();
    game.pushAltEnter();
    ASSERT_TRUE(game.run(3));
    ASSERT_NE(windowed, host.IsWindowed());
    buySteps(*tower, "second rank");
    buySteps(*second, "second mage");
}
