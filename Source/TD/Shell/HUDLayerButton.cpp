// The layer-tree button: pictures, hit test and the hover zoom.
#include "Source/TD/Shell/HUDLayerButton.h"

#include "Core/Layer/ImageLayer.h"
#include "Core/Layer/TextLayer.h"
#include "Core/Media/Graphics/Font.h"
#include "Core/Media/Image/Image.h"

#include <algorithm>

namespace
{
std::unique_ptr<layer::ImageLayer> centred(render::Image* image)
{
    auto layer = std::make_unique<layer::ImageLayer>(image, true);
    if (image)
        layer->SetPosition(-0.5f * static_cast<float>(image->GetWidth()),
                           -0.5f * static_cast<float>(image->GetHeight()));
    return layer;
}
} // namespace

HUDLayerButton::HUDLayerButton(render::Image* normal, render::Image* over, const std::wstring& caption,
                               base::CountedPtr<render::Font> font)
    : mNormal(normal), mOver(over), mNormalLayer(centred(normal)), mOverLayer(centred(over)),
      mCaption(std::make_unique<layer::TextLayer>(std::move(font), caption, 400.0f, 0.0f, 2, true))
{
    mCaption->SetAlignment(2, 2);
    AddChild(mNormalLayer.get());
    AddChild(mOverLayer.get());
    AddChild(mCaption.get());
    mOverLayer->mVisible = false;
}

HUDLayerButton::~HUDLayerButton() = default;

void HUDLayerButton::onClick(int, int) {}

bool HUDLayerButton::hitTest(int x, int y) const
{
    if (!mVisible || !mNormal)
        return false;
    const float bx = mPosition.x + mNormalLayer->mPosition.x;
    const float by = mPosition.y + mNormalLayer->mPosition.y;
    const float w = static_cast<float>(mNormal->GetWidth()), h = static_cast<float>(mNormal->GetHeight());
    const float px = static_cast<float>(x), py = static_cast<float>(y);
    return bx < px && px < bx + w && by < py && py < by + h;
}

void HUDLayerButton::update(float dt)
{
    if (mHovered)
        mScale = std::min(mScale + dt, 1.1f);
    else
        mScale = std::max(mScale - dt * 0.5f, 1.0f);
    SetScale(mScale, mScale, mScale);
    // The over picture shows while the pointer is on the button.
    mOverLayer->mVisible = mHovered;
    mNormalLayer->mVisible = !mHovered;
}
