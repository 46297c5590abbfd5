// The battle controller over the demo content's loose files, no level loaded: the sheets, tables
// and texts as the game reads them.
#pragma once

#include "Core/Base/Singletone.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/TDFileSource.h"
#include "Source/TD/Data/TDProfileStore.h"
#include "Source/TD/Data/TDText.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>

namespace tdtest
{
struct DemoContentFixture : ::testing::Test
{
    TDFolderFileSource files{tdtext::utf8ToWide(QL_CONTENT_DIR)};
    TDDocumentProfileStore profiles;
    std::unique_ptr<TDMap> map;

    void SetUp() override
    {
        base::SingletoneBase::DestroyAll();
        TDFileSource::setCurrent(&files);
        map = std::make_unique<TDMap>(TDBattleServices(), profiles);
        map->mCacheRoot = tdtext::utf8ToWide(QL_CONTENT_DIR);
    }
    void TearDown() override
    {
        map.reset();
        TDFileSource::setCurrent(nullptr);
        base::SingletoneBase::DestroyAll();
    }
    // The prototype or tier with that id and the base of its line, or nulls.
    std::pair<const TDPrototype*, const TDPrototype*> line(i32 id) const
    {
        for (const TDPrototype* p : map->mPrototypes.all)
        {
            if (p->id == id)
                return {p, p};
            for (const TDPrototype* tier : p->tiers)
                if (tier->id == id)
                    return {tier, p};
        }
        return {nullptr, nullptr};
    }
    const TDPrototype* proto(i32 id) const { return line(id).first; }
};
} // namespace tdtest
