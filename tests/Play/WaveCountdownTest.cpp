// The next-wave countdown on the first level: beside its start button it covers no build spot,
// nor any entry or price of the first spot's ring, the one the tutorial points at. On every level
// of the demo, in both sets, no wave's countdown covers a build spot.
#include "support/GameHarness.h"

#include "Source/TD/Battle/TDContextMenu.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Level/TDMapScene.h"
#include "Source/TD/Shell/GameWindow.h"
#include "Source/TD/Shell/HUDLevelResultWindow.h"
#include "Source/TD/Shell/TDScreenDraw.h"
#include "Source/TD/Units/TDUnit.h"
#include "TD/DrawRecorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <set>
#include <string>

using testsupport::GameHarness;

namespace
{
struct Rect
{
    float x0, y0, x1, y1;
    bool overlaps(const Rect& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
};

std::ostream& operator<<(std::ostream& out, const Rect& r)
{
    return out << "(" << r.x0 << ", " << r.y0 << ") to (" << r.x1 << ", " << r.y1 << ")";
}
} // namespace

TEST(WaveCountdown, OnTheFirstLevelItCoversNoSpotNorTheFirstSpotsRing)
{
    GameHarness game;
    ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
    TDMap& map = game.map();
    ASSERT_TRUE(game.runUntil([&] { return !game.board().mBannerWindow; }, 10.0f)) << "the level's name goes";
    ASSERT_FALSE(map.mNextWave.buttons.empty());

    tdtest::RecordingCanvas canvas;
    game.drawBattle(canvas);
    const std::wstring countdown = LocalStrings::Instance()->get(L"game_nextwave");
    const tdtest::Drawn* text = nullptr;
    for (const tdtest::Drawn& d : canvas.drawn)
        if (d.kind == tdtest::Drawn::Text && d.name.rfind(countdown, 0) == 0)
            text = &d;
    ASSERT_NE(nullptr, text) << "the countdown is drawn";
    ASSERT_EQ(0, text->hAlign) << "it runs right from its point";
    // As wide as its first count, "10", in the countdown's font; centred on its point's height.
    float width = 0.0f, height = 0.0f;
    tdscreen::measureWrapped(game.board().mFontMain42_2.Get(), countdown + L" 10", 1024.0f, width, height);
    ASSERT_GT(width, 0.0f);
    const Rect band{text->x, text->y - height * 0.5f, text->x + width, text->y + height * 0.5f};

    // Spots and ring entries in battle units, drawn through the battle's transform.
    auto onScreen = [&](float x0, float y0, float x1, float y1)
    {
        return Rect{map.mOffsetX + x0 * map.mScale, map.mOffsetY + y0 * map.mScale, map.mOffsetX + x1 * map.mScale,
                    map.mOffsetY + y1 * map.mScale};
    };
    ASSERT_FALSE(map.mScenery->spotFrames.empty());
    for (const TDSpotFrame& spot : map.mScenery->spotFrames)
    {
        const Rect r = onScreen(static_cast<float>(spot.x), static_cast<float>(spot.y),
                                static_cast<float>(spot.x + spot.width), static_cast<float>(spot.y + spot.height));
        EXPECT_FALSE(band.overlaps(r)) << "the countdown " << band << " covers the spot at " << r;
    }

    // The first spot's ring: each entry's picture, and its price above it.
    ASSERT_FALSE(map.mSpots.empty());
    const TDSpotFrame* found = nullptr;
    for (const TDSpotFrame& spot : map.mScenery->spotFrames)
        if (spot.spot == map.mSpots.front())
            found = &spot;
    ASSERT_NE(nullptr, found) << "the first spot has its picture";
    const TDSpotFrame& first = *found;
    game.click(map.mOffsetX + (static_cast<float>(first.x) + static_cast<float>(first.width) * 0.5f) * map.mScale,
               map.mOffsetY + (static_cast<float>(first.y) + static_cast<float>(first.height) * 0.5f) * map.mScale);
    ASSERT_TRUE(
        game.runUntil([&] { return map.mContextMenu && map.mContextMenu->state == TDContextMenu::kOpen; }, 3.0f));
    const TDContextMenu& ring = *map.mContextMenu;
    ASSERT_FALSE(ring.items.empty());
    for (const auto& item : ring.items)
    {
        const float x = ring.centreX + item->x, y = ring.centreY + item->y;
        const Rect entry = onScreen(x - 26.0f, y - 26.0f, x + 26.0f, y + 26.0f);
        const Rect price = onScreen(x - 30.0f, y - 42.0f, x + 30.0f, y - 18.0f);
        EXPECT_FALSE(band.overlaps(entry)) << "the countdown " << band << " covers a ring entry at " << entry;
        EXPECT_FALSE(band.overlaps(price)) << "the countdown " << band << " covers a ring price at " << price;
    }
}

TEST(WaveCountdown, NoWavesCountdownOnAnyLevelOfEitherSetCoversABuildSpot)
{
    GameHarness game;
    ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
    TDMap& map = game.map();
    const std::wstring next = LocalStrings::Instance()->get(L"game_nextwave");
    const std::wstring incoming = LocalStrings::Instance()->get(L"game_incoming");
    auto measure = [&](const std::wstring& text, float& width, float& height)
    { tdscreen::measureWrapped(game.board().mFontMain42_2.Get(), text, 1024.0f, width, height); };

    // Each countdown's place on the screen for as long as it shows: as wide as its first count or
    // as "Incoming!", whichever is wider; the spots drawn through the battle's transform.
    auto check = [&](const std::string& where)
    {
        tdtest::RecordingCanvas canvas;
        game.drawBattle(canvas);
        int texts = 0;
        for (const tdtest::Drawn& d : canvas.drawn)
        {
            if (d.kind != tdtest::Drawn::Text || (d.name.rfind(next, 0) != 0 && d.name != incoming))
                continue;
            ++texts;
            float width = 0.0f, height = 0.0f, other = 0.0f, otherHeight = 0.0f;
            measure(d.name, width, height);
            measure(incoming, other, otherHeight);
            width = std::max(width, other);
            height = std::max(height, otherHeight);
            ASSERT_GT(width, 0.0f);
            const float x0 = d.hAlign == 1 ? d.x - width : d.x;
            const Rect band{x0, d.y - height * 0.5f, x0 + width, d.y + height * 0.5f};
            for (const TDSpotFrame& spot : map.mScenery->spotFrames)
            {
                const Rect r{map.mOffsetX + static_cast<float>(spot.x) * map.mScale,
                             map.mOffsetY + static_cast<float>(spot.y) * map.mScale,
                             map.mOffsetX + static_cast<float>(spot.x + spot.width) * map.mScale,
                             map.mOffsetY + static_cast<float>(spot.y + spot.height) * map.mScale};
                EXPECT_FALSE(band.overlaps(r)) << where << ": the countdown " << band << " covers the spot at " << r;
            }
        }
        EXPECT_EQ(texts, static_cast<int>(map.mNextWave.buttons.size())) << where << ": one countdown a button";
    };

    int levels = 0;
    for (const auto& [episode, info] : map.mEpisodes.episodes())
        for (TDDifficulty mode : {kDifficultyEasy, kDifficultyHardcore})
            for (i32 level = 0; level < (mode == kDifficultyHardcore ? info.hardcoreLevelCount : info.levelCount);
                 ++level, ++levels)
            {
                const std::string name = (mode == kDifficultyHardcore ? "Ordeal " : "level ") +
                                         std::to_string(episode + 1) + "-" + std::to_string(level + 1);
                map.mEpisode = episode;
                map.mLevel = level;
                map.mMode = mode;
                ASSERT_EQ(QL_OK, map.loadLevel()) << name;
                ASSERT_TRUE(game.closeUnlockMessages()) << name;
                // Every wave called as soon as its countdown shows, its units felled as they come.
                std::set<i32> counted;
                auto play = [&]
                {
                    map.mHealth = map.mMaxHealth;
                    for (TDUnit* unit : map.mWaves.mUnits)
                        unit->mHealth = 0.0f;
                    if (!map.mNextWave.buttons.empty() && counted.insert(map.mWaves.mNextIndex).second)
                    {
                        check(name + " wave " + std::to_string(map.mWaves.mNextIndex + 1));
                        map.forceNextWave(0.0f, 0.0f);
                    }
                    return game.screen() == kScreenWon;
                };
                ASSERT_TRUE(game.runUntil(play, 600.0f, 0.1f)) << name << " was not won";
                EXPECT_GE(counted.size(), 3u) << name;
                ASSERT_TRUE(game.runUntil([&] { return game.top<HUDLevelResultWindow>() != nullptr; }, 2.0f)) << name;
            }
    EXPECT_EQ(levels, map.getTotalLevelCount());
}
