// Hit rectangles.
#include "Core/Layer/RectHitLayer.h"

namespace layer
{
void RectHitLayer::UpdateBounds()
{
    mOwnBox.SetEmpty();
    mOwnBox.AddPoint(mRect.x, mRect.y, 0.0f);
    mOwnBox.AddPoint(mRect.x + mRect.w, mRect.y + mRect.h, 0.0f);
}

void RectHitLayer::SetRect(const math::Rect& rect)
{
    mRect = rect;
    InvalidateOwnBounds();
}
} // namespace layer
