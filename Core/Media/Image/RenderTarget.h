// An image that can be drawn into, with its own projection and viewport record. Shaders read the
// projection through a pointer when the frame is played, so a target that the frame being
// recorded has drawn into is deleted through Render::DeleteAfterPlayback.
#pragma once

#include "Core/Media/Image/Image.h"
#include "Core/Render/Matrix4.h"

namespace render
{
class RenderTarget : public Image
{
public:
    // Takes ownership of a render-target texture; a non-zero option builds the projection for
    // the target's size at once.
    RenderTarget(Texture* texture, i32 option);

    // Through the render's projection operation, for the target's size.
    QLResultEnum BuildProjection();
    // The same, with the point (originX, originY) at the target's top-left corner: every draw into
    // the target is shifted, whatever transform its drawing context uses.
    QLResultEnum BuildProjection(float originX, float originY);
    const math::Matrix4& GetProjection() const { return mProjection; }
    // The pixel mapping of a context drawing into the target: offset x, offset y, scale x, scale y
    // (0, 0, 1, 1 unless a projection origin shifts it).
    const float* GetViewport() const { return mViewport; }

private:
    math::Matrix4 mProjection;
    float mViewport[4] = {0.0f, 0.0f, 1.0f, 1.0f};
};
} // namespace render
