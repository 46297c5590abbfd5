// The device interface of the engine: records every frame into a command buffer with redundant
// state removed and consecutive draws merged, then plays it to the device operations of a backend.
#pragma once

#include "Core/Base/Types.h"
#include "Core/Render/CommandBuffer.h"
#include "Core/Render/Matrix4.h"
#include "Core/Render/RenderState.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace base
{
struct ImageInfo;
template <class T> class CountedPtr;
} // namespace base
namespace file
{
class ImageContainer;
}

namespace render
{
class RenderWindow;
class Texture;
class ShaderImpl;
class Shader;
class ShaderTextured;
class Buffer;
class Image;
class RenderTarget;
struct VertexFormat;
class BufferDoubleCacheBase;
template <class B> class BufferDoubleCache;
template <class T> class IndexBuffer;
template <class T> class VertexBuffer;

class Render
{
public:
    Render();
    virtual ~Render();
    Render(const Render&) = delete;
    Render& operator=(const Render&) = delete;

    // --- Device operations (the backend implements them) ---
    // The base body is the common second half of start-up: built-in shaders, caches, projection.
    virtual QLResultEnum InitRender(RenderWindow* window, const RenderInitParam& param);
    virtual QLResultEnum ReleaseRender() = 0;
    virtual QLResultEnum ResetRender(const RenderInitParam& param) = 0;
    // Diagonal (2/w, -2/h, 1), translation (-1, 1, 0): pixels (y down) to clip space.
    virtual QLResultEnum BuildProjection(float width, float height, u32 unused, math::Matrix4* out);
    virtual QLResultEnum CreateTexture(Texture** out) = 0;
    virtual QLResultEnum CreateShader(const std::string& vertexSource, const std::string& pixelSource,
                                      ShaderImpl** out) = 0;
    virtual QLResultEnum CreateShaderGeom(ShaderImpl** out) = 0;
    virtual QLResultEnum CreateShaderTexturedMult(ShaderImpl** out) = 0;
    virtual QLResultEnum CreateShaderTexturedTint(ShaderImpl** out) = 0;
    virtual QLResultEnum CreateVertexBuffer(const VertexFormat& format, u32 count, bool dynamic, Buffer** out) = 0;
    virtual QLResultEnum CreateIndexBuffer(u32 indexSize, u32 count, bool dynamic, Buffer** out) = 0;
    virtual bool CheckDevice() = 0;
    virtual QLResultEnum DoClear(u32 flags, const float colour[4], float depth, u32 stencil) = 0;
    virtual QLResultEnum DoBeginScene() = 0;
    virtual QLResultEnum DoEndScene() = 0;
    virtual QLResultEnum DoPresent() = 0;
    virtual QLResultEnum SetRenderTarget(Texture* target) = 0;
    virtual QLResultEnum SetShader(ShaderImpl* shader) = 0;
    virtual QLResultEnum SetVertexFormat(u32 id) = 0;
    virtual QLResultEnum SetVertexBuffer(Buffer* buffer) = 0;
    virtual QLResultEnum SetIndexBuffer(Buffer* buffer) = 0;
    virtual QLResultEnum SetBlendMode(u32 mode) = 0;
    virtual QLResultEnum EnableScissorTest(bool enabled) = 0;
    virtual QLResultEnum SetScissorRect(const i32 rect[4]) = 0;
    virtual QLResultEnum SetDepthTest(bool enable, bool write) = 0;
    virtual QLResultEnum DrawPrimitive(u32 type, u32 start, u32 count) = 0;
    virtual QLResultEnum DrawIndexedPrimitive(u32 type, u32 indexSize, u32 startIndex, u32 count, u32 minVertex,
                                              u32 vertexCount) = 0;
    virtual void OnStateReset() {}
    // (x * sx + ox, y * sy + oy, w * sx, h * sy) with the pending pixel mapping, truncated.
    virtual QLResultEnum ToPixelCoords(const float in[4], i32 out[4]);

    // --- The front end: recording ---
    QLResultEnum Clear(u32 flags, const float colour[4], float depth, u32 stencil);
    QLResultEnum BeginScene();
    QLResultEnum EndScene();
    QLResultEnum Present();
    // Plays the recording to the device; the buffer is rewound whatever the outcome.
    QLResultEnum ExecuteCommands();
    // Why the last failing EndScene, Present or ExecuteCommands failed: the step, or the command
    // whose playback the device refused.
    const std::string& GetFailure() const { return mFailure; }
    // False while the device cannot render; the recording is then dropped.
    bool IsReady();
    QLResultEnum ApplyState(const RenderState* state, bool force);
    void SetTarget(const RenderState* state);
    QLResultEnum Draw(u32 type, u32 start, u32 count);
    QLResultEnum DrawIndexed(u32 type, u32 startIndex, u32 count, u32 minVertex, u32 vertexCount);
    QLResultEnum FlushState();
    QLResultEnum FlushDraw();
    void ResetState();
    void UpdatePixelMapping();

    // Built-in shaders, handed out without a use count.
    QLResultEnum GetShaderGeom(Shader** out);
    QLResultEnum GetShaderTexturedMult(ShaderTextured** out);
    QLResultEnum GetShaderTexturedTint(ShaderTextured** out);

    // Images, render targets and images loaded by name are made over this render's textures by
    // render::CreateImage, CreateRenderTarget and LoadImage (Core/Media/Image/ImageFactory.h),
    // which live with the image classes.

    template <class T> QLResultEnum CreateVertexBuffer(u32 count, VertexBuffer<T>** out);
    // A shader resource of kind T (render::Shader or a kind derived from it) by name: shared
    // through the resource manager, given this render and loaded (defined in Shader.h).
    template <class T> QLResultEnum LoadShader(const std::wstring& name, base::CountedPtr<T>* out);

    // Deletes the object once the frame being recorded has been played (at once when nothing is
    // recorded). Textures, render targets and buffers named by the recording must go this way.
    void DeleteAfterPlayback(std::function<void()> deleter);
    template <class T> void DeleteAfterPlayback(T* object)
    {
        DeleteAfterPlayback([object] { delete object; });
    }

    void ReleaseResources();

    // Registries of device objects, told about device loss and reset.
    void RegisterBuffer(Buffer* buffer);
    void UnregisterBuffer(Buffer* buffer);
    void RegisterTexture(Texture* texture);
    void UnregisterTexture(Texture* texture);
    void RegisterShaderImpl(ShaderImpl* shader);
    void UnregisterShaderImpl(ShaderImpl* shader);

    // --- Accessors ---
    CommandBuffer& GetCommandBuffer() { return mCommands; }
    const math::Matrix4& GetProjection() const { return mProjection; }
    const math::Matrix4* GetProjectionPointer() const { return &mProjection; }
    const RenderState& GetCurrentState() const { return mCurrent; }
    // The pixel mapping a fresh drawing context starts from.
    void GetDefaultPixelMapping(float& scaleX, float& scaleY, float& offsetX, float& offsetY) const
    {
        scaleX = mDefaultScaleX;
        scaleY = mDefaultScaleY;
        offsetX = mDefaultOffsetX;
        offsetY = mDefaultOffsetY;
    }
    const RenderState& GetPendingState() const { return mPending; }
    bool IsStateChanged() const { return mStateChanged; }
    bool IsInScene() const { return mInScene; }
    BufferDoubleCacheBase* GetVertexCache(u32 formatId) const;
    BufferDoubleCache<IndexBuffer<unsigned short>>* GetIndexCache16() const { return mIndexCache16.get(); }
    BufferDoubleCache<IndexBuffer<unsigned int>>* GetIndexCache32() const { return mIndexCache32.get(); }
    const std::vector<Buffer*>& GetBuffers() const { return mBuffers; }
    const std::vector<Texture*>& GetTextures() const { return mTextures; }
    const std::vector<ShaderImpl*>& GetShaderImpls() const { return mShaderImpls; }

    // Capabilities, filled by the backend at start-up.
    u32 mMaxPrimitiveCount = 0;
    u32 mMaxTextureWidth = 0;
    u32 mMaxTextureHeight = 0;
    u32 mMaxVertexIndex = 0;
    bool mTextureBlendStages3 = false;
    bool mVertexShader10 = false;
    bool mVertexShader20 = false;
    bool mPixelShader10 = false;
    bool mPixelShader20 = false;
    bool mDxt[5] = {};
    bool mScissorTest = false;
    bool mAnisotropicMin = false;
    bool mAnisotropicMag = false;
    bool mUse32BitIndexCache = true;

protected:
    void DropRecording();
    // Tells every registered device object that the render is going away and forgets them.
    void DetachAll();
    void RunDeferredDeletes();
    // Drops a deleted object from the state records (see UnregisterBuffer and the others).
    void ForgetStateOf(const void* object);
    QLResultEnum RecordTarget(Texture* target);
    QLResultEnum PlayOne(u32 opcode, bool& done);
    template <class T> QLResultEnum PlayPointer(QLResultEnum (Render::*operation)(T*));
    QLResultEnum PlayWord(QLResultEnum (Render::*operation)(u32));
    bool IsStatePending() const;
    // Flushes what is pending and makes this draw the pending one.
    QLResultEnum StartDraw(bool statePending, bool indexed, u32 type, u32 start, u32 count, u32 minVertex,
                           u32 vertexCount);

    // Behaviour flags (the backend sets them).
    bool mResetStateEveryScene = false;
    bool mResendAllOnTargetChange = false;
    bool mResendScissorOnTargetChange = false;

    RenderState mCurrent;
    RenderState mPending;
    bool mStateChanged = true;
    const RenderState* mLastApplied = nullptr;
    Texture* mLastTarget = nullptr;
    bool mTargetRecorded = false; // a target change was recorded since the last FlushState
    CommandBuffer mCommands;
    bool mInScene = false;
    bool mPendingIndexed = false;
    u32 mPendingType = PRIM_NONE;
    u32 mPendingStart = 0;
    u32 mPendingCount = 0;
    u32 mPendingMinVertex = 0;
    u32 mPendingVertexCount = 0;
    float mUnusedFloat = 65000.0f; // no reader
    u32 mUnusedWord = 1;           // no reader
    math::Matrix4 mProjection;
    float mDefaultScaleX = 1.0f, mDefaultScaleY = 1.0f, mDefaultOffsetX = 0.0f, mDefaultOffsetY = 0.0f;
    std::unique_ptr<Shader> mShaderGeom;
    std::unique_ptr<ShaderTextured> mShaderTexturedMult;
    std::unique_ptr<ShaderTextured> mShaderTexturedTint;
    std::vector<std::unique_ptr<BufferDoubleCacheBase>> mVertexCaches; // null for formats without one
    std::unique_ptr<BufferDoubleCache<IndexBuffer<unsigned short>>> mIndexCache16;
    std::unique_ptr<BufferDoubleCache<IndexBuffer<unsigned int>>> mIndexCache32;
    std::vector<Buffer*> mBuffers;
    std::vector<Texture*> mTextures;
    std::vector<ShaderImpl*> mShaderImpls;
    std::vector<std::function<void()>> mDeferredDeletes;
    bool mRecording = true;
    std::string mFailure;
};
} // namespace render
