// The window's icon through the real start-up: the data folder's picture reaches the window as it
// is drawn; a missing or damaged one is logged once, and the window opens without an icon.
#include "Image/ImageBuilders.h"
#include "Platform/Os/NullVideo.h"
#include "support/GameHarness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

namespace fs = std::filesystem;
using testsupport::GameHarness;

namespace
{

// A game whose data folder has a "data" folder of its own, changed before the window opens.
GameHarness::Options WithIconFile(std::function<void()> change)
{
    GameHarness::Options options;
    options.logos = false;
    options.afterConfig = [change]
    {
        // The working folder is the game's data folder now; its "data" is a link to the shared copy.
        fs::remove("data");
        fs::create_directory("data");
        fs::copy_file(GameHarness::dataDir() / "data" / "game.xml", "data/game.xml");
        fs::copy_file(GameHarness::dataDir() / "data" / "icon.png", "data/icon.png");
        change();
    };
    return options;
}
} // namespace

TEST(WindowIcon, TheDataFoldersPictureBecomesTheWindowsIcon)
{
    u32 width = 0, height = 0;
    std::vector<u32> expected;
    ASSERT_TRUE(imagetest::DecodePng((GameHarness::dataDir() / "data" / "icon.png").string(), width, height, expected));
    ASSERT_GE(width, 32u);
    ASSERT_GE(height, 32u);

    GameHarness game;
    ASSERT_TRUE(game.started());
    const os::NullWindow& window = game.window();
    EXPECT_EQ(window.IconWidth(), static_cast<int>(width));
    EXPECT_EQ(window.IconHeight(), static_cast<int>(height));
    EXPECT_TRUE(window.IconPixels() == expected) << "the picture reaches the window upright, in its own colours";
    EXPECT_EQ(GameHarness::occurrences(game.log(), "The window has no icon"), 0);
}

TEST(WindowIcon, AMissingOrDamagedPictureIsLoggedOnceAndTheWindowOpensWithoutAnIcon)
{
    const struct
    {
        const char* what;
        std::function<void()> change;
        const char* reason;
    } cases[] = {
        {"missing", [] { fs::remove("data/icon.png"); }, "the file is missing or cannot be opened"},
        {"cut short", [] { fs::resize_file("data/icon.png", fs::file_size("data/icon.png") / 2); },
         "it is not a picture the game can read"},
        {"not a picture", [] { std::ofstream("data/icon.png", std::ios::trunc) << "no picture here"; },
         "it is not a picture the game can read"},
        {"empty", [] { std::ofstream("data/icon.png", std::ios::trunc); }, "it is not a picture the game can read"},
        {"a folder in its place",
         []
         {
             fs::remove("data/icon.png");
             fs::create_directory("data/icon.png");
         },
         "the file is missing or cannot be opened"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        GameHarness game(WithIconFile(c.change));
        ASSERT_TRUE(game.started());
        EXPECT_TRUE(game.window().IsCreated());
        EXPECT_EQ(game.window().IconWidth(), 0);
        EXPECT_TRUE(game.window().IconPixels().empty());
        const std::string log = game.log();
        EXPECT_EQ(GameHarness::occurrences(log, std::string("The window has no icon: 'data/icon.png': ") + c.reason), 1)
            << log;
        EXPECT_EQ(GameHarness::occurrences(log, "The window has no icon"), 1);
        EXPECT_TRUE(game.run(3)) << "the game goes on";
    }
}
