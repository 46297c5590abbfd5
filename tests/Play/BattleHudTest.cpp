// The battle HUD as a player uses it: the control and spell buttons of the running layout, pause
// by focus loss and the way on, the in-game menu's confirmations, the spell buttons across level
// loads, and the menus' options buttons once their dialog has gone.
#include "support/GameHarness.h"
#include "support/TempDir.h"

#include "Core/Layer/TextLayer.h"
#include "Core/Widget/Controls/OptionsDialog.h"
#include "Core/Widget/Controls/TMessageBox.h"
#include "Source/TD/Battle/HUDSpellButton.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Level/TDMapScene.h"
#include "Source/TD/Shell/HUD.h"
#include "Source/TD/Shell/HUDButtonOver.h"
#include "Source/TD/Shell/HUDIngameMenu.h"
#include "Source/TD/Shell/HUDLevelSelect.h"
#include "Source/TD/Shell/HUDMainMenu.h"
#include "Source/TD/Sprites/TDAnimation.h"
#include "Source/TD/Sprites/TDFrameEntry.h"
#include "Source/TD/Units/TDTower.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using testsupport::GameHarness;

namespace
{
bool visible(GameHarness& game, const wchar_t* name)
{
    const TDButtonFrame* button = game.hud().findButton(name);
    return button && button->mVisible;
}

// The battle clock moves over a second of frames.
bool battleMoves(GameHarness& game)
{
    const float time = game.map().mTime;
    game.run(30);
    return game.map().mTime > time;
}

std::vector<std::wstring> spellNames(GameHarness& game)
{
    std::vector<std::wstring> names;
    for (const HUDSpellButton* button : game.hud().mSpellButtons)
        names.push_back(button->mName);
    return names;
}

// The open confirmation box, answered by a click on its button.
bool answer(GameHarness& game, bool yes)
{
    TMessageBox* box = game.dialog<TMessageBox>();
    if (!box)
    {
        ADD_FAILURE() << "no confirmation box";
        return false;
    }
    game.run(10); // the box's show animation
    game.click(yes ? 390.0f : 642.0f, 535.0f);
    game.run(3);
    return game.dialog<TMessageBox>() != box;
}

// A screen's "options" button opens the options twice, each time closed by the dialog's OK (at
// (632, 592)). The first time the pointer rests on the OK: the button is neither drawn pressed nor
// grown. The second time the pointer goes back onto the button while the dialog hides over it:
// once the dialog has gone the button grows, before the pointer moves again.
void optionsTwice(GameHarness& game, HUDButtonOver& button)
{
    const float x = button.mNormal->mX + button.mNormal->mWidth * 0.5f;
    const float y = button.mNormal->mY + button.mNormal->mHeight * 0.5f;
    for (int cycle = 1; cycle <= 2; ++cycle)
    {
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        game.moveTo(x, y);
        game.click(x, y);
        OptionsDialog* dialog = nullptr;
        ASSERT_TRUE(game.runUntil([&] { return (dialog = game.dialog<OptionsDialog>()) != nullptr; }, 1.0f));
        game.run(30); // its show effect
        game.moveTo(632.0f, 592.0f);
        game.click(632.0f, 592.0f);
        if (cycle == 2)
        {
            game.moveTo(x, y);
            ASSERT_NE(nullptr, game.dialog<OptionsDialog>()) << "gone before the pointer came back";
        }
        ASSERT_TRUE(game.runUntil([&] { return game.dialog<OptionsDialog>() == nullptr; }, 3.0f));
        game.run(15);
        EXPECT_EQ(0, button.mPressed) << "drawn pressed";
        if (cycle == 1)
        {
            EXPECT_EQ(0, button.mHovered);
            EXPECT_EQ(1.0f, button.mScale);
        }
        else
        {
            EXPECT_EQ(1, button.mHovered);
            EXPECT_GT(button.mScale, 1.05f) << "the pointer stands on it";
        }
    }
}

bool openMenuAndPick(GameHarness& game, const wchar_t* item)
{
    if (!game.click(L"options_btn") || !game.runUntil([&] { return game.top<HUDIngameMenu>() != nullptr; }, 1.0f))
        return false;
    if (!game.click(item))
        return false;
    game.run(2);
    return true;
}
} // namespace

TEST(BattleHud, FocusLossPausesWithTheMenuAndEveryControlButtonDoesItsJob)
{
    GameHarness game;
    ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
    // Focus loss pauses with the menu, and the play button leads on.
    ASSERT_TRUE(battleMoves(game));

    game.loseFocus();
    ASSERT_TRUE(game.runUntil([&] { return game.top<HUDIngameMenu>() != nullptr; }, 1.0f));
    EXPECT_EQ(kScreenIngameMenu, game.screen());
    EXPECT_FALSE(battleMoves(game));
    game.regainFocus();
    EXPECT_EQ(kScreenIngameMenu, game.screen()) << "focus back does not close the menu";

    ASSERT_TRUE(game.click(L"resume"));
    game.run(2);
    EXPECT_EQ(kScreenBattle, game.screen());
    EXPECT_EQ(nullptr, game.top());
    EXPECT_FALSE(battleMoves(game)) << "resume leaves the battle paused";
    // The way on is plain: the play button shows and pulses, the lit pause button says why.
    EXPECT_TRUE(visible(game, L"play_btn"));
    EXPECT_TRUE(visible(game, L"pause_btn_ac"));
    float largest = 1.0f;
    for (int i = 0; i < 30; ++i)
    {
        game.frame();
        largest = std::max(largest, game.hud().findButton(L"play_btn")->mScale);
    }
    EXPECT_GT(largest, 1.1f);

    ASSERT_TRUE(game.click(L"play_btn"));
    EXPECT_FLOAT_EQ(1.0f, game.map().mSpeed);
    game.moveTo(500.0f, 400.0f); // off the button, which zooms under the pointer
    EXPECT_TRUE(battleMoves(game));
    EXPECT_FLOAT_EQ(1.0f, game.hud().findButton(L"play_btn")->mScale);

    // Every control button of the layout does its job.
    for (const wchar_t* name :
         {L"play_btn", L"play_btn_ac", L"speed_btn", L"speed_btn_ac", L"pause_btn", L"pause_btn_ac", L"options_btn"})
    {
        float x = 0.0f, y = 0.0f;
        EXPECT_TRUE(game.buttonCentre(name, x, y)) << "no " << std::string(name, name + wcslen(name));
    }
    EXPECT_TRUE(visible(game, L"play_btn_ac"));

    ASSERT_TRUE(game.click(L"speed_btn"));
    EXPECT_FLOAT_EQ(2.0f, game.map().mSpeed);
    EXPECT_TRUE(visible(game, L"speed_btn_ac"));
    EXPECT_FALSE(visible(game, L"play_btn_ac"));
    const float time = game.map().mTime;
    game.run(30);
    EXPECT_NEAR(2.0f, game.map().mTime - time, 0.1f) << "a second of frames is two of the battle";

    ASSERT_TRUE(game.click(L"pause_btn"));
    EXPECT_FLOAT_EQ(0.0f, game.map().mSpeed);
    EXPECT_FALSE(battleMoves(game));
    EXPECT_EQ(kScreenBattle, game.screen()) << "the pause button pauses without the menu";
    ASSERT_TRUE(game.click(L"play_btn"));
    EXPECT_FLOAT_EQ(1.0f, game.map().mSpeed);

    ASSERT_TRUE(game.click(L"options_btn"));
    ASSERT_TRUE(game.runUntil([&] { return game.top<HUDIngameMenu>() != nullptr; }, 1.0f));
    EXPECT_EQ(kScreenIngameMenu, game.screen());
    ASSERT_TRUE(game.click(L"resume"));
    ASSERT_TRUE(game.click(L"play_btn"));

    // The menu's options open the options window over it.
    ASSERT_TRUE(game.click(L"options_btn"));
    ASSERT_TRUE(game.runUntil([&] { return game.top<HUDIngameMenu>() != nullptr; }, 1.0f));
    ASSERT_TRUE(game.click(L"options"));
    game.run(2);
    EXPECT_NE(nullptr, game.dialog<OptionsDialog>());
}

TEST(BattleHud, TheNextWaveButtonPaysForTheTimeSavedAndTheCoinLabelRunsToTheNewTotal)
{
    GameHarness game;
    ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
    // The next-wave button brings the first wave at once, with a coin bonus for the time saved.
    ASSERT_FALSE(game.map().mNextWave.buttons.empty());
    const auto next = game.map().mNextWave.buttons.front();
    const i32 coins = game.map().mStats.mCoins;
    const float clock = game.map().mWaves.mClock;
    game.click(static_cast<float>(next.x + next.width / 2), static_cast<float>(next.y + next.height / 2));
    EXPECT_GT(game.map().mStats.mCoins, coins);
    EXPECT_GT(game.map().mWaves.mClock, clock + 1.0f);
    EXPECT_TRUE(game.map().mNextWave.buttons.empty());
    // The coin label runs toward the new total, 4 coins a frame and then 1, and stops there.
    const i32 total = game.map().mStats.mCoins;
    ASSERT_GT(total - coins, 4);
    std::vector<std::wstring> shown{*game.hud().getText(L"text/coins")};
    while (shown.size() < 100 && shown.back() != std::to_wstring(total))
    {
        game.frame();
        shown.push_back(*game.hud().getText(L"text/coins"));
    }
    std::vector<std::wstring> expected;
    for (i32 c = coins; c != total; c += total - c >= 4 ? 4 : 1)
        expected.push_back(std::to_wstring(c));
    expected.push_back(std::to_wstring(total));
    const auto from = std::find(expected.begin(), expected.end(), shown.front());
    ASSERT_NE(expected.end(), from) << "the label shows the counter";
    EXPECT_EQ(std::vector<std::wstring>(from, expected.end()), shown);
    EXPECT_GT(shown.size(), 2u) << "the label runs, it does not jump";
    EXPECT_EQ(L"Wave 1/4", *game.hud().getText(L"text/waves"));
    EXPECT_EQ(L"25/25", *game.hud().getText(L"text/mana"));
}

TEST(BattleHud, ASpellIsChosenCastOnTheFieldAndRechargesAtTheBattlesSpeed)
{
    GameHarness game;
    ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
    EXPECT_EQ(std::string::npos, game.log().find("td/data/spells/")) << "every spell picture is there";
    ASSERT_EQ((std::vector<std::wstring>{L"spell0", L"spell1"}), spellNames(game));

    // A HUD button the battle has no command for, first in the layout, is no spell button.
    auto* banner = new TDButtonFrame();
    banner->mName = L"banner";
    banner->mX = banner->mY = 4.0f;
    banner->mWidth = banner->mHeight = 20.0f;
    game.hud().mButtons.push_back(banner);
    game.hud().mButtons.stableSort([&](const TDButtonFrame* a, const TDButtonFrame* b)
                                   { return a == banner && b != banner; });
    ASSERT_TRUE(game.click(L"banner"));
    EXPECT_EQ(-1, game.map().mSelectedSpell);
    game.hud().mButtons.remove(banner);

    ASSERT_TRUE(game.click(L"spell0"));
    EXPECT_EQ(0, game.map().mSelectedSpell);
    // The cursor follows the pointer over the field; a click there casts.
    game.moveTo(500.0f, 300.0f);
    game.frame();
    ASSERT_NE(nullptr, game.hud().mSpellCast) << "the spell-cast cursor is drawn";
    EXPECT_GT(game.hud().mSpellCast->frameCount(), 1);
    game.click(500.0f, 300.0f);
    EXPECT_EQ(-1, game.map().mSelectedSpell);
    HUDSpellButton* meteor = game.hud().spellButton(0);
    ASSERT_NE(nullptr, meteor);
    EXPECT_EQ(1, meteor->mUsed);
    const float full = meteor->mCooldown;
    EXPECT_GT(full, 1.0f);
    ASSERT_TRUE(game.click(L"spell0"));
    EXPECT_EQ(-1, game.map().mSelectedSpell) << "a recharging spell cannot be chosen";

    ASSERT_TRUE(game.click(L"speed_btn"));
    game.run(30);
    EXPECT_NEAR(full - 2.0f, meteor->mCooldown, 0.1f) << "recharge runs at the battle speed";
    ASSERT_TRUE(game.runUntil([&] { return meteor->mUsed == 0; }, full));
    EXPECT_TRUE(game.click(L"spell0"));
    EXPECT_EQ(0, game.map().mSelectedSpell);
    EXPECT_TRUE(game.click(L"spell0"));
    EXPECT_EQ(-1, game.map().mSelectedSpell) << "a second click puts the spell back";

    // Cast again, it recharges in full once more, at the battle's speed, and is ready again.
    ASSERT_TRUE(game.click(L"spell0"));
    game.moveTo(600.0f, 320.0f);
    game.frame();
    game.click(600.0f, 320.0f);
    EXPECT_EQ(-1, game.map().mSelectedSpell);
    EXPECT_EQ(1, meteor->mUsed);
    EXPECT_FLOAT_EQ(full, meteor->mCooldown) << "the whole recharge again";
    game.run(15);
    EXPECT_NEAR(full - 1.0f, meteor->mCooldown, 0.1f) << "still at the battle speed";
    ASSERT_TRUE(game.runUntil([&] { return meteor->mUsed == 0; }, full));
    EXPECT_NE(nullptr, meteor->mGlow) << "it glows when ready again";
    EXPECT_TRUE(game.click(L"spell0"));
    EXPECT_EQ(0, game.map().mSelectedSpell);
}

TEST(BattleHud, TheMenuAsksBeforeLeavingEachAnswerIsKeptAndLevelLoadsRebuildTheSpellButtons)
{
    GameHarness game;
    ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
    for (const wchar_t* item : {L"restart", L"levels", L"mmenu"})
    {
        ASSERT_TRUE(openMenuAndPick(game, item));
        ASSERT_TRUE(answer(game, false)) << "no confirmation for " << std::string(item, item + wcslen(item));
        EXPECT_EQ(kScreenIngameMenu, game.screen());
        EXPECT_NE(nullptr, game.top<HUDIngameMenu>()) << "cancel keeps the menu";
        // The pointer rests where the box's cancel was: a button of the panel back under it may
        // be lit, every other one is at its own size and picture.
        game.run(15);
        ASSERT_NE(nullptr, game.top<HUDIngameMenu>());
        for (HUDButtonOver* button : game.top<HUDIngameMenu>()->mMenuButtons)
        {
            if (button->contains(642, 535))
                continue;
            const std::string name =
                std::string(item, item + wcslen(item)) + ": " + std::string(button->mName.begin(), button->mName.end());
            EXPECT_EQ(1.0f, button->mScale) << name;
            EXPECT_EQ(0, button->mPressed) << name << " is drawn pressed";
        }
        ASSERT_TRUE(game.click(L"resume"));
        ASSERT_TRUE(game.click(L"play_btn"));
    }

    game.map().mStats.addCoins(500);
    ASSERT_TRUE(openMenuAndPick(game, L"restart"));
    ASSERT_TRUE(answer(game, true));
    ASSERT_TRUE(game.closeUnlockMessages());
    EXPECT_LT(game.map().mStats.mCoins, 500) << "the level started again";
    EXPECT_TRUE(game.map().isLevelLoaded());
    EXPECT_EQ((std::vector<std::wstring>{L"spell0", L"spell1"}), spellNames(game)) << "rebuilt, not added to";
    // A later level with every spell unlocked gets all five slots.
    game.map().mLevel = 2;
    ASSERT_EQ(QL_OK, game.map().loadLevel());
    EXPECT_EQ((std::vector<std::wstring>{L"spell0", L"spell1", L"spell2", L"spell3", L"spell4"}), spellNames(game));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(i, game.hud().spellButton(i)->mSpellId);
    ASSERT_TRUE(game.closeUnlockMessages());
    // The war drum sounds at once, for every tower; its click opens nothing.
    ASSERT_NE(nullptr, game.map().placeTower(0, 10000));
    ASSERT_TRUE(game.click(L"spell4"));
    EXPECT_EQ(-1, game.map().mSelectedSpell);
    EXPECT_EQ(1, game.hud().spellButton(4)->mUsed) << "cast and recharging";
    EXPECT_EQ(nullptr, game.map().mContextMenu.get());

    // A spell button takes its own click: the second level's tower standing by the frost button
    // stays closed when the button is clicked near it.
    game.map().mLevel = 1;
    ASSERT_EQ(QL_OK, game.map().loadLevel());
    ASSERT_TRUE(game.closeUnlockMessages());
    i32 below = -1;
    for (size_t i = 0; i < game.map().mScenery->spotFrames.size(); ++i)
        if (game.map().mScenery->spotFrames[i].name == "#8")
            below = static_cast<i32>(i);
    TDTower* tower = game.map().placeTower(below, 10000);
    ASSERT_NE(nullptr, tower);
    HUDSpellButton* frost = game.hud().spellButton(1);
    const float x = frost->mCentreX, y = frost->mCentreY - 25.0f;
    ASSERT_TRUE(frost->contains(static_cast<i32>(x), static_cast<i32>(y)));
    ASSERT_LT(std::hypot(tower->mX - x, tower->mY - y), 50.0f) << "the tower is within a click's reach";
    game.click(x, y);
    EXPECT_EQ(1, game.map().mSelectedSpell);
    EXPECT_EQ(nullptr, game.map().mContextMenu.get());

    ASSERT_TRUE(openMenuAndPick(game, L"mmenu"));
    ASSERT_TRUE(answer(game, true));
    EXPECT_TRUE(game.runUntil([&] { return game.top<HUDMainMenu>() != nullptr; }, 2.0f));
    EXPECT_EQ(kScreenMainMenu, game.screen());

    ASSERT_TRUE(game.startLevel(0, 0)) << "the main menu leads back in";
    ASSERT_TRUE(openMenuAndPick(game, L"levels"));
    ASSERT_TRUE(answer(game, true));
    EXPECT_TRUE(game.runUntil([&] { return game.top<HUDLevelSelect>() != nullptr; }, 2.0f));
    EXPECT_EQ(kScreenLevels, game.screen());
}

TEST(BattleHud, ALayoutWithoutACaptionPlaceStillAsksWithoutTheCaptionAndSaysSoOnce)
{
    GameHarness::Options options;
    std::string layout = testsupport::ReadBytes(GameHarness::dataDir() / "td/data/mm/layers.xml");
    const size_t caption = layout.find("<Layer name=\"text/caption\"");
    ASSERT_NE(std::string::npos, caption);
    layout.erase(caption, layout.find('\n', caption) + 1 - caption);
    options.dataFiles = {{"td/data/mm/layers.xml", layout}};
    GameHarness game(options);
    ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
    const std::string line = "has no place 'text/caption'";
    // Asked twice: each box opens, without a caption, and answers; the log says so once.
    ASSERT_TRUE(game.click(L"options_btn"));
    ASSERT_TRUE(game.runUntil([&] { return game.top<HUDIngameMenu>() != nullptr; }, 1.0f));
    for (bool yes : {false, true})
    {
        ASSERT_TRUE(game.click(L"levels")) << "cancel keeps the menu";
        game.run(2);
        TMessageBox* box = game.dialog<TMessageBox>();
        ASSERT_NE(nullptr, box) << game.log();
        EXPECT_EQ(nullptr, box->mCaption);
        ASSERT_NE(nullptr, box->mMessage);
        EXPECT_EQ(GameHarness::localized(L"progress_confirm_text"), box->mMessage->mText);
        ASSERT_TRUE(answer(game, yes));
        EXPECT_EQ(1, GameHarness::occurrences(game.log(), line));
    }
    EXPECT_TRUE(game.runUntil([&] { return game.top<HUDLevelSelect>() != nullptr; }, 2.0f));
    EXPECT_EQ(kScreenLevels, game.screen());
}

TEST(BattleHud, TheOptionsButtonsAreLitAfterTheirDialogOnlyWhileThePointerIsOverThem)
{
    GameHarness game;
    ASSERT_TRUE(game.reachMainMenu());
    HUDMainMenu* menu = game.top<HUDMainMenu>();
    ASSERT_NE(nullptr, menu);
    HUDButtonOver* options = menu->findMenuButton(L"options");
    ASSERT_NE(nullptr, options);
    {
        SCOPED_TRACE("main menu");
        optionsTwice(game, *options);
    }

    ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
    ASSERT_TRUE(game.click(L"options_btn"));
    HUDIngameMenu* pause = nullptr;
    ASSERT_TRUE(game.runUntil([&] { return (pause = game.top<HUDIngameMenu>()) != nullptr; }, 1.0f));
    game.run(20); // its show effect
    options = nullptr;
    for (HUDButtonOver* button : pause->mMenuButtons)
        if (button->mName == L"options")
            options = button;
    ASSERT_NE(nullptr, options);
    {
        SCOPED_TRACE("pause menu");
        optionsTwice(game, *options);
    }
    EXPECT_EQ(kScreenIngameMenu, game.screen());
}
