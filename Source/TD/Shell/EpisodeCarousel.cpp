// The episode plates' row and its motion.
#include "Source/TD/Shell/EpisodeCarousel.h"

#include <algorithm>
#include <cmath>

EpisodeCarousel::EpisodeCarousel(i32 startPage) : page(startPage) {}

float EpisodeCarousel::plateX(i32 k) const { return spacing * static_cast<float>(k - page) + (512.0f - offset); }

float EpisodeCarousel::plateScale(float x) const
{
    const float d = std::fabs(512.0f - x);
    return 1.0f - shrink * std::min(d, 120.0f) / 120.0f;
}

void EpisodeCarousel::changed()
{
    if (onPageChanged)
        onPageChanged(page);
}

void EpisodeCarousel::startDrag(float x, float y)
{
    motion = kDragging;
    dragTime = 0.0f;
    lastX = x;
    lastY = y;
    if (onMoveStart)
        onMoveStart();
}

void EpisodeCarousel::dragStep(float x, float y)
{
    const float n = static_cast<float>(count());
    offset += lastX - x;
    lastX = x;
    lastY = y;
    offset = std::clamp(offset, (1.0f - n) * spacing, std::max(n - 1.0f, 0.0f) * spacing);
    if ((offset < 0.0f && page <= 0) || (offset > 0.0f && page >= count() - 1))
        offset = 0.0f;
}

bool EpisodeCarousel::turn(i32 direction)
{
    page += direction;
    if (page > count() - 1)
    {
        page = std::max(count() - 1, 0);
        return false;
    }
    if (page < 0)
    {
        page = 0;
        return false;
    }
    changed();
    motion = direction > 0 ? kSlideUp : kSlideDown;
    offset += direction > 0 ? -spacing : spacing;
    return true;
}

void EpisodeCarousel::swipeEnd()
{
    if (offset == 0.0f)
    {
        motion = kIdle;
        if (onMoveEnd)
            onMoveEnd();
        return;
    }
    motion = offset < 0.0f ? kSlideUp : kSlideDown;
    if (offset > spacing * 0.25f)
        turn(1);
    else if (offset < -spacing * 0.25f)
        turn(-1);
    else if (dragTime < 0.3f)
        turn(offset > 0.0f ? 1 : -1); // a quick flick
}

void EpisodeCarousel::step(i32 direction)
{
    if (motion != kIdle || page + direction < 0 || page + direction > count() - 1)
        return;
    if (onMoveStart)
        onMoveStart();
    page += direction;
    offset = direction < 0 ? spacing : -spacing;
    motion = direction < 0 ? kSlideDown : kSlideUp;
    changed();
}

void EpisodeCarousel::update(float dt)
{
    dragTime += dt;
    if (motion == kSlideDown)
    {
        offset -= 800.0f * dt;
        if (offset < 0.0f)
        {
            offset = 0.0f;
            motion = kIdle;
            if (onMoveEnd)
                onMoveEnd();
        }
    }
    else if (motion == kSlideUp)
    {
        offset += 800.0f * dt;
        if (offset > 0.0f)
        {
            offset = 0.0f;
            motion = kIdle;
            if (onMoveEnd)
                onMoveEnd();
        }
    }
}
