// The renderer's backend on our device layer.
#include "Core/Render/DX9/RenderDX9.h"

#include "Core/Base/Log.h"
#include "Core/Render/Buffer.h"
#include "Core/Render/DX9/BufferImplDX9.h"
#include "Core/Render/DX9/TextureDX9.h"
#include "Core/Render/RenderWindow.h"
#include "Core/Render/Shaders/BuiltinShaders.h"
#include "Core/Render/Shaders/DX9/ShaderImplDX9.h"
#include "Core/Render/VertexFormat.h"
#include "Platform/Gpu/Device.h"

#include <chrono>
#include <memory>
#include <thread>

namespace render
{
namespace
{
gpu::Primitive ToDevice(u32 type)
{
    switch (type)
    {
    case PRIM_POINTLIST: return gpu::Primitive::Points;
    case PRIM_LINELIST: return gpu::Primitive::Lines;
    case PRIM_LINESTRIP: return gpu::Primitive::LineStrip;
    case PRIM_TRIANGLESTRIP: return gpu::Primitive::TriangleStrip;
    case PRIM_TRIANGLEFAN: return gpu::Primitive::TriangleFan;
    default: return gpu::Primitive::Triangles;
    }
}

// Vertices (or indices) that `count` primitives of a type use.
u32 ElementCount(u32 type, u32 count)
{
    switch (type)
    {
    case PRIM_POINTLIST: return count;
    case PRIM_LINELIST: return count * 2;
    case PRIM_LINESTRIP: return count + 1;
    case PRIM_TRIANGLESTRIP:
    case PRIM_TRIANGLEFAN: return count + 2;
    default: return count * 3;
    }
}

gpu::VertexLayout LayoutOf(const VertexFormat& format)
{
    gpu::VertexLayout layout;
    layout.stride = format.mStride;
    for (const VertexElement& element : format.mElements)
    {
        gpu::VertexAttribute a;
        a.offset = element.mOffset;
        a.components = element.mComponents;
        if (element.mName == "pos")
            a.location = gpu::kAttribPosition;
        else if (element.mName == "diff")
            a.location = gpu::kAttribColor0, a.type = gpu::AttributeType::ColorBGRA;
        else if (element.mName == "spec")
            a.location = gpu::kAttribColor1, a.type = gpu::AttributeType::ColorBGRA;
        else if (element.mName == "tutv")
            a.location = gpu::kAttribTexCoord0;
        else
            continue;
        layout.attributes.push_back(a);
    }
    return layout;
}
} // namespace

RenderDX9::RenderDX9()
{
    mResetStateEveryScene = false;
    mResendScissorOnTargetChange = true;
    mUnusedWord = 0;
}

RenderDX9::~RenderDX9()
{
    RunDeferredDeletes();
    ReleaseResources();
    DetachAll(); // while the device still exists, so their device objects go with it
    mDevice.reset();
}

QLResultEnum RenderDX9::InitRender(RenderWindow* window, const RenderInitParam& param)
{
    mWindow = window;
    mWidth = param.mWidth;
    mHeight = param.mHeight;
    mWindowed = param.mWindowed;
    mMultithreaded = true;
    if (!window)
        return QL_FAIL;
    mDevice = window->CreateDevice();
    if (!mDevice || mDevice->Init(mWidth, mHeight) != QL_OK)
    {
        QL_LOG(L"Cannot create the graphics device\n") << base::LogStyle::Error;
        mDevice.reset();
        return QL_FAIL;
    }
    const gpu::Caps& caps = mDevice->GetCaps();
    QL_LOG(L"Max texture Width: %d\n") << caps.maxTextureWidth;
    QL_LOG(L"Max texture Height: %d\n") << caps.maxTextureHeight;
    mMaxPrimitiveCount = caps.maxPrimitiveCount;
    mMaxTextureWidth = caps.maxTextureWidth;
    mMaxTextureHeight = caps.maxTextureHeight;
    mMaxVertexIndex = caps.maxVertexIndex;
    if (mMaxVertexIndex < 0xFFFF)
        return QL_FAIL;
    mTextureBlendStages3 = caps.textureBlendStages >= 3;
    mVertexShader10 = caps.vertexShaderVersion >= 0x100;
    mVertexShader20 = caps.vertexShaderVersion >= 0x200;
    mPixelShader10 = caps.pixelShaderVersion >= 0x100;
    mPixelShader20 = caps.pixelShaderVersion >= 0x200;
    if (caps.vertexShaderVersion < 0x101 || caps.pixelShaderVersion < 0x200)
    {
        window->OnUnsupportedDevice();
        return QL_FAIL;
    }
    for (int i = 0; i < 5; ++i)
        mDxt[i] = caps.dxt[i];
    mAnisotropicMin = caps.anisotropicMin;
    mAnisotropicMag = caps.anisotropicMag;
    mScissorTest = caps.scissorTest;
    if (!mScissorTest)
        return QL_FAIL;
    if (mDevice->SetRenderTarget(0) != QL_OK ||
        mDevice->Clear(gpu::kClearTarget | gpu::kClearDepth, 0xFF000000, 1.0f, 0) != QL_OK ||
        mDevice->Present() != QL_OK || SetDefaultStates() != QL_OK)
        return QL_FAIL;
    return Render::InitRender(window, param);
}

QLResultEnum RenderDX9::SetDefaultStates()
{
    // Samplers are linear with clamped addressing per texture; the rest of the fixed state:
    if (mDevice->SetCull(gpu::CullMode::CounterClockwise) != QL_OK || mDevice->SetDepth(false, true) != QL_OK)
        return QL_FAIL;
    return QL_OK;
}

QLResultEnum RenderDX9::InitDeviceState()
{
    QL_LOG(L"RenderDX9::InitDeviceState()\n");
    // Our device keeps its state through a reset; bring it to what the state records now assume.
    gpu::BlendState off;
    if (mDevice->SetRenderTarget(0) != QL_OK ||
        mDevice->Clear(gpu::kClearTarget | gpu::kClearDepth, 0xFF000000, 1.0f, 0) != QL_OK ||
        mDevice->Present() != QL_OK || SetDefaultStates() != QL_OK || mDevice->SetBlend(off) != QL_OK ||
        mDevice->SetScissorEnabled(false) != QL_OK || mDevice->SetProgram(0) != QL_OK)
        return QL_FAIL;
    UpdatePixelMapping();
    mLastApplied = nullptr;
    mLastTarget = nullptr;
    return QL_OK;
}

QLResultEnum RenderDX9::ReleaseRender() { return LostDevice(); }

QLResultEnum RenderDX9::ResetRender(const RenderInitParam& param)
{
    mWidth = param.mWidth;
    mHeight = param.mHeight;
    mWindowed = param.mWindowed;
    mDefaultScaleX = param.mScaleX;
    mDefaultScaleY = param.mScaleY;
    mDefaultOffsetX = param.mOffsetX;
    mDefaultOffsetY = param.mOffsetY;
    if (param.mBuildProjection)
    {
        QLResultEnum result =
            BuildProjection(static_cast<float>(param.mWidth), static_cast<float>(param.mHeight), 0, &mProjection);
        if (result != QL_OK)
            return result;
    }
    else
        mProjection = param.mProjection;
    QLResultEnum result = ResetDevice();
    if (result == QL_OK)
        mLost = false;
    return result;
}

QLResultEnum RenderDX9::LostDevice()
{
    QL_LOG(L"RenderDX9::LostDevice()\n");
    DropRecording();
    for (Buffer* buffer : std::vector<Buffer*>(mBuffers))
        (void)buffer->OnLostDevice();
    for (Texture* texture : std::vector<Texture*>(mTextures))
        (void)texture->OnLostDevice();
    for (ShaderImpl* shader : std::vector<ShaderImpl*>(mShaderImpls))
        (void)shader->OnLostDevice();
    return QL_OK;
}

QLResultEnum RenderDX9::ResetDevice()
{
    QL_LOG(L"RenderDX9::ResetDevice()\n");
    if (!mDevice)
        return QL_FAIL;
    (void)mDevice->ResizeBackBuffer(mWidth, mHeight);
    if (mDevice->Reset() != QL_OK)
    {
        QL_LOG(L"\tD3DERR_DEVICELOST\n") << base::LogStyle::Error;
        return QL_FAIL;
    }
    QL_LOG(L"\tD3D_OK\n");
    for (Buffer* buffer : std::vector<Buffer*>(mBuffers))
        (void)buffer->OnResetDevice();
    for (Texture* texture : std::vector<Texture*>(mTextures))
        (void)texture->OnResetDevice();
    for (ShaderImpl* shader : std::vector<ShaderImpl*>(mShaderImpls))
        (void)shader->OnResetDevice();
    return InitDeviceState();
}

void RenderDX9::SleepWhileLost()
{
    ++mLostSleeps;
    if (mLostSleepMs)
        std::this_thread::sleep_for(std::chrono::milliseconds(mLostSleepMs));
}

bool RenderDX9::CheckDevice()
{
    if (!mDevice || !mWindow)
        return false;
    const bool mayRender = mWindowed ? !mWindow->IsMinimized() : mWindow->IsActive();
    if (!mayRender)
    {
        if (mWindowed)
            return false;
        if (mLost)
        {
            SleepWhileLost();
            return false;
        }
        (void)LostDevice();
        mLost = true;
        return false;
    }
    switch (mDevice->TestStatus())
    {
    case gpu::DeviceStatus::Lost:
        if (!mLost)
        {
            (void)LostDevice();
            mLost = true;
        }
        SleepWhileLost();
        return false;
    case gpu::DeviceStatus::NotReset:
        if (ResetDevice() != QL_FAIL)
            mLost = false;
        return false; // the frame of the reset is skipped
    case gpu::DeviceStatus::Ok:
        // Resources were released while the window was inactive although the device itself was
        // never lost: bring them back before drawing with them.
        if (mLost)
        {
            if (ResetDevice() != QL_OK)
                return false;
            mLost = false;
        }
        return true;
    }
    return false;
}

QLResultEnum RenderDX9::CreateTexture(Texture** out)
{
    *out = new TextureDX9(this);
    return QL_OK;
}

QLResultEnum RenderDX9::CreateShader(const std::string& vertexSource, const std::string& pixelSource, ShaderImpl** out)
{
    auto shader = std::make_unique<ShaderImplDX9>(this);
    QLResultEnum result = shader->Create(vertexSource, pixelSource);
    if (result != QL_OK)
        return result;
    *out = shader.release();
    return QL_OK;
}

QLResultEnum RenderDX9::CreateShaderGeom(ShaderImpl** out)
{
    return CreateShader(kGeomVertexShader, kGeomPixelShader, out);
}

QLResultEnum RenderDX9::CreateShaderTexturedMult(ShaderImpl** out)
{
    return CreateShader(kTexturedVertexShader, kTexturedMultPixelShader, out);
}

QLResultEnum RenderDX9::CreateShaderTexturedTint(ShaderImpl** out)
{
    return CreateShader(kTexturedTintVertexShader, kTexturedTintPixelShader, out);
}

QLResultEnum RenderDX9::CreateVertexBuffer(const VertexFormat& format, u32 count, bool dynamic, Buffer** out)
{
    auto buffer = std::make_unique<VertexBufferImplDX9>(this, format);
    QLResultEnum result = buffer->Create(format, count, dynamic);
    if (result != QL_OK)
        return result;
    *out = buffer.release();
    return QL_OK;
}

QLResultEnum RenderDX9::CreateIndexBuffer(u32 indexSize, u32 count, bool dynamic, Buffer** out)
{
    auto buffer = std::make_unique<IndexBufferImplDX9>(this, indexSize);
    QLResultEnum result = buffer->Create(indexSize, count, dynamic);
    if (result != QL_OK)
        return result;
    *out = buffer.release();
    return QL_OK;
}

QLResultEnum RenderDX9::DoClear(u32 flags, const float colour[4], float depth, u32 stencil)
{
    return mDevice->Clear(flags, PackColour(colour), depth, stencil);
}

QLResultEnum RenderDX9::DoBeginScene() { return mDevice->BeginScene(); }
QLResultEnum RenderDX9::DoEndScene() { return mDevice->EndScene(); }

QLResultEnum RenderDX9::DoPresent()
{
    if (mDevice->Present() == QL_OK)
        return QL_OK;
    QL_LOG(L"mDevice->Present failed\n") << base::LogStyle::Error;
    if (mDevice->TestStatus() != gpu::DeviceStatus::Ok)
        QL_LOG(L"\tD3DERR_DEVICELOST\n") << base::LogStyle::Error;
    return QL_FAIL;
}

QLResultEnum RenderDX9::SetRenderTarget(Texture* target)
{
    if (!target)
        return mDevice->SetRenderTarget(0);
    gpu::TextureId id = static_cast<TextureDX9*>(target)->GetDeviceTexture();
    if (!id)
        return QL_FAIL;
    return mDevice->SetRenderTarget(id);
}

QLResultEnum RenderDX9::SetShader(ShaderImpl* shader)
{
    return mDevice->SetProgram(shader ? static_cast<ShaderImplDX9*>(shader)->GetProgram() : 0);
}

QLResultEnum RenderDX9::SetVertexFormat(u32 id)
{
    const VertexFormat* format = VertexFormats::Get(id);
    if (!format)
        return QL_FAIL;
    return mDevice->SetVertexLayout(LayoutOf(*format));
}

QLResultEnum RenderDX9::SetVertexBuffer(Buffer* buffer)
{
    return mDevice->SetVertexBuffer(buffer ? static_cast<BufferImplDX9*>(buffer)->GetDeviceBuffer() : 0);
}

QLResultEnum RenderDX9::SetIndexBuffer(Buffer* buffer)
{
    if (!buffer)
        return mDevice->SetIndexBuffer(0, 2);
    return mDevice->SetIndexBuffer(static_cast<BufferImplDX9*>(buffer)->GetDeviceBuffer(), buffer->GetElementSize());
}

QLResultEnum RenderDX9::SetBlendMode(u32 mode)
{
    gpu::BlendState blend;
    switch (static_cast<BlendModeEnum>(mode))
    {
    case BLEND_OFF: break;
    case BLEND_ALPHA:
        blend = {true, gpu::BlendFactor::SrcAlpha, gpu::BlendFactor::InvSrcAlpha, gpu::BlendFactor::One,
                 gpu::BlendFactor::One};
        break;
    case BLEND_ADDITIVE:
        blend = {true, gpu::BlendFactor::SrcAlpha, gpu::BlendFactor::One, gpu::BlendFactor::One, gpu::BlendFactor::One};
        break;
    default: return QL_OK; // unknown modes change nothing
    }
    return mDevice->SetBlend(blend);
}

QLResultEnum RenderDX9::EnableScissorTest(bool enabled)
{
    if (!mScissorTest)
        return QL_OK;
    return mDevice->SetScissorEnabled(enabled);
}

QLResultEnum RenderDX9::SetScissorRect(const i32 rect[4])
{
    if (!mScissorTest)
        return QL_OK;
    return mDevice->SetScissorRect(rect[0], rect[1], rect[2], rect[3]);
}

QLResultEnum RenderDX9::SetDepthTest(bool enable, bool write) { return mDevice->SetDepth(enable, write); }

QLResultEnum RenderDX9::DrawPrimitive(u32 type, u32 start, u32 count)
{
    return mDevice->Draw(ToDevice(type), start, ElementCount(type, count));
}

QLResultEnum RenderDX9::DrawIndexedPrimitive(u32 type, u32 indexSize, u32 startIndex, u32 count, u32 minVertex,
                                             u32 vertexCount)
{
    return mDevice->DrawIndexed(ToDevice(type), startIndex, ElementCount(type, count), minVertex, vertexCount);
}
} // namespace render
