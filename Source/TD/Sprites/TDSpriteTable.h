// The graphics of the prototypes by id, answering what the battle's timing and aiming read:
// frame counts of lists, points and sizes. Works headless (no textures needed).
#pragma once

#include "Core/Base/Types.h"

#include <string>
#include <unordered_map>

class TDGraphic;
class TDResources;

class TDSpriteTable
{
public:
    explicit TDSpriteTable(TDResources& resources) : mResources(resources) {}

    // Remembers the graphic of a prototype id (null forgets it); a later id wins over an earlier one.
    void set(i32 prototypeId, const TDGraphic* graphic);
    const TDGraphic* graphic(i32 prototypeId) const;
    void clear() { mById.clear(); }

    // Frames of a list of the prototype's graphic; 0 without a graphic.
    i32 frameCount(i32 prototypeId, const char* list) const;
    // Point index of a list; false without one.
    bool point(i32 prototypeId, const char* list, i32 index, float& x, float& y) const;
    // The graphic's size; 0 x 0 without a graphic.
    void size(i32 prototypeId, float& width, float& height) const;
    // Frames of the unnamed list of a named sprite ("td/mob_dot"), loaded on demand.
    i32 spriteFrameCount(const std::wstring& sprite) const;

private:
    TDResources& mResources;
    std::unordered_map<i32, const TDGraphic*> mById;
};
