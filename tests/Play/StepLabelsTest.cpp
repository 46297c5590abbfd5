// The texts of tier steps bought one after another while the battle is paused, as the player reads
// them over the tower at two display sizes: each stands clear of the others, measured with the
// game's own indicator font, through more paused frames and a switch of the screen mode, and they
// rise together and go once the battle plays on.
#include "RingClicks.h"
#include "support/GameHarness.h"

#include "Core/Media/Font/BMFont.h"
#include "Core/Media/Graphics/TextFormat.h"
#include "Source/TD/Battle/TDContextMenu.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Shell/GameWindow.h"
#include "Source/TD/Units/TDIndicator.h"
#include "Source/TD/Units/TDTower.h"
#include "TD/DrawRecorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using testsupport::GameHarness;

namespace
{
constexpr i32 kMage = 30000;

struct Display
{
    int width, height;
};

// One drawn text: its vertical extent on the screen.
struct Label
{
    std::wstring text;
    float x = 0.0f, top = 0.0f, bottom = 0.0f;
};

struct StepLabels : ::testing::TestWithParam<Display>
{
    GameHarness game{sized()};
    TDMap* map = nullptr;

    static GameHarness::Options sized()
    {
        static const GameHarness::Options options = GameHarness::threeStarPlayer(nullptr);
        GameHarness::Options o = options;
        o.displayWidth = GetParam().width;
        o.displayHeight = GetParam().height;
        return o;
    }

    void clickAt(float bx, float by) { game.click(map->mOffsetX + bx * map->mScale, map->mOffsetY + by * map->mScale); }

    // The upgrade texts of the battle frame as drawn, each measured with the indicator font
    // (drawn centred on its point at 0.75 of the font's size).
    std::vector<Label> labels()
    {
        render::BMFont* font = game.board().fontByName(L"main_32_1");
        EXPECT_NE(nullptr, font);
        tdtest::RecordingCanvas canvas;
        game.drawBattle(canvas);
        std::vector<Label> out;
        for (const tdtest::Drawn& d : canvas.drawn)
        {
            if (d.kind != tdtest::Drawn::Text || d.name.find(L'%') == std::wstring::npos || !font)
                continue;
            float measured[2] = {0.0f, 0.0f};
            EXPECT_EQ(QL_OK, font->DrawText(nullptr, nullptr, d.name, render::TextFormat{}, measured));
            const float half = measured[1] * d.scaleX * map->mScale * 0.5f;
            out.push_back({d.name, d.x, d.y - half, d.y + half});
        }
        return out;
    }
};

void expectApart(const std::vector<Label>& shown, size_t count)
{
    ASSERT_EQ(count, shown.size());
    for (size_t i = 0; i < shown.size(); ++i)
        for (size_t j = i + 1; j < shown.size(); ++j)
        {
            EXPECT_EQ(shown[i].x, shown[j].x) << "over the same tower";
            EXPECT_TRUE(shown[i].bottom <= shown[j].top || shown[j].bottom <= shown[i].top)
                << "text " << i << " [" << shown[i].top << ", " << shown[i].bottom << "] and text " << j << " ["
                << shown[j].top << ", " << shown[j].bottom << "] overlap";
        }
}
} // namespace

TEST_P(StepLabels, StepsBoughtWhilePausedShowTheirTextsApartUntilTheBattlePlaysOnAndTheyRiseAndGo)
{
    ASSERT_TRUE(game.startLevel(0, 1)) << game.log();
    map = &game.map();
    map->mStats.mCoins = 10000;
    TDSpotFrame* spot = nullptr;
    for (TDSpotFrame& s : map->mScenery->spotFrames)
        if (!spot && !s.hasTower && s.spot && s.spot->open)
            spot = &s;
    ASSERT_NE(nullptr, spot);
    const float x = spot->x + spot->width * 0.5f, y = spot->y + spot->height * 0.5f;
    clickAt(x, y);
    ASSERT_TRUE(playtest::ClickMenuEntry(game, [](i32 id) { return id == kMage; }));
    game.run(10);
    TDTower* tower = map->findTowerAt(x, y);
    ASSERT_NE(nullptr, tower);

    ASSERT_TRUE(game.click(L"pause_btn"));
    game.run(2);
    ASSERT_EQ(0.0f, map->mSpeed) << "paused";
    for (int n = 1; n <= 2; ++n)
    {
        map->mContextMenu.reset();
        clickAt(tower->mX, tower->mY);
        ASSERT_TRUE(map->mContextMenu && map->mContextMenu->kind == TDContextMenu::kTowerTier);
        ASSERT_TRUE(playtest::ClickMenuEntry(game, [](i32 id) { return id == 1; }));
        ASSERT_EQ(n, tower->mTierCount);
    }
    game.run(15); // the ring closes; the battle stands still
    std::vector<Label> shown = labels();
    {
        SCOPED_TRACE("bought while paused");
        expectApart(shown, 2);
        ASSERT_FALSE(map->mIndicators.items.empty());
        EXPECT_EQ(tower->mBaseY - 30.0f, map->mIndicators.items.back()->mY) << "the newest at the tower";
    }
    game.run(30);
    {
        SCOPED_TRACE("a second later, still paused");
        const std::vector<Label> later = labels();
        expectApart(later, 2);
        EXPECT_EQ(shown[0].top, later[0].top) << "nothing rises while paused";
    }
    game.pushAltEnter();
    game.run(3);
    {
        SCOPED_TRACE("after a switch of the screen mode");
        expectApart(labels(), 2);
    }

    ASSERT_TRUE(game.click(L"play_btn"));
    game.run(15);
    {
        SCOPED_TRACE("playing on");
        const std::vector<Label> rising = labels();
        expectApart(rising, 2);
        EXPECT_LT(rising[0].top, shown[0].top);
        EXPECT_LT(rising[1].top, shown[1].top);
    }
    auto texts = [&]
    {
        return std::count_if(map->mIndicators.items.begin(), map->mIndicators.items.end(),
                             [](const TDIndicator* i) { return i->mKind == kIndicatorText; });
    };
    ASSERT_TRUE(game.runUntil([&] { return texts() == 0; }, 3.0f)) << "and they go";
}

INSTANTIATE_TEST_SUITE_P(Displays, StepLabels, ::testing::Values(Display{1920, 1080}, Display{1366, 768}),
                         [](const ::testing::TestParamInfo<Display>& info)
                         { return std::to_string(info.param.width) + "x" + std::to_string(info.param.height); });
