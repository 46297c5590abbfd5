// Read-only view of a level's points and links: lookups by id, neighbours and link lengths.
#pragma once

#include "Core/Base/Types.h"
#include "Source/TD/Level/TDLink.h"
#include "Source/TD/Level/TDPoint.h"

#include <vector>

class TDRoadNetwork
{
public:
    TDRoadNetwork(const std::vector<TDPoint*>& points, const std::vector<TDLink*>& links)
        : mPoints(points), mLinks(links)
    {
    }

    const std::vector<TDPoint*>& points() const { return mPoints; }
    const std::vector<TDLink*>& links() const { return mLinks; }

    // The first point with that id, or null.
    TDPoint* findPoint(i32 id) const;
    // The first link with a's id at one end and b's at the other (either direction), or null.
    TDLink* findLink(i32 a, i32 b) const;
    // Points at the other end of every link touching p, each id once, in link order.
    // Links whose other end names no point are skipped.
    std::vector<TDPoint*> getNeighbours(const TDPoint* p) const;
    // Straight distance between a and b when a link joins them, else -1.
    float getLinkLength(const TDPoint* a, const TDPoint* b) const;
    // The first point with "spawn" 1.0 / "goal" 1.0, or null.
    TDPoint* getSpawnPoint() const;
    TDPoint* getGoalPoint() const;
    // The last point with "goal" 1.0 (what the path builder aims at), or null.
    TDPoint* getLastGoalPoint() const;

private:
    const std::vector<TDPoint*>& mPoints;
    const std::vector<TDLink*>& mLinks;
};

float tdDistance(float x1, float y1, float x2, float y2);
