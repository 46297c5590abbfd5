// The row of episode plates on the episode selection: which plate is centred, how far the row
// is shifted, and its motion (drag, swipe, slide back at 800 pixels per second).
#pragma once

#include "Core/Base/Types.h"
#include "Source/TD/Sprites/TDFrameEntry.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct EpisodePlate
{
    std::unique_ptr<TDFrameEntry> chapter; // the episode's picture
    TDFrameEntry* lock = nullptr;          // the screen's shared lock picture, or null when open
    TDFrameEntry* newBadge = nullptr;      // the screen's shared "new" picture, or null
    std::wstring text;                     // stars needed, "coming soon", or empty
};

class EpisodeCarousel
{
public:
    enum Motion : u32
    {
        kIdle = 0,
        kDragging = 1,
        kSlideDown = 2, // offset falls to 0
        kSlideUp = 3,   // offset rises to 0
    };

    explicit EpisodeCarousel(i32 page);
    EpisodeCarousel(const EpisodeCarousel&) = delete;
    EpisodeCarousel& operator=(const EpisodeCarousel&) = delete;

    i32 count() const { return static_cast<i32>(plates.size()); }
    // Centre x of plate k for the current page and offset.
    float plateX(i32 k) const;
    // 1 at the centre, 0.55 from 120 pixels away.
    float plateScale(float x) const;

    void startDrag(float x, float y);
    void dragStep(float x, float y);
    void swipeEnd();
    // One page left (-1) or right (+1) by an arrow; only while idle.
    void step(i32 direction);
    void update(float dt);

    std::vector<EpisodePlate> plates;
    float lastX = 0.0f, lastY = 0.0f;
    i32 page = 0;
    float shrink = 0.45f;
    float offset = 0.0f; // positive: the row moved left, towards later pages
    float dragTime = 0.0f;
    float spacing = 320.0f;
    u32 motion = kIdle;
    std::function<void(i32)> onPageChanged;
    std::function<void()> onMoveStart;
    std::function<void()> onMoveEnd;

private:
    void changed();
    // Moves to the next (+1) or previous (-1) page after a swipe; false at the row's ends.
    bool turn(i32 direction);
};
