// The sprite store's graphics as the battle's frame counts and points: every kind of the sheets
// is matched to its graphic by its "psd" and "img" names, and the battle reads the lists through it.
#pragma once

#include "Source/TD/Seams/TDBattleServices.h"
#include "Source/TD/Sprites/TDSpriteTable.h"

class TDPrototypes;
class TDResources;

class TDSpriteTableMetrics : public TDSpriteMetrics
{
public:
    TDSpriteTableMetrics(TDSpriteTable& table, TDResources& resources) : mTable(table), mResources(resources) {}

    // Gives every prototype and tier that names a "psd" or an "img" its graphic (the sheet's
    // group named by both, or one made from the layered image and the picture they name).
    static void fill(TDSpriteTable& table, TDResources& resources, const TDPrototypes& store);
    void prototypesLoaded(const TDPrototypes& store) override { fill(mTable, mResources, store); }

    i32 frameCount(i32 id, const char* list) const override { return mTable.frameCount(id, list); }
    bool point(i32 id, const char* list, i32 index, float& x, float& y) const override
    {
        return mTable.point(id, list, index, x, y);
    }
    void size(i32 id, float& w, float& h) const override { mTable.size(id, w, h); }
    i32 spriteFrameCount(const std::wstring& sprite) const override { return mTable.spriteFrameCount(sprite); }

private:
    TDSpriteTable& mTable;
    TDResources& mResources;
};
