// Stateless geometry of the level: points on curves and polylines, lengths, lookups.
#include "Source/TD/Battle/TDMap.h"

#include "Source/TD/Data/TDText.h"
#include "Source/TD/Level/TDPathCurve.h"
#include "Source/TD/Level/TDPathSolver.h"

#include <algorithm>
#include <cmath>

float TDMap::distance(float x1, float y1, float x2, float y2) { return tdDistance(x1, y1, x2, y2); }

std::vector<i32> TDMap::findRoute(const TDPoint* from, const TDPoint* to) const
{
    return tdFindRoute(network(), from, to);
}

void TDMap::getLinkNormal(const TDLink* link, float t, float& nx, float& ny) const
{
    nx = ny = 0.0f;
    const TDPoint* a = link ? network().findPoint(link->sid) : nullptr;
    const TDPoint* b = link ? network().findPoint(link->eid) : nullptr;
    if (!a || !b)
        return;
    TDCurve curve{a->x, a->y, link->anchorX, link->anchorY, b->x, b->y};
    float t1 = std::min(t, 1.0f);
    float x1, y1, x2, y2;
    tdcurve::point(curve, t1, x1, y1);
    tdcurve::point(curve, t1 + 0.01f, x2, y2);
    float dx = x2 - x1, dy = y2 - y1;
    float len = std::sqrt(dx * dx + dy * dy);
    if (len == 0.0f)
        return;
    nx = -dy / len;
    ny = dx / len;
}

float TDMap::getLinkCurveLength(const TDLink* link) const
{
    const TDPoint* a = link ? network().findPoint(link->sid) : nullptr;
    const TDPoint* b = link ? network().findPoint(link->eid) : nullptr;
    if (!a || !b)
        return 0.0f;
    TDCurve curve{a->x, a->y, link->anchorX, link->anchorY, b->x, b->y};
    float px, py;
    tdcurve::point(curve, 0.0f, px, py);
    float sum = 0.0f;
    // Accumulated in single precision, t passes 1.0 just before reaching it: the last sample is 0.9.
    for (float t = 0.0f; t <= 1.0f; t += 0.1f)
    {
        float x, y;
        tdcurve::point(curve, t, x, y);
        sum += tdDistance(px, py, x, y);
        px = x;
        py = y;
    }
    return sum;
}

float TDMap::findLinkParameter(const TDLink* link, float t, float dist, float offset) const
{
    const TDPoint* a = link ? network().findPoint(link->sid) : nullptr;
    const TDPoint* b = link ? network().findPoint(link->eid) : nullptr;
    if (!a || !b)
        return 1.0f;
    TDCurve curve{a->x, a->y, link->anchorX, link->anchorY, b->x, b->y};
    auto shifted = [&](float at, float& x, float& y)
    {
        float nx, ny;
        tdcurve::point(curve, at, x, y);
        getLinkNormal(link, at, nx, ny);
        x += offset * nx;
        y += offset * ny;
    };
    float px, py;
    shifted(t, px, py);
    float sum = 0.0f;
    float at = t;
    while (sum < dist)
    {
        at += 0.001f;
        if (!(at <= 1.0f))
            return 1.0f;
        float x, y;
        shifted(at, x, y);
        sum += tdDistance(px, py, x, y);
        px = x;
        py = y;
    }
    return at;
}

float TDMap::getHealthFactor() const
{
    if (mMode == kDifficultyEasy)
        return -0.1f;
    if (mMode == kDifficultyHard)
        return 0.1f;
    return 0.0f;
}

std::optional<float> TDMap::getChainCost(i32 rootId, const std::vector<const TDPrototype*>& prototypes,
                                         const TDPrototype* proto)
{
    float sum = 0.0f;
    // A chain longer than the list repeats a tier: it loops.
    for (size_t steps = 0; proto && steps <= prototypes.size(); ++steps)
    {
        sum += proto->cost;
        if (proto->require == rootId)
            return sum;
        const TDPrototype* predecessor = nullptr;
        for (const TDPrototype* p : prototypes)
            if (p->levelId == proto->require)
            {
                predecessor = p;
                break;
            }
        proto = predecessor;
    }
    return std::nullopt;
}

std::vector<std::pair<float, float>> TDMap::linkDots(const TDLink& link) const
{
    std::vector<std::pair<float, float>> dots;
    const TDPoint* a = findPoint(link.sid);
    const TDPoint* b = findPoint(link.eid);
    if (!a || !b)
        return dots;
    for (float t = 0.0f; t < 1.0f; t = findLinkParameter(&link, t, 25.0f, 0.0f))
    {
        const float u = 1.0f - t;
        dots.emplace_back(u * u * a->x + 2.0f * t * u * link.anchorX + t * t * b->x,
                          u * u * a->y + 2.0f * t * u * link.anchorY + t * t * b->y);
    }
    return dots;
}

void TDMap::screenToBattle(float x, float y, i32& bx, i32& by) const
{
    bx = tdtext::truncToInt((x - mOffsetX) / mScale);
    by = tdtext::truncToInt((y - mOffsetY) / mScale);
}
