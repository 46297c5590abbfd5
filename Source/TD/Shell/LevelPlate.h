// One level's plate on the level selection: its picture by progress (super, complete,
// incomplete, locked), its number, the stars won, the "new" badge and the mark of the next
// level to play, with the hover zoom.
#pragma once

#include "Core/Base/Types.h"
#include "Core/Media/Particles/ParticleEmitter.h"

#include <memory>

namespace render
{
class Image;
}

struct LevelPlate
{
    // Hover zoom: up by dt x 0.5 to 1.1 while hovered, down by dt to 1.0 otherwise; the
    // particles advance.
    void update(float dt);
    // Strictly inside the plate's rectangle.
    bool contains(int x, int y) const;

    bool open = false;
    i32 episode = 0;
    bool played = false;
    i32 stars = 0;
    const render::Image* plateImage = nullptr; // not owned: the screen's pictures
    bool showStars = false;                    // the stars plate of a played level
    bool showNew = false;
    bool showNumber = true;
    bool next = false; // the next level to play: green number and the "active_lvl" particles
    std::unique_ptr<render::ParticleEmitter> particles;
    i32 hover = 0;
    float scale = 1.0f;
    i32 level = 0;
    i32 x = 0, y = 0, width = 0, height = 0;
};
