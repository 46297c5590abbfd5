// The shop's scroll bar.
#include "Source/TD/Shell/ShopScrollBar.h"

#include "Source/TD/Shell/HUDWindow.h"
#include "Source/TD/Shell/TDScreenDraw.h"
#include "Source/TD/Sprites/TDFrameEntry.h"
#include "Source/TD/Sprites/TDResources.h"

#include <algorithm>

ShopScrollBar::ShopScrollBar(file::ImageContainer* layout)
    : slider(std::make_unique<TDFrameEntry>()), bar(std::make_unique<TDFrameEntry>())
{
    TDResources::Instance()->setLayerImage(*slider, layout, L"scroll/slider_in");
    TDResources::Instance()->setLayerImage(*bar, layout, L"scroll/bar");
    reset();
}

ShopScrollBar::~ShopScrollBar() = default;

void ShopScrollBar::press(int x, int y)
{
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    const TDFrameEntry& s = *slider;
    if (fx > s.mX && fx < s.mX + s.mWidth && fy > s.mY && fy < s.mY + s.mHeight)
        held = 0;
}

void ShopScrollBar::drag(int, int y)
{
    if (held != 0)
        return;
    const int clamped = std::clamp(y, kTop, kTop + kRange);
    position = static_cast<float>(clamped - kTop) / static_cast<float>(kRange);
    slider->mY = static_cast<float>(clamped - kGrip);
}

void ShopScrollBar::reset()
{
    position = 0.0f;
    slider->mY = static_cast<float>(kTop - kGrip);
}

void ShopScrollBar::follow() { slider->mY = position * static_cast<float>(kRange) + static_cast<float>(kTop - kGrip); }

float ShopScrollBar::sliderY() const { return slider->mY; }

void ShopScrollBar::draw(render::Graphics* graphics) const
{
    if (!visible)
        return;
    for (const TDFrameEntry* e : {bar.get(), slider.get()})
        tdscreen::drawImageCentred(graphics, HUDWindow::imageOf(*e), e->mX + e->mWidth * 0.5f,
                                   e->mY + e->mHeight * 0.5f, 1.0f);
}
