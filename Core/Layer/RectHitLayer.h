// A layer that draws nothing and only offers a rectangle to hit (a frame's hit area).
#pragma once

#include "Core/Base/Rect.h"
#include "Core/Layer/Layer.h"

namespace layer
{
class RectHitLayer : public Layer
{
public:
    RectHitLayer() { mHasOwnBounds = true; }
    explicit RectHitLayer(const math::Rect& rect) : RectHitLayer() { mRect = rect; }

    void UpdateBounds() override;
    bool HitTest(const math::Point3&) override { return true; }

    // Asks for new bounds.
    void SetRect(const math::Rect& rect);
    const math::Rect& GetRect() const { return mRect; }

    math::Rect mRect;
};
} // namespace layer
