// Profiles switched as a player switches them: a new profile keeps the screen mode the game is in
// and stores it, each profile gets its own mode back when chosen, and nothing of one player (bought
// upgrades, crystals, game mode, volumes, the tutorial's page) shows for another.
#include "DropClicks.h"
#include "ShopClicks.h"
#include "support/GameHarness.h"

#include "Core/Base/Constants.h"
#include "Core/Media/Sound/SoundSystem.h"
#include "Core/Widget/Controls/ControlHost.h"
#include "Platform/Os/NullVideo.h"
#include "Source/TD/Battle/TDContextMenu.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/TDProgress.h"
#include "Source/TD/Shell/GameWindow.h"
#include "Source/TD/Shell/HUD.h"
#include "Source/TD/Shell/HUDEpisodeSelectIOS.h"
#include "Source/TD/Shell/HUDMainMenu.h"
#include "Source/TD/Shell/HUDModalInput.h"
#include "Source/TD/Shell/HUDProfiles.h"
#include "Source/TD/Shell/TDTutorial.h"
#include "Source/TD/Units/TDDrops.h"
#include "Source/TD/Units/TDUnit.h"

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

using testsupport::GameHarness;

namespace
{
// The "fs" a named profile holds in the profiles file as written: "0", "1", or "none".
std::string storedMode(GameHarness& game, const std::string& name)
{
    tinyxml2::XMLDocument file;
    const std::string text = game.profilesFile();
    if (file.Parse(text.c_str(), text.size()) != tinyxml2::XML_SUCCESS || !file.RootElement())
        return "unreadable";
    for (auto* p = file.RootElement()->FirstChildElement("Profile"); p; p = p->NextSiblingElement("Profile"))
        if (const char* own = p->Attribute("name"); own && name == own)
        {
            const tinyxml2::XMLElement* fs = p->FirstChildElement("fs");
            const char* v = fs ? fs->Attribute("v") : nullptr;
            return v ? v : "none";
        }
    return "no such profile";
}

std::string narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

bool onMainMenu(GameHarness& game)
{
    return game.runUntil([&] { return game.top<HUDMainMenu>() != nullptr && game.screen() == kScreenMainMenu; }, 3.0f);
}

// From the main menu to the profiles screen.
HUDProfiles* openProfiles(GameHarness& game)
{
    HUDProfiles* screen = nullptr;
    if (!game.click(L"profile") || !game.runUntil([&] { return (screen = game.top<HUDProfiles>()) != nullptr; }, 1.0f))
        return nullptr;
    return screen;
}

// On the profiles screen: "create", the name typed over the offered one, "ok".
bool createProfile(GameHarness& game, HUDProfiles& screen, const std::wstring& name)
{
    if (!game.click(screen, L"create"))
        return false;
    auto* input = game.top<HUDModalInput>();
    if (!input)
        return false;
    while (!input->mText.empty())
        (void)game.board().OnKeyDown(HUDModalInput::kBackspace);
    game.type(name);
    return game.click(*input, L"ok") && game.top<HUDProfiles>() == &screen && game.run(3);
}

// On the profiles screen: a click on the line that shows the name.
bool chooseProfile(GameHarness& game, HUDProfiles& screen, const std::wstring& name)
{
    for (int line = 1; line <= HUDProfiles::kMaxProfiles; ++line)
        if (GameHarness::text(&screen, L"profile" + std::to_wstring(line)) == name)
        {
            const TDFrameEntry* area = screen.mTextAreas.at(L"profile" + std::to_wstring(line)).get();
            game.click(area->mX + 10.0f, area->mY + area->mHeight * 0.5f);
            return game.run(3) && game.map().mProgress->currentName() == name;
        }
    return false;
}

// From the main menu to the profiles screen, where the name is made or chosen; the screen, or null.
HUDProfiles* switchProfile(GameHarness& game, const std::wstring& name, bool make)
{
    HUDProfiles* screen = openProfiles(game);
    if (!screen || !(make ? createProfile(game, *screen, name) : chooseProfile(game, *screen, name)))
        return nullptr;
    return screen;
}

// From the profiles screen back to the main menu.
bool leaveProfiles(GameHarness& game, HUDProfiles& screen) { return game.click(screen, L"back") && onMainMenu(game); }

// From the battle through the in-game menu's "mmenu", confirmed, to the main menu.
bool leaveBattle(GameHarness& game)
{
    if (!game.click(L"options_btn") || !game.runUntil([&] { return game.screen() == kScreenIngameMenu; }, 1.0f) ||
        !game.click(L"mmenu"))
        return false;
    game.run(10); // the box's show animation
    game.click(390.0f, 535.0f);
    return onMainMenu(game);
}

// What the shop shows on each section it opens: per upgrade the stars lit and the next step's
// text; and the crystals.
struct ShopView
{
    std::map<i32, std::pair<u32, std::wstring>> plates;
    std::wstring gems;
    bool operator==(const ShopView&) const = default;
};

ShopView readShop(GameHarness& game, HUDShopWindow& shop)
{
    ShopView view;
    for (int tab = 0; tab < HUDShopWindow::kSections; ++tab)
    {
        if (!shop.sectionEnabled(tab) || (playtest::showTab(game, shop, tab, -1), shop.currentTab != tab))
            continue;
        for (const auto& plate : shop.plates)
            view.plates[plate->upgradeId] = {plate->starMask, plate->descriptionText};
    }
    view.gems = GameHarness::text(&shop, L"gems");
    return view;
}

HUDShopWindow* openShop(GameHarness& game)
{
    HUDShopWindow* shop = nullptr;
    if (!game.click(L"shop") || !game.runUntil([&] { return (shop = game.top<HUDShopWindow>()) != nullptr; }, 2.0f))
        return nullptr;
    return shop;
}

bool leaveShop(GameHarness& game) { return game.click(L"back_ac") && onMainMenu(game); }

// A build entry of the ring: the tower kind, its price and its upgraded strength and reach.
struct RingEntry
{
    i32 id = 0;
    float cost = 0.0f, strength = 0.0f, radius = 0.0f;
    bool operator==(const RingEntry&) const = default;
};

// What the battle shows of the player: mode, crystals, the bonuses of the bought upgrades and the
// ring of a free spot, clicked open.
struct BattleView
{
    TDDifficulty mode = kDifficultyEasy;
    std::wstring crystals;
    i32 healthBonus = 0;
    float startBudgetBonus = 0.0f, enemyCostBonus = 0.0f;
    std::vector<RingEntry> ring;
    bool operator==(const BattleView&) const = default;
};

BattleView readBattle(GameHarness& game)
{
    TDMap& map = game.map();
    BattleView view;
    view.mode = map.mMode;
    view.crystals = GameHarness::text(&game.hud(), L"text/crystals");
    view.healthBonus = map.mHealthBonus;
    view.startBudgetBonus = map.mStartBudgetBonus;
    view.enemyCostBonus = map.mEnemyCostBonus;
    const TDSpotFrame* free = nullptr;
    for (const TDSpotFrame& spot : map.mScenery->spotFrames)
        if (!free && !spot.hasTower && spot.spot && spot.spot->open)
            free = &spot;
    if (!free)
        return view;
    game.click((static_cast<float>(free->x) + free->width * 0.5f) * map.mScale + map.mOffsetX,
               (static_cast<float>(free->y) + free->height * 0.5f) * map.mScale + map.mOffsetY);
    auto open = [&] { return map.mContextMenu && map.mContextMenu->state == TDContextMenu::kOpen; };
    if (!game.runUntil(open, 1.0f) || map.mContextMenu->kind != TDContextMenu::kBuild)
        return view;
    for (const auto& item : map.mContextMenu->items)
        if (item->prototype)
            view.ring.push_back({item->id, item->cost, item->prototype->strength, item->prototype->radius});
    map.mContextMenu->close();
    game.run(10);
    return view;
}

float musicVolume() { return SoundSystem::Instance()->GetMusicVolume(); }
float soundVolume() { return SoundSystem::Instance()->GetSoundVolume(); }
} // namespace

// In a window, a new profile (offered by "play", or made on the profiles screen) keeps the window
// and stores it; full screen, a new one stays full screen. Chosen again, each profile gets its own
// mode back, round after round. On two display sizes.
TEST(ProfileSwitch, ANewProfileKeepsTheScreenModeItIsMadeInAndEachProfileGetsItsOwnModeBack)
{
    for (const auto& [width, height] : {std::pair(1920, 1080), std::pair(2560, 1440)})
    {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        GameHarness::Options options;
        options.logos = false;
        options.displayWidth = width;
        options.displayHeight = height;
        GameHarness game(options);
        ASSERT_TRUE(game.started()) << game.log();
        EXPECT_FALSE(game.windowed()) << "the first start, without a profiles file, is full screen";
        EXPECT_FALSE(gui::ControlHost::Get()->IsWindowed());
        ASSERT_TRUE(game.reachMainMenu());

        // Alt+Enter: a window, stored with the nameless player.
        game.pushAltEnter();
        ASSERT_TRUE(game.runUntil([&] { return game.windowed(); }, 1.0f));
        EXPECT_EQ((width - 1366) / 2, game.window().Desc().x) << "centred on this display";
        EXPECT_EQ("0", storedMode(game, narrow(base::kDefaultProfileName)));

        // "play" offers a name; taken, the new player plays on in the window.
        HUDEpisodeSelectIOS* episodes = game.reachEpisodeSelect();
        ASSERT_NE(nullptr, episodes);
        const std::wstring first = game.map().mProgress->currentName();
        ASSERT_FALSE(first.empty());
        ASSERT_TRUE(game.run(10));
        EXPECT_TRUE(game.windowed()) << "a new profile does not change the screen";
        EXPECT_TRUE(gui::ControlHost::Get()->IsWindowed());
        EXPECT_EQ("0", storedMode(game, narrow(first)));

        // One made on the profiles screen keeps the window too; switched to full screen, that
        // mode is its own.
        ASSERT_TRUE(game.click(L"back") && onMainMenu(game));
        HUDProfiles* screen = openProfiles(game);
        ASSERT_NE(nullptr, screen);
        ASSERT_TRUE(createProfile(game, *screen, L"Bob"));
        EXPECT_TRUE(game.windowed());
        EXPECT_EQ("0", storedMode(game, "Bob"));
        game.pushAltEnter();
        ASSERT_TRUE(game.runUntil([&] { return !game.windowed(); }, 1.0f));
        EXPECT_EQ("1", storedMode(game, "Bob"));
        EXPECT_EQ("0", storedMode(game, narrow(first)));

        // Full screen, a new profile stays full screen and stores that.
        ASSERT_TRUE(createProfile(game, *screen, L"Cid"));
        EXPECT_FALSE(game.windowed());
        EXPECT_EQ("1", storedMode(game, "Cid"));

        for (int round = 0; round < 2; ++round)
        {
            SCOPED_TRACE("round " + std::to_string(round));
            ASSERT_TRUE(chooseProfile(game, *screen, first));
            EXPECT_TRUE(game.windowed()) << "the first player's window";
            EXPECT_TRUE(gui::ControlHost::Get()->IsWindowed());
            ASSERT_TRUE(chooseProfile(game, *screen, L"Bob"));
            EXPECT_FALSE(game.windowed()) << "Bob's full screen";
            ASSERT_TRUE(chooseProfile(game, *screen, L"Cid"));
            EXPECT_FALSE(game.windowed()) << "Cid's full screen";
        }
        EXPECT_EQ("0", storedMode(game, narrow(first)));
        EXPECT_EQ("1", storedMode(game, "Bob"));
        EXPECT_EQ("1", storedMode(game, "Cid"));
        EXPECT_TRUE(leaveProfiles(game, *screen));
        EXPECT_FALSE(game.windowed());
    }
}

// A player who bought upgrades, holds crystals, plays in another mode at other volumes; a second
// player, made and chosen after, sees none of it in the shop, the battle or the sound, and the
// first, chosen again, has it all back; twice over.
TEST(ProfileSwitch, ANewPlayerSeesNoneOfTheFirstPlayersUpgradesCrystalsModeOrVolumesAndTheFirstGetsThemBack)
{
    GameHarness::Options options = GameHarness::threeStarPlayer(
        [](TDProgress& progress)
        {
            progress.setGems(1000);
            progress.setMode(kDifficultyHard);
            progress.setMusicVolume(0.3f);
            progress.setSoundVolume(0.6f);
        });
    ASSERT_FALSE(options.profiles.empty());
    options.logos = false;
    GameHarness game(options);
    ASSERT_TRUE(game.started()) << game.log();
    ASSERT_TRUE(game.reachMainMenu());
    TDMap& map = game.map();
    const std::wstring first = map.mProgress->currentName();
    ASSERT_FALSE(first.empty());
    EXPECT_FLOAT_EQ(0.3f, musicVolume()) << "the menu's tune plays at the player's volume";

    // The first player buys the first step of every upgrade the shop offers.
    HUDShopWindow* shop = openShop(game);
    ASSERT_NE(nullptr, shop);
    const ShopView offered = readShop(game, *shop);
    ASSERT_FALSE(offered.plates.empty());
    for (int tab = 0; tab < HUDShopWindow::kSections; ++tab)
        for (const auto& [id, plate] : offered.plates)
            if (playtest::showTab(game, *shop, tab, id))
            {
                EXPECT_TRUE(playtest::buy(game, *shop, tab, id)) << "upgrade " << id;
            }
    const ShopView firstShop = readShop(game, *shop);
    EXPECT_NE(offered, firstShop);
    ASSERT_NE(L"1000", firstShop.gems) << "crystals were spent";
    ASSERT_TRUE(leaveShop(game));
    ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
    const BattleView firstBattle = readBattle(game);
    ASSERT_FALSE(firstBattle.ring.empty());
    EXPECT_EQ(kDifficultyHard, firstBattle.mode);
    EXPECT_EQ(firstShop.gems, firstBattle.crystals);
    ASSERT_TRUE(leaveBattle(game));

    // A second player: made on the profiles screen, and chosen again in the second round.
    HUDProfiles* screen = nullptr;
    ShopView secondShop;
    for (int round = 0; round < 2; ++round)
    {
        SCOPED_TRACE("round " + std::to_string(round));
        screen = switchProfile(game, L"Bob", round == 0);
        ASSERT_NE(nullptr, screen);
        EXPECT_EQ(kDifficultyEasy, map.mMode);
        EXPECT_EQ(0, map.mStats.mGems);
        EXPECT_FLOAT_EQ(1.0f, musicVolume()) << "the tune plays on at the new player's volume";
        EXPECT_FLOAT_EQ(1.0f, soundVolume());
        ASSERT_TRUE(leaveProfiles(game, *screen));

        shop = openShop(game);
        ASSERT_NE(nullptr, shop);
        const ShopView view = readShop(game, *shop);
        EXPECT_EQ(L"0", view.gems);
        ASSERT_FALSE(view.plates.empty());
        for (const auto& [id, plate] : view.plates)
            EXPECT_EQ(0u, plate.first) << "upgrade " << id << " shows a bought step";
        if (round == 1)
        {
            EXPECT_EQ(secondShop, view);
        }
        secondShop = view;
        ASSERT_TRUE(leaveShop(game));

        ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
        const BattleView battle = readBattle(game);
        EXPECT_EQ(kDifficultyEasy, battle.mode);
        EXPECT_EQ(L"0", battle.crystals);
        EXPECT_EQ(std::tuple(0, 0.0f, 0.0f),
                  std::tuple(battle.healthBonus, battle.startBudgetBonus, battle.enemyCostBonus));
        ASSERT_EQ(firstBattle.ring.size(), battle.ring.size());
        for (const RingEntry& entry : battle.ring)
        {
            const TDPrototype* sheet = map.findPrototype(entry.id);
            ASSERT_NE(nullptr, sheet);
            EXPECT_EQ(std::tuple(sheet->cost, sheet->strength, sheet->radius),
                      std::tuple(entry.cost, entry.strength, entry.radius))
                << "tower " << entry.id << " as the sheet has it";
        }
        EXPECT_NE(firstBattle, battle);
        ASSERT_TRUE(leaveBattle(game));

        // The first player, chosen again, has everything back.
        screen = switchProfile(game, first, false);
        ASSERT_NE(nullptr, screen);
        EXPECT_EQ(kDifficultyHard, map.mMode);
        EXPECT_FLOAT_EQ(0.3f, musicVolume());
        EXPECT_FLOAT_EQ(0.6f, soundVolume());
        ASSERT_TRUE(leaveProfiles(game, *screen));
        shop = openShop(game);
        ASSERT_NE(nullptr, shop);
        EXPECT_EQ(firstShop, readShop(game, *shop));
        ASSERT_TRUE(leaveShop(game));
        ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
        EXPECT_EQ(firstBattle, readBattle(game));
        ASSERT_TRUE(leaveBattle(game));
    }
}

// A tutorial page on show stays with the player who woke it: the first player's shop page, woken
// by a crystal picked up and waiting over the menus for the shop, never shows over a second
// player's shop, nor do its step's holds reach that player; the first, chosen again, has its own
// steps back; twice over.
TEST(ProfileSwitch, ATutorialPageAndItsHoldsStayWithThePlayerWhoWokeThem)
{
    std::string steps;
    for (int id = 0; id <= 5; ++id)
        steps += "<step id=\"" + std::to_string(id) + "\" state=\"2\"/>";
    GameHarness::Options options;
    options.tutorial = true;
    options.logos = false;
    options.profiles = "<Profiles currentProfile=\"Ann\"><Profile name=\"Player01234567890123456789\"/>"
                       "<Profile name=\"Ann\" version=\"4\"><tutorial avail=\"1\">" +
                       steps + "</tutorial></Profile></Profiles>";
    GameHarness game(options);
    ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
    TDMap& map = game.map();
    TDTutorial& tutorial = *TDTutorial::Instance();
    ASSERT_EQ(L"Ann", map.mProgress->currentName());
    auto states = [&]
    {
        std::vector<TDTutorialStepState> out;
        for (const TDTutorialStep& step : tutorial.steps())
            out.push_back(step.state);
        return out;
    };
    ASSERT_TRUE(map.mTutorialActive);
    ASSERT_FALSE(tutorial.isVisible());

    // A foe falls, its crystal is picked up: the shop's page wakes, and stays through the win.
    ASSERT_TRUE(playtest::pickUpCrystal(game));
    ASSERT_TRUE(tutorial.pageShown());
    const std::vector<TDTutorialStepState> firstStates = states();
    ASSERT_EQ(kStepActive, firstStates.back());
    map.showVictory();
    ASSERT_TRUE(game.runUntil([&] { return game.click(L"menu") && game.screen() == kScreenLevels; }, 10.0f));
    ASSERT_TRUE(game.click(L"back") && game.runUntil([&] { return game.screen() == kScreenEpisodes; }, 2.0f));
    ASSERT_TRUE(game.click(L"back") && onMainMenu(game));
    ASSERT_TRUE(tutorial.isVisible()) << "the page waits for the shop";
    game.hud().setShopBlock(1); // as a step that holds the shop would

    HUDProfiles* screen = nullptr;
    for (int round = 0; round < 2; ++round)
    {
        SCOPED_TRACE("round " + std::to_string(round));
        screen = switchProfile(game, L"Bob", round == 0);
        ASSERT_NE(nullptr, screen);
        EXPECT_TRUE(map.mTutorialActive);
        EXPECT_FALSE(tutorial.isVisible());
        EXPECT_EQ(0, game.hud().mShopBlock);
        for (TDTutorialStepState state : states())
            EXPECT_EQ(kStepWaiting, state);
        ASSERT_TRUE(leaveProfiles(game, *screen));
        HUDShopWindow* shop = openShop(game);
        ASSERT_NE(nullptr, shop);
        ASSERT_TRUE(game.run(5));
        EXPECT_FALSE(tutorial.pageShown()) << "no page of the first player's over the shop";
        ASSERT_TRUE(leaveShop(game));

        screen = switchProfile(game, L"Ann", false);
        ASSERT_NE(nullptr, screen);
        EXPECT_TRUE(map.mTutorialActive);
        EXPECT_EQ(firstStates, states());
        ASSERT_TRUE(leaveProfiles(game, *screen));
    }
}
