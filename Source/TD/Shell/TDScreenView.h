// The part of the game's coordinates that the screen shows: what the full-screen sequences
// (logos, the intro video) centre their pictures on.
#pragma once

struct TDScreenView
{
    float x = 0.0f, y = 0.0f, width = 1024.0f, height = 768.0f;

    float centreX() const { return x + width * 0.5f; }
    float centreY() const { return y + height * 0.5f; }

    // The running application's view; the 1024 x 768 core when there is none yet.
    static TDScreenView current();
};
