// Textures on our device layer.
#include "Core/Render/DX9/TextureDX9.h"

#include "Core/Base/Log.h"
#include "Core/Render/DX9/RenderDX9.h"
#include "Platform/Gpu/Device.h"
#include "Platform/Gpu/Dxt.h"

#include <memory>

namespace render
{
TextureDX9::TextureDX9(RenderDX9* render) : Texture(render), mBackend(render) {}

TextureDX9::~TextureDX9() { ReleaseDeviceTexture(); }

void TextureDX9::OnRenderDestroyed()
{
    ReleaseDeviceTexture();
    mBackend = nullptr;
    Texture::OnRenderDestroyed();
}

void TextureDX9::ReleaseDeviceTexture()
{
    if (mTexture && mBackend && mBackend->GetDevice())
        mBackend->GetDevice()->DestroyTexture(mTexture);
    mTexture = 0;
}

QLResultEnum TextureDX9::Make(u32 width, u32 height, gpu::TextureFormat format, gpu::TextureUsage usage)
{
    gpu::Device* device = mBackend ? mBackend->GetDevice() : nullptr;
    if (!device || mTexture)
        return QL_FAIL;
    if (device->CreateTexture(width, height, format, usage, &mTexture) != QL_OK)
    {
        QL_LOG(L"Cannot create a %d x %d texture\n") << base::LogStyle::Error << width << height;
        mTexture = 0;
        return QL_FAIL;
    }
    mWidth = width;
    mHeight = height;
    return QL_OK;
}

QLResultEnum TextureDX9::CreateFromImage(ImageData& image)
{
    mRenderTarget = false;
    mDynamic = false;
    if (image.mWidth <= 0 || image.mHeight <= 0)
        return QL_FAIL;
    const u32 width = static_cast<u32>(image.mWidth), height = static_cast<u32>(image.mHeight);
    gpu::TextureFormat format = gpu::TextureFormat::ARGB8;
    switch (image.GetCompression())
    {
    case 1: format = gpu::TextureFormat::DXT1; break;
    case 2: format = gpu::TextureFormat::DXT3; break;
    case 3: format = gpu::TextureFormat::DXT5; break;
    default: break;
    }
    // Only the first level is ever written, so only one level is made (no undefined mip levels).
    QLResultEnum result = Make(width, height, format, gpu::TextureUsage::Static);
    if (result != QL_OK)
        return result;
    const bool compressed = format != gpu::TextureFormat::ARGB8;
    const u32 pitch = compressed ? gpu::DxtRowPitch(format, width) : width * 4;
    const u32 rows = compressed ? (height + 3) / 4 : height;
    // Not cleared first: a copy that succeeds writes every byte of the level, and a level whose
    // copy failed is not uploaded.
    auto level = std::make_unique_for_overwrite<u8[]>(static_cast<size_t>(pitch) * rows);
    mMask.assign(static_cast<size_t>(width) * height, false);
    result = image.CopyPixels(pitch, level.get(), mMask);
    if (result != QL_OK)
        return result;
    if (mBackend->GetDevice()->UpdateTexture(mTexture, level.get(), pitch) != QL_OK)
        return QL_FAIL;
    return QL_OK;
}

QLResultEnum TextureDX9::CreateRenderTarget(u32 width, u32 height)
{
    mRenderTarget = true;
    mDynamic = false;
    return Make(width, height, gpu::TextureFormat::ARGB8, gpu::TextureUsage::RenderTarget);
}

QLResultEnum TextureDX9::CreateDynamic(u32 width, u32 height)
{
    mDynamic = true;
    mRenderTarget = false;
    QLResultEnum result = Make(width, height, gpu::TextureFormat::ARGB8, gpu::TextureUsage::Dynamic);
    if (result == QL_OK)
        mStaging.assign(static_cast<size_t>(width) * height, 0);
    return result;
}

bool TextureDX9::IsOpaqueAt(i32 x, i32 y) const
{
    if (x < 0 || y < 0 || static_cast<u32>(x) >= mWidth || static_cast<u32>(y) >= mHeight || mMask.empty())
        return false;
    return mMask[static_cast<size_t>(y) * mWidth + static_cast<size_t>(x)];
}

QLResultEnum TextureDX9::OnResetDevice()
{
    if (mRenderTarget && !mTexture)
        return CreateRenderTarget(mWidth, mHeight);
    if (mDynamic && !mTexture)
        return CreateDynamic(mWidth, mHeight);
    return QL_OK;
}

QLResultEnum TextureDX9::OnLostDevice()
{
    if (mRenderTarget || mDynamic)
    {
        ReleaseDeviceTexture();
        mLocked = false;
    }
    return QL_OK;
}

QLResultEnum TextureDX9::Lock(u32* pixelCount, u32* pitch, void** bits)
{
    if (!mDynamic || !mTexture || mLocked)
        return QL_FAIL;
    mLocked = true;
    *pitch = mWidth * 4;
    *pixelCount = mHeight * *pitch / 4;
    *bits = mStaging.data();
    return QL_OK;
}

QLResultEnum TextureDX9::Unlock()
{
    if (!mDynamic || !mTexture || !mLocked || !mBackend)
        return QL_FAIL;
    mLocked = false;
    return mBackend->GetDevice()->UpdateTexture(mTexture, mStaging.data(), mWidth * 4);
}
} // namespace render
