// A hand-edited or damaged profile through the whole game: numbers out of range and levels the
// game lacks neither lock the player out nor show as they stand, and they stay in the file.
#include "support/GameHarness.h"

#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/TDProgress.h"
#include "Source/TD/Shell/HUD.h"
#include "Source/TD/Shell/HUDEpisodeSelectIOS.h"
#include "Source/TD/Shell/HUDLevelSelect.h"
#include "Source/TD/Shell/HUDMainMenu.h"
#include "Source/TD/Shell/HUDShopWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testsupport::GameHarness;

namespace
{
// Two levels of the first episode at -5 stars, a third at 2 (it counts), negative crystals, and
// levels the game does not have, in numbers that would otherwise fill the star total.
std::string damagedProfiles()
{
    std::string levels =
        R"(<level n="0" episode="0" mode="0" stars="-5"/><level n="1" episode="0" mode="0" stars="-5"/>)"
        R"(<level n="2" episode="0" mode="0" stars="2"/>)";
    for (int level = 0; level < 300; ++level)
        levels += "<level n=\"" + std::to_string(level) + R"(" episode="7" mode="0" stars="3"/>)";
    // The file's first profile is the store's hidden default one.
    return R"(<Profiles currentProfile="Ann"><Profile name="Player01234567890123456789"/><Profile name="Ann"><fs v="1"/><mode v="0"/><gems amount="-5"/>)"
           R"(<tutorial avail="0"/><levels>)" +
           levels + "</levels></Profile></Profiles>";
}
} // namespace

// The episode selection counts only the game's levels, each within 0 to 3 stars, so the first
// episode stays open; its level selection and the battle show no crystals below 0, and its first
// level plays. From the main menu the shop shows 0 crystals too. Each damaged value is logged
// once; the file keeps the stars and levels (the crystals are the game's counter, stored as it
// holds them). At two display sizes.
TEST(DamagedProgress, OutOfRangeStarsCrystalsAndForeignLevelsLeaveTheFirstEpisodeOpenAtEitherSize)
{
    for (const auto& [width, height] : {std::pair(1920, 1080), std::pair(1366, 768)})
    {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        GameHarness::Options options;
        options.logos = false;
        options.displayWidth = width;
        options.displayHeight = height;
        options.profiles = damagedProfiles();
        GameHarness game(options);
        ASSERT_TRUE(game.started()) << game.log();
        ASSERT_EQ(L"Ann", game.map().mProgress->currentName());

        HUDEpisodeSelectIOS* episodes = game.reachEpisodeSelect();
        ASSERT_NE(nullptr, episodes);
        ASSERT_TRUE(game.run(3));
        EXPECT_EQ(L"2/" + std::to_wstring(9LL * game.map().getTotalLevelCount()),
                  GameHarness::text(episodes, L"stars"));
        ASSERT_GE(episodes->mCarousel->count(), 1);
        EXPECT_EQ(nullptr, episodes->mCarousel->plates[0].lock) << "the first episode is open";
        EXPECT_TRUE(game.map().isEpisodeUnlocked(0));

        ASSERT_TRUE(game.click(L"play"));
        HUDLevelSelect* levels = nullptr;
        ASSERT_TRUE(game.runUntil([&] { return (levels = game.top<HUDLevelSelect>()) != nullptr; }, 2.0f));
        EXPECT_EQ(L"0", GameHarness::text(levels, L"gems"));
        ASSERT_FALSE(levels->mPlates.empty());
        const LevelPlate& first = levels->mPlates.front();
        EXPECT_TRUE(first.open);
        EXPECT_EQ(0, first.stars) << "-5 stars show as none";
        game.click(static_cast<float>(first.x + first.width / 2), static_cast<float>(first.y + first.height / 2));
        ASSERT_TRUE(game.closeUnlockMessages()) << game.log();
        EXPECT_EQ(kScreenBattle, game.screen());
        EXPECT_EQ(0, game.map().mLevel);
        EXPECT_EQ(0, game.map().mEpisode);
        ASSERT_TRUE(game.run(10));
        EXPECT_EQ(L"0", GameHarness::text(&game.hud(), L"text/crystals"));

        const std::string log = game.log();
        EXPECT_EQ(2, GameHarness::occurrences(log, "stars=")) << log;
        EXPECT_EQ(1, GameHarness::occurrences(log, "amount=")) << log;
        EXPECT_EQ(1, GameHarness::occurrences(log, "not counted")) << log;
        const std::string saved = game.profilesFile();
        EXPECT_EQ(2, GameHarness::occurrences(saved, R"(stars="-5")")) << "the file keeps what it held";
        EXPECT_EQ(300, GameHarness::occurrences(saved, R"(episode="7")"));
        // The start joins the stored crystals to the battle's counter, which stores what it holds.
        EXPECT_EQ(1, GameHarness::occurrences(saved, R"(<gems amount="0"/>)"));
    }

    // The shop, reached from the main menu of a new start, shows no crystals below 0.
    GameHarness::Options options;
    options.logos = false;
    options.profiles = damagedProfiles();
    GameHarness game(options);
    ASSERT_TRUE(game.reachMainMenu()) << game.log();
    ASSERT_TRUE(game.click(L"shop"));
    HUDShopWindow* shop = nullptr;
    ASSERT_TRUE(game.runUntil([&] { return (shop = game.top<HUDShopWindow>()) != nullptr; }, 2.0f));
    EXPECT_EQ(L"0", GameHarness::text(shop, L"gems"));
}

// A name holding a carriage return and one holding a reference to NUL, through two starts of the
// game: each reads with U+FFFD in place (so the two names stay two, and the player keeps his
// profile and crystals), and the file the first start saves is the one the second saves.
TEST(DamagedProgress, NamesASaveCannotKeepAreReadRepairedAndKeptByteForByteFromStartToStart)
{
    std::string profiles = R"(<Profiles currentProfile="Ann&#13;Lee"><Profile name="Ann&#13;Lee"><fs v="1"/>)"
                           R"(<tutorial avail="0"/><gems amount="7"/></Profile><Profile name="Bo&#0;b"/>)"
                           R"(<Profile name="Bo&#0;c"/></Profiles>)";
    std::string saved;
    for (int start = 1; start <= 3; ++start)
    {
        SCOPED_TRACE("start " + std::to_string(start));
        GameHarness::Options options;
        options.logos = false;
        options.profiles = profiles;
        GameHarness game(options);
        ASSERT_TRUE(game.started()) << game.log();
        ASSERT_TRUE(game.reachMainMenu());
        TDProgress& progress = *game.map().mProgress;
        EXPECT_EQ(L"Ann\uFFFDLee", progress.currentName());
        EXPECT_EQ(7, progress.getGems());
        // The list shown leaves out the file's first profile, as ever.
        EXPECT_EQ((std::vector<std::wstring>{L"Bo\uFFFDb", L"Bo\uFFFDc"}), progress.profileNames());
        progress.flush();
        const std::string written = game.profilesFile();
        if (start > 1)
        {
            EXPECT_EQ(saved, written);
        }
        const std::string log = game.log();
        // Each repaired name, those of the references to NUL too.
        EXPECT_EQ(start == 1 ? 3 : 0, GameHarness::occurrences(log, "cannot keep")) << log;
        EXPECT_EQ(start == 1 ? 1 : 0, GameHarness::occurrences(log, "references to NUL")) << log;
        saved = written;
        profiles = written;
    }
}
