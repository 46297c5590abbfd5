// Read-only view of a level's points and links.
#include "Source/TD/Level/TDRoadNetwork.h"

#include <cmath>

float tdDistance(float x1, float y1, float x2, float y2)
{
    float dx = x2 - x1;
    float dy = y2 - y1;
    return std::sqrt(dx * dx + dy * dy);
}

TDPoint* TDRoadNetwork::findPoint(i32 id) const
{
    for (TDPoint* p : mPoints)
        if (p->id == id)
            return p;
    return nullptr;
}

TDLink* TDRoadNetwork::findLink(i32 a, i32 b) const
{
    for (TDLink* link : mLinks)
        if (link->joins(a, b))
            return link;
    return nullptr;
}

std::vector<TDPoint*> TDRoadNetwork::getNeighbours(const TDPoint* p) const
{
    std::vector<TDPoint*> result;
    if (!p)
        return result;
    for (const TDLink* link : mLinks)
    {
        i32 other;
        if (link->eid == p->id)
            other = link->sid;
        else if (link->sid == p->id)
            other = link->eid;
        else
            continue;
        TDPoint* neighbour = findPoint(other);
        if (!neighbour)
            continue;
        bool seen = false;
        for (const TDPoint* q : result)
            seen = seen || q->id == neighbour->id;
        if (!seen)
            result.push_back(neighbour);
    }
    return result;
}

float TDRoadNetwork::getLinkLength(const TDPoint* a, const TDPoint* b) const
{
    if (!a || !b || !findLink(a->id, b->id))
        return -1.0f;
    return tdDistance(a->x, a->y, b->x, b->y);
}

TDPoint* TDRoadNetwork::getSpawnPoint() const
{
    for (TDPoint* p : mPoints)
        if (p->isSpawn())
            return p;
    return nullptr;
}

TDPoint* TDRoadNetwork::getGoalPoint() const
{
    for (TDPoint* p : mPoints)
        if (p->isGoal())
            return p;
    return nullptr;
}

TDPoint* TDRoadNetwork::getLastGoalPoint() const
{
    TDPoint* goal = nullptr;
    for (TDPoint* p : mPoints)
        if (p->isGoal())
            goal = p;
    return goal;
}
