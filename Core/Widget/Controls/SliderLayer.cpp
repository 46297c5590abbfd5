// The filled part of a slider's bar.
#include "Core/Widget/Controls/SliderLayer.h"

#include "Core/Layer/LayerDraw.h"
#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Image/Image.h"

#include <algorithm>
#include <utility>

SliderLayer::SliderLayer(std::unique_ptr<render::Image> image) : layer::ImageLayer(std::move(image))
{
    if (mImage)
        mVisibleWidth = static_cast<float>(mImage->GetWidth());
}

QLResultEnum SliderLayer::DrawSelf(render::Graphics* graphics)
{
    if (!mImage)
        return QL_OK;
    const float width = std::clamp(mVisibleWidth, 0.0f, static_cast<float>(mImage->GetWidth()));
    if (width <= 0.0f)
        return QL_OK;
    layer::LayerDrawScope scope(graphics, *this, mAdditive ? render::BLEND_ADDITIVE : render::BLEND_ALPHA);
    const float source[4] = {0.0f, 0.0f, width, static_cast<float>(mImage->GetHeight())};
    auto command = graphics->DrawImageRect(mImage.get(), source);
    command->mAlignH = mAlignH;
    command->mAlignV = mAlignV;
    return QL_OK;
}
