// Dijkstra's search over the level's points.
#include "Source/TD/Level/TDPathSolver.h"

#include "Core/Base/OwnedList.h"

#include <algorithm>

MapExtractor::~MapExtractor() { base::DeleteAll(nodes); }

void MapExtractor::Extract(const TDRoadNetwork& network)
{
    for (TDPoint* p : network.points())
    {
        TDPathNode* node = new TDPathNode();
        node->point = p;
        for (const TDPoint* n : network.getNeighbours(p))
            node->neighbours.push_back(n->id);
        nodes.push_back(node);
    }
}

TDPathNode* TDPathSolver::nodeFor(i32 id)
{
    for (TDPathNode* node : mExtractor.nodes)
        if (node->point->id == id)
            return node;
    return nullptr;
}

TDPathNode* TDPathSolver::nextNode()
{
    TDPathNode* best = nullptr;
    for (TDPathNode* node : mExtractor.nodes)
        if (!node->visited && node->distance < 10000001.0f && (!best || node->distance < best->distance))
            best = node;
    return best;
}

std::vector<i32> TDPathSolver::findRoute(const TDPoint* from, const TDPoint* to)
{
    if (!from || !to)
        return {};
    TDPathNode* current = nodeFor(from->id);
    TDPathNode* target = nodeFor(to->id);
    if (!current || !target)
        return {};
    TDPathNode* start = current;
    current->distance = 0.0f;
    while (current)
    {
        current->visited = 1;
        for (i32 id : current->neighbours)
        {
            TDPathNode* neighbour = nodeFor(id);
            if (!neighbour || neighbour->visited)
                continue;
            float len = mNetwork.getLinkLength(current->point, neighbour->point);
            if (neighbour->distance > current->distance + len)
            {
                neighbour->previous = current;
                neighbour->distance = current->distance + len;
            }
        }
        bool allVisited = std::all_of(mExtractor.nodes.begin(), mExtractor.nodes.end(),
                                      [](const TDPathNode* n) { return n->visited != 0; });
        current = allVisited ? nullptr : nextNode();
    }

    // Walk back from the target; an unreached target has no predecessor chain to the start.
    std::vector<i32> route;
    TDPathNode* node = target;
    size_t guard = mExtractor.nodes.size() + 1;
    while (node && guard-- > 0)
    {
        route.push_back(node->point->id);
        if (node->point->id == start->point->id)
        {
            std::reverse(route.begin(), route.end());
            return route;
        }
        node = node->previous;
    }
    return {};
}

std::vector<i32> tdFindRoute(const TDRoadNetwork& network, const TDPoint* from, const TDPoint* to)
{
    MapExtractor extractor;
    extractor.Extract(network);
    TDPathSolver solver(extractor, network);
    return solver.findRoute(from, to);
}
