// The ring menu on its own: fillings, prices along tier chains, labels, timing, the layout at
// the screen edges and its drawing with the range preview.
#include "InputFixture.h"

using namespace tdtest;

namespace
{
const char* kBaseTowers = "id;parent;type;levelid;require;cost;strength;cooldown;r;speed;ammoid;fps;addons;stars\n"
                          "30000;-1;1;0;-1;70;5;1;200;400;2001;10;splash/stun;0\n"
                          "10000;-1;1;0;-1;50;5;1;168;400;2001;10;;0\n"
                          "40000;-1;1;0;-1;80;5;1;200;400;2001;10;;0\n"
                          "20000;-1;1;0;-1;60;5;1;200;400;2001;10;;0\n";

struct Menu : InputFixture
{
    TDSpotFrame& spot(size_t i) { return map->mScenery->spotFrames[i]; }
    TDContextMenu& openOn(size_t i)
    {
        map->onPointerUp(static_cast<i32>(spot(i).x + spot(i).width / 2),
                         static_cast<i32>(spot(i).y + spot(i).height / 2));
        EXPECT_NE(map->mContextMenu, nullptr);
        return *map->mContextMenu;
    }
};

TEST_F(Menu, BuildMenuListsTheUnlockedTowerKindsAndAnEmptyOneHidesItself)
{
    files.put(L"td/unlocks.csv", "0;0;100,300,500\n");
    TDMap& m = begin();
    TDContextMenu& menu = openOn(0);
    ASSERT_EQ(menu.items.size(), 3u);
    std::set<i32> ids;
    for (size_t i = 0; i < menu.items.size(); ++i)
    {
        ids.insert(menu.items[i]->id);
        EXPECT_EQ(menu.items[i]->cost, m.findPrototype(menu.items[i]->id)->cost);
    }
    EXPECT_EQ(ids, (std::set<i32>{100, 300, 500}));
    EXPECT_EQ(menu.costOf(999), 0.0f);

    // A menu with nothing unlocked hides itself.
    files.put(L"td/unlocks.csv", "0;0;12345\n");
    begin();
    TDContextMenu& empty = openOn(0);
    EXPECT_TRUE(empty.items.empty());
    RecordingUiPainter painter;
    empty.draw(painter);
    EXPECT_EQ(empty.visible, 0);
    EXPECT_TRUE(painter.calls.empty());
}

TEST_F(Menu, BuyEntryLabelsShowOnlyThePricesThatAreSet)
{
    std::string spots = "<spot x=\"400\" y=\"400\"><p name=\"cost_real\" value=\"3\"/></spot>"
                        "<spot x=\"600\" y=\"400\"><p name=\"cost_gold\" value=\"50\"/><p name=\"cost_real\" value=\"2\"/></spot>"
                        "<spot x=\"400\" y=\"600\"><p name=\"cost_gold\" value=\"25\"/></spot>";
    begin("<wave spawn=\"1\" timeout=\"600\"><e id=\"1\"/></wave>", spots);
    EXPECT_EQ(openOn(2).items[0]->label, "#3");
    map->mContextMenu.reset();
    TDContextMenu& second = openOn(3);
    EXPECT_EQ(second.items[0]->label, "$50; #2");
    map->mContextMenu.reset();
    EXPECT_EQ(openOn(4).items[0]->label, "$25");
}

TEST_F(Menu, OpensClosesAndHidesOnTime)
{
    begin();
    TDContextMenu& menu = openOn(0);
    EXPECT_EQ(played(L"context_in"), 1u);
    EXPECT_EQ(menu.itemAt(menu.centreX, menu.centreY + 80.0f), -1) << "entries are not hit while opening";
    menu.update(0.15f);
    EXPECT_EQ(menu.state, TDContextMenu::kOpening);
    menu.update(0.06f);
    EXPECT_EQ(menu.state, TDContextMenu::kOpen);
    menu.close();
    menu.close();
    EXPECT_EQ(played(L"context_out"), 1u);
    EXPECT_EQ(menu.state, TDContextMenu::kClosing);
    menu.update(0.21f);
    EXPECT_EQ(menu.visible, 0);
    EXPECT_EQ(menu.itemAt(menu.centreX, menu.centreY + 80.0f), -1) << "a hidden menu takes no presses";
}

TEST_F(Menu, TheRingKeepsTheBaseTowersPlacesAwayFromTheEdgesAndBendsNearThem)
{
    files.put(L"td/towers_sheet.csv", kBaseTowers);
    begin("<wave spawn=\"1\" timeout=\"600\"><e id=\"1\"/></wave>",
          "<spot x=\"500\" y=\"400\"/><spot x=\"100\" y=\"400\"/><spot x=\"500\" y=\"700\"/>");
    TDContextMenu* menu = &openOn(2);
    menu->update(0.25f);
    std::map<i32, float> angles;
    for (const auto& item : menu->items)
        angles[item->id] = item->angle;
    EXPECT_EQ(angles, (std::map<i32, float>{{10000, 270.0f}, {20000, 180.0f}, {30000, 0.0f}, {40000, 90.0f}}));

    // Near the left edge the entries spread over a half ring, hit within 32 of 1.3 times the radius.
    map->mContextMenu.reset();
    menu = &openOn(3);
    menu->update(0.25f);
    ASSERT_EQ(menu->items.size(), 4u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(menu->items[i]->angle, 60.0f * static_cast<float>(i));
    const TDContextMenuItem& last = *menu->items[3]; // 180 degrees: straight up
    float a = last.angle * 3.14f / 180.0f;
    float ex = 100.0f + std::sin(a) * 104.0f, ey = 400.0f + std::cos(a) * 104.0f;
    EXPECT_EQ(menu->itemAt(ex, ey + 31.0f), last.id);
    EXPECT_EQ(menu->itemAt(ex, ey - 31.5f), last.id);
    EXPECT_EQ(menu->itemAt(ex, ey - 33.0f), -1);
    EXPECT_EQ(menu->itemAt(100.0f, 400.0f - 80.0f + 31.0f), -1) << "the plain radius is not where the entry is";

    // Near the bottom edge the order is reversed once.
    map->mContextMenu.reset();
    menu = &openOn(4);
    std::vector<i32> before, after;
    for (const auto& item : menu->items)
        before.push_back(item->id);
    menu->update(0.1f);
    menu->update(0.1f);
    for (const auto& item : menu->items)
        after.push_back(item->id);
    std::reverse(before.begin(), before.end());
    EXPECT_EQ(after, before);
}

TEST_F(Menu, UpgradeEntriesCostEveryTierOnTheWay)
{
    files.put(L"td/towers_sheet.csv", "id;parent;type;levelid;require;cost;strength;cooldown;r;speed;ammoid;fps\n"
                                      "100;-1;1;0;-1;50;5;1;200;400;2001;10\n"
                                      "101;100;1;1;0;40;10;1;240;400;2001;10\n"
                                      "102;100;1;2;1;60;10;1;240;400;2001;10\n"
                                      "103;100;1;3;1;70;10;1;240;400;2001;10\n"
                                      "104;100;1;4;9;10;10;1;240;400;2001;10\n"
                                      "105;100;1;5;6;10;10;1;240;400;2001;10\n"
                                      "106;100;1;6;5;10;10;1;240;400;2001;10\n");
    files.put(L"td/unlocks.csv", "0;0;-1\n");
    TDMap& m = begin();
    TDTower* tower = m.buildTower(0, 100);
    ASSERT_NE(tower, nullptr);
    TDContextMenu& menu = openOn(0);
    EXPECT_EQ(menu.kind, TDContextMenu::kTowerUpgrades);
    std::map<i32, float> costs;
    for (const auto& item : menu.items)
        costs[item->id] = item->cost;
    // 104 requires a tier nobody offers and 105/106 require each other: no price, no entry.
    EXPECT_EQ(costs, (std::map<i32, float>{{0, 0.0f}, {1, 40.0f}, {2, 100.0f}, {3, 110.0f}}));
    EXPECT_EQ(menu.items[0]->index, 0);
    EXPECT_EQ(menu.items[0]->prototype, nullptr);

    // A tower on tier 1 is offered the tiers that build on it.
    m.mContextMenu.reset();
    ASSERT_TRUE(tower->upgrade(1, 40.0f));
    TDContextMenu& next = openOn(0);
    costs.clear();
    for (const auto& item : next.items)
        costs[item->id] = item->cost;
    EXPECT_EQ(costs, (std::map<i32, float>{{0, 0.0f}, {2, 60.0f}, {3, 70.0f}}));
}

TEST_F(Menu, TierStepsLastThroughTheFramesUntilTheNextFullUpgrade)
{
    files.put(L"td/towers_sheet.csv", "id;parent;type;levelid;require;cost;tierCost;tierUpdates;tierK;strength;cooldown;r;"
                                      "speed;ammoid;fps\n"
                                      "100;-1;1;0;-1;50;30;2;0,5;10;1;200;400;2001;10\n"
                                      "101;100;1;1;0;40;0;0;0;10;1;240;400;2001;10\n");
    TDMap& m = begin();
    TDTower* tower = m.buildTower(0, 100);
    ASSERT_NE(tower, nullptr);
    float plainRange = tower->range();
    TDContextMenu& menu = openOn(0);
    EXPECT_EQ(menu.kind, TDContextMenu::kTowerTier) << "the step is offered before the upgrades";
    ASSERT_EQ(menu.items.size(), 2u);
    frames(0.25f);
    i32 coins = m.mStats.mCoins;
    pressEntry(1);
    EXPECT_EQ(m.mStats.mCoins, coins - 30);
    frames(1.0f); // the battle resets every tower's additions each frame
    EXPECT_FLOAT_EQ(tower->mBonus.strength, 0.5f * 10.0f + 10.0f);
    EXPECT_FLOAT_EQ(tower->range(), plainRange + 0.5f * 200.0f);

    m.mContextMenu.reset();
    openOn(0);
    frames(0.25f);
    pressEntry(1);
    frames(1.0f);
    EXPECT_EQ(tower->mTierCount, 2);
    EXPECT_FLOAT_EQ(tower->mBonus.strength, 2.0f * 0.5f * 10.0f + 10.0f);
    EXPECT_FLOAT_EQ(tower->range(), plainRange + 0.5f * 200.0f + 2.0f * 0.5f * 200.0f);

    // The full upgrade starts the new tier without the old tier's steps.
    m.mContextMenu.reset();
    EXPECT_EQ(openOn(0).kind, TDContextMenu::kTowerUpgrades);
    frames(0.25f);
    pressEntry(1);
    frames(0.5f);
    EXPECT_EQ(tower->mLevel, 1);
    EXPECT_EQ(tower->mTierCount, 0);
    EXPECT_FLOAT_EQ(tower->mBonus.strength, 0.0f);
    EXPECT_FLOAT_EQ(tower->range(), 240.0f);
}

TEST_F(Menu, PriceLabelsTurnRedWhileTheCoinsFallShortAndTheHoveredEntryShowsItsRange)
{
    files.put(L"td/unlocks.csv", "0;0;100\n");
    TDMap& m = begin();
    TDContextMenu& menu = openOn(0);
    menu.update(0.25f);
    RecordingUiPainter painter;
    m.mStats.mCoins = 49;
    menu.draw(painter);
    std::vector<UiCall> texts = painter.of(L"text");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].name, L"$50");
    EXPECT_LT(texts[0].color.g, 0.5f);
    // Centred over the entry without the edge factor, 30 higher.
    EXPECT_NEAR(texts[0].x, 250.0f + std::sin(menu.items[0]->angle * 3.14f / 180.0f) * 80.0f, 1e-3);
    EXPECT_NEAR(texts[0].y, 160.0f + std::cos(menu.items[0]->angle * 3.14f / 180.0f) * 80.0f - 30.0f, 1e-3);
    painter.calls.clear();
    m.mStats.mCoins = 50;
    menu.draw(painter);
    EXPECT_EQ(painter.of(L"text")[0].color.g, 1.0f);

    // The hovered build entry shows its range with a pulsing ring.
    menu.hoveredId = 100;
    menu.timer = 2.25f; // a quarter into a second
    painter.calls.clear();
    menu.drawRange(painter);
    std::vector<UiCall> images = painter.of(L"image");
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].name, L"ui/radius");
    EXPECT_FLOAT_EQ(images[0].scale, 200.0f / 336.0f);
    std::vector<UiCall> lines = painter.of(L"line");
    ASSERT_EQ(lines.size(), 72u);
    EXPECT_FLOAT_EQ(lines[0].x, 250.0f); // the first point of the ring lies straight down
    EXPECT_FLOAT_EQ(lines[0].y, 160.0f + 100.0f);
    EXPECT_FLOAT_EQ(lines[36].y, 160.0f + 100.0f * 1.125f * 0.25f);

    // Closing: no preview.
    menu.close();
    painter.calls.clear();
    menu.drawRange(painter);
    EXPECT_TRUE(painter.calls.empty());
}

TEST_F(Menu, EntriesFadeAndFlyOutWhileOpening)
{
    files.put(L"td/towers_sheet.csv", kBaseTowers);
    files.put(L"td/unlocks.csv", "0;0;30000\n");
    begin("<wave spawn=\"1\" timeout=\"600\"><e id=\"1\"/></wave>", "<spot x=\"500\" y=\"400\"/>");
    TDContextMenu& menu = openOn(2);
    menu.update(0.1f); // half open
    RecordingUiPainter painter;
    menu.draw(painter);
    std::vector<UiCall> images = painter.of(L"image");
    // The tower icon, then its two ability icons under it.
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(images[0].name, L"ui/tower_09");
    EXPECT_NEAR(images[0].color.a, 0.5f, 1e-5);
    EXPECT_NEAR(images[0].y, 400.0f + 40.0f, 1e-3); // 30000 stands at 0 degrees: straight down
    EXPECT_EQ(images[1].name, L"ui/aoe_01");
    EXPECT_EQ(images[2].name, L"ui/dazed_01");
    float s = 180.0f / 3.0f;
    float b = (270.0f + s) * 3.14f / 180.0f;
    EXPECT_NEAR(images[1].x, images[0].x + std::sin(b) * 35.0f, 1e-3);
    EXPECT_NEAR(images[1].y, images[0].y + std::cos(b) * 35.0f, 1e-3);
}

TEST_F(Menu, HoveringTheSaleShowsThePlainRangeImage)
{
    TDMap& m = begin();
    ASSERT_NE(m.buildTower(0, 100), nullptr);
    TDContextMenu& menu = openOn(0);
    menu.update(0.25f);
    ASSERT_EQ(menu.items[0]->id, 0);
    i32 x = 0, y = 0;
    entryPoint(menu, *menu.items[0], x, y, 0.0f);
    menu.hoveredId = menu.itemAt(static_cast<float>(x), static_cast<float>(y));
    EXPECT_EQ(menu.hoveredId, 0);
    RecordingUiPainter painter;
    menu.draw(painter);
    ASSERT_FALSE(painter.calls.empty());
    EXPECT_EQ(painter.calls[0].name, L"ui/radius");
    EXPECT_EQ(painter.calls[0].scale, 1.0f);
    EXPECT_EQ(painter.calls[1].what, L"tower"); // drawn again above the battle
    EXPECT_EQ(painter.of(L"line").size(), 0u);
}

} // namespace
