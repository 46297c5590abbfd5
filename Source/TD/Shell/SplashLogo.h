// One logo of the splash sequence: faded in from black, held, faded out to black.
#pragma once

#include "Core/Base/Types.h"

#include <memory>

namespace render
{
class Graphics;
class Image;
} // namespace render

class SplashLogo
{
public:
    enum State : u32
    {
        FadingIn = 0,
        Shown = 1,
        FadingOut = 2,
        Finished = 3,
    };
    static constexpr float kFadeSeconds = 0.5f;
    static constexpr float kHoldSeconds = 1.5f;

    // The image may be null: the logo then shows only its fades.
    explicit SplashLogo(std::unique_ptr<render::Image> image);
    ~SplashLogo();
    SplashLogo(const SplashLogo&) = delete;
    SplashLogo& operator=(const SplashLogo&) = delete;

    // The clock restarts at 0 on each change of state; the overshoot is dropped.
    void update(float dt);
    // The picture centred on the screen, under a black cover while it fades.
    void draw(render::Graphics* graphics) const;

    std::unique_ptr<render::Image> image;
    u32 state = FadingIn;
    float time = 0.0f;
};
