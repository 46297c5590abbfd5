// Images over textures.
#include "Core/Media/Image/Image.h"

#include "Core/Media/Image/ResourceTexture.h"
#include "Core/Render/Render.h"
#include "Core/Render/Texture.h"
#include "Core/Render/VertexFormat.h"

#include <cmath>

namespace render
{
namespace
{
// Descriptions come from content files: out-of-range sizes and offsets become 0 rather than an
// undefined conversion.
i32 ToInt(float value) { return std::fabs(value) < 2147483520.0f ? static_cast<i32>(value) : 0; }
} // namespace

Image::Image(Texture* texture) : mTexture(texture)
{
    if (texture)
    {
        mWidth = static_cast<i32>(texture->GetWidth());
        mHeight = static_cast<i32>(texture->GetHeight());
    }
}

Image::Image() = default;

Image::~Image()
{
    // The frame being recorded may still name the texture: it goes after its playback.
    if (mTexture)
        if (Render* render = mTexture->GetRender())
            render->DeleteAfterPlayback(mTexture.release());
    mTexture.reset();
    mResource.Release();
}

void Image::SetResourceTexture(const base::CountedPtr<resource::ResourceTexture>& texture)
{
    mResource = texture;
    mAtlasOffsetX = mAtlasOffsetY = 0;
    mAtlasScaleX = mAtlasScaleY = 1.0f;
    if (!texture)
    {
        mWidth = mHeight = 0;
        return;
    }
    mWidth = ToInt(texture->mWidth);
    mHeight = ToInt(texture->mHeight);
    Texture* atlas = texture->mInAtlas ? texture->GetTexture() : nullptr;
    if (atlas)
    {
        const float atlasWidth = static_cast<float>(atlas->GetWidth());
        const float atlasHeight = static_cast<float>(atlas->GetHeight());
        mAtlasOffsetX = ToInt(texture->mTextureOriginU * atlasWidth);
        mAtlasOffsetY = ToInt(texture->mTextureOriginV * atlasHeight);
        if (mWidth > 0)
            mAtlasScaleX = texture->mTextureExtentU * atlasWidth / static_cast<float>(mWidth);
        if (mHeight > 0)
            mAtlasScaleY = texture->mTextureExtentV * atlasHeight / static_cast<float>(mHeight);
    }
}

Texture* Image::GetTexture() const { return mResource ? mResource->GetTexture() : mTexture.get(); }

bool Image::IsOpaqueAt(i32 x, i32 y) const
{
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight)
        return false;
    Texture* texture = GetTexture();
    if (!texture)
        return false;
    if (mResource)
    {
        const i32 tx = ToInt(static_cast<float>(x) * mAtlasScaleX + static_cast<float>(mAtlasOffsetX) + 0.5f);
        const i32 ty = ToInt(static_cast<float>(y) * mAtlasScaleY + static_cast<float>(mAtlasOffsetY) + 0.5f);
        return texture->IsOpaqueAt(tx, ty);
    }
    return texture->IsOpaqueAt(x, y);
}

QLResultEnum Image::Lock(u32* pixelCount, u32* pitch, void** bits)
{
    Texture* texture = GetTexture();
    return texture ? texture->Lock(pixelCount, pitch, bits) : QL_FAIL;
}

QLResultEnum Image::Unlock()
{
    Texture* texture = GetTexture();
    return texture ? texture->Unlock() : QL_FAIL;
}

QLResultEnum Image::Update(const void* frame)
{
    Texture* texture = GetTexture();
    return texture ? texture->Update(frame) : QL_FAIL;
}

QLResultEnum Image::MapTextureCoords(void* vertices, const VertexFormat& format, u32 count) const
{
    if (format.mTextureSets.empty() || format.mTextureSets[0].first != 2)
        return QL_FAIL;
    if (!mResource || !mResource->mInAtlas)
        return QL_OK;
    const u32 offset = format.mTextureSets[0].second;
    const float su = mResource->mTextureExtentU, sv = mResource->mTextureExtentV;
    const float ou = mResource->mTextureOriginU, ov = mResource->mTextureOriginV;
    u8* bytes = static_cast<u8*>(vertices);
    for (u32 i = 0; i < count; ++i)
    {
        float* uv = reinterpret_cast<float*>(bytes + static_cast<size_t>(i) * format.mStride + offset);
        uv[0] = uv[0] * su + ou;
        uv[1] = uv[1] * sv + ov;
    }
    return QL_OK;
}
} // namespace render
