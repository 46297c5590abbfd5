// The level's paths: built from the waves' spawn points and side offsets, or read from a cache.
#include "Source/TD/Level/TDPathSet.h"

#include <algorithm>

#include "Core/Base/Log.h"
#include "Core/Base/OwnedList.h"
#include "Core/File/FileSystem.h"
#include "Source/TD/Data/TDText.h"
#include "Source/TD/Level/TDPathCurve.h"
#include "Source/TD/Level/TDPathSolver.h"
#include "Source/TD/Level/TDRoadNetwork.h"
#include "Source/TD/Level/TDWaveSchedule.h"

#include <cstring>

namespace
{
const int kSegments = 20;

class CacheReader
{
public:
    explicit CacheReader(const std::string& bytes) : mBytes(bytes) {}
    bool u32At(u32& out)
    {
        if (mBytes.size() - mPos < 4)
            return false;
        const unsigned char* p = reinterpret_cast<const unsigned char*>(mBytes.data()) + mPos;
        out = static_cast<u32>(p[0]) | static_cast<u32>(p[1]) << 8 | static_cast<u32>(p[2]) << 16 |
              static_cast<u32>(p[3]) << 24;
        mPos += 4;
        return true;
    }
    bool i32At(i32& out)
    {
        u32 raw;
        if (!u32At(raw))
            return false;
        std::memcpy(&out, &raw, 4);
        return true;
    }
    bool f32At(float& out)
    {
        u32 raw;
        if (!u32At(raw))
            return false;
        std::memcpy(&out, &raw, 4);
        return true;
    }
    size_t left() const { return mBytes.size() - mPos; }
    size_t position() const { return mPos; }

private:
    const std::string& mBytes;
    size_t mPos = 0;
};
} // namespace

TDPathRecord::~TDPathRecord()
{
    for (auto& entry : points)
        base::DeleteAll(entry.second);
}

void TDPathSet::clear() { mRecords.clear(); }

TDPathRecord* TDPathSet::recordFor(const TDLink* link) const
{
    for (TDPathRecord* record : mRecords)
        if (record->link == link)
            return record;
    return nullptr;
}

bool TDPathSet::has(const TDLink* link, i32 offset) const
{
    const TDPathRecord* record = recordFor(link);
    return record && record->points.count(offset) != 0;
}

void TDPathSet::find(const TDLink* link, i32 offset, std::vector<TDPathPoint*>& out) const
{
    const TDPathRecord* record = recordFor(link);
    if (!record)
        return;
    auto found = record->points.find(offset);
    if (found != record->points.end())
        out = found->second;
}

bool TDPathSet::findWalked(const TDLink* link, i32 fromId, i32 offset, std::vector<TDPathPoint*>& out) const
{
    if (!link || !has(link, walkedOffset(*link, fromId, offset)))
        return false;
    find(link, walkedOffset(*link, fromId, offset), out);
    if (link->sid != fromId)
        std::reverse(out.begin(), out.end());
    return true;
}

void TDPathSet::store(TDLink* link, i32 offset, const std::vector<TDPathPoint*>& points)
{
    TDPathRecord* record = recordFor(link);
    if (!record)
    {
        auto added = std::make_unique<TDPathRecord>();
        record = added.get();
        record->link = link;
        mRecords.push_back(std::move(added));
    }
    auto found = record->points.find(offset);
    if (found != record->points.end())
        base::DeleteAll(found->second);
    record->points[offset] = points;
}

QLResultEnum TDPathSet::readCache(const std::string& bytes, const std::vector<TDLink*>& links)
{
    clear();
    CacheReader in(bytes);
    auto fail = [&](const wchar_t* what)
    {
        QL_LOG(L"Path cache damaged at byte %d: %s; building the paths instead\n")
            << base::LogStyle::Error << static_cast<int>(in.position()) << what;
        clear();
        return QL_FAIL;
    };
    u32 recordCount = 0;
    if (!in.u32At(recordCount))
        return fail(L"no record count");
    // Each record needs at least 12 bytes: a count beyond that cannot be honest.
    if (recordCount > in.left() / 12)
        return fail(L"record count larger than the file");
    for (u32 r = 0; r < recordCount; ++r)
    {
        u32 linkIndex = 0, lengthCount = 0, polylineCount = 0;
        if (!in.u32At(linkIndex))
            return fail(L"short record");
        if (linkIndex >= links.size())
            return fail(L"link index past the level's links");
        auto added = std::make_unique<TDPathRecord>();
        TDPathRecord* record = added.get();
        record->link = links[linkIndex];
        mRecords.push_back(std::move(added));
        if (!in.u32At(lengthCount) || lengthCount > in.left() / 8)
            return fail(L"bad length count");
        for (u32 i = 0; i < lengthCount; ++i)
        {
            i32 offset = 0;
            float length = 0.0f;
            in.i32At(offset);
            in.f32At(length);
            record->lengths[offset] = length;
        }
        if (!in.u32At(polylineCount) || polylineCount > in.left() / 8)
            return fail(L"bad polyline count");
        for (u32 i = 0; i < polylineCount; ++i)
        {
            i32 offset = 0;
            u32 pointCount = 0;
            if (!in.i32At(offset) || !in.u32At(pointCount) || pointCount > in.left() / 20)
                return fail(L"bad point count");
            std::vector<TDPathPoint*>& line = record->points[offset];
            base::DeleteAll(line);
            for (u32 k = 0; k < pointCount; ++k)
            {
                TDPathPoint* p = new TDPathPoint();
                in.u32At(p->extra);
                in.f32At(p->normalX);
                in.f32At(p->normalY);
                in.f32At(p->x);
                in.f32At(p->y);
                line.push_back(p);
            }
        }
    }
    return QL_OK;
}

int TDPathSet::loadCache(const std::wstring& path, const std::vector<TDLink*>& links)
{
    std::string bytes;
    if (file::ReadRawFile(path, bytes) != QL_OK)
        return 1;
    return readCache(bytes, links) == QL_OK ? 0 : 1;
}

void TDPathSet::build(const TDRoadNetwork& network, const TDWaveSchedule& waves, const std::wstring& cachePath)
{
    clear();
    if (!cachePath.empty() && loadCache(cachePath, network.links()) == 0)
        return;
    buildPaths(network, waves);
}

void TDPathSet::buildPaths(const TDRoadNetwork& network, const TDWaveSchedule& waves)
{
    clear();
    TDPoint* goal = network.getLastGoalPoint();
    for (TDPoint* spawn : network.points())
    {
        if (!spawn->isSpawn())
            continue;
        if (!goal)
        {
            QL_LOG(L"Level has spawn point %d but no goal; no paths built\n") << base::LogStyle::Error << spawn->id;
            return;
        }
        std::vector<i32> route = tdFindRoute(network, spawn, goal);
        if (route.empty())
        {
            QL_LOG(L"Goal %d cannot be reached from spawn point %d\n")
                << base::LogStyle::Error << goal->id << spawn->id;
            continue;
        }
        // Each link of the route with the point it is entered from.
        std::vector<std::pair<TDLink*, i32>> chain;
        for (size_t i = 0; i + 1 < route.size(); ++i)
            chain.emplace_back(network.findLink(route[i], route[i + 1]), route[i]);

        for (const TDWaveProto* wave : waves.mWaves)
        {
            if (wave->mSpawn != spawn->id)
                continue;
            for (const TDWaveEntry* entry : wave->mEntries)
            {
                for (const auto& [link, from] : chain)
                {
                    if (!link)
                        continue;
                    const i32 d = walkedOffset(*link, from, entry->sideOffset());
                    if (has(link, d))
                        continue;
                    const TDPoint* a = network.findPoint(link->sid);
                    const TDPoint* b = network.findPoint(link->eid);
                    if (!a || !b)
                        continue;
                    std::vector<TDPathPoint*> line;
                    tdcurve::makeCurve({a->x, a->y, link->anchorX, link->anchorY, b->x, b->y}, static_cast<float>(d),
                                       kSegments, line);
                    store(link, d, line);
                }
            }
        }
    }
}
