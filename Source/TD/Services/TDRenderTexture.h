// Sprite pictures as the renderer's images, and their loader. Every texture the loader made is
// released when the loader goes (or on releaseAll), so none outlives the renderer even while the
// sprite store that holds it lives on.
#pragma once

#include "Source/TD/Seams/TDBattleServices.h"
#include "Source/TD/Sprites/TDTexture.h"

#include <memory>
#include <set>
#include <string>

namespace render
{
class Image;
class Render;
} // namespace render

class TDRenderTextureLoader;

class TDRenderTexture : public TDTexture, public TDImage
{
public:
    TDRenderTexture(std::unique_ptr<render::Image> image, TDRenderTextureLoader* owner);
    ~TDRenderTexture() override;
    TDRenderTexture(const TDRenderTexture&) = delete;
    TDRenderTexture& operator=(const TDRenderTexture&) = delete;

    // The size stays known after the image is released.
    i32 width() const override { return mWidth; }
    i32 height() const override { return mHeight; }
    // Null once released.
    render::Image* image() const { return mImage.get(); }
    // Frees the renderer's image now.
    void release();
    // Hands the image over to the caller (for a deletion after the frame's playback).
    render::Image* takeImage() { return mImage.release(); }

private:
    friend class TDRenderTextureLoader;
    std::unique_ptr<render::Image> mImage;
    TDRenderTextureLoader* mOwner;
    i32 mWidth = 0, mHeight = 0;
};

class TDRenderTextureLoader : public TDTextureLoader
{
public:
    explicit TDRenderTextureLoader(render::Render* render) : mRender(render) {}
    ~TDRenderTextureLoader() override;
    TDRenderTextureLoader(const TDRenderTextureLoader&) = delete;
    TDRenderTextureLoader& operator=(const TDRenderTextureLoader&) = delete;

    bool wantsPixels() const override { return mRender != nullptr; }
    // Picture i of a sheet from its kept pixels; null without pixels, with an empty picture or
    // when the renderer refuses it.
    std::unique_ptr<TDTexture> load(const TDImageSheet& sheet, size_t image) override;
    // A loose or packed picture ("td/data/loading.jpg"); null when it cannot be read.
    std::unique_ptr<TDTexture> loadPicture(const std::wstring& path) override;
    std::unique_ptr<TDTexture> loadLayoutImage(file::ImageContainer& container, const std::wstring& name) override;
    // The same as a picture of the battle's image seam.
    std::unique_ptr<TDRenderTexture> loadRenderPicture(const std::wstring& path);

    // Frees the images of every texture still alive and makes no more: call before the
    // renderer goes.
    void releaseAll();
    size_t liveCount() const { return mLive.size(); }

private:
    friend class TDRenderTexture;
    std::unique_ptr<TDRenderTexture> wrap(std::unique_ptr<render::Image> image);

    render::Render* mRender;
    std::set<TDRenderTexture*> mLive;
};
