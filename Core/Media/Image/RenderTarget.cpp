// Render targets.
#include "Core/Media/Image/RenderTarget.h"

#include "Core/Render/Render.h"
#include "Core/Render/Texture.h"

namespace render
{
RenderTarget::RenderTarget(Texture* texture, i32 option) : Image(texture)
{
    if (option != 0)
        BuildProjection();
}

QLResultEnum RenderTarget::BuildProjection()
{
    Render* render = mTexture ? mTexture->GetRender() : nullptr;
    if (!render)
        return QL_FAIL;
    return render->BuildProjection(static_cast<float>(mWidth), static_cast<float>(mHeight), 0, &mProjection);
}
} // namespace render
