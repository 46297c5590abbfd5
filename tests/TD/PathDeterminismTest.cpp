// The polylines of a demo level hash to a stored value: a change to the curve arithmetic (or to
// the compiler's float handling) shows here first. Changing the value is a decision.
#include "Core/Base/Singletone.h"
#include "Source/TD/TDFileSource.h"
#include "Source/TD/TDMap.h"
#include "Source/TD/TDProfileStore.h"
#include "Source/TD/TDText.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
u64 hashPaths(const TDPathSet& paths, const std::vector<TDLink*>& links)
{
    u64 hash = 1469598103934665603ull;
    auto mix = [&](const void* data, size_t size) {
        const unsigned char* bytes = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i)
            hash = (hash ^ bytes[i]) * 1099511628211ull;
    };
    for (const TDPathRecord* record : paths.records())
    {
        u32 index = 0;
        while (index < links.size() && links[index] != record->link)
            ++index;
        mix(&index, sizeof(index));
        for (const auto& [offset, line] : record->points)
        {
            mix(&offset, sizeof(offset));
            for (const TDPathPoint* p : line)
                for (float f : {p->x, p->y, p->normalX, p->normalY})
                    mix(&f, sizeof(f));
        }
    }
    return hash;
}
} // namespace

TEST(PathDeterminism, IsletCrossingHashesToItsStoredValue)
{
    base::SingletoneBase::DestroyAll();
    TDFolderFileSource files(tdtext::utf8ToWide(QL_CONTENT_DIR));
    TDFileSource::setCurrent(&files);
    TDDocumentProfileStore profiles;
    {
        TDMap map(TDBattleServices(), profiles);
        map.mMode = 1;
        map.mLevel = 1;
        ASSERT_EQ(map.loadLevel(), QL_OK);
        u64 first = hashPaths(map.mPaths, map.mLinks);
        map.mPaths.buildPaths(map.network(), map.mWaves);
        EXPECT_EQ(hashPaths(map.mPaths, map.mLinks), first);
        EXPECT_EQ(first, 3989370478519807707ull);
    }
    TDFileSource::setCurrent(nullptr);
    base::SingletoneBase::DestroyAll();
}
