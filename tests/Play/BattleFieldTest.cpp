// The battlefield as a player meets it: the build ring with five towers, hardcore against bought
// upgrades, a teleport beam, the immune sign and the spots' signs, all in the running game.
#include "support/GameHarness.h"

#include "Core/Base/Random.h"
#include "Source/TD/Battle/TDContextMenu.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/TDLevelResult.h"
#include "Source/TD/Data/TDProgress.h"
#include "Source/TD/Seams/TDUiPainter.h"
#include "Source/TD/Sprites/TDGraphic.h"
#include "Source/TD/Sprites/TDResources.h"
#include "Source/TD/Units/TDBullet.h"
#include "Source/TD/Units/TDBulletList.h"
#include "Source/TD/Units/TDIndicator.h"
#include "Source/TD/Units/TDTower.h"
#include "Source/TD/Units/TDUnit.h"
#include "TD/DrawRecorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using testsupport::GameHarness;

namespace
{
// A player who won every level of the first episode with three stars (which opens its third
// level with five towers, and its hardcore levels) and bought the first start-budget upgrade.
GameHarness::Options veteran()
{
    static const GameHarness::Options options =
        GameHarness::threeStarPlayer([](TDProgress& progress) { progress.setUpgradeLevel(1, 1); });
    return options;
}

// The ring menu's pictures as drawn, in battle coordinates.
struct RingRecorder : TDNullUiPainter
{
    struct Icon
    {
        std::wstring name;
        float x, y;
    };
    std::vector<Icon> icons;
    void drawUiImage(const std::wstring& name, float x, float y, float, const TDColor&) override
    {
        icons.push_back({name, x, y});
    }
};

void toScreen(const TDMap& map, float bx, float by, float& x, float& y)
{
    x = bx * map.mScale + map.mOffsetX;
    y = by * map.mScale + map.mOffsetY;
}

TDTower* towerOn(TDMap& map, const TDSpotFrame& spot)
{
    for (TDTower* tower : map.mTowers)
        if (tower->mSpot == &spot)
            return tower;
    return nullptr;
}
} // namespace

TEST(BattleField, EveryEntryOfAFiveTowerRingBuildsTheTowerDrawnUnderThePointerAndImmunityShows)
{
    GameHarness game(veteran());
    ASSERT_TRUE(game.startLevel(0, 2)) << game.log();
    TDMap& map = game.map();
    map.mStats.mCoins = 100000; // enough for every entry

    std::vector<TDSpotFrame*> spots;
    for (TDSpotFrame& frame : map.mScenery->spotFrames)
        if (!frame.hasTower && frame.spot && frame.spot->open)
            spots.push_back(&frame);
    ASSERT_GE(spots.size(), 5u);

    std::vector<i32> built;
    for (size_t entry = 0; entry < 5; ++entry)
    {
        TDSpotFrame& spot = *spots[entry];
        float x, y;
        toScreen(map, spot.x + spot.width * 0.5f, spot.y + spot.height * 0.5f, x, y);
        game.click(x, y);
        ASSERT_TRUE(
            game.runUntil([&] { return map.mContextMenu && map.mContextMenu->state == TDContextMenu::kOpen; }, 1.0f));
        TDContextMenu& menu = *map.mContextMenu;
        ASSERT_EQ(menu.items.size(), 5u);

        RingRecorder ring;
        tdtest::RecordingCanvas canvas;
        canvas.ui = &ring;
        game.drawBattle(canvas);
        // The tower icons of the ring: five places, no two overlapping, all on the map.
        std::vector<RingRecorder::Icon> towers;
        for (const auto& icon : ring.icons)
            if (icon.name.rfind(L"ui/tower_", 0) == 0)
                towers.push_back(icon);
        ASSERT_EQ(towers.size(), 5u);
        for (size_t i = 0; i < towers.size(); ++i)
        {
            EXPECT_TRUE(towers[i].x >= 0.0f && towers[i].x <= 1024.0f && towers[i].y >= 0.0f && towers[i].y <= 768.0f);
            for (size_t j = i + 1; j < towers.size(); ++j)
                EXPECT_GE(std::hypot(towers[i].x - towers[j].x, towers[i].y - towers[j].y), 64.0f)
                    << "entries " << i << " and " << j << " overlap";
        }

        // A different kind on each spot, clicked where its icon is drawn.
        std::sort(towers.begin(), towers.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
        const RingRecorder::Icon& aim = towers[entry];
        toScreen(map, aim.x, aim.y, x, y);
        game.click(x, y);
        TDTower* tower = towerOn(map, spot);
        ASSERT_NE(tower, nullptr) << "entry " << entry;
        EXPECT_EQ(tdTowerIcon(tower->baseId()), aim.name);
        built.push_back(tower->baseId());
        game.run(10);
    }
    std::sort(built.begin(), built.end());
    EXPECT_EQ(std::unique(built.begin(), built.end()), built.end()) << "each entry builds its own tower";

    // An immune unit hit shows the immune sign: an acid tower on every free spot; stone units (the
    // fourth wave on) shrug the acid off.
    for (size_t i = 0; i < map.mScenery->spotFrames.size(); ++i)
        map.placeTower(static_cast<i32>(i), 30000);
    auto immuneShown = [&]
    {
        for (const TDIndicator* indicator : map.mIndicators.items)
            if (indicator->mKind == kIndicatorImmune)
                return true;
        if (!map.mNextWave.buttons.empty())
            map.forceNextWave(0.0f, 0.0f); // the player calls every wave early
        return false;
    };
    ASSERT_TRUE(game.runUntil(immuneShown, 240.0f));
    const TDFrameEntry* immune = TDResources::Instance()->getImage(L"td/ui", L"ui/immune");
    ASSERT_TRUE(immune && immune->mImage);
    tdtest::RecordingCanvas canvas;
    game.drawBattle(canvas);
    bool drawn = false;
    for (const tdtest::Drawn& d : canvas.drawn)
        drawn = drawn || d.texture == immune->mImage;
    EXPECT_TRUE(drawn);
}

TEST(BattleField, ALevelsOwnTowerIsFreeAndHardcoreStartsWithTheLevelsBudgetWhateverWasBought)
{
    {
        // The second level's own tower stands from the start, built the player's way: its price
        // credited, then paid.
        GameHarness normal(veteran());
        ASSERT_TRUE(normal.startLevel(0, 1)) << normal.log();
        const TDMap& map = normal.map();
        EXPECT_GT(map.mStats.mStartCoins, map.mBudget) << "the bought upgrade adds to the budget";
        ASSERT_EQ(map.mTowers.size(), 1u);
        EXPECT_EQ(map.mTowers[0]->baseId(), 10000);
        EXPECT_EQ(map.mStats.mCoins, map.mStats.mStartCoins);
        EXPECT_GT(map.mStats.mCoinsSpent, 0);
    }
    GameHarness game(veteran());
    ASSERT_TRUE(game.startLevel(0, 0, kDifficultyHardcore)) << game.log();
    TDMap& map = game.map();
    EXPECT_EQ(map.mMode, kDifficultyHardcore);
    EXPECT_EQ(map.mStats.mStartCoins, map.mBudget);
    EXPECT_EQ(map.mStats.mCoins, map.mBudget);
}

TEST(BattleField, ATeleportBeamRunsFromTheTowerToItsUnitAndTheUnitWalksOnAfterwards)
{
    GameHarness game;
    ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
    TDMap& map = game.map();
    // The teleport tower opens later in the game; here it stands on the spot nearest the road's
    // start as soon as the first units walk.
    TDTower* tower = nullptr;
    for (size_t i = 0; i < map.mScenery->spotFrames.size() && !tower; ++i)
        tower = map.placeTower(static_cast<i32>(i), 80000);
    ASSERT_NE(tower, nullptr);
    ASSERT_TRUE(game.runUntil([&] { return tower->mBeam != nullptr; }, 60.0f)) << "the tower beams a unit";
    TDBeamParticle& beam = *tower->mBeam;
    TDUnit* unit = beam.mTarget;
    ASSERT_NE(unit, nullptr);
    const float foundAt = beam.mEndX;
    game.run(4); // fully grown, not yet gone

    tdtest::RecordingCanvas canvas;
    game.drawBattle(canvas);
    float sx, sy, ex, ey;
    toScreen(map, beam.mStartX, beam.mStartY, sx, sy);
    toScreen(map, beam.mEndX, beam.mEndY, ex, ey);
    const float length = std::hypot(ex - sx, ey - sy);
    ASSERT_GT(length, 30.0f);
    std::vector<float> along; // distances of the links drawn on the beam's line
    for (const tdtest::Drawn& d : canvas.drawn)
        if (d.kind == tdtest::Drawn::Emitter)
        {
            float t = ((d.x - sx) * (ex - sx) + (d.y - sy) * (ey - sy)) / length;
            float off = std::fabs((d.x - sx) * (ey - sy) - (d.y - sy) * (ex - sx)) / length;
            if (off < 1.0f && t > -1.0f && t < length + 1.0f)
                along.push_back(t);
        }
    ASSERT_EQ(along.size(), beam.mEmitters.size());
    std::sort(along.begin(), along.end());
    EXPECT_NEAR(along.front(), 0.0f, 0.5f) << "the first link at the tower";
    EXPECT_NEAR(along.back(), length - 30.0f * map.mScale, 0.5f) << "the last link one spacing short of the unit";
    EXPECT_GT(std::hypot(sx, sy), 50.0f);

    // Held for its teleport, the unit flickers between its second and third death frames at
    // random, drawn by a source of the drawing's own: the battle's numbers stay where they are.
    ASSERT_EQ(unit->mState, kUnitBeamed);
    const TDPrototype* kind = unit->proto();
    const TDGraphic* graphic = TDResources::Instance()->getGraphic(kind->psd, kind->img, kind->id);
    ASSERT_NE(graphic, nullptr);
    const auto& death = graphic->frames("death");
    ASSERT_GE(death.size(), 3u);
    const u32 seed = math::GetRandomSeed();
    std::vector<int> shown(death.size(), 0);
    for (int i = 0; i < 40; ++i)
    {
        tdtest::RecordingCanvas held;
        game.drawBattle(held);
        for (const tdtest::Drawn& d : held.drawn)
            for (size_t k = 0; k < death.size(); ++k)
                shown[k] += d.kind == tdtest::Drawn::Image && d.texture == death[k]->mImage;
    }
    EXPECT_EQ(math::GetRandomSeed(), seed);
    EXPECT_EQ(shown[0], 0);
    EXPECT_GE(shown[1], 8) << "about half of 40";
    EXPECT_GE(shown[2], 8) << "about half of 40";
    EXPECT_EQ(shown[1] + shown[2], 40);

    // The beam is a flash; the unit is held for its teleport, then walks again from the start
    // (and can be beamed anew).
    // The portal does no damage, so the unit lives through it.
    auto alive = [&]
    { return std::find(map.mWaves.mUnits.begin(), map.mWaves.mUnits.end(), unit) != map.mWaves.mUnits.end(); };
    ASSERT_TRUE(game.runUntil([&] { return !alive() || unit->mModifiers.empty(); }, 5.0f));
    ASSERT_TRUE(alive());
    EXPECT_EQ(unit->mState, kUnitWalking);
    EXPECT_EQ(unit->mSegment, 0) << "back on the first road";
    const float x = unit->mPos[0];
    EXPECT_LT(x, foundAt - 30.0f) << "behind where the beam found it";
    game.run(15);
    ASSERT_TRUE(alive());
    EXPECT_GT(unit->mPos[0], x) << "and walking it";
}

TEST(BattleField, TheSpotsBoostIconsAreDrawnUnderThemInTheirOwnPictures)
{
    GameHarness game;
    ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
    const TDMap& map = game.map();
    tdtest::RecordingCanvas canvas;
    game.drawBattle(canvas);
    auto drawnAt = [&](const TDTexture* picture, float bx, float by)
    {
        float x, y;
        toScreen(map, bx, by, x, y);
        int n = 0;
        for (const tdtest::Drawn& d : canvas.drawn)
            n += d.kind == tdtest::Drawn::Image && d.texture && (!picture || d.texture == picture) &&
                 std::fabs(d.x - x) <= 1.0f && std::fabs(d.y - y) <= 1.0f;
        return n;
    };
    // The first level's spots: a longer range at (330, 300), more damage at (704, 387), a shorter
    // range at (143, 425), each sign 25 under its spot; more income (a loose picture) at (612, 470).
    struct Sign
    {
        const wchar_t* name;
        float x, y;
    };
    for (const Sign& sign :
         {Sign{L"ui/radius_boost", 330, 325}, Sign{L"ui/power_boost", 704, 412}, Sign{L"ui/radius_unboost", 143, 450}})
    {
        const TDFrameEntry* picture = TDResources::Instance()->getImage(L"td/ui", sign.name);
        ASSERT_TRUE(picture && picture->mImage) << "no picture for it";
        EXPECT_EQ(1, drawnAt(picture->mImage, sign.x, sign.y)) << "at " << sign.x << ", " << sign.y;
        int anywhere = 0;
        for (const tdtest::Drawn& d : canvas.drawn)
            anywhere += d.texture == picture->mImage;
        EXPECT_EQ(1, anywhere) << "only there";
    }
    EXPECT_GE(drawnAt(nullptr, 612, 495), 1) << "the income sign";
}

// A tower's shot is drawn as its graphic's single picture where it flies, unturned whichever way
// it goes; only the fire shell, which owns its flame, is drawn turned along its flight.
TEST(BattleField, ShotsAreTheirUnturnedPicturesWhereTheyFlyAndTheFireShellBurnsTurnedWithItsFlight)
{
    GameHarness game;
    ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
    TDMap& map = game.map();
    TDResources& resources = *TDResources::Instance();
    auto turnOf = [](float degrees)
    {
        math::Transform2D t;
        t.RotateDegrees(degrees);
        float x0, y0, x1, y1;
        t.TransformPoint(0.0f, 0.0f, x0, y0);
        t.TransformPoint(1.0f, 0.0f, x1, y1);
        return std::atan2(y1 - y0, x1 - x0) * 57.29577951308232f;
    };
    auto firstShot = [&](i32 ammoId, auto&& also) -> TDBullet*
    {
        for (TDBullet* bullet : map.mBullets->items)
            if (bullet->mAlive && bullet->ammo() && bullet->ammo()->id == ammoId && also(*bullet))
                return bullet;
        return nullptr;
    };
    // A dart tower and a cannon, each on a spot beside the road.
    std::vector<TDTower*> towers;
    for (i32 kind : {10000, 20000})
    {
        TDTower* tower = nullptr;
        for (size_t i = 0; i < map.mScenery->spotFrames.size() && !tower; ++i)
            tower = map.placeTower(static_cast<i32>(i), kind);
        ASSERT_NE(tower, nullptr);
        towers.push_back(tower);
    }

    // Darts: the round shot, at its point, not turned although it flies at an angle.
    const TDPrototype* dart = map.findPrototype(2001);
    ASSERT_NE(dart, nullptr);
    const TDGraphic* dartGraphic = resources.getGraphic(dart->psd, dart->img, dart->id);
    ASSERT_TRUE(dartGraphic && dartGraphic->mImage) << "the dart's shot is one picture";
    auto turned = [](const TDBullet& b)
    {
        const float a = std::fmod(b.mAngle, 90.0f);
        return a > 10.0f && a < 80.0f;
    };
    TDBullet* shot = nullptr;
    ASSERT_TRUE(game.runUntil([&] { return (shot = firstShot(2001, turned)) != nullptr; }, 60.0f));
    tdtest::RecordingCanvas canvas;
    game.drawBattle(canvas);
    std::vector<const tdtest::Drawn*> darts;
    for (const tdtest::Drawn& d : canvas.drawn)
        if (d.kind == tdtest::Drawn::Image && d.texture == dartGraphic->mImage.get())
            darts.push_back(&d);
    size_t flying = 0;
    for (TDBullet* bullet : map.mBullets->items)
        flying += bullet->ammo() == dart;
    ASSERT_EQ(darts.size(), flying) << "one picture for each dart in flight";
    float x, y;
    toScreen(map, shot->mX, shot->mY, x, y);
    bool found = false;
    for (const tdtest::Drawn* d : darts)
        if (std::fabs(d->x - x) < 0.01f && std::fabs(d->y - y) < 0.01f)
        {
            found = true;
            EXPECT_NEAR(d->angle, 0.0f, 1e-3f) << "flying at " << shot->mAngle << " degrees";
            EXPECT_NEAR(d->scaleX, 1.0f, 1e-4f);
        }
    EXPECT_TRUE(found) << "the dart at its point";

    // The cannon's fire shell on its curve: its flame turned by the flight's angle, and nothing
    // else of it.
    TDGraphic* flame = resources.findGraphic(L"td/tower3_1b");
    ASSERT_FALSE(flame->frames("fire").empty());
    const TDPrototype* shell = map.findPrototype(2003);
    ASSERT_NE(shell, nullptr);
    auto curving = [&](const TDBullet& b) { return b.mPhase == TDBullet::kCurving && turned(b); };
    ASSERT_TRUE(game.runUntil([&] { return (shot = firstShot(2003, curving)) != nullptr; }, 60.0f));
    canvas = tdtest::RecordingCanvas();
    game.drawBattle(canvas);
    const TDGraphic* shellGraphic = resources.getGraphic(shell->psd, shell->img, shell->id);
    std::vector<float> drawnTurns, flightTurns;
    for (const tdtest::Drawn& d : canvas.drawn)
    {
        if (d.kind != tdtest::Drawn::Image || !d.texture)
            continue;
        for (const TDFrameEntry* own : shellGraphic->frames(""))
            EXPECT_NE(d.texture, own->mImage) << "the shell's own sprite is not drawn";
        for (const TDFrameEntry* fire : flame->frames("fire"))
            if (d.texture == fire->mImage)
                drawnTurns.push_back(d.angle);
    }
    for (TDBullet* bullet : map.mBullets->items)
        if (bullet->ammo() == shell)
            flightTurns.push_back(turnOf(bullet->mAngle));
    ASSERT_EQ(drawnTurns.size(), flightTurns.size()) << "one flame for each shell";
    std::sort(drawnTurns.begin(), drawnTurns.end());
    std::sort(flightTurns.begin(), flightTurns.end());
    for (size_t i = 0; i < drawnTurns.size(); ++i)
        EXPECT_NEAR(drawnTurns[i], flightTurns[i], 1e-2f) << "one shell flies at " << shot->mAngle << " degrees";
}
