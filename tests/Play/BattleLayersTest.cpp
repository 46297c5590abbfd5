// What stands over what in the running battle as the game draws it: the wave countdown over the
// towers, the ring menu and the floating texts over the spots and their signs, and the
// field and its effects kept inside the field at display sizes with and without margins; once the
// battle is over, nothing of it over the shop.
#include "support/GameHarness.h"

#include "Source/TD/Battle/TDContextMenu.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Draw/TDBattleDrawer.h"
#include "Source/TD/Shell/GameWindow.h"
#include "Source/TD/Shell/HUDLevelResultWindow.h"
#include "Source/TD/Shell/HUDShopWindow.h"
#include "Source/TD/Sprites/TDResources.h"
#include "Source/TD/Units/TDIndicator.h"
#include "Source/TD/Units/TDTower.h"
#include "TD/DrawRecorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

using tdtest::Drawn;
using testsupport::GameHarness;

namespace
{
// A click where the battle point is drawn; true once a ring menu stands open.
bool OpenRingAt(GameHarness& game, float bx, float by)
{
    TDMap& map = game.map();
    game.click(map.mOffsetX + bx * map.mScale, map.mOffsetY + by * map.mScale);
    return game.runUntil([&] { return map.mContextMenu && map.mContextMenu->state == TDContextMenu::kOpen; }, 1.0f);
}

// Clicks the first entry of the open ring whose id passes the test, where the entry is drawn;
// true once the ring has closed after it.
template <class F> bool ChooseEntry(GameHarness& game, F wanted)
{
    TDMap& map = game.map();
    TDContextMenu& menu = *map.mContextMenu;
    for (float a = 0.0f; a < 360.0f; a += 3.0f)
        for (float r : {60.0f, 80.0f, 104.0f})
        {
            const float x = menu.centreX + r * std::cos(a * 3.14159f / 180.0f);
            const float y = menu.centreY + r * std::sin(a * 3.14159f / 180.0f);
            const i32 id = menu.itemAt(x, y);
            if (id >= 0 && wanted(id))
            {
                game.click(map.mOffsetX + x * map.mScale, map.mOffsetY + y * map.mScale);
                return game.runUntil([&] { return !map.mContextMenu; }, 1.0f);
            }
        }
    return false;
}

bool OpenRingOn(GameHarness& game, const TDSpotFrame& spot)
{
    return OpenRingAt(game, spot.x + spot.width * 0.5f, spot.y + spot.height * 0.5f);
}

// One battle frame drawn by the game's own drawer into a recording canvas, the ring menu's
// pictures and labels in the same list, and the pictures that the field's entries show.
struct Frame
{
    tdtest::RecordingCanvas canvas;
    tdtest::InlineUiPainter ring{canvas};
    std::set<const TDTexture*> towers, spots, signs;

    explicit Frame(GameHarness& game)
    {
        TDMap& map = game.map();
        TDBattleDrawer& drawer = *game.board().getDrawer();
        for (TDTower* tower : map.mTowers)
        {
            TDDrawItem item;
            if (drawer.towerItem(*tower, item))
                towers.insert(item.image);
        }
        TDResources* resources = TDResources::Instance();
        for (const wchar_t* name : {L"spots/s", L"spots/g", L"spots/p"})
            if (const TDFrameEntry* picture = resources->getImage(L"td/spots", name))
                spots.insert(picture->mImage);
        for (const TDSpotFrame& frame : map.mScenery->spotFrames)
            for (const TDBoostIcon& icon : frame.boosts)
                if (const TDFrameEntry* picture =
                        icon.sheet.empty() ? nullptr : resources->getImage(icon.sheet, icon.image))
                    signs.insert(picture->mImage);
        canvas.ui = &ring;
        game.drawBattle(canvas);
    }

    // Indices of the drawn images whose picture is one of the set.
    std::vector<int> of(const std::set<const TDTexture*>& pictures) const
    {
        std::vector<int> out;
        for (size_t i = 0; i < canvas.drawn.size(); ++i)
            if (canvas.drawn[i].kind == Drawn::Image && canvas.drawn[i].texture &&
                pictures.count(canvas.drawn[i].texture))
                out.push_back(static_cast<int>(i));
        return out;
    }
    // Index of the first text that starts with the start, -1 for none.
    int text(const std::wstring& start) const
    {
        for (size_t i = 0; i < canvas.drawn.size(); ++i)
            if (canvas.drawn[i].kind == Drawn::Text && canvas.drawn[i].name.rfind(start, 0) == 0)
                return static_cast<int>(i);
        return -1;
    }
    // Index of the ring menu's first picture, -1 when none was drawn.
    int ringStart() const
    {
        for (size_t i = 0; i < canvas.drawn.size(); ++i)
            if (canvas.drawn[i].name.rfind(L"ring:", 0) == 0)
                return static_cast<int>(i);
        return -1;
    }
};

int Last(const std::vector<int>& indices, int before)
{
    int last = -1;
    for (int i : indices)
        if (i < before)
            last = std::max(last, i);
    return last;
}
} // namespace

TEST(BattleLayers, TheCountdownStandsOverTowersAndTheRingAndTheUpgradeTextOverSpotsAndSigns)
{
    GameHarness game;
    ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
    TDMap& map = game.map();
    map.mStats.mCoins = 100000;
    const std::wstring countdown = LocalStrings::Instance()->get(L"game_nextwave");
    ASSERT_FALSE(countdown.empty());

    // The first wave counts down beside its button at the road's start; towers go on the spot
    // beside the button (where the tutorial builds) and on the next one.
    // (The level's name, shown over the field at first, has the countdown's place until it goes.)
    ASSERT_TRUE(game.runUntil([&] { return !map.mNextWave.buttons.empty() && !game.board().mBannerWindow; }, 10.0f));
    std::vector<TDSpotFrame>& spots = map.mScenery->spotFrames;
    ASSERT_GE(spots.size(), 3u);
    for (size_t i : {0u, 1u})
    {
        ASSERT_TRUE(OpenRingOn(game, spots[i])) << "spot " << i;
        ASSERT_TRUE(ChooseEntry(game, [](i32 id) { return id > 0; })) << "spot " << i;
    }
    ASSERT_EQ(map.mTowers.size(), 2u);
    {
        Frame f(game);
        const int shown = f.text(countdown);
        ASSERT_GE(shown, 0) << "the countdown is drawn";
        ASSERT_EQ(f.of(f.towers).size(), 2u);
        EXPECT_GT(shown, Last(f.of(f.towers), INT32_MAX)) << "every tower under the countdown";
    }

    // An upgrade floats its text up from the tower, and a ring opens on the free spot beside it.
    TDTower* upgraded = map.mTowers.front();
    const i32 level = upgraded->mLevel;
    ASSERT_TRUE(OpenRingAt(game, upgraded->mX, upgraded->mY));
    ASSERT_TRUE(ChooseEntry(game, [](i32 id) { return id > 0; })); // not the sale
    game.run(2);
    ASSERT_NE(upgraded->mLevel, level) << "the tower was upgraded";
    const TDIndicator* info = nullptr;
    for (const TDIndicator* indicator : map.mIndicators.items)
        if (indicator->mAlive && !indicator->mText.empty())
            info = indicator;
    ASSERT_NE(info, nullptr) << "the upgrade's text floats";
    const std::wstring infoText = info->mText;

    const TDSpotFrame* free = nullptr;
    for (const TDSpotFrame& spot : spots)
        if (!spot.hasTower && spot.spot && spot.spot->open &&
            (!free || std::hypot(spot.x - spots[0].x, spot.y - spots[0].y) <
                          std::hypot(free->x - spots[0].x, free->y - spots[0].y)))
            free = &spot;
    ASSERT_NE(free, nullptr);
    ASSERT_TRUE(OpenRingOn(game, *free));
    ASSERT_FALSE(map.mNextWave.buttons.empty());

    Frame f(game);
    const int ring = f.ringStart();
    const int shown = f.text(countdown);
    const int floating = f.text(infoText.substr(0, infoText.find(L'\n')));
    ASSERT_GE(ring, 0) << "the ring is drawn";
    ASSERT_GE(shown, 0) << "the countdown stays while the ring is open";
    ASSERT_GE(floating, 0) << "the upgrade's text is drawn";
    EXPECT_LT(shown, ring) << "the ring over the countdown";
    EXPECT_GT(shown, Last(f.of(f.towers), ring)) << "every tower of the field under the countdown";
    ASSERT_FALSE(f.of(f.spots).empty());
    ASSERT_FALSE(f.of(f.signs).empty());
    EXPECT_GT(ring, Last(f.of(f.spots), INT32_MAX)) << "the ring over every spot";
    EXPECT_GT(ring, Last(f.of(f.signs), INT32_MAX)) << "the ring over every spot's sign";
    EXPECT_GT(floating, Last(f.of(f.spots), INT32_MAX)) << "the upgrade's text over every spot";
    EXPECT_GT(floating, Last(f.of(f.signs), INT32_MAX)) << "the upgrade's text over every spot's sign";
}

// A meteor cast just before the level is won, its blast still on the field: the shop the result
// leads to shows nothing of the battle, the blast least of all. Twice, the second time on the level
// the shop leads on to.
TEST(BattleLayers, AMeteorCastAsTheLevelIsWonLeavesNothingOfTheBattleOverTheShop)
{
    GameHarness game;
    ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
    TDMap& map = game.map();
    std::set<const TDTexture*> blast;
    if (const TDGraphic* meteor = TDResources::Instance()->findGraphic(L"td/spell_meteor"))
        for (const TDFrameEntry* frame : meteor->frames(""))
            blast.insert(frame->mImage);
    ASSERT_FALSE(blast.empty());
    auto blasts = [&]
    {
        tdtest::RecordingCanvas canvas;
        game.drawBattle(canvas);
        int n = 0;
        for (const Drawn& d : canvas.drawn)
            n += d.kind == Drawn::Image && blast.count(d.texture) ? 1 : 0;
        return n;
    };

    for (int round = 1; round <= 2; ++round)
    {
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_TRUE(game.runUntil([&] { return !game.board().mBannerWindow; }, 10.0f));
        ASSERT_TRUE(game.click(L"spell0"));
        game.moveTo(512.0f, 450.0f);
        game.frame();
        game.click(512.0f, 450.0f);
        game.run(3);
        ASSERT_GT(blasts(), 0) << "the blast is drawn on the field";
        map.showVictory();
        ASSERT_TRUE(game.runUntil([&] { return game.top<HUDLevelResultWindow>() != nullptr; }, 2.0f));
        EXPECT_GT(blasts(), 0) << "the blast stands frozen under the result";
        game.run(60);
        ASSERT_TRUE(game.click(L"done"));
        ASSERT_TRUE(game.runUntil([&] { return game.top<HUDShopWindow>() != nullptr; }, 2.0f));
        game.run(30);
        EXPECT_EQ(0, blasts()) << "the blast shows over the shop";
        tdtest::RecordingCanvas canvas;
        game.drawBattle(canvas);
        EXPECT_TRUE(canvas.drawn.empty()) << canvas.drawn.size() << " things of the battle drawn with the shop";
        EXPECT_EQ(canvas.calls, (std::vector<std::string>{"hud", "windows0", "windows1"}));
        if (round == 1)
        {
            ASSERT_TRUE(game.click(L"return_ac"));
            ASSERT_TRUE(game.closeUnlockMessages());
            ASSERT_EQ(1, map.mLevel) << "on to the next level";
        }
    }
}
