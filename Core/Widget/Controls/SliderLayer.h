// An image layer that draws only the part of its image left of a visible width (a slider's
// filled bar).
#pragma once

#include "Core/Layer/ImageLayer.h"

#include <memory>

class SliderLayer : public layer::ImageLayer
{
public:
    explicit SliderLayer(std::unique_ptr<render::Image> image);

    QLResultEnum DrawSelf(render::Graphics* graphics) override;

    // Clamped to the image's width when drawn.
    void SetVisibleWidth(float width) { mVisibleWidth = width; }
    float GetVisibleWidth() const { return mVisibleWidth; }

    float mVisibleWidth = 0.0f;
};
