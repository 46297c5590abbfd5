// Level plates: hover zoom and hit test.
#include "Source/TD/Shell/LevelPlate.h"

#include <algorithm>

void LevelPlate::update(float dt)
{
    if (hover)
        scale = std::min(scale + dt * 0.5f, 1.1f);
    else
        scale = std::max(scale - dt, 1.0f);
    if (particles)
        particles->Update(dt);
}

bool LevelPlate::contains(int px, int py) const { return px > x && px < x + width && py > y && py < y + height; }
