// The ring menu of the running first demo level: its entries and their prices along the tier
// chains, the layout at the screen edges, the timing, the tier steps and what it draws.
#include "DrawRecorder.h"
#include "InGame.h"

#include "Source/TD/Data/TDPrototype.h"
#include "Source/TD/Units/TDTower.h"

#include <map>
#include <stdexcept>

using namespace tdtest;

namespace
{
struct Ring : InGame
{
    void unlockOnly(const char* ids)
    {
        map->mUnlocks = TDUnlocks();
        map->mUnlocks.readText(std::string("0;0;") + ids + "\n");
    }
    // The open menu's entries: a field of each by id.
    std::map<i32, float> byId(float TDContextMenuItem::*field = &TDContextMenuItem::cost) const
    {
        std::map<i32, float> out;
        for (const auto& item : map->mContextMenu->items)
            out[item->id] = (*item).*field;
        return out;
    }
    // A tier of the first tower kind, as the sheet gave it.
    TDPrototype& tier(i32 id) const
    {
        for (TDPrototype* t : map->findPrototype(10000)->tiers)
            if (t->id == id)
                return *t;
        throw std::runtime_error("no tier " + std::to_string(id));
    }
};

TEST_F(Ring, OpensClosesOnTimeBuyEntriesShowOnlyThePricesSetBaseTowersKeepTheirPlacesAndAnEmptyRingHides)
{
    // The ring opens, closes and hides on time and takes no presses while it is not open.
    clickSpot(2);
    ASSERT_NE(map->mContextMenu, nullptr);
    TDContextMenu& opening = *map->mContextMenu;
    const float below = opening.centreY + opening.radius;
    EXPECT_EQ(opening.itemAt(opening.centreX, below), -1) << "entries are not hit while opening";
    opening.update(0.15f);
    EXPECT_EQ(opening.state, TDContextMenu::kOpening);
    opening.update(0.06f);
    EXPECT_EQ(opening.state, TDContextMenu::kOpen);
    opening.close();
    opening.close();
    EXPECT_EQ(opening.state, TDContextMenu::kClosing);
    opening.update(0.21f);
    EXPECT_EQ(opening.visible, 0);
    EXPECT_EQ(opening.itemAt(opening.centreX, below), -1) << "a hidden menu takes no presses";

    // A locked spot's buy entry shows only the prices set.
    size_t locked = 0;
    while (!spot(locked).spot || spot(locked).spot->open)
        ++locked;
    TDBuildSpot& price = *spot(locked).spot;
    for (auto [gold, gems, label] : {std::tuple{0, 3, "#3"}, {50, 2, "$50; #2"}, {25, 0, "$25"}})
    {
        price.costGold = gold;
        price.costReal = gems;
        map->mContextMenu.reset();
        clickSpot(locked);
        ASSERT_NE(map->mContextMenu, nullptr);
        EXPECT_EQ(map->mContextMenu->items[0]->label, label);
    }

    // The base towers keep their places in the middle of the field.
    map->mContextMenu.reset();
    unlockOnly("10000,20000,30000,40000");
    TDContextMenu* menu = openOn(2);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(byId(&TDContextMenuItem::angle),
              (std::map<i32, float>{{10000, 270.0f}, {20000, 180.0f}, {30000, 0.0f}, {40000, 90.0f}}));
    for (const auto& [id, cost] : byId())
        EXPECT_EQ(cost, map->findPrototype(id)->cost) << id;
    EXPECT_EQ(menu->costOf(999), 0.0f);

    // Near the left edge the entries spread over a half ring, hit within 32 of 1.3 times the radius.
    map->mContextMenu.reset();
    menu = openOn(7);
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(menu->isNearEdge());
    ASSERT_EQ(menu->items.size(), 4u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(menu->items[i]->angle, 60.0f * static_cast<float>(i));
    const TDContextMenuItem& last = *menu->items[3]; // 180 degrees: straight up
    const float ex = menu->centreX, ey = menu->centreY - menu->radius * 1.3f;
    EXPECT_EQ(menu->itemAt(ex, ey + 31.0f), last.id);
    EXPECT_EQ(menu->itemAt(ex, ey - 31.5f), last.id);
    EXPECT_EQ(menu->itemAt(ex, ey - 33.0f), -1);
    EXPECT_EQ(menu->itemAt(ex, menu->centreY - menu->radius + 31.0f), -1) << "not on the plain radius";

    // Near the bottom edge the order is reversed once.
    map->mContextMenu.reset();
    tapSpot(10);
    ASSERT_NE(map->mContextMenu, nullptr);
    std::vector<i32> before, after;
    for (const auto& item : map->mContextMenu->items)
        before.push_back(item->id);
    game.run(10);
    for (const auto& item : map->mContextMenu->items)
        after.push_back(item->id);
    std::reverse(before.begin(), before.end());
    EXPECT_EQ(after, before);

    // A ring with nothing unlocked hides itself.
    map->mContextMenu.reset();
    unlockOnly("12345");
    tapSpot(2);
    ASSERT_NE(map->mContextMenu, nullptr);
    EXPECT_TRUE(map->mContextMenu->items.empty());
    RecordingUiPainter painter;
    map->mContextMenu->draw(painter);
    EXPECT_EQ(map->mContextMenu->visible, 0);
    EXPECT_TRUE(painter.calls.empty());
}

TEST_F(Ring, UpgradeEntriesCostEveryTierOnTheWayPricesTurnRedTheHoveredEntryShowsItsRangeAndEntriesFadeIn)
{
    unlockOnly("10000,10001,10002,10100");
    TDTower* tower = map->buildTower(0, 10000);
    ASSERT_NE(tower, nullptr);
    ASSERT_NE(openOn(0), nullptr);
    EXPECT_EQ(map->mContextMenu->kind, TDContextMenu::kTowerUpgrades);
    EXPECT_EQ(byId(), (std::map<i32, float>{{0, 0.0f}, {1, 90.0f}, {2, 90.0f + 120.0f}, {3, 90.0f + 140.0f}}));
    EXPECT_EQ(map->mContextMenu->items[0]->prototype, nullptr) << "the sale";

    // A tier requiring one nobody offers, and tiers requiring each other, have no price.
    TDPrototype& sniper = tier(10100);
    sniper.require = 9;
    map->mContextMenu.reset();
    ASSERT_NE(openOn(0), nullptr);
    EXPECT_EQ(byId(), (std::map<i32, float>{{0, 0.0f}, {1, 90.0f}, {2, 210.0f}}));
    sniper.require = 2;
    tier(10002).require = 3;
    map->mContextMenu.reset();
    ASSERT_NE(openOn(0), nullptr);
    EXPECT_EQ(byId(), (std::map<i32, float>{{0, 0.0f}, {1, 90.0f}}));

    // A tower on tier 1 is offered the tiers that build on it.
    tier(10002).require = 1;
    sniper.require = 1;
    ASSERT_TRUE(tower->upgrade(1, 90.0f));
    map->mContextMenu.reset();
    ASSERT_NE(openOn(0), nullptr);
    EXPECT_EQ(byId(), (std::map<i32, float>{{0, 0.0f}, {2, 120.0f}, {3, 140.0f}}));

    // Prices turn red while the coins fall short.
    map->mContextMenu.reset();
    unlockOnly("10000");
    TDContextMenu* menu = openOn(1); // a spot that lengthens the range
    ASSERT_NE(menu, nullptr);
    const TDContextMenuItem& item = *menu->items[0];
    const float a = item.angle * 3.14f / 180.0f;
    RecordingUiPainter painter;
    map->mStats.mCoins = cost(10000) - 1;
    menu->draw(painter);
    std::vector<UiCall> texts = painter.of(L"text");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].name, L"$" + std::to_wstring(cost(10000)));
    EXPECT_LT(texts[0].color.g, 0.5f);
    // Centred over the entry without the edge factor, 30 higher.
    EXPECT_NEAR(texts[0].x, menu->centreX + std::sin(a) * menu->radius, 1e-3);
    EXPECT_NEAR(texts[0].y, menu->centreY + std::cos(a) * menu->radius - 30.0f, 1e-3);
    painter.calls.clear();
    map->mStats.mCoins = cost(10000);
    menu->draw(painter);
    EXPECT_EQ(painter.of(L"text")[0].color.g, 1.0f);

    // The hovered build entry shows its range with a pulsing ring.
    const float range = map->findPrototype(10000)->radius * spot(1).spot->properties.getFloat("radius_mult");
    ASSERT_GT(range, map->findPrototype(10000)->radius);
    menu->hoveredId = 10000;
    menu->timer = 2.25f; // a quarter into a second
    painter.calls.clear();
    menu->drawRange(painter);
    std::vector<UiCall> images = painter.of(L"image");
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].name, L"ui/radius");
    EXPECT_FLOAT_EQ(images[0].scale, range / 336.0f);
    std::vector<UiCall> lines = painter.of(L"line");
    ASSERT_EQ(lines.size(), 72u);
    EXPECT_FLOAT_EQ(lines[0].x, menu->centreX); // the first point of the ring lies straight down
    EXPECT_FLOAT_EQ(lines[0].y, menu->centreY + range * 0.5f);
    EXPECT_FLOAT_EQ(lines[36].y, menu->centreY + range * 0.5f * 1.125f * 0.25f);
    menu->close();
    painter.calls.clear();
    menu->drawRange(painter);
    EXPECT_TRUE(painter.calls.empty()) << "no preview while closing";

    // Entries fade and fly out while opening: the tower icon, then its ability icons around it.
    map->mContextMenu.reset();
    unlockOnly("30000");
    tapSpot(2);
    ASSERT_NE(map->mContextMenu, nullptr);
    TDContextMenu& half = *map->mContextMenu;
    half.update(0.1f); // half open
    painter.calls.clear();
    half.draw(painter);
    images = painter.of(L"image");
    // The acid tower of the demo sheet ("dot/air"): its icon, then acid and wing on an arc under
    // it, at 330 and 390 degrees, 35 away.
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(images[0].name, L"ui/tower_09");
    EXPECT_NEAR(images[0].color.a, 0.5f, 1e-5);
    EXPECT_NEAR(images[0].y, half.centreY + half.radius * 0.5f, 1e-3); // at 0 degrees: straight down
    EXPECT_EQ(images[1].name, L"ui/acid_01");
    EXPECT_EQ(images[2].name, L"ui/wing_01");
    EXPECT_NEAR(images[1].x - images[0].x, -17.588f, 1e-2);
    EXPECT_NEAR(images[1].y - images[0].y, 30.260f, 1e-2);
    EXPECT_NEAR(images[2].x - images[0].x, 17.395f, 1e-2);
    EXPECT_NEAR(images[2].y - images[0].y, 30.371f, 1e-2);
    EXPECT_NEAR(images[2].color.a, 0.5f, 1e-5) << "the icons fade in with their entry";

    // A tower's menu with the pointer on the sale (the dart's: the mage's first offers a tier
    // step, whose ring shows no range).
    map->mContextMenu.reset();
    map->mStats.mCoins = cost(10000);
    ASSERT_NE(map->buildTower(2, 10000), nullptr);
    TDContextMenu* sale = openOn(2);
    ASSERT_NE(sale, nullptr);
    ASSERT_EQ(sale->items[0]->id, 0);
    const float saleAngle = sale->items[0]->angle * 3.14f / 180.0f;
    const float r = sale->radius * (sale->isNearEdge() ? 1.3f : 1.0f);
    sale->hoveredId = sale->itemAt(sale->centreX + std::sin(saleAngle) * r, sale->centreY + std::cos(saleAngle) * r);
    EXPECT_EQ(sale->hoveredId, 0);
    painter.calls.clear();
    sale->draw(painter);
    ASSERT_GE(painter.calls.size(), 2u);
    EXPECT_EQ(painter.calls[0].name, L"ui/radius");
    EXPECT_EQ(painter.calls[0].scale, 1.0f);
    EXPECT_EQ(painter.calls[1].what, L"tower"); // drawn again above the battle
    EXPECT_EQ(painter.of(L"line").size(), 0u);
}

} // namespace
