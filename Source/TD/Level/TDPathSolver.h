// Dijkstra's search over the level's points: the route from one point to another.
#pragma once

#include "Core/Base/Types.h"
#include "Source/TD/Level/TDRoadNetwork.h"

#include <vector>

struct TDPathNode
{
    TDPoint* point = nullptr;
    TDPathNode* previous = nullptr;
    float distance = 1.0e7f;
    u32 visited = 0;
    std::vector<i32> neighbours; // ids of the points joined to this one
};

// Source of the search graph.
class DijkstraDataExtractor
{
public:
    virtual ~DijkstraDataExtractor() = default;
    virtual void Extract(const TDRoadNetwork& network) = 0;
    std::vector<TDPathNode*> nodes; // owned
};

// One node per point, in point order, with the point's neighbours.
class MapExtractor : public DijkstraDataExtractor
{
public:
    ~MapExtractor() override;
    void Extract(const TDRoadNetwork& network) override;
};

class TDPathSolver
{
public:
    TDPathSolver(DijkstraDataExtractor& extractor, const TDRoadNetwork& network)
        : mExtractor(extractor), mNetwork(network)
    {
    }
    // Point ids from `from` to `to`, both included; empty when either is missing or `to`
    // cannot be reached. Ties keep the earlier predecessor.
    std::vector<i32> findRoute(const TDPoint* from, const TDPoint* to);
    // The first unvisited node with the smallest distance below 10000001, or null.
    TDPathNode* nextNode();

private:
    TDPathNode* nodeFor(i32 id);

    DijkstraDataExtractor& mExtractor;
    const TDRoadNetwork& mNetwork;
};

// A fresh extraction and search, as the battle asks for routes.
std::vector<i32> tdFindRoute(const TDRoadNetwork& network, const TDPoint* from, const TDPoint* to);
