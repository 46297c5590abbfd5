// What a player meets of locked things and of what a level leaves him, through the whole game:
// the locked episode card (its text, padlock and the arrows within the cards' edges), the locked
// shop tab, the crystals a lost or won level shows, a tutorial picture that does not load, and
// every kind of the sheets finding its sprites.
#include "DropClicks.h"
#include "support/GameHarness.h"

#include "Core/Layer/ImageLayer.h"
#include "Core/Layer/TextLayer.h"
#include "Core/Media/Font/BMFont.h"
#include "Platform/Os/Event.h"
#include "Platform/Os/NullVideo.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Data/TDProgress.h"
#include "Source/TD/Data/TDText.h"
#include "Source/TD/Shell/GameWindow.h"
#include "Source/TD/Shell/HUD.h"
#include "Source/TD/Shell/HUDEpisodeSelectIOS.h"
#include "Source/TD/Shell/HUDLevelResultWindow.h"
#include "Source/TD/Shell/HUDShopWindow.h"
#include "Source/TD/Shell/ShopTab.h"
#include "Source/TD/Shell/TDTutorial.h"
#include "Source/TD/Sprites/TDFrameEntry.h"
#include "Source/TD/Sprites/TDGraphic.h"
#include "Source/TD/Sprites/TDResources.h"
#include "Source/TD/Units/TDDrops.h"
#include "Source/TD/Units/TDUnit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>

using testsupport::GameHarness;

namespace
{
struct Rect
{
    float x0, y0, x1, y1;
    bool inside(const Rect& outer) const
    {
        return x0 >= outer.x0 && y0 >= outer.y0 && x1 <= outer.x1 && y1 <= outer.y1;
    }
    bool meets(const Rect& other) const { return x0 < other.x1 && other.x0 < x1 && y0 < other.y1 && other.y0 < y1; }
    float height() const { return y1 - y0; }
};
std::ostream& operator<<(std::ostream& out, const Rect& r)
{
    return out << "(" << r.x0 << ", " << r.y0 << ")-(" << r.x1 << ", " << r.y1 << ")";
}

Rect centred(float x, float y, float w, float h) { return {x - w * 0.5f, y - h * 0.5f, x + w * 0.5f, y + h * 0.5f}; }

// The box of the text as the font lays it out wrapped to `wrap`, scaled about its centre (x, y).
Rect textBox(render::Font& font, const std::wstring& text, float wrap, float x, float y, float scale)
{
    float w = 0.0f, h = 0.0f;
    {
        auto measure = font.MeasureText(&text);
        measure->mFormat.mWrapWidth = wrap;
        measure->mFormat.mAlignment = 2;
        measure->mOutWidth = &w;
        measure->mOutHeight = &h;
    }
    return centred(x, y, w * scale, h * scale);
}

// Alt+Enter through the window: the other screen mode.
void switchMode(GameHarness& game)
{
    game.pushAltEnter();
    ASSERT_TRUE(game.run(3));
}

// The row of cards as the player sees it: each card where the row puts it, 320 apart and shrunk
// by up to 0.45 within 120 pixels of the centre; its padlock at its top right, its text over its
// middle (80 % of the padlock's scale, wrapped to 320), its "new" badge by its top right.
void checkCards(GameHarness& game, HUDEpisodeSelectIOS& screen, const std::string& where)
{
    const EpisodeCarousel& row = *screen.mCarousel;
    render::BMFont& font = *game.board().mFontMain80;
    ASSERT_TRUE(font.IsLoaded());
    std::vector<Rect> cards;
    for (i32 k = 0; k < row.count(); ++k)
    {
        const EpisodePlate& plate = row.plates[static_cast<size_t>(k)];
        const float x = 320.0f * static_cast<float>(k - row.page) + 512.0f - row.offset;
        if (x < -320.0f || x > 1344.0f)
            continue;
        const float s = 1.0f - 0.45f * std::min(std::fabs(512.0f - x), 120.0f) / 120.0f;
        const Rect card = centred(x, 384.0f, plate.chapter->mWidth * s, plate.chapter->mHeight * s);
        cards.push_back(card);
        const std::string name = where + " card " + std::to_string(k + 1);
        if (plate.lock)
        {
            const Rect lock =
                centred(x + 150.0f * s, 384.0f - 125.0f * s, plate.lock->mWidth * s, plate.lock->mHeight * s);
            EXPECT_TRUE(lock.inside(card)) << name << ": padlock " << lock << " over the card's edge " << card;
        }
        if (!plate.text.empty())
        {
            const Rect text = textBox(font, plate.text, 320.0f, x, 384.0f, 0.8f * s);
            EXPECT_TRUE(text.inside(card)) << name << ": text " << text << " out of " << card;
            EXPECT_LE(text.height(), card.height() / 3.0f) << name << ": the text covers the card's art";
        }
        if (plate.newBadge)
        {
            const float nx = x + 320.0f * 0.4f * s, ny = 384.0f - 180.0f * s;
            const Rect badge = centred(nx, ny, plate.newBadge->mWidth * s, plate.newBadge->mHeight * s);
            const Rect text = textBox(font, GameHarness::localized(L"episodeSelectNew"), 270.0f, nx, ny, s);
            EXPECT_TRUE(text.inside(badge)) << name << ": \"new\" " << text << " out of its badge " << badge;
        }
    }
    // The arrows stand clear of every card, the small neighbours' too.
    for (const wchar_t* arrow : {L"arrow_left", L"arrow_right"})
    {
        const TDButtonFrame* button = screen.findButton(arrow);
        ASSERT_NE(nullptr, button);
        if (!button->mVisible)
            continue;
        const Rect drawn{button->mX, button->mY, button->mX + button->mWidth, button->mY + button->mHeight};
        for (const Rect& card : cards)
            EXPECT_FALSE(drawn.meets(card)) << where << ": " << std::string(arrow, arrow + std::wcslen(arrow)) << " "
                                            << drawn << " covers the card " << card;
    }
}
} // namespace

// A new player: the second episode is locked. Its card, seen beside the first and then in the
// middle, holds its text and padlock, the arrows keep off the cards, in full screen and in a
// window; a tap on it opens nothing. The shop's locked tab stands padlocked and takes no click.
TEST(LockedThings, TheLockedCardAndShopTabLookLockedAndFitAtEitherScreenMode)
{
    GameHarness game;
    ASSERT_TRUE(game.started()) << game.log();
    for (const char* mode : {"full screen", "window"})
    {
        SCOPED_TRACE(mode);
        HUDEpisodeSelectIOS* episodes = game.top<HUDEpisodeSelectIOS>();
        if (!episodes)
            episodes = game.reachEpisodeSelect();
        ASSERT_NE(nullptr, episodes);
        ASSERT_GE(episodes->mCarousel->count(), 2);
        const EpisodePlate& second = episodes->mCarousel->plates[1];
        ASSERT_NE(nullptr, second.lock) << "a new player has not opened the second episode";
        EXPECT_EQ(tdtext::fillNumbers(GameHarness::localized(L"unlockEpisodeText"), {game.map().getStarsToUnlock(1)}),
                  second.text);
        ASSERT_TRUE(game.run(2));
        checkCards(game, *episodes, std::string(mode) + ", first page");
        ASSERT_TRUE(game.click(L"arrow_right"));
        ASSERT_TRUE(game.runUntil([&] { return episodes->mCarousel->motion == EpisodeCarousel::kIdle; }, 3.0f));
        ASSERT_EQ(1, episodes->mCarousel->page);
        checkCards(game, *episodes, std::string(mode) + ", second page");
        game.click(512.0f, 384.0f);
        ASSERT_TRUE(game.run(5));
        EXPECT_EQ(kScreenEpisodes, game.screen()) << "the locked card opens nothing";

        // The shop: the Fortune tab is locked for a player without levels; its padlock sits on
        // it, and a click on it changes nothing.
        ASSERT_TRUE(game.click(L"shop"));
        HUDShopWindow* shop = nullptr;
        ASSERT_TRUE(game.runUntil([&] { return (shop = game.top<HUDShopWindow>()) != nullptr; }, 2.0f));
        ASSERT_EQ(3u, shop->tabBar->tabs.size());
        const ShopTab& fortune = *shop->tabBar->tabs[2];
        EXPECT_FALSE(fortune.enabled);
        EXPECT_TRUE(shop->tabBar->tabs[0]->enabled);
        ASSERT_GT(fortune.lock->mWidth, 0.0f) << "the shop's layout has the padlock";
        const Rect tab{fortune.x - fortune.inactive->mWidth * 0.5f, fortune.y - fortune.inactive->mHeight,
                       fortune.x + fortune.inactive->mWidth * 0.5f, fortune.y};
        const Rect lock = centred(tab.x1 - fortune.lock->mWidth * 0.5f - ShopTab::kLockInset,
                                  tab.y0 + tab.height() * 0.5f, fortune.lock->mWidth, fortune.lock->mHeight);
        EXPECT_TRUE(lock.inside(tab)) << lock << " " << tab;
        const size_t plates = shop->plates.size();
        game.click(fortune.x, fortune.y - 20.0f);
        ASSERT_TRUE(game.run(2));
        EXPECT_FALSE(fortune.selected);
        EXPECT_TRUE(shop->tabBar->tabs[0]->selected);
        EXPECT_EQ(plates, shop->plates.size());
        const ShopTab& towers = *shop->tabBar->tabs[1];
        game.click(towers.x, towers.y - 20.0f);
        ASSERT_TRUE(game.run(2));
        EXPECT_TRUE(towers.selected) << "an open tab still answers";
        ASSERT_TRUE(game.click(L"back_ac"));
        ASSERT_TRUE(game.runUntil([&] { return game.top<HUDEpisodeSelectIOS>() != nullptr; }, 2.0f));
        switchMode(game);
    }
}

// The result window shows the crystals the level leaves: those picked up after a defeat, those
// and the stars' reward after a victory; the HUD and the profile agree with it.
TEST(KeptCrystals, TheResultWindowShowsTheCrystalsKeptAfterADefeatAndAfterAVictory)
{
    GameHarness game;
    ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
    TDMap& map = game.map();
    const i32 before = map.mStats.mGems;
    ASSERT_TRUE(playtest::pickUpCrystal(game));
    // The goal holds out for one more foe.
    map.mHealth = 1.0f;
    ASSERT_TRUE(game.runUntil([&] { return game.screen() == kScreenLost; }, 240.0f)) << "a foe gets through";
    HUDLevelResultWindow* result = nullptr;
    ASSERT_TRUE(game.runUntil([&] { return (result = game.top<HUDLevelResultWindow>()) != nullptr; }, 1.0f));
    ASSERT_TRUE(game.run(5));
    EXPECT_EQ(GameHarness::localized(L"gems") + L": 1", GameHarness::text(result, L"gems"));
    EXPECT_EQ(before + 1, map.mStats.mGems);
    EXPECT_EQ(std::to_wstring(before + 1), GameHarness::text(&game.hud(), L"text/crystals"));
    EXPECT_EQ(before + 1, map.mProgress->getGems());

    // Again, won with full health the first time: the crystal picked up and 13 for three stars.
    ASSERT_TRUE(game.click(*result, L"restart"));
    ASSERT_TRUE(game.closeUnlockMessages());
    ASSERT_TRUE(playtest::pickUpCrystal(game));
    map.mHealth = map.mMaxHealth;
    map.showVictory();
    ASSERT_TRUE(game.runUntil([&] { return (result = game.top<HUDLevelResultWindow>()) != nullptr; }, 1.0f));
    ASSERT_TRUE(game.run(5));
    ASSERT_EQ(13, result->outcome().reward);
    EXPECT_EQ(GameHarness::localized(L"gems") + L": 14", GameHarness::text(result, L"gems"));
    EXPECT_EQ(before + 15, map.mProgress->getGems());
}

// A picture of a tutorial page that does not load leaves its place to an empty text; the
// page's other picture and its text still show.
TEST(TutorialPicture, APagePictureThatDoesNotLoadBecomesAnEmptyTextPlace)
{
    GameHarness::Options options;
    options.tutorial = true;
    options.logos = false;
    options.dataFiles = {{"td/data/tutorial/spot/arrow.png", "not a picture"}};
    GameHarness game(options);
    ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
    TDTutorial& tutorial = *TDTutorial::Instance();
    ASSERT_TRUE(tutorial.pageShown());
    EXPECT_EQ(1u, tutorial.shownImages().size()) << "the panel";
    // In the page's order: the arrow's place, then the text's.
    ASSERT_EQ(2u, tutorial.shownTexts().size());
    EXPECT_EQ(LocalStrings::Instance()->get(L"tut_spot"), tutorial.shownTexts()[1]->mText);
    const layer::TextLayer& place = *tutorial.shownTexts()[0];
    EXPECT_TRUE(place.mText.empty());
    // Centred on the arrow's place (186, 262, 48 x 72).
    EXPECT_FLOAT_EQ(210.0f, place.mPosition.x);
    EXPECT_FLOAT_EQ(298.0f, place.mPosition.y);
}

// An entry of a page is a picture when its picture loads, whether or not the step has a text for
// its name. (A text place without a picture file is not tried: the new player's playthrough
// keeps the log free of missing pictures.)
TEST(TutorialPicture, AnEntryWhosePictureLoadsIsAPictureEvenWithAText)
{
    std::ifstream arrow(GameHarness::dataDir() / "td/data/tutorial/spot/arrow.png", std::ios::binary);
    const std::string picture{std::istreambuf_iterator<char>(arrow), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(picture.empty());
    GameHarness::Options options;
    options.tutorial = true;
    options.logos = false;
    options.dataFiles = {{"td/data/tutorial/spot/text.png", picture}};
    GameHarness game(options);
    ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
    TDTutorial& tutorial = *TDTutorial::Instance();
    ASSERT_TRUE(tutorial.pageShown());
    EXPECT_EQ(3u, tutorial.shownImages().size()) << "the panel, the arrow and the text's picture";
    EXPECT_TRUE(tutorial.shownTexts().empty());
    // Its picture stands at the place's corner (282, 64).
    const layer::ImageLayer& placed = *tutorial.shownImages().back();
    EXPECT_FLOAT_EQ(282.0f, placed.mPosition.x);
    EXPECT_FLOAT_EQ(64.0f, placed.mPosition.y);
}

// Every kind of the three sheets, and each of its tiers, finds the sprites its "psd" and "img"
// name once a level runs: none is drawn from an empty graphic.
TEST(SheetSprites, EveryKindOfTheDemoSheetsFindsItsSpritesInTheRunningGame)
{
    GameHarness game;
    ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
    TDMap& map = game.map();
    size_t kinds = 0;
    auto check = [&](const TDPrototype& p)
    {
        if (p.psd.empty() && p.img.empty())
            return;
        ++kinds;
        float w = 0.0f, h = 0.0f;
        map.mSprites->size(p.id, w, h);
        // A kind drawn from one picture (a tower's shot) has no frames, only that picture.
        const TDGraphic* graphic = TDResources::Instance()->getGraphic(p.psd, p.img, p.id);
        if (p.psd.empty() && graphic && graphic->mImage)
        {
            w = static_cast<float>(graphic->mImage->width());
            h = static_cast<float>(graphic->mImage->height());
        }
        EXPECT_GT(w * h, 0.0f) << "kind " << p.id << " (" << p.psd << ", " << p.img << ") has no sprites";
    };
    for (const TDPrototype* p : map.mPrototypes.all)
    {
        check(*p);
        for (const TDPrototype* tier : p->tiers)
            check(*tier);
    }
    EXPECT_GT(kinds, 40u) << "the towers, units and ammunition of the demo";
}
