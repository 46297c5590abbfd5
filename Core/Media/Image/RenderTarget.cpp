// Render targets.
#include "Core/Media/Image/RenderTarget.h"

#include "Core/Render/Render.h"
#include "Core/Render/Texture.h"

namespace render
{
RenderTarget::RenderTarget(Texture* texture, i32 option) : Image(texture)
{
    if (option != 0)
        (void)BuildProjection();
}

QLResultEnum RenderTarget::BuildProjection()
{
    Render* render = mTexture ? mTexture->GetRender() : nullptr;
    if (!render)
        return QL_FAIL;
    return render->BuildProjection(static_cast<float>(mWidth), static_cast<float>(mHeight), 0, &mProjection);
}

QLResultEnum RenderTarget::BuildProjection(float originX, float originY)
{
    if (QLResultEnum r = BuildProjection())
        return r;
    math::Matrix4 shift;
    shift.SetTranslation(-originX, -originY, 0.0f);
    mProjection = shift * mProjection;
    // Clip rectangles are given in the same units: they land in the target shifted alike.
    mViewport[0] = -originX;
    mViewport[1] = -originY;
    return QL_OK;
}
} // namespace render
