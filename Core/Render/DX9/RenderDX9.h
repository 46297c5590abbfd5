// The renderer's backend on our device layer: start-up and capability checks, the fixed device
// state, the mapping of blend modes, scissor, depth, formats and primitives, presentation and the
// lost-device cycle.
#pragma once

#include "Core/Render/DX9/DeviceNames.h"
#include "Core/Render/Render.h"

#include <memory>

namespace render
{
class RenderDX9 : public Render
{
public:
    RenderDX9();
    ~RenderDX9() override;

    QLResultEnum InitRender(RenderWindow* window, const RenderInitParam& param) override;
    QLResultEnum ReleaseRender() override;
    QLResultEnum ResetRender(const RenderInitParam& param) override;
    QLResultEnum CreateTexture(Texture** out) override;
    QLResultEnum CreateShader(const std::string& vertexSource, const std::string& pixelSource,
                              ShaderImpl** out) override;
    QLResultEnum CreateShaderGeom(ShaderImpl** out) override;
    QLResultEnum CreateShaderTexturedMult(ShaderImpl** out) override;
    QLResultEnum CreateShaderTexturedTint(ShaderImpl** out) override;
    QLResultEnum CreateVertexBuffer(const VertexFormat& format, u32 count, bool dynamic, Buffer** out) override;
    QLResultEnum CreateIndexBuffer(u32 indexSize, u32 count, bool dynamic, Buffer** out) override;
    bool CheckDevice() override;
    QLResultEnum DoClear(u32 flags, const float colour[4], float depth, u32 stencil) override;
    QLResultEnum DoBeginScene() override;
    QLResultEnum DoEndScene() override;
    QLResultEnum DoPresent() override;
    QLResultEnum SetRenderTarget(Texture* target) override;
    QLResultEnum SetShader(ShaderImpl* shader) override;
    QLResultEnum SetVertexFormat(u32 id) override;
    QLResultEnum SetVertexBuffer(Buffer* buffer) override;
    QLResultEnum SetIndexBuffer(Buffer* buffer) override;
    QLResultEnum SetBlendMode(u32 mode) override;
    QLResultEnum EnableScissorTest(bool enabled) override;
    QLResultEnum SetScissorRect(const i32 rect[4]) override;
    QLResultEnum SetDepthTest(bool enable, bool write) override;
    QLResultEnum DrawPrimitive(u32 type, u32 start, u32 count) override;
    QLResultEnum DrawIndexedPrimitive(u32 type, u32 indexSize, u32 startIndex, u32 count, u32 minVertex,
                                      u32 vertexCount) override;

    QLResultEnum InitDeviceState();
    QLResultEnum SetDefaultStates();
    QLResultEnum LostDevice();
    QLResultEnum ResetDevice();

    gpu::Device* GetDevice() const { return mDevice.get(); }
    bool IsLost() const { return mLost; }
    bool IsWindowed() const { return mWindowed; }
    u32 GetWidth() const { return mWidth; }
    u32 GetHeight() const { return mHeight; }
    // Milliseconds slept per frame while the device is lost (tests set 0).
    void SetLostSleep(u32 milliseconds) { mLostSleepMs = milliseconds; }
    u32 GetLostSleeps() const { return mLostSleeps; }

private:
    void SleepWhileLost();

    RenderWindow* mWindow = nullptr;
    u32 mWidth = 0;
    u32 mHeight = 0;
    bool mWindowed = true;
    bool mMultithreaded = false;
    std::unique_ptr<gpu::Device> mDevice;
    bool mLost = false;
    u32 mLostSleepMs = 100;
    u32 mLostSleeps = 0;
};
} // namespace render
