// Sheet pictures uploaded from their pixels, loose pictures loaded by name, and their release.
#include "Source/TD/Services/TDRenderTexture.h"

#include "Core/Base/Log.h"
#include "Core/Media/Image/Image.h"
#include "Core/Media/Image/ImageFactory.h"
#include "Core/Render/ImageData.h"
#include "Core/Render/Render.h"
#include "Core/Render/Texture.h"
#include "Source/TD/Sprites/TDImageSheet.h"

#include <cmath>
#include <cstring>

namespace
{
// Pixels already decoded, handed to the texture as they are; transparent pixels miss hits.
class SheetPixels : public render::ImageData
{
public:
    SheetPixels(const u32* pixels, i32 width, i32 height) : mPixels(pixels)
    {
        mWidth = width;
        mHeight = height;
        mBytesPerPixel = 4;
    }
    QLResultEnum Load(base::Stream*, const std::wstring&) override { return QL_OK; }
    QLResultEnum CopyPixels(u32 pitch, u8* destination, render::HitMask& mask) override
    {
        const size_t w = static_cast<size_t>(mWidth), h = static_cast<size_t>(mHeight);
        mask.assign(w * h, false);
        for (size_t y = 0; y < h; ++y)
        {
            const u32* row = mPixels + y * w;
            std::memcpy(destination + y * pitch, row, w * 4);
            for (size_t x = 0; x < w; ++x)
                mask[y * w + x] = (row[x] >> 24) != 0;
        }
        return QL_OK;
    }

private:
    const u32* mPixels;
};

// A picture's size in whole pixels, 0 when it is not a sensible one.
i32 pixelSize(float value)
{
    if (!std::isfinite(value) || value < 1.0f || value > 16384.0f)
        return 0;
    return static_cast<i32>(value);
}
} // namespace

TDRenderTexture::TDRenderTexture(std::unique_ptr<render::Image> image, TDRenderTextureLoader* owner)
    : mImage(std::move(image)), mOwner(owner)
{
    if (mImage)
    {
        mWidth = mImage->GetWidth();
        mHeight = mImage->GetHeight();
    }
    if (mOwner)
        mOwner->mLive.insert(this);
}

TDRenderTexture::~TDRenderTexture()
{
    if (mOwner)
        mOwner->mLive.erase(this);
}

void TDRenderTexture::release() { mImage.reset(); }

TDRenderTextureLoader::~TDRenderTextureLoader() { releaseAll(); }

void TDRenderTextureLoader::releaseAll()
{
    for (TDRenderTexture* texture : mLive)
    {
        texture->release();
        texture->mOwner = nullptr;
    }
    mLive.clear();
    mRender = nullptr;
}

std::unique_ptr<TDRenderTexture> TDRenderTextureLoader::wrap(std::unique_ptr<render::Image> image)
{
    return std::make_unique<TDRenderTexture>(std::move(image), this);
}

std::unique_ptr<TDTexture> TDRenderTextureLoader::load(const TDImageSheet& sheet, size_t index)
{
    if (!mRender || index >= sheet.imageCount())
        return nullptr;
    const u32* pixels = sheet.pixels(index);
    const TDSheetImage& info = sheet.image(index);
    const i32 w = pixelSize(info.mWidth), h = pixelSize(info.mHeight);
    if (!pixels || w == 0 || h == 0)
        return nullptr;
    render::Texture* made = nullptr;
    if (mRender->CreateTexture(&made) != QL_OK || !made)
        return nullptr;
    std::unique_ptr<render::Texture> texture(made);
    SheetPixels data(pixels, w, h);
    if (texture->CreateFromImage(data) != QL_OK)
    {
        QL_LOG(L"Cannot make the texture of '%s' in '%s'\n") << base::LogStyle::Error << info.mName << sheet.path();
        return nullptr;
    }
    return wrap(std::make_unique<render::Image>(texture.release())); // the image owns its texture
}

std::unique_ptr<TDTexture> TDRenderTextureLoader::loadPicture(const std::wstring& path)
{
    return loadRenderPicture(path);
}

std::unique_ptr<TDTexture> TDRenderTextureLoader::loadLayoutImage(file::ImageContainer& container,
                                                                  const std::wstring& name)
{
    if (!mRender)
        return nullptr;
    render::Image* image = nullptr;
    if (render::LoadImage(mRender, name, &container, &image, nullptr) != QL_OK || !image)
        return nullptr;
    return wrap(std::unique_ptr<render::Image>(image));
}

std::unique_ptr<TDRenderTexture> TDRenderTextureLoader::loadRenderPicture(const std::wstring& path)
{
    if (!mRender)
        return nullptr;
    render::Image* image = nullptr;
    if (render::LoadImage(mRender, path, nullptr, &image, nullptr) != QL_OK || !image)
        return nullptr;
    return wrap(std::unique_ptr<render::Image>(image));
}
