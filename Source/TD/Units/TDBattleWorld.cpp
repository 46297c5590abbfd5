// The battle world's lists and the stateless geometry of the level the objects walk.
#include "Source/TD/Units/TDBattleWorld.h"

#include "Source/TD/Data/TDText.h"
#include "Source/TD/Level/TDPathPoint.h"
#include "Source/TD/Units/TDBulletList.h"
#include "Source/TD/Units/TDDrops.h"
#include "Source/TD/Units/TDModifier.h"
#include "Source/TD/Units/TDParticle.h"
#include "Source/TD/Units/TDSpriteEffect.h"
#include "Source/TD/Units/TDTower.h"

#include <algorithm>
#include <cmath>

TDBattleWorld::TDBattleWorld() = default;

TDBattleWorld::~TDBattleWorld() = default;

void TDBattleWorld::getPointOnPath(const std::vector<TDPathPoint*>& path, float t, float& x, float& y)
{
    x = y = 0.0f;
    if (path.empty())
        return;
    i32 n = static_cast<i32>(path.size());
    if (!(t > 0.0f))
        t = 0.0f;
    float scaled = static_cast<float>(n - 1) * t;
    i32 i = std::clamp(tdtext::truncToInt(std::floor(scaled)), 0, n - 1);
    if (i + 1 >= n)
    {
        x = path[static_cast<size_t>(i)]->x;
        y = path[static_cast<size_t>(i)]->y;
        return;
    }
    float f = scaled - static_cast<float>(i);
    const TDPathPoint* a = path[static_cast<size_t>(i)];
    const TDPathPoint* b = path[static_cast<size_t>(i + 1)];
    x = a->x + f * (b->x - a->x);
    y = a->y + f * (b->y - a->y);
}

float TDBattleWorld::advanceOnPath(const std::vector<TDPathPoint*>& path, float progress, float dist)
{
    if (path.size() < 2)
        return 1.0f;
    float s = tdDistance(path[0]->x, path[0]->y, path[1]->x, path[1]->y);
    if (!(s > 0.0f))
        return 1.0f;
    float result = progress + (dist / s) * 1.0f / static_cast<float>(path.size() - 1);
    return result < 0.0f ? 0.0f : result;
}

TDLink* TDBattleWorld::findLink(const std::vector<TDLink*>& links, const TDPoint* a, const TDPoint* b)
{
    if (!a || !b)
        return nullptr;
    for (TDLink* link : links)
        if (link->joins(a->id, b->id))
            return link;
    return nullptr;
}

TDPoint* TDBattleWorld::getSpawnPoint(const std::vector<TDPoint*>& points)
{
    for (TDPoint* p : points)
        if (p->isSpawn())
            return p;
    return nullptr;
}

TDPoint* TDBattleWorld::getGoalPoint(const std::vector<TDPoint*>& points)
{
    for (TDPoint* p : points)
        if (p->isGoal())
            return p;
    return nullptr;
}
