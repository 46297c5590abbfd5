// The level's paths: per link and side offset the polyline units walk; built or read from a cache.
#pragma once

#include "Core/Base/OwnedList.h"
#include "Core/Base/Types.h"
#include "Source/TD/Level/TDLink.h"
#include "Source/TD/Level/TDPathPoint.h"

#include <map>
#include <string>
#include <vector>

class TDRoadNetwork;
class TDWaveSchedule;

struct TDPathRecord
{
    TDPathRecord() = default;
    ~TDPathRecord();
    TDPathRecord(const TDPathRecord&) = delete;
    TDPathRecord& operator=(const TDPathRecord&) = delete;

    std::map<i32, float> lengths;                    // filled only from the cache
    std::map<i32, std::vector<TDPathPoint*>> points; // owned points, per side offset
    TDLink* link = nullptr;                          // not owned
};

class TDPathSet
{
public:
    TDPathSet() = default;
    ~TDPathSet() { clear(); }
    TDPathSet(const TDPathSet&) = delete;
    TDPathSet& operator=(const TDPathSet&) = delete;

    // Reads the cache at cachePath when it is sound; else builds every polyline the waves need
    // from each spawn point to the goal.
    void build(const TDRoadNetwork& network, const TDWaveSchedule& waves, const std::wstring& cachePath);
    // The polylines only, never the cache.
    void buildPaths(const TDRoadNetwork& network, const TDWaveSchedule& waves);
    void clear();

    // 0 when the file was read; non-zero when it is missing or damaged (the set is then empty).
    int loadCache(const std::wstring& path, const std::vector<TDLink*>& links);
    // Parses cache bytes: little-endian, no header. A count that does not fit the bytes left, a
    // link index past the level's links or a short read fails and leaves the set empty.
    QLResultEnum readCache(const std::string& bytes, const std::vector<TDLink*>& links);

    // Copies the polyline of (link, offset) into out; out stays unchanged when there is none.
    void find(const TDLink* link, i32 offset, std::vector<TDPathPoint*>& out) const;
    bool has(const TDLink* link, i32 offset) const;
    // Takes ownership of the points.
    void store(TDLink* link, i32 offset, const std::vector<TDPathPoint*>& points);
    // Polylines run from a link's "sid" to its "eid". A walker that enters the link at its "eid"
    // walks the polyline of the other side backwards, so that it keeps its own side of the road:
    // this is the offset whose polyline it takes.
    static i32 walkedOffset(const TDLink& link, i32 fromId, i32 offset)
    {
        return link.sid == fromId ? offset : -offset;
    }
    // The points of (link, walked offset) for a walker leaving the point fromId, in walking order;
    // false (out unchanged) when the set has none.
    bool findWalked(const TDLink* link, i32 fromId, i32 offset, std::vector<TDPathPoint*>& out) const;

    const base::OwnedList<TDPathRecord>& records() const { return mRecords; }

private:
    TDPathRecord* recordFor(const TDLink* link) const;
    base::OwnedList<TDPathRecord> mRecords;
};
