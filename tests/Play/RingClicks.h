// The ring menu as a player clicks it: the first entry whose id passes a test.
#pragma once

#include "support/GameHarness.h"

#include "Source/TD/Battle/TDContextMenu.h"
#include "Source/TD/Battle/TDMap.h"

#include <cmath>

namespace playtest
{
// A point of the first entry of the ring menu that is opening whose id passes the test.
template <class F> bool FindMenuEntry(testsupport::GameHarness& game, F wanted, float& x, float& y)
{
    game.run(10); // the ring opens
    TDContextMenu* menu = game.map().mContextMenu.get();
    if (!menu)
        return false;
    for (float a = 0.0f; a < 360.0f; a += 3.0f)
        for (float r : {50.0f, 70.0f, 90.0f, 110.0f})
        {
            x = menu->centreX + r * std::cos(a * 3.14159f / 180.0f);
            y = menu->centreY + r * std::sin(a * 3.14159f / 180.0f);
            const i32 id = menu->itemAt(x, y);
            if (id >= 0 && wanted(id))
                return true;
        }
    return false;
}

// Clicks the first entry of the ring menu that is opening whose id passes the test.
template <class F> bool ClickMenuEntry(testsupport::GameHarness& game, F wanted)
{
    float x = 0.0f, y = 0.0f;
    if (!FindMenuEntry(game, wanted, x, y))
        return false;
    game.click(x, y);
    return true;
}

// Moves the pointer onto that entry, for one frame.
template <class F> bool HoverMenuEntry(testsupport::GameHarness& game, F wanted)
{
    float x = 0.0f, y = 0.0f;
    if (!FindMenuEntry(game, wanted, x, y))
        return false;
    game.moveTo(x, y);
    game.frame(0.0f);
    return true;
}
} // namespace playtest
