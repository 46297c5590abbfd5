// The tower ring menu: filling, timing, hit test, layout and drawing.
#include "Source/TD/Battle/TDContextMenu.h"

#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/TDText.h"
#include "Source/TD/Level/TDMapScene.h"
#include "Source/TD/Seams/TDUiPainter.h"
#include "Source/TD/Units/TDTower.h"

#include <algorithm>
#include <cmath>

namespace
{
// The menu converts degrees with 3.14, not the full constant.
constexpr float kDegToRad = 3.14f / 180.0f;
constexpr float kOpenTime = 0.2f;
constexpr float kRangeImageSize = 336.0f;
constexpr float kHitRadius = 32.0f;
// The battle map's size; entries stay this far inside it.
constexpr float kMapWidth = 1024.0f, kMapHeight = 768.0f, kMapMargin = 28.0f;

float baseTowerAngle(i32 id)
{
    switch (id)
    {
    case 10000: return 270.0f;
    case 20000: return 180.0f;
    case 30000: return 0.0f;
    case 40000: return 90.0f;
    default: return -1.0f;
    }
}

float angleGap(float a, float b)
{
    float d = std::fmod(std::fabs(a - b), 360.0f);
    return d > 180.0f ? 360.0f - d : d;
}

float spotCentreX(const TDSpotFrame& s) { return static_cast<float>(s.x) + 0.5f * static_cast<float>(s.width); }
float spotCentreY(const TDSpotFrame& s) { return static_cast<float>(s.y) + 0.5f * static_cast<float>(s.height); }
} // namespace

std::wstring tdTowerIcon(i32 id)
{
    switch (id)
    {
    case 10000:
    case 10001:
    case 10002: return L"ui/tower_01";
    case 10100: return L"ui/tower_03";
    case 10200: return L"ui/tower_02";
    case 20000:
    case 20001:
    case 20002: return L"ui/tower_05";
    case 20100: return L"ui/tower_04";
    case 20200: return L"ui/tower_06";
    case 30000:
    case 30001:
    case 30002: return L"ui/tower_09";
    case 30100: return L"ui/tower_11";
    case 30200: return L"ui/tower_10";
    case 40000:
    case 40001:
    case 40002: return L"ui/tower_08";
    case 40100: return L"ui/tower_12";
    case 40200: return L"ui/tower_07";
    // The kinds beyond the four base towers, so that none of their entries is blank.
    case 50000:
    case 50001: return L"ui/tower_13";
    case 60000: return L"ui/tower_14";
    case 70000: return L"ui/tower_15";
    case 80000: return L"ui/tower_16";
    default: return L"";
    }
}

std::vector<std::wstring> tdAbilityIcons(const TDPrototype& p)
{
    static const std::pair<const char*, const wchar_t*> kIcons[] = {
        {"dot", L"ui/acid_01"},
        {"aim", L"ui/beam_01"},
        {"splash", L"ui/aoe_01"},
        {"fsplash", L"ui/burn_01"},
        {"stun", L"ui/dazed_01"},
        {"boost", L"ui/hammer_01"},
        {"show_invisible", L"ui/showInvisible_01"},
        {"gold", L"ui/money_01"},
        {"tele", L"ui/portal_01"},
        {"air", L"ui/wing_01"},
        {"star1", L"ui/might_01"},
        {"star2", L"ui/might_02"},
        {"showInvisible", L"ui/showInvisible_01"},
    };
    std::vector<std::wstring> icons;
    for (const std::string& word : p.addonList)
        for (const auto& [addon, image] : kIcons)
            if (word == addon)
                icons.push_back(image);
    return icons;
}

TDContextMenu::TDContextMenu(TDMap& map) : mMap(map)
{
    mMap.playSound(L"context_in");
    mMap.postEvent(L"tower_select");
}

std::unique_ptr<TDPrototype> TDContextMenu::upgraded(const TDPrototype& p) const
{
    auto copy = std::make_unique<TDPrototype>(p);
    mMap.mUpgrades.applyToPrototype(mMap.upgradeContext(), *copy);
    return copy;
}

TDContextMenuItem& TDContextMenu::addItem(i32 index, i32 id, const TDPrototype* prototype, float cost)
{
    auto item = std::make_unique<TDContextMenuItem>();
    item->index = index;
    item->id = id;
    item->cost = cost;
    if (prototype)
        item->prototype = std::make_unique<TDPrototype>(*prototype);
    items.push_back(std::move(item));
    return *items.back();
}

void TDContextMenu::openBuild(TDSpotFrame* s)
{
    kind = kBuild;
    startAngle = 90.0f;
    endAngle = 270.0f;
    radius = 80.0f;
    spot = s;
    i32 index = 1;
    for (const TDPrototype* p : mMap.mPrototypes.all)
    {
        if (p->type != 1 || !mMap.isUnlocked(p->id))
            continue;
        std::unique_ptr<TDPrototype> copy = upgraded(*p);
        addItem(index++, p->id, copy.get(), copy->cost);
    }
}

void TDContextMenu::openBuySpot(TDSpotFrame* s)
{
    kind = kBuySpot;
    spot = s;
    TDContextMenuItem& item = addItem(1, 1, nullptr, 0.0f);
    item.angle = 90.0f;
    if (s && s->spot)
    {
        if (s->spot->costGold != 0)
            item.label = "$" + std::to_string(s->spot->costGold);
        if (s->spot->costReal != 0)
        {
            if (!item.label.empty())
                item.label += "; ";
            item.label += "#" + std::to_string(s->spot->costReal);
        }
    }
}

void TDContextMenu::openTower(TDTower* t)
{
    kind = kTowerUpgrades;
    startAngle = 0.0f;
    endAngle = 360.0f;
    tower = t;
    spot = t->mSpot;
    addItem(0, 0, nullptr, 0.0f);
    const TDPrototype* p = mMap.findPrototype(t->baseId());
    if (!p)
        return;
    if (t->mTierCount < p->tierUpdates)
    {
        kind = kTowerTier;
        addItem(1, 1, p, p->tierCost);
        return;
    }
    std::vector<std::unique_ptr<TDPrototype>> candidates;
    for (const TDPrototype* tier : p->tiers)
        if (tier->require >= t->mLevel && mMap.isUnlocked(tier->id))
            candidates.push_back(upgraded(*tier));
    // The price of an entry is the sum of every tier on the way from the tower's tier; a chain
    // that does not lead back (or loops) has no price, and the entry is left out.
    std::vector<const TDPrototype*> chain;
    for (const auto& c : candidates)
        chain.push_back(c.get());
    i32 index = 1;
    for (const auto& c : candidates)
    {
        if (std::optional<float> cost = TDMap::getChainCost(t->mLevel, chain, c.get()))
            addItem(index++, c->levelId, c.get(), *cost);
    }
}

void TDContextMenu::update(float dt)
{
    timer += dt;
    if (state == kOpening && timer > kOpenTime)
    {
        timer = 0.0f;
        state = kOpen;
    }
    else if (state == kClosing && timer > kOpenTime)
    {
        visible = 0;
        state = kOpen;
    }
    layout();
}

void TDContextMenu::close()
{
    if (state == kClosing)
        return;
    mMap.playSound(L"context_out");
    state = kClosing;
    timer = 0.0f;
}

bool TDContextMenu::isNearEdge() const
{
    return centreY < 150.0f || centreY > 650.0f || centreX < 150.0f || centreX > 874.0f;
}

i32 TDContextMenu::itemAt(float px, float py)
{
    if (items.empty() || state != kOpen || !visible)
        return -1;
    // The nearest entry, so that the one drawn under the pointer is the one chosen.
    hoveredItem = nullptr;
    float best = kHitRadius;
    for (const auto& item : items)
    {
        float d = TDMap::distance(centreX + item->x, centreY + item->y, px, py);
        if (d < best)
        {
            best = d;
            hoveredItem = item.get();
        }
    }
    return hoveredItem ? hoveredItem->id : -1;
}

float TDContextMenu::costOf(i32 id) const
{
    for (const auto& item : items)
        if (item->id == id)
            return item->cost;
    return 0.0f;
}

void TDContextMenu::layout()
{
    if (items.empty())
    {
        visible = 0;
        return;
    }
    bool edge = isNearEdge();
    if (edge)
    {
        if (!edgeLayout)
        {
            edgeLayout = true;
            if (centreY > 150.0f && centreX > 150.0f)
                std::reverse(items.begin(), items.end());
        }
        if (centreY < 150.0f)
            startAngle = 270.0f, endAngle = 450.0f;
        if (centreY > 650.0f)
            startAngle = 90.0f, endAngle = 270.0f;
        if (centreX < 150.0f)
            startAngle = 0.0f, endAngle = 180.0f;
        if (centreX > 874.0f)
            startAngle = 180.0f, endAngle = 360.0f;
    }
    i32 n = static_cast<i32>(items.size()) - (edge ? 1 : 0);
    float step = n == 0 ? 0.0f : (endAngle - startAngle) / static_cast<float>(n);
    if (!edge && kind == kBuild && items.size() > 4)
        spreadAround();
    else
        for (size_t i = 0; i < items.size(); ++i)
        {
            TDContextMenuItem& item = *items[i];
            item.angle = startAngle + static_cast<float>(i) * step;
            // The base towers' own places are the build ring's: a tower's tier step shows the
            // base tower too, and there its place would be the sale's.
            if (edge || !item.prototype || kind != kBuild)
                continue;
            if (float fixed = baseTowerAngle(item.prototype->id); fixed >= 0.0f)
                item.angle = fixed;
        }
    placeItems(edge ? 1.3f : 1.0f);
}

void TDContextMenu::spreadAround()
{
    // The fixed angles of the four base towers leave no room for a fifth entry: every entry
    // gets its own place, 360 / n apart, starting on the left where the first base tower sits.
    const size_t n = items.size();
    const float step = 360.0f / static_cast<float>(n);
    std::vector<bool> taken(n, false);
    std::vector<TDContextMenuItem*> rest;
    for (const auto& item : items)
    {
        float fixed = item->prototype ? baseTowerAngle(item->prototype->id) : -1.0f;
        if (fixed < 0.0f)
        {
            rest.push_back(item.get());
            continue;
        }
        size_t best = n;
        for (size_t j = 0; j < n; ++j)
            if (!taken[j] && (best == n || angleGap(270.0f + static_cast<float>(j) * step, fixed) <
                                               angleGap(270.0f + static_cast<float>(best) * step, fixed)))
                best = j;
        taken[best] = true;
        item->angle = std::fmod(270.0f + static_cast<float>(best) * step, 360.0f);
    }
    size_t j = 0;
    for (TDContextMenuItem* item : rest)
    {
        while (taken[j])
            ++j;
        taken[j] = true;
        item->angle = std::fmod(270.0f + static_cast<float>(j) * step, 360.0f);
    }
}

void TDContextMenu::placeItems(float k)
{
    // Neighbouring entries keep two hit radii and a margin apart, room for their prices and
    // ability icons.
    float r = radius * k;
    if (items.size() > 1)
    {
        std::vector<float> angles;
        for (const auto& item : items)
            angles.push_back(std::fmod(std::fmod(item->angle, 360.0f) + 360.0f, 360.0f));
        std::sort(angles.begin(), angles.end());
        float gap = 360.0f;
        for (size_t i = 0; i < angles.size(); ++i)
            gap = std::min(gap, (i + 1 < angles.size() ? angles[i + 1] : angles[0] + 360.0f) - angles[i]);
        float half = std::sin(gap * 0.5f * kDegToRad);
        if (half > 0.01f)
            r = std::max(r, (kHitRadius + 8.0f) / half);
    }
    for (const auto& item : items)
    {
        float a = item->angle * kDegToRad;
        float x = centreX + std::sin(a) * r, y = centreY + std::cos(a) * r;
        x = std::clamp(x, kMapMargin, kMapWidth - kMapMargin);
        y = std::clamp(y, kMapMargin, kMapHeight - kMapMargin);
        item->x = x - centreX;
        item->y = y - centreY;
    }
}

float TDContextMenu::radiusMult() const
{
    const TDSpotFrame* s = kind == kTowerUpgrades && tower ? tower->mSpot : spot;
    if (!s || !s->spot)
        return 1.0f;
    float mult = s->spot->properties.getFloat("radius_mult");
    // A spot without the property shows the plain range, as the towers count it.
    return mult == 0.0f ? 1.0f : mult;
}

void TDContextMenu::drawCircle(TDUiPainter& painter, float cx, float cy, float r, const TDColor& color) const
{
    for (i32 a = 0; a < 360; a += 10)
    {
        float a0 = static_cast<float>(a) * kDegToRad, a1 = static_cast<float>(a + 10) * kDegToRad;
        painter.drawLine(cx + std::sin(a0) * r, cy + std::cos(a0) * r, cx + std::sin(a1) * r, cy + std::cos(a1) * r,
                         color);
    }
}

void TDContextMenu::drawRange(TDUiPainter& painter)
{
    if (state == kClosing || !spot || (kind != kTowerUpgrades && kind != kBuild))
        return;
    const TDSpotFrame& at = kind == kTowerUpgrades && tower && tower->mSpot ? *tower->mSpot : *spot;
    float cx = spotCentreX(at), cy = spotCentreY(at);
    float mult = radiusMult();
    float frac = timer - std::floor(timer);
    const TDColor white;
    const TDColor ring{0.71f, 0.63f, 0.31f, 1.0f};
    const TDColor pulse{0.0f, 0.36f, 0.125f, 1.0f - frac};
    if (kind == kTowerUpgrades && tower)
    {
        if (hoveredItem && !hoveredItem->prototype)
        {
            painter.drawUiImage(L"ui/radius", cx, cy, 1.0f, white);
            return;
        }
        const TDPrototype* p = hoveredItem ? hoveredItem->prototype.get() : tower->currentProto();
        const TDPrototype* tier = hoveredItem ? tower->currentProto(hoveredItem->id) : p;
        if (!p || !tier)
            return;
        // The reach the battle gives the tower on that tier: its tier steps stay with it, on this
        // tier and the next, and the bought upgrades count them in.
        float s = tower->ownStats(*tier).radius / kRangeImageSize * mult;
        painter.drawUiImage(L"ui/radius", cx, cy, s, white);
        drawCircle(painter, cx, cy, s * kRangeImageSize * 0.5f, ring);
        drawCircle(painter, cx, cy, (tower->mBonus.radius + p->radius) * 0.5f * mult * s * 1.125f * frac, pulse);
        return;
    }
    if (kind == kBuild && hoveredId > 0)
    {
        const TDPrototype* base = mMap.findPrototype(hoveredId);
        if (!base)
            return;
        std::unique_ptr<TDPrototype> p = upgraded(*base);
        float s = p->radius / kRangeImageSize * mult;
        painter.drawUiImage(L"ui/radius", cx, cy, s, white);
        float r = p->radius * 0.5f * mult;
        drawCircle(painter, cx, cy, r, ring);
        drawCircle(painter, cx, cy, r * 1.125f * frac, pulse);
    }
}

void TDContextMenu::draw(TDUiPainter& painter)
{
    if (!visible)
        return;
    layout();
    if (!visible)
        return;
    float f = state == kOpening ? timer / kOpenTime : state == kClosing ? 1.0f - timer / kOpenTime : 1.0f;
    drawRange(painter);
    if (tower && state != kClosing)
        painter.drawTower(*tower);
    const TDColor white;
    const TDColor faded{1.0f, 1.0f, 1.0f, f};
    for (const auto& item : items)
    {
        float x = centreX + item->x * f;
        float y = centreY + item->y * f;
        std::wstring image;
        if (item->prototype)
            image = item->prototype->stars == 1   ? L"ui/lvl2"
                    : item->prototype->stars == 2 ? L"ui/lvl3"
                                                  : tdTowerIcon(item->prototype->id);
        else
            image = kind == kBuySpot ? L"ui/buy" : L"ui/sell";
        if (!image.empty())
            painter.drawUiImage(image, x, y, 1.0f, faded);
        // The price sits over its own entry (also where the ring is widened near an edge).
        float lx = x, ly = y - 30.0f;
        if (item->prototype)
        {
            std::vector<std::wstring> icons = tdAbilityIcons(*item->prototype);
            float s = 180.0f / static_cast<float>(icons.size() + 1);
            for (size_t j = 0; j < icons.size(); ++j)
            {
                float b = (270.0f + s + static_cast<float>(j) * s) * kDegToRad;
                painter.drawUiImage(icons[j], x + std::sin(b) * 35.0f, y + std::cos(b) * 35.0f, 1.0f, faded);
            }
            i32 value = tdtext::truncToInt(kind == kTowerTier ? item->prototype->tierCost : item->cost);
            bool poor = mMap.mStats.mCoins < value;
            painter.drawText(L"$" + std::to_wstring(value), lx, ly, poor ? TDColor{0.94f, 0.44f, 0.44f, 1.0f} : white);
        }
        if (!item->label.empty())
        {
            bool poor = false;
            if (state == kOpen && spot && spot->spot)
                poor = spot->spot->costGold > mMap.mStats.mCoins || spot->spot->costReal > mMap.mStats.mGems;
            painter.drawText(tdtext::utf8ToWide(item->label), lx, ly, poor ? TDColor{1.0f, 0.0f, 0.0f, 1.0f} : white);
        }
    }
}
