// The first level's tutorial as a new player meets it: every page followed by doing what it
// asks, through the real game; its skip button (its zoom and its edges), and skipping, which
// lasts past a restart of the game; and a level restarted in the middle of a page.
#include "RingClicks.h"
#include "support/GameHarness.h"

#include "Core/Layer/ImageLayer.h"
#include "Core/Layer/TextLayer.h"
#include "Core/Media/Image/Image.h"
#include "Source/TD/Battle/HUDSpellButton.h"
#include "Source/TD/Battle/TDContextMenu.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Data/TDProgress.h"
#include "Source/TD/Shell/GameWindow.h"
#include "Source/TD/Shell/HUD.h"
#include "Source/TD/Shell/HUDConfirmTutorialCancelDialog.h"
#include "Source/TD/Shell/HUDMainMenu.h"
#include "Source/TD/Shell/HUDModalDialog.h"
#include "Source/TD/Shell/HUDModalInput.h"
#include "Source/TD/Shell/HUDProfiles.h"
#include "Source/TD/Shell/TDTutorial.h"
#include "Source/TD/Units/TDDrops.h"
#include "Source/TD/Units/TDTower.h"
#include "TD/DrawRecorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

using testsupport::GameHarness;

namespace
{
GameHarness::Options WithTutorial()
{
    GameHarness::Options options;
    options.tutorial = true;
    options.logos = false;
    return options;
}

TDTutorial& Tutorial() { return *TDTutorial::Instance(); }

// The id of the step whose page is up, -1 for none.
i32 ActiveStep()
{
    for (const TDTutorialStep& step : Tutorial().steps())
        if (step.state == kStepActive)
            return step.id;
    return -1;
}

std::wstring PageText()
{
    return Tutorial().shownTexts().empty() ? std::wstring() : Tutorial().shownTexts().front()->mText;
}

using playtest::ClickMenuEntry;

// A text layer with the text is drawn somewhere under the layer (it and its parents visible).
bool ShowsText(const layer::Layer& layer, const std::wstring& text)
{
    if (!layer.mVisible)
        return false;
    if (auto* shown = dynamic_cast<const layer::TextLayer*>(&layer); shown && shown->mText == text)
        return true;
    for (const layer::Layer* child : layer.GetChildren())
        if (ShowsText(*child, text))
            return true;
    return false;
}

void ConfirmDialog(GameHarness& game, const wchar_t* answer)
{
    auto* dialog = dynamic_cast<HUDModalDialog*>(game.board().mModalWindow.get());
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(game.click(*dialog, answer));
}
} // namespace

TEST(TutorialPlay, ANewPlayerFollowsEveryPageOfTheFirstLevel)
{
    GameHarness game(WithTutorial());
    ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
    TDMap& map = game.map();
    ASSERT_GE(Tutorial().steps().size(), 6u);

    // 1. Build on the highlighted spot: the others do not open.
    EXPECT_EQ(0, ActiveStep());
    EXPECT_TRUE(Tutorial().pageShown());
    EXPECT_EQ(LocalStrings::Instance()->get(L"tut_spot"), PageText());
    EXPECT_EQ(2, game.hud().uiBlock());
    ASSERT_TRUE(game.run(300)) << "ten seconds of reading";
    EXPECT_TRUE(map.mWaves.mUnits.empty()) << "the battle waits for the first tower";
    game.click(330.0f, 300.0f); // spot #1
    EXPECT_EQ(nullptr, map.mContextMenu.get()) << "only the named spot opens";
    game.click(210.0f, 370.0f); // spot #0
    ASSERT_NE(nullptr, map.mContextMenu.get());
    EXPECT_EQ(1, ActiveStep());
    ASSERT_TRUE(ClickMenuEntry(game, [](i32 id) { return id > 0; }));
    ASSERT_EQ(1u, map.mTowers.size());

    // 2. Call the next wave early at its button: the battle waits, and nothing else is allowed.
    EXPECT_EQ(2, ActiveStep());
    EXPECT_EQ(3, game.hud().uiBlock());
    EXPECT_EQ(0.0f, map.mSpeed);
    ASSERT_FALSE(map.mNextWave.buttons.empty());
    const TDWaveHint::Button flag = map.mNextWave.buttons.front();
    const i32 coins = map.mStats.mCoins;
    game.click(flag.x + flag.width * 0.5f, flag.y + flag.height * 0.5f);

    // 3. The battle waits with 100 gold for the upgrade.
    ASSERT_EQ(3, ActiveStep());
    EXPECT_EQ(0.0f, map.mSpeed);
    EXPECT_GE(map.mStats.mCoins, coins + 100);
    game.run(10); // the build ring has closed
    game.click(210.0f, 370.0f);
    ASSERT_NE(nullptr, map.mContextMenu.get());
    ASSERT_TRUE(ClickMenuEntry(game, [](i32 id) { return id > 0; }));
    EXPECT_EQ(1.0f, map.mSpeed) << "the upgrade lets the battle go on";
    EXPECT_EQ(0, game.hud().uiBlock());
    EXPECT_EQ(-1, map.mTutorialSpot);

    // 4. Cast a spell on the road.
    ASSERT_EQ(4, ActiveStep());
    ASSERT_GT(game.hud().spellButtonCount(), 0);
    HUDSpellButton* spell = game.hud().spellButton(0);
    game.click(spell->mCentreX, spell->mCentreY);
    game.click(400.0f, 420.0f);

    // 5. Every fallen foe drops a crystal now: collect one.
    ASSERT_EQ(5, ActiveStep());
    EXPECT_EQ(1.0f, map.mDropChanceOverride);
    ASSERT_TRUE(game.runUntil([&] { return !map.mDrops.empty() && map.mDrops.front()->mState == kDropLying; }, 60.0f))
        << "a foe falls and drops";
    const i32 gems = map.mStats.mGems;
    // The page asks for a click: the crystal waits for it instead of collecting itself.
    ASSERT_TRUE(game.run(450));
    EXPECT_EQ(5, ActiveStep());
    EXPECT_EQ(gems, map.mStats.mGems);
    ASSERT_FALSE(map.mDrops.empty());
    EXPECT_EQ(kDropLying, map.mDrops.front()->mState);
    ASSERT_TRUE(game.runUntil(
        [&]
        {
            if (ActiveStep() != 5 || map.mDrops.empty())
                return ActiveStep() != 5;
            TDTowerSpecial* drop = map.mDrops.front();
            game.click(drop->mX, drop->mY);
            return false;
        },
        10.0f));
    EXPECT_EQ(0.0f, map.mDropChanceOverride);
    EXPECT_GE(map.mStats.mGems, gems + 5);

    // 6. The shop: win, go to the shop from the result, leave it.
    ASSERT_EQ(6, ActiveStep());
    game.key('h');
    ASSERT_TRUE(game.runUntil([&] { return game.screen() == kScreenWon; }, 240.0f)) << "the level is won";
    ASSERT_TRUE(game.frame());
    EXPECT_FALSE(Tutorial().pageShown()) << "the page waits beneath the result window";
    ASSERT_TRUE(game.runUntil([&] { return game.click(L"done") && game.screen() == kScreenShop; }, 10.0f));
    EXPECT_TRUE(Tutorial().pageShown()) << "the shop page stays until the shop is left";
    // It stands clear of the shop's title and tabs (its header, 176 high) and of its buttons (the
    // footer from 612): every picture of the page and its skip button in between.
    ASSERT_TRUE(game.frame());
    ASSERT_FALSE(Tutorial().shownImages().empty());
    const float pageY = Tutorial().shownImages().front()->GetParent()->mPosition.y;
    for (const layer::ImageLayer* picture : Tutorial().shownImages())
    {
        const float top = pageY + picture->mPosition.y; // placed by its top-left corner
        ASSERT_NE(nullptr, picture->GetImage());
        EXPECT_GE(top, 176.0f);
        EXPECT_LE(top + static_cast<float>(picture->GetImage()->GetHeight()), 612.0f);
    }
    ASSERT_NE(nullptr, Tutorial().skipButton());
    EXPECT_GT(Tutorial().skipButton()->mPosition.y, 176.0f);
    EXPECT_LT(Tutorial().skipButton()->mPosition.y, 612.0f);
    ASSERT_TRUE(game.runUntil([&] { return game.click(L"return_ac") || game.click(L"back_ac"); }, 5.0f));
    EXPECT_EQ(-1, ActiveStep());
    EXPECT_FALSE(Tutorial().pageShown());
    for (const TDTutorialStep& step : Tutorial().steps())
        EXPECT_EQ(kStepComplete, step.state) << "step " << step.id;
    EXPECT_EQ(std::string::npos, game.log().find("not found in its container")) << "text places are no pictures";
}

// The upgrade page holds the battle until a tower is upgraded: whichever tower of the first ring
// the player builds, its own ring offers that upgrade on the first level.
TEST(TutorialPlay, EveryTowerOfTheFirstRingHasTheUpgradeItsPageAsksFor)
{
    std::vector<i32> offered;
    {
        GameHarness game(WithTutorial());
        ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
        game.click(210.0f, 370.0f);
        ASSERT_NE(nullptr, game.map().mContextMenu.get());
        for (const auto& item : game.map().mContextMenu->items)
            offered.push_back(item->id);
    }
    ASSERT_GE(offered.size(), 2u);
    for (i32 id : offered)
    {
        GameHarness game(WithTutorial());
        ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
        TDMap& map = game.map();
        game.click(210.0f, 370.0f);
        ASSERT_TRUE(ClickMenuEntry(game, [id](i32 entry) { return entry == id; })) << id;
        ASSERT_EQ(1u, map.mTowers.size()) << id;
        ASSERT_FALSE(map.mNextWave.buttons.empty());
        const TDWaveHint::Button flag = map.mNextWave.buttons.front();
        game.click(flag.x + flag.width * 0.5f, flag.y + flag.height * 0.5f);
        ASSERT_EQ(3, ActiveStep()) << id;
        game.run(10);
        game.click(210.0f, 370.0f);
        ASSERT_NE(nullptr, map.mContextMenu.get()) << id;
        const i32 level = map.mTowers.front()->mLevel;
        ASSERT_TRUE(ClickMenuEntry(game, [](i32 entry) { return entry > 0; }))
            << "tower " << id << ": its ring offers no upgrade";
        EXPECT_NE(level, map.mTowers.front()->mLevel) << id;
        EXPECT_EQ(4, ActiveStep()) << "tower " << id << ": the page let go";
        EXPECT_EQ(1.0f, map.mSpeed) << id;
    }
}

// The page that asks for the next wave points at its button without covering the countdown
// beside it, the text the player is to read there.
TEST(TutorialPlay, TheWavePagesArrowPointsAtTheButtonAndLeavesTheCountdownClear)
{
    GameHarness game(WithTutorial());
    ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
    TDMap& map = game.map();
    game.click(210.0f, 370.0f);
    ASSERT_TRUE(ClickMenuEntry(game, [](i32 id) { return id > 0; }));
    ASSERT_EQ(2, ActiveStep());
    ASSERT_TRUE(game.runUntil([&] { return !game.board().mBannerWindow; }, 10.0f)) << "the level's name goes";
    ASSERT_FALSE(map.mNextWave.buttons.empty());
    const TDWaveHint::Button flag = map.mNextWave.buttons.front();

    tdtest::RecordingCanvas canvas;
    game.drawBattle(canvas);
    const std::wstring countdown = LocalStrings::Instance()->get(L"game_nextwave");
    const tdtest::Drawn* text = nullptr;
    for (const tdtest::Drawn& d : canvas.drawn)
        if (d.kind == tdtest::Drawn::Text && d.name.rfind(countdown, 0) == 0)
            text = &d;
    ASSERT_NE(nullptr, text) << "the countdown is drawn";
    ASSERT_EQ(0, text->hAlign) << "it runs right from its point";

    const layer::ImageLayer* arrow = nullptr;
    for (const layer::ImageLayer* picture : Tutorial().shownImages())
        if (picture->GetImage() && picture->GetImage()->GetWidth() < 100)
            arrow = picture;
    ASSERT_NE(nullptr, arrow) << "the page has its arrow";
    const float x0 = arrow->GetParent()->mPosition.x + arrow->mPosition.x;
    const float y0 = arrow->GetParent()->mPosition.y + arrow->mPosition.y;
    const float x1 = x0 + static_cast<float>(arrow->GetImage()->GetWidth());
    const float y1 = y0 + static_cast<float>(arrow->GetImage()->GetHeight());
    // The first word's band: from the text's point, 60 wide and a line high.
    const bool covers = x0 < text->x + 60.0f && x1 > text->x && y0 < text->y + 15.0f && y1 > text->y - 15.0f;
    EXPECT_FALSE(covers) << "arrow " << x0 << "," << y0 << " to " << x1 << "," << y1 << " over the countdown at "
                         << text->x << "," << text->y;
    // Beside the button: the arrow's rectangle comes within a button's size of its middle.
    const float bx = flag.x + flag.width * 0.5f, by = flag.y + flag.height * 0.5f;
    const float dx = std::max({x0 - bx, 0.0f, bx - x1}), dy = std::max({y0 - by, 0.0f, by - y1});
    EXPECT_LT(std::hypot(dx, dy), std::max(flag.width, flag.height)) << "the arrow points elsewhere";
}

TEST(TutorialPlay, APauseHidesTheSkipWhichIsAskedFirstAndConfirmedLastsPastARestart)
{
    std::string profiles;
    {
        GameHarness game(WithTutorial());
        ASSERT_TRUE(game.startLevel(0, 0));
        ASSERT_TRUE(Tutorial().pageShown());
        TutorialButton* skip = Tutorial().skipButton();
        ASSERT_NE(nullptr, skip);
        const float x = skip->mPosition.x, y = skip->mPosition.y;

        // The button grows while the pointer is over it, to 1.1 in a tenth of a second, showing
        // its over picture, and shrinks back at half that rate once the pointer leaves.
        game.moveTo(x, y);
        game.run(3, 0.05f);
        EXPECT_FLOAT_EQ(1.1f, skip->mScale);
        EXPECT_TRUE(skip->mOverLayer->mVisible && !skip->mNormalLayer->mVisible);
        game.moveTo(0.0f, 0.0f);
        game.run(1, 0.1f);
        EXPECT_NEAR(1.05f, skip->mScale, 1e-4f);
        game.run(1, 0.1f);
        EXPECT_FLOAT_EQ(1.0f, skip->mScale);
        EXPECT_TRUE(!skip->mOverLayer->mVisible && skip->mNormalLayer->mVisible);
        // Its picture's edges lie outside it (placed here so that they fall on whole pixels).
        ASSERT_NE(nullptr, skip->mNormal);
        const int w = static_cast<int>(skip->mNormal->GetWidth()), h = static_cast<int>(skip->mNormal->GetHeight());
        skip->SetPosition(200.0f + 0.5f * static_cast<float>(w % 2), 100.0f + 0.5f * static_cast<float>(h % 2));
        const int left = 200 - w / 2, top = 100 - h / 2;
        EXPECT_FALSE(skip->hitTest(left, 100));
        EXPECT_TRUE(skip->hitTest(left + 1, 100));
        EXPECT_TRUE(skip->hitTest(left + w - 1, 100));
        EXPECT_FALSE(skip->hitTest(left + w, 100));
        EXPECT_FALSE(skip->hitTest(200, top));
        EXPECT_TRUE(skip->hitTest(200, top + 1));
        EXPECT_FALSE(skip->hitTest(200, top + h));
        game.click(static_cast<float>(left), 100.0f);
        EXPECT_EQ(nullptr, game.board().mModalWindow) << "a click on the edge is no click on the button";
        skip->SetPosition(x, y);

        // A pause hides the page and its button until the battle goes on.
        game.loseFocus();
        game.frame();
        ASSERT_EQ(kScreenIngameMenu, game.screen()) << "the in-game menu is open";
        EXPECT_FALSE(Tutorial().pageShown());
        EXPECT_FALSE(Tutorial().isVisible());
        game.click(x, y);
        EXPECT_EQ(nullptr, game.board().mModalWindow) << "the hidden button does not answer";

        ASSERT_TRUE(game.click(L"resume"));
        EXPECT_EQ(kScreenBattle, game.screen());
        EXPECT_TRUE(Tutorial().pageShown());
        EXPECT_TRUE(Tutorial().isVisible());
        EXPECT_EQ(0, game.map().mTutorialSpot) << "the step goes on where it was";

        // Asked, then declined: the page and its button are back.
        game.click(x, y);
        ASSERT_NE(nullptr, dynamic_cast<HUDConfirmTutorialCancelDialog*>(game.board().mModalWindow.get()));
        EXPECT_FALSE(Tutorial().isVisible());
        ConfirmDialog(game, L"cancel");
        game.frame();
        EXPECT_TRUE(Tutorial().isVisible());
        EXPECT_TRUE(Tutorial().pageShown());

        // Asked, the focus lost under the question, declined, resumed: the page's button answers.
        game.click(x, y);
        ASSERT_NE(nullptr, game.board().mModalWindow);
        game.loseFocus();
        game.frame();
        ASSERT_EQ(kScreenIngameMenu, game.screen());
        ConfirmDialog(game, L"cancel");
        game.frame();
        EXPECT_FALSE(Tutorial().isVisible()) << "the pause still hides the page";
        ASSERT_TRUE(game.click(L"resume"));
        EXPECT_EQ(kScreenBattle, game.screen());
        EXPECT_TRUE(Tutorial().isVisible());
        game.click(x, y);
        ASSERT_NE(nullptr, dynamic_cast<HUDConfirmTutorialCancelDialog*>(game.board().mModalWindow.get()))
            << "the skip answers again";

        // Confirmed: gone, and the battle is free again.
        ConfirmDialog(game, L"cancel");
        game.frame();
        game.click(x, y);
        ConfirmDialog(game, L"ok");
        game.frame();
        EXPECT_FALSE(Tutorial().pageShown());
        EXPECT_EQ(-1, game.map().mTutorialSpot);
        EXPECT_EQ(0, game.hud().uiBlock());
        game.click(210.0f, 370.0f);
        ASSERT_NE(nullptr, game.map().mContextMenu.get());
        ASSERT_TRUE(ClickMenuEntry(game, [](i32 id) { return id > 0; }));
        EXPECT_FALSE(Tutorial().pageShown()) << "no later event starts a step";
        EXPECT_EQ(1u, game.map().mTowers.size());
        profiles = game.profilesFile();
    }
    GameHarness::Options again = WithTutorial();
    again.profiles = profiles;
    GameHarness game(again);
    ASSERT_TRUE(game.startLevel(0, 0));
    EXPECT_FALSE(game.map().mTutorialActive);
    EXPECT_FALSE(Tutorial().pageShown());
}

namespace
{
// From the battle through the in-game menu's "mmenu", confirmed, to the main menu.
bool LeaveToMainMenu(GameHarness& game)
{
    if (!game.click(L"options_btn") || !game.runUntil([&] { return game.screen() == kScreenIngameMenu; }, 1.0f) ||
        !game.click(L"mmenu"))
        return false;
    game.run(10); // the box's show animation
    game.click(390.0f, 535.0f);
    return game.runUntil([&] { return game.top<HUDMainMenu>() != nullptr; }, 3.0f);
}

// The profiles screen opened from the main menu.
HUDProfiles* OpenProfiles(GameHarness& game)
{
    HUDProfiles* screen = nullptr;
    if (!game.click(L"profile") || !game.runUntil([&] { return (screen = game.top<HUDProfiles>()) != nullptr; }, 1.0f))
        return nullptr;
    return screen;
}
} // namespace

// A second player meets the whole tutorial from its first page whatever the first did with it, and
// the first, chosen again, keeps its skip.
TEST(TutorialPlay, ASecondPlayerMeetsTheWholeTutorialAndTheFirstKeepsItsSkip)
{
    GameHarness game(WithTutorial());
    ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
    TDProgress& progress = *game.map().mProgress;
    const std::wstring first = progress.currentName();
    // The first player builds on the first page, then skips the rest.
    game.click(210.0f, 370.0f);
    ASSERT_TRUE(ClickMenuEntry(game, [](i32 id) { return id > 0; }));
    ASSERT_EQ(2, ActiveStep());
    const std::wstring secondPage = PageText();
    TutorialButton* skip = Tutorial().skipButton();
    ASSERT_NE(nullptr, skip);
    game.click(skip->mPosition.x, skip->mPosition.y);
    ConfirmDialog(game, L"ok");
    game.frame();
    ASSERT_FALSE(game.map().mTutorialActive);

    // A new player, made on the profiles screen.
    ASSERT_TRUE(LeaveToMainMenu(game));
    HUDProfiles* screen = OpenProfiles(game);
    ASSERT_NE(nullptr, screen);
    ASSERT_TRUE(game.click(*screen, L"create"));
    auto* input = game.top<HUDModalInput>();
    ASSERT_NE(nullptr, input);
    while (!input->mText.empty())
        (void)game.board().OnKeyDown(HUDModalInput::kBackspace);
    game.type(L"Bob");
    ASSERT_TRUE(game.click(*input, L"ok"));
    ASSERT_EQ(L"Bob", progress.currentName());
    ASSERT_TRUE(game.click(*screen, L"confirm"));
    ASSERT_TRUE(game.runUntil([&] { return game.top<HUDMainMenu>() != nullptr; }, 1.0f));

    // Its first level opens on the first page, and its pages follow as they did for the first.
    ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
    EXPECT_TRUE(game.map().mTutorialActive);
    EXPECT_EQ(0, ActiveStep());
    EXPECT_TRUE(Tutorial().pageShown());
    EXPECT_EQ(LocalStrings::Instance()->get(L"tut_spot"), PageText());
    for (const TDTutorialStep& step : Tutorial().steps())
        EXPECT_EQ(step.id == 0 ? kStepActive : kStepWaiting, step.state) << "step " << step.id;
    EXPECT_TRUE(game.map().mWaves.mUnits.empty());
    game.click(210.0f, 370.0f);
    ASSERT_TRUE(ClickMenuEntry(game, [](i32 id) { return id > 0; }));
    EXPECT_EQ(2, ActiveStep());
    EXPECT_EQ(secondPage, PageText());

    // The first player, chosen again, plays without it.
    ASSERT_TRUE(LeaveToMainMenu(game));
    screen = OpenProfiles(game);
    ASSERT_NE(nullptr, screen);
    bool chosen = false;
    for (int line = 1; line <= 5 && !chosen; ++line)
        if (GameHarness::text(screen, L"profile" + std::to_wstring(line)) == first)
        {
            const TDFrameEntry* area = screen->mTextAreas.at(L"profile" + std::to_wstring(line)).get();
            game.click(area->mX + 10.0f, area->mY + area->mHeight * 0.5f);
            chosen = true;
        }
    ASSERT_EQ(first, progress.currentName());
    ASSERT_TRUE(game.click(*screen, L"confirm"));
    ASSERT_TRUE(game.runUntil([&] { return game.top<HUDMainMenu>() != nullptr; }, 1.0f));
    ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
    EXPECT_FALSE(game.map().mTutorialActive);
    EXPECT_FALSE(Tutorial().pageShown());
}

TEST(TutorialPlay, OnlyThePlayersBuildsTellTheTutorialATowerWasBuilt)
{
    GameHarness game(WithTutorial());
    ASSERT_TRUE(game.startLevel(0, 0));
    TDMap& map = game.map();
    // A step woken by any build, anywhere; the second level stands with a tower of its own.
    Tutorial().loadScript("<tutorial><step id=\"90\" activate=\"tower_built\" complete=\"wave_forced\">"
                          "<condition/><show folder=\"tower\"/></step></tutorial>");
    ASSERT_EQ(1u, Tutorial().steps().size());
    map.mLevel = 1;
    ASSERT_EQ(QL_OK, map.loadLevel());
    ASSERT_TRUE(game.closeUnlockMessages());
    ASSERT_EQ(1u, map.mTowers.size()) << "the level's own tower";
    EXPECT_EQ(-1, ActiveStep()) << "the level's tower is no build of the player's";

    // The player's build wakes it.
    TDSpotFrame* free = nullptr;
    for (TDSpotFrame& spot : map.mScenery->spotFrames)
        if (!spot.hasTower && spot.spot && spot.spot->open && !free)
            free = &spot;
    ASSERT_NE(nullptr, free);
    game.click(static_cast<float>(free->x) + free->width * 0.5f, static_cast<float>(free->y) + free->height * 0.5f);
    ASSERT_TRUE(ClickMenuEntry(game, [](i32 id) { return id > 0; }));
    ASSERT_EQ(2u, map.mTowers.size());
    EXPECT_EQ(90, ActiveStep());
}

TEST(TutorialPlay, ARestartInTheMiddleOfAPageTakesThePageAndItsHoldsAwayAndTheStepComesBackWhenDueAgain)
{
    GameHarness game(WithTutorial());
    ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
    TDMap& map = game.map();
    // The second page: a tower stands, the battle waits for the next wave to be called.
    game.click(210.0f, 370.0f);
    ASSERT_TRUE(ClickMenuEntry(game, [](i32 id) { return id > 0; }));
    ASSERT_EQ(2, ActiveStep());
    const std::wstring page = PageText();
    const size_t texts = Tutorial().shownTexts().size();
    ASSERT_EQ(3, game.hud().uiBlock());

    // Restarted from the in-game menu, confirmed.
    ASSERT_TRUE(game.click(L"options_btn"));
    ASSERT_TRUE(game.runUntil([&] { return game.screen() == kScreenIngameMenu; }, 1.0f));
    ASSERT_TRUE(game.click(L"restart"));
    game.run(10); // the box's show animation
    game.click(390.0f, 535.0f);
    ASSERT_TRUE(game.runUntil([&] { return game.screen() != kScreenIngameMenu; }, 1.0f));
    ASSERT_TRUE(game.closeUnlockMessages());
    game.run(30);
    EXPECT_TRUE(map.mTowers.empty()) << "the level started again";
    EXPECT_EQ(-1, ActiveStep());
    EXPECT_FALSE(Tutorial().pageShown()) << "no page left over";
    EXPECT_FALSE(ShowsText(*game.board().GetLayer(), page));
    EXPECT_EQ(0, game.hud().uiBlock()) << "nor its holds";
    EXPECT_EQ(1.0f, map.mSpeed);
    std::vector<TDTutorialStepState> states;
    for (const TDTutorialStep& step : Tutorial().steps())
        states.push_back(step.state);
    ASSERT_GE(states.size(), 3u);
    EXPECT_EQ((std::vector<TDTutorialStepState>{kStepComplete, kStepComplete, kStepWaiting}),
              std::vector<TDTutorialStepState>(states.begin(), states.begin() + 3))
        << "the steps done stay done, the one interrupted waits";

    // The next tower brings the page back, once, with its holds.
    game.click(210.0f, 370.0f);
    ASSERT_TRUE(ClickMenuEntry(game, [](i32 id) { return id > 0; }));
    EXPECT_EQ(2, ActiveStep());
    EXPECT_EQ(page, PageText());
    EXPECT_TRUE(ShowsText(*game.board().GetLayer(), page));
    EXPECT_EQ(texts, Tutorial().shownTexts().size());
    EXPECT_EQ(3, game.hud().uiBlock());
    EXPECT_EQ(0.0f, map.mSpeed);
}
