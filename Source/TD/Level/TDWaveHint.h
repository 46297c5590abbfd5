// The countdown to the next wave, with one start button per starting wave.
#pragma once

#include "Core/Base/Types.h"

#include <vector>

class TDPoint;

class TDWaveHint
{
public:
    struct Button
    {
        i32 x = 0, y = 0, width = 0, height = 0;
    };

    // Keeps the button on the 1024 x 768 screen and between 100 and 668 in y.
    void addButton(const TDPoint* p);
    void clear() { buttons.clear(); }

    i32 iconWidth = 0, iconHeight = 0;
    float lead = 0.0f;
    std::vector<Button> buttons;
    float firstSpawnTime = 0.0f;
};
