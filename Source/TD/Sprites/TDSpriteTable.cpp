// Prototype graphics by id.
#include "Source/TD/Sprites/TDSpriteTable.h"

#include "Source/TD/Sprites/TDGraphic.h"
#include "Source/TD/Sprites/TDResources.h"

void TDSpriteTable::set(i32 prototypeId, const TDGraphic* graphic)
{
    if (graphic)
        mById[prototypeId] = graphic;
    else
        mById.erase(prototypeId);
}

const TDGraphic* TDSpriteTable::graphic(i32 prototypeId) const
{
    auto it = mById.find(prototypeId);
    return it == mById.end() ? nullptr : it->second;
}

i32 TDSpriteTable::frameCount(i32 prototypeId, const char* list) const
{
    const TDGraphic* g = graphic(prototypeId);
    return g && list ? g->frameCount(list) : 0;
}

bool TDSpriteTable::point(i32 prototypeId, const char* list, i32 index, float& x, float& y) const
{
    const TDGraphic* g = graphic(prototypeId);
    return g && list && g->point(list, index, x, y);
}

void TDSpriteTable::size(i32 prototypeId, float& width, float& height) const
{
    width = height = 0.0f;
    if (const TDGraphic* g = graphic(prototypeId))
        g->size(width, height);
}

i32 TDSpriteTable::spriteFrameCount(const std::wstring& sprite) const
{
    return mResources.findGraphic(sprite)->frameCount("");
}
