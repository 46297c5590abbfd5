// Textures on our device layer: image textures with a hit mask, render targets and dynamic
// textures with a staging copy that Unlock uploads.
#pragma once

#include "Core/Render/DX9/DeviceNames.h"
#include "Core/Render/ImageData.h"
#include "Core/Render/Texture.h"

#include <vector>

namespace render
{
class RenderDX9;

class TextureDX9 : public Texture
{
public:
    explicit TextureDX9(RenderDX9* render);
    ~TextureDX9() override;

    QLResultEnum CreateFromImage(ImageData& image) override;
    QLResultEnum CreateRenderTarget(u32 width, u32 height) override;
    QLResultEnum CreateDynamic(u32 width, u32 height) override;
    bool IsOpaqueAt(i32 x, i32 y) const override;
    QLResultEnum OnResetDevice() override;
    QLResultEnum OnLostDevice() override;
    bool CanLock() const override { return true; }
    QLResultEnum Lock(u32* pixelCount, u32* pitch, void** bits) override;
    QLResultEnum Unlock() override;
    QLResultEnum Update(const void* frame) override { return QL_FAIL; }
    void OnRenderDestroyed() override;

    gpu::TextureId GetDeviceTexture() const { return mTexture; }
    bool IsRenderTarget() const { return mRenderTarget; }
    bool IsDynamic() const { return mDynamic; }
    const HitMask& GetMask() const { return mMask; }

private:
    QLResultEnum Make(u32 width, u32 height, gpu::TextureFormat format, gpu::TextureUsage usage);
    void ReleaseDeviceTexture();

    gpu::TextureId mTexture = 0;
    RenderDX9* mBackend;
    HitMask mMask;
    bool mRenderTarget = false;
    bool mDynamic = false;
    bool mLocked = false;
    std::vector<u32> mStaging; // dynamic textures: the pixels handed out by Lock
};
} // namespace render
