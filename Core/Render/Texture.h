// The backend texture: made from image data (with a hit mask), as a render target or as a
// dynamic texture filled every frame.
#pragma once

#include "Core/Base/Types.h"

namespace render
{
class Render;
class ImageData;

class Texture
{
public:
    explicit Texture(Render* render); // registers with the render
    virtual ~Texture();               // unregisters
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    virtual QLResultEnum CreateFromImage(ImageData& image) = 0;
    virtual QLResultEnum CreateRenderTarget(u32 width, u32 height) = 0;
    virtual QLResultEnum CreateDynamic(u32 width, u32 height) = 0;
    virtual bool IsOpaqueAt(i32 x, i32 y) const = 0;
    virtual QLResultEnum OnResetDevice() = 0;
    virtual QLResultEnum OnLostDevice() = 0;
    virtual bool CanLock() const = 0;
    // Dynamic textures only: hands out the pixel memory (0xAARRGGBB rows of `pitch` bytes).
    virtual QLResultEnum Lock(u32* pixelCount, u32* pitch, void** bits) = 0;
    virtual QLResultEnum Unlock() = 0;
    virtual QLResultEnum Update(const void* frame) = 0;
    // The render is going away: release device objects now; later calls fail.
    virtual void OnRenderDestroyed() { mRender = nullptr; }

    u32 GetWidth() const { return mWidth; }
    u32 GetHeight() const { return mHeight; }
    Render* GetRender() const { return mRender; }

protected:
    Render* mRender;
    u32 mWidth = 0;
    u32 mHeight = 0;
};
} // namespace render
