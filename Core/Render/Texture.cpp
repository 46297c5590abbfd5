// Texture registration with the render.
#include "Core/Render/Texture.h"

#include "Core/Render/Render.h"

namespace render
{
Texture::Texture(Render* render) : mRender(render) { mRender->RegisterTexture(this); }

Texture::~Texture()
{
    if (mRender)
        mRender->UnregisterTexture(this);
}
} // namespace render
