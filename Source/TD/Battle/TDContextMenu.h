// The ring menu around a build spot or a tower: build entries, the spot purchase, upgrades,
// the tier step and the sale, opening and closing in 0.2 s, with the range preview.
#pragma once

#include "Core/Base/Types.h"
#include "Source/TD/Data/TDPrototype.h"

#include <memory>
#include <string>
#include <vector>

class TDMap;
class TDTower;
class TDUiPainter;
struct TDSpotFrame;

struct TDContextMenuItem
{
    std::string label;        // UTF-8; "$" money and "#" crystal icons
    float angle = 0.0f;       // degrees
    float x = 0.0f, y = 0.0f; // place when fully open, from the menu's centre (set by layout)
    i32 id = 0;               // build: prototype id; upgrade: target "levelid"; tier and buy: 1; sell: 0
    i32 index = 0;            // from 1 in fill order; 0 for the sell entry
    float cost = 0.0f;
    std::unique_ptr<TDPrototype> prototype; // upgraded copy, or null
};

class TDContextMenu
{
public:
    // What the ring offers.
    enum class Kind : i32
    {
        kTowerUpgrades = 0,
        kBuild = 1,
        kBuySpot = 2,
        kTowerTier = 3,
    };
    using enum Kind;
    enum class State : i32
    {
        kOpening = 0,
        kOpen = 2,
        kClosing = 3,
    };
    using enum State;

    // Plays "context_in" and tells the tutorial "tower_select".
    explicit TDContextMenu(TDMap& map);
    TDContextMenu(const TDContextMenu&) = delete;
    TDContextMenu& operator=(const TDContextMenu&) = delete;

    // The four fillings; the creator sets the centre afterwards.
    void openBuild(TDSpotFrame* spot);
    void openBuySpot(TDSpotFrame* spot);
    void openTower(TDTower* tower);

    // Unscaled frame time: opening and closing take 0.2 s each.
    void update(float dt);
    void close();
    // Id of the entry within 32 of the battle point while open; -1 otherwise.
    i32 itemAt(float px, float py);
    float costOf(i32 id) const;
    // Spreads the entries over the arc (edges of the screen taken into account); the drawing
    // and the update both run it, so the hit test works without a picture.
    void layout();
    void draw(TDUiPainter& painter);
    void drawRange(TDUiPainter& painter);

    bool isNearEdge() const;

    std::vector<std::unique_ptr<TDContextMenuItem>> items;
    State state = kOpening;
    float timer = 0.0f;
    bool edgeLayout = false;
    Kind kind = kBuild;
    i32 hoveredId = -1;
    TDContextMenuItem* hoveredItem = nullptr;
    TDTower* tower = nullptr;    // not owned
    TDSpotFrame* spot = nullptr; // not owned
    float startAngle = 0.0f, endAngle = 360.0f;
    float radius = 80.0f;
    float centreX = 0.0f, centreY = 0.0f;
    i32 visible = 1;

private:
    // More than four build entries: evenly spread over the whole ring, the base towers each on
    // the free place nearest to its usual angle.
    void spreadAround();
    // Places when fully open: on the ring, the ring widened so that neighbours keep apart, and
    // moved inside the map.
    void placeItems(float k);
    TDContextMenuItem& addItem(i32 index, i32 id, const TDPrototype* prototype, float cost);
    std::unique_ptr<TDPrototype> upgraded(const TDPrototype& p) const;
    float radiusMult() const;
    void drawCircle(TDUiPainter& painter, float cx, float cy, float r, const struct TDColor& color) const;

    TDMap& mMap;
};

// The icon of a tower kind on its entries ("ui/tower_01", ...); empty for ids without one.
std::wstring tdTowerIcon(i32 protoId);
// The ability icons of a prototype's "addons" words, in word order.
std::vector<std::wstring> tdAbilityIcons(const TDPrototype& p);
