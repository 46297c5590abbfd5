// A splash logo's fades and drawing.
#include "Source/TD/Shell/SplashLogo.h"

#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Image/Image.h"
#include "Source/TD/Shell/TDScreenView.h"

SplashLogo::SplashLogo(std::unique_ptr<render::Image> picture) : image(std::move(picture)) {}

SplashLogo::~SplashLogo() = default;

void SplashLogo::update(float dt)
{
    time += dt;
    const float limit = state == Shown ? kHoldSeconds : kFadeSeconds;
    if (state == Finished || time <= limit)
        return;
    state += 1;
    time = 0.0f;
}

void SplashLogo::draw(render::Graphics* graphics) const
{
    if (!graphics)
        return;
    const TDScreenView view = TDScreenView::current();
    if (image)
    {
        auto command = graphics->DrawImage(image.get()).Translate(view.centreX(), view.centreY());
        command->mAlignH = 2;
        command->mAlignV = 2;
    }
    if (state == FadingIn || state == FadingOut)
    {
        const float alpha = state == FadingIn ? 1.0f - 2.0f * time : 2.0f * time;
        graphics->SetColorRGBA(0.0f, 0.0f, 0.0f, alpha);
        graphics->FillRect(-512.0f, -512.0f, 2048.0f, 2048.0f);
    }
    graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
}
