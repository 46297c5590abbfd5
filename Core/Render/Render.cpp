// The renderer front end: state de-duplication, draw merging, recording and playback.
#include "Core/Render/Render.h"

#include "Core/Base/Log.h"
#include "Core/Render/Buffer.h"
#include "Core/Render/BufferDoubleCache.h"
#include "Core/Render/Shader.h"
#include "Core/Render/Texture.h"

#include <algorithm>

namespace render
{
namespace
{
u32 VerticesPerPrimitive(u32 type)
{
    switch (type)
    {
    case PRIM_TRIANGLELIST: return 3;
    case PRIM_LINELIST: return 2;
    case PRIM_POINTLIST: return 1;
    default: return 0; // strips and fans never merge
    }
}

// The target and the pixel mapping that goes with it.
void CopyTarget(RenderState& to, const RenderState& from)
{
    to.mTarget = from.mTarget;
    to.mScaleX = from.mScaleX;
    to.mScaleY = from.mScaleY;
    to.mOffsetX = from.mOffsetX;
    to.mOffsetY = from.mOffsetY;
}

// Truncation toward zero, kept inside the i32 range (a wild clip rectangle must not be an
// undefined conversion); NaN gives 0.
i32 ToPixel(float value)
{
    if (!(value == value))
        return 0;
    if (value >= 2147483520.0f)
        return 2147483520;
    if (value <= -2147483648.0f)
        return -2147483647 - 1;
    return static_cast<i32>(value);
}

template <class T> void Unregister(std::vector<T*>& registry, T* object)
{
    auto it = std::find(registry.begin(), registry.end(), object);
    if (it != registry.end())
        registry.erase(it);
}
} // namespace

Render::Render() = default;

Render::~Render()
{
    RunDeferredDeletes();
    ReleaseResources();
    DetachAll();
}

void Render::DetachAll()
{
    // Objects still alive (owned elsewhere) must not reach back into a render that is gone.
    for (Buffer* buffer : std::vector<Buffer*>(mBuffers))
        buffer->OnRenderDestroyed();
    for (Texture* texture : std::vector<Texture*>(mTextures))
        texture->OnRenderDestroyed();
    for (ShaderImpl* shader : std::vector<ShaderImpl*>(mShaderImpls))
        shader->OnRenderDestroyed();
    mBuffers.clear();
    mTextures.clear();
    mShaderImpls.clear();
}

QLResultEnum Render::InitRender(RenderWindow* window, const RenderInitParam& param)
{
    // Built-in shaders.
    ShaderImpl* impl = nullptr;
    QLResultEnum result = CreateShaderGeom(&impl);
    if (result != QL_OK)
        return result;
    mShaderGeom = std::make_unique<Shader>();
    mShaderGeom->SetImpl(impl);
    mShaderGeom->SetLoaded(true);
    (void)mShaderGeom->SetRender(this);
    if ((result = mShaderGeom->BindVariables()) != QL_OK)
        return result;
    std::unique_ptr<ShaderTextured>* textured[] = {&mShaderTexturedMult, &mShaderTexturedTint};
    for (int i = 0; i < 2; ++i)
    {
        impl = nullptr;
        result = i == 0 ? CreateShaderTexturedMult(&impl) : CreateShaderTexturedTint(&impl);
        if (result != QL_OK)
            return result;
        *textured[i] = std::make_unique<ShaderTextured>();
        ShaderTextured* shader = textured[i]->get();
        shader->SetImpl(impl);
        shader->SetLoaded(true);
        (void)shader->SetRender(this);
        if ((result = shader->BindVariables()) != QL_OK)
            return result;
    }

    // Frame caches.
    mVertexCaches.clear();
    mVertexCaches.resize(VertexFormats::Count());
    for (u32 id = 0; id < VertexFormats::Count(); ++id)
    {
        const VertexFormat* format = VertexFormats::Get(id);
        if (format->mCacheSize == 0 && format->mChunkSize == 0)
            continue;
        BufferDoubleCacheBase* cache = nullptr;
        result = VertexFormats::GetCreator(id)->CreateCache(this, format->mCacheSize, format->mChunkSize, &cache);
        mVertexCaches[id].reset(cache);
        if (result != QL_OK)
            return result;
    }
    // Index caches: 32-bit 61440 indices with overflow chunks of 10240. The 16-bit one has the
    // same room instead of 10240 indices with chunks of 1024 (1706 quads, then a draw call per
    // 170): as many quads as the 2D vertex cache holds, so that a frame of sprites sharing one
    // texture and blend mode stays one draw call up to 10240 quads (bench/Render/README.md).
    mIndexCache16 = std::make_unique<BufferDoubleCache<IndexBuffer<unsigned short>>>(this);
    if ((result = mIndexCache16->Create(61440, 10240)) != QL_OK)
        return result;
    if (mUse32BitIndexCache)
    {
        mIndexCache32 = std::make_unique<BufferDoubleCache<IndexBuffer<unsigned int>>>(this);
        if ((result = mIndexCache32->Create(61440, 10240)) != QL_OK)
            return result;
    }

    // Projection and pixel mapping.
    if (param.mBuildProjection)
    {
        result = BuildProjection(static_cast<float>(param.mWidth), static_cast<float>(param.mHeight), 0, &mProjection);
        if (result != QL_OK)
            return result;
    }
    else
        mProjection = param.mProjection;
    mDefaultScaleX = param.mScaleX;
    mDefaultScaleY = param.mScaleY;
    mDefaultOffsetX = param.mOffsetX;
    mDefaultOffsetY = param.mOffsetY;
    UpdatePixelMapping();
    return QL_OK;
}

QLResultEnum Render::BuildProjection(float width, float height, u32, math::Matrix4* out)
{
    out->SetIdentity();
    out->SetDiagonal(2.0f / width, -2.0f / height, 1.0f);
    out->SetTranslation(-1.0f, 1.0f, 0.0f);
    return QL_OK;
}

QLResultEnum Render::ToPixelCoords(const float in[4], i32 out[4])
{
    out[0] = ToPixel(in[0] * mPending.mScaleX + mPending.mOffsetX);
    out[1] = ToPixel(in[1] * mPending.mScaleY + mPending.mOffsetY);
    out[2] = ToPixel(in[2] * mPending.mScaleX);
    out[3] = ToPixel(in[3] * mPending.mScaleY);
    return QL_OK;
}

QLResultEnum Render::RecordTarget(Texture* target)
{
    bool ok = target ? mCommands.WriteU32(CMD_SET_TARGET) && mCommands.WritePointer(target)
                     : mCommands.WriteU32(CMD_SET_BACK_BUFFER);
    if (!ok)
        return QL_FAIL;
    mLastTarget = target;
    mTargetRecorded = true;
    return QL_OK;
}

QLResultEnum Render::Clear(u32 flags, const float colour[4], float depth, u32 stencil)
{
    QLResultEnum result = FlushDraw();
    if (result != QL_OK)
        return result;
    if (mPending.mTarget != mLastTarget)
    {
        if ((result = RecordTarget(mPending.mTarget)) != QL_OK)
            return result;
        mStateChanged = true;
    }
    bool ok = mCommands.WriteU32(CMD_CLEAR) && mCommands.WriteU32(flags);
    for (int i = 0; i < 4 && ok; ++i)
        ok = mCommands.WriteF32(colour[i]);
    ok = ok && mCommands.WriteF32(depth) && mCommands.WriteU32(stencil);
    return ok ? QL_OK : QL_FAIL;
}

QLResultEnum Render::BeginScene()
{
    mInScene = true;
    if (!mCommands.WriteU32(CMD_BEGIN_SCENE))
        return QL_FAIL;
    QLResultEnum result = QL_OK;
    for (const auto& cache : mVertexCaches)
        if (cache && (result = cache->BeginFrame()) != QL_OK)
            return result;
    if (mIndexCache16 && (result = mIndexCache16->BeginFrame()) != QL_OK)
        return result;
    if (mIndexCache32 && (result = mIndexCache32->BeginFrame()) != QL_OK)
        return result;
    if (mResetStateEveryScene)
    {
        if (mCurrent.mShader)
            mCurrent.mShader->SetVariablesChanged(true);
        ResetState();
    }
    return QL_OK;
}

QLResultEnum Render::EndScene()
{
    mInScene = false;
    // Every cache ends its frame and the scene is recorded whatever fails, so that the next frame
    // begins afresh: a cache left in its frame would fail every BeginScene from then on. The first
    // failure is returned.
    QLResultEnum result = QL_OK;
    auto note = [&](QLResultEnum step, const char* why)
    {
        if (step != QL_OK && result == QL_OK)
        {
            result = step;
            mFailure = why;
        }
    };
    for (const auto& cache : mVertexCaches)
        if (cache)
            note(cache->EndFrame(), "the frame's vertices could not be handed to the device");
    if (mIndexCache16)
        note(mIndexCache16->EndFrame(), "the frame's indices could not be handed to the device");
    if (mIndexCache32)
        note(mIndexCache32->EndFrame(), "the frame's indices could not be handed to the device");
    note(FlushDraw(), "the last draw could not be recorded");
    note(mCommands.WriteU32(CMD_END_SCENE) ? QL_OK : QL_FAIL, "no memory for the recording");
    return result;
}

QLResultEnum Render::Present()
{
    if (mCommands.WriteU32(CMD_PRESENT))
        return QL_OK;
    mFailure = "no memory for the recording";
    return QL_FAIL;
}

bool Render::IsReady()
{
    if (CheckDevice())
        return true;
    DropRecording();
    return false;
}

void Render::DropRecording()
{
    mCommands.Rewind();
    mPendingIndexed = false;
    mPendingType = PRIM_NONE;
    mPendingStart = mPendingCount = mPendingMinVertex = mPendingVertexCount = 0;
    RunDeferredDeletes();
}

void Render::DeleteAfterPlayback(std::function<void()> deleter)
{
    if (mCommands.GetPosition() == 0)
        deleter();
    else
        mDeferredDeletes.push_back(std::move(deleter));
}

void Render::RunDeferredDeletes()
{
    // A deleter may queue further objects; take the list first.
    while (!mDeferredDeletes.empty())
    {
        std::vector<std::function<void()>> deletes;
        deletes.swap(mDeferredDeletes);
        for (auto& deleter : deletes)
            deleter();
    }
}

QLResultEnum Render::ApplyState(const RenderState* state, bool force)
{
    if (state == mLastApplied && !force)
        return QL_OK;
    mLastApplied = state;
    SetTarget(state);
    if (state->mShader != mPending.mShader)
        mPending.mShader = state->mShader, mStateChanged = true;
    if (state->mVertexBuffer != mPending.mVertexBuffer)
        mPending.mVertexBuffer = state->mVertexBuffer, mStateChanged = true;
    if (state->mIndexBuffer != mPending.mIndexBuffer)
        mPending.mIndexBuffer = state->mIndexBuffer, mStateChanged = true;
    if (state->mBlendMode != mPending.mBlendMode)
        mPending.mBlendMode = state->mBlendMode, mStateChanged = true;
    if (state->mScissorEnabled != mPending.mScissorEnabled)
        mPending.mScissorEnabled = state->mScissorEnabled, mStateChanged = true;
    if (state->mScissorEnabled &&
        (state->mScissorX != mPending.mScissorX || state->mScissorY != mPending.mScissorY ||
         state->mScissorWidth != mPending.mScissorWidth || state->mScissorHeight != mPending.mScissorHeight))
    {
        mPending.mScissorX = state->mScissorX;
        mPending.mScissorY = state->mScissorY;
        mPending.mScissorWidth = state->mScissorWidth;
        mPending.mScissorHeight = state->mScissorHeight;
        mStateChanged = true;
    }
    if (state->mDepthTest != mPending.mDepthTest)
        mPending.mDepthTest = state->mDepthTest, mStateChanged = true;
    if (state->mDepthTest && state->mDepthWrite != mPending.mDepthWrite)
        mPending.mDepthWrite = state->mDepthWrite, mStateChanged = true;
    return QL_OK;
}

void Render::SetTarget(const RenderState* state)
{
    if (state->mTarget == mPending.mTarget)
        return;
    CopyTarget(mPending, *state);
    mStateChanged = true;
}

bool Render::IsStatePending() const
{
    return mStateChanged || (mPending.mShader && mPending.mShader->AreVariablesChanged());
}

QLResultEnum Render::Draw(u32 type, u32 start, u32 count)
{
    const bool statePending = IsStatePending();
    const u32 perPrimitive = VerticesPerPrimitive(type);
    if (!mPendingIndexed && mPendingType == type && mPendingCount != 0 && perPrimitive != 0 &&
        mPendingStart + mPendingCount * perPrimitive == start && !statePending)
    {
        mPendingCount += count;
        return QL_OK;
    }
    return StartDraw(statePending, false, type, start, count, 0, 0);
}

QLResultEnum Render::DrawIndexed(u32 type, u32 startIndex, u32 count, u32 minVertex, u32 vertexCount)
{
    const bool statePending = IsStatePending();
    const u32 perPrimitive = VerticesPerPrimitive(type);
    if (mPendingIndexed && mPendingType == type && mPendingCount != 0 && perPrimitive != 0 &&
        mPendingStart + mPendingCount * perPrimitive == startIndex && !statePending)
    {
        const u32 low = std::min(mPendingMinVertex, minVertex);
        const u32 high = std::max(minVertex + vertexCount, mPendingMinVertex + mPendingVertexCount);
        mPendingMinVertex = low;
        mPendingVertexCount = high - low;
        mPendingCount += count;
        return QL_OK;
    }
    return StartDraw(statePending, true, type, startIndex, count, minVertex, vertexCount);
}

QLResultEnum Render::StartDraw(bool statePending, bool indexed, u32 type, u32 start, u32 count, u32 minVertex,
                               u32 vertexCount)
{
    QLResultEnum result = FlushDraw();
    if (result != QL_OK)
        return result;
    if (statePending && (result = FlushState()) != QL_OK)
        return result;
    mPendingIndexed = indexed;
    mPendingType = type;
    mPendingStart = start;
    mPendingCount = count;
    mPendingMinVertex = minVertex;
    mPendingVertexCount = vertexCount;
    return QL_OK;
}

QLResultEnum Render::FlushDraw()
{
    if (mPendingCount != 0)
    {
        bool ok;
        if (mPendingIndexed)
        {
            const u32 indexSize = mCurrent.mIndexBuffer ? mCurrent.mIndexBuffer->GetElementSize() : 2;
            ok = mCommands.WriteU32(CMD_DRAW_INDEXED) && mCommands.WriteU32(mPendingType) &&
                 mCommands.WriteU32(indexSize) && mCommands.WriteU32(mPendingStart) &&
                 mCommands.WriteU32(mPendingCount) && mCommands.WriteU32(mPendingMinVertex) &&
                 mCommands.WriteU32(mPendingVertexCount);
        }
        else
            ok = mCommands.WriteU32(CMD_DRAW) && mCommands.WriteU32(mPendingType) &&
                 mCommands.WriteU32(mPendingStart) && mCommands.WriteU32(mPendingCount);
        if (!ok)
            return QL_FAIL;
    }
    mPendingIndexed = false;
    mPendingType = PRIM_NONE;
    mPendingStart = mPendingCount = mPendingMinVertex = mPendingVertexCount = 0;
    return QL_OK;
}

QLResultEnum Render::FlushState()
{
    if (mStateChanged)
    {
        if (mPending.mTarget != mLastTarget)
        {
            QLResultEnum result = RecordTarget(mPending.mTarget);
            if (result != QL_OK)
                return result;
        }
        if (mTargetRecorded || mCurrent.mTarget != mPending.mTarget)
            CopyTarget(mCurrent, mPending);
        // A target change recorded since the last flush (here or by Clear) may reset device state.
        const bool targetChanged = mTargetRecorded;
        mTargetRecorded = false;
        const bool force = targetChanged && mResendAllOnTargetChange;
        const bool forceScissor = targetChanged && mResendScissorOnTargetChange;

        if (mPending.mShader != mCurrent.mShader || force)
        {
            if (!mCommands.WriteU32(CMD_SET_SHADER) || !mCommands.WritePointer(mPending.mShader))
                return QL_FAIL;
            if (mCurrent.mShader)
                (void)mCurrent.mShader->OnUnbind();
            if (mPending.mShader)
                (void)mPending.mShader->OnBind();
            mCurrent.mShader = mPending.mShader;
        }
        if (mPending.mVertexBuffer != mCurrent.mVertexBuffer || force)
        {
            Buffer* next = mPending.mVertexBuffer;
            if (next &&
                (!mCurrent.mVertexBuffer || mCurrent.mVertexBuffer->GetFormatId() != next->GetFormatId() || force))
            {
                if (!mCommands.WriteU32(CMD_SET_VERTEX_FORMAT) || !mCommands.WriteU32(next->GetFormatId()))
                    return QL_FAIL;
            }
            if (!mCommands.WriteU32(CMD_SET_VERTEX_BUFFER) || !mCommands.WritePointer(next))
                return QL_FAIL;
            mCurrent.mVertexBuffer = next;
        }
        if (mPending.mIndexBuffer != mCurrent.mIndexBuffer || force)
        {
            if (!mCommands.WriteU32(CMD_SET_INDEX_BUFFER) || !mCommands.WritePointer(mPending.mIndexBuffer))
                return QL_FAIL;
            mCurrent.mIndexBuffer = mPending.mIndexBuffer;
        }
        if (mPending.mBlendMode != mCurrent.mBlendMode || force)
        {
            if (!mCommands.WriteU32(CMD_SET_BLEND_MODE) || !mCommands.WriteU32(static_cast<u32>(mPending.mBlendMode)))
                return QL_FAIL;
            mCurrent.mBlendMode = mPending.mBlendMode;
        }
        if (mPending.mScissorEnabled != mCurrent.mScissorEnabled || force || forceScissor)
        {
            if (!mCommands.WriteU32(CMD_ENABLE_SCISSOR) || !mCommands.WriteU8(mPending.mScissorEnabled ? 1 : 0))
                return QL_FAIL;
            mCurrent.mScissorEnabled = mPending.mScissorEnabled;
        }
        const bool rectDiffers = mPending.mScissorX != mCurrent.mScissorX || mPending.mScissorY != mCurrent.mScissorY ||
                                 mPending.mScissorWidth != mCurrent.mScissorWidth ||
                                 mPending.mScissorHeight != mCurrent.mScissorHeight;
        if ((mPending.mScissorEnabled && rectDiffers) || force || forceScissor)
        {
            const float rect[4] = {mPending.mScissorX, mPending.mScissorY, mPending.mScissorWidth,
                                   mPending.mScissorHeight};
            i32 pixels[4];
            (void)ToPixelCoords(rect, pixels);
            bool ok = mCommands.WriteU32(CMD_SET_SCISSOR_RECT);
            for (int i = 0; i < 4 && ok; ++i)
                ok = mCommands.WriteU32(static_cast<u32>(pixels[i]));
            if (!ok)
                return QL_FAIL;
            mCurrent.mScissorX = mPending.mScissorX;
            mCurrent.mScissorY = mPending.mScissorY;
            mCurrent.mScissorWidth = mPending.mScissorWidth;
            mCurrent.mScissorHeight = mPending.mScissorHeight;
        }
        // Depth: one command carries the test flag and, when the test is on, the write flag.
        const bool depthDiffers = mPending.mDepthTest != mCurrent.mDepthTest ||
                                  (mPending.mDepthTest && mPending.mDepthWrite != mCurrent.mDepthWrite);
        if (depthDiffers || force)
        {
            bool ok = mCommands.WriteU32(CMD_SET_DEPTH) && mCommands.WriteU8(mPending.mDepthTest ? 1 : 0);
            if (ok && mPending.mDepthTest)
                ok = mCommands.WriteU8(mPending.mDepthWrite ? 1 : 0);
            if (!ok)
                return QL_FAIL;
            mCurrent.mDepthTest = mPending.mDepthTest;
            if (mPending.mDepthTest)
                mCurrent.mDepthWrite = mPending.mDepthWrite;
        }
        mStateChanged = false;
    }
    if (mPending.mShader && mPending.mShader->AreVariablesChanged())
    {
        if (!mCommands.WriteU32(CMD_SET_VARIABLES) || !mCommands.WritePointer(mPending.mShader))
            return QL_FAIL;
        return mPending.mShader->RecordVariables(mCommands);
    }
    return QL_OK;
}

void Render::ResetState()
{
    UpdatePixelMapping();
    mLastApplied = nullptr;
    mLastTarget = nullptr;
    mStateChanged = true;
    OnStateReset();
}

void Render::UpdatePixelMapping()
{
    RenderState state;
    state.mScaleX = mDefaultScaleX;
    state.mScaleY = mDefaultScaleY;
    state.mOffsetX = mDefaultOffsetX;
    state.mOffsetY = mDefaultOffsetY;
    mCurrent = state;
    mPending = state;
}

QLResultEnum Render::ExecuteCommands()
{
    QLResultEnum result = QL_OK;
    if (!mCommands.WriteU32(CMD_END))
    {
        mFailure = "no memory for the recording";
        result = QL_FAIL;
    }
    mCommands.Rewind();
    bool done = result != QL_OK;
    while (!done)
    {
        u32 opcode = 0;
        if (!mCommands.ReadU32(opcode))
        {
            mFailure = "the recording ends before its end mark";
            result = QL_FAIL;
            break;
        }
        result = PlayOne(opcode, done);
        if (result != QL_OK)
        {
            mFailure = std::string("the device refused the command '") + CommandName(opcode) + "'";
            break;
        }
    }
    // Whatever happened, the next frame records from the start, and what waited for this
    // frame's playback can go.
    mCommands.Rewind();
    RunDeferredDeletes();
    return result;
}

template <class T> QLResultEnum Render::PlayPointer(QLResultEnum (Render::*operation)(T*))
{
    T* object = nullptr;
    if (!mCommands.ReadPointer(object))
        return QL_FAIL;
    return (this->*operation)(object);
}

QLResultEnum Render::PlayWord(QLResultEnum (Render::*operation)(u32))
{
    u32 word = 0;
    if (!mCommands.ReadU32(word))
        return QL_FAIL;
    return (this->*operation)(word);
}

QLResultEnum Render::PlayOne(u32 opcode, bool& done)
{
    CommandBuffer& s = mCommands;
    switch (opcode)
    {
    case CMD_CLEAR:
    {
        u32 flags = 0, stencil = 0;
        float colour[4], depth = 0.0f;
        bool ok = s.ReadU32(flags);
        for (int i = 0; i < 4 && ok; ++i)
            ok = s.ReadF32(colour[i]);
        if (!ok || !s.ReadF32(depth) || !s.ReadU32(stencil))
            return QL_FAIL;
        return DoClear(flags, colour, depth, stencil);
    }
    case CMD_BEGIN_SCENE: return DoBeginScene();
    case CMD_END_SCENE: return DoEndScene();
    case CMD_PRESENT: return DoPresent();
    case CMD_SET_TARGET: return PlayPointer<Texture>(&Render::SetRenderTarget);
    case CMD_SET_BACK_BUFFER: return SetRenderTarget(nullptr);
    case CMD_SET_SHADER: return PlayPointer<ShaderImpl>(&Render::SetShader);
    case CMD_SET_VARIABLES:
    {
        ShaderImpl* shader = nullptr;
        if (!s.ReadPointer(shader) || !shader)
            return QL_FAIL;
        return shader->ReplayVariables(s);
    }
    case CMD_SET_VERTEX_FORMAT: return PlayWord(&Render::SetVertexFormat);
    case CMD_SET_VERTEX_BUFFER: return PlayPointer<Buffer>(&Render::SetVertexBuffer);
    case CMD_SET_INDEX_BUFFER: return PlayPointer<Buffer>(&Render::SetIndexBuffer);
    case CMD_SET_BLEND_MODE: return PlayWord(&Render::SetBlendMode);
    case CMD_ENABLE_SCISSOR:
    {
        u8 enabled = 0;
        if (!s.ReadU8(enabled))
            return QL_FAIL;
        return EnableScissorTest(enabled != 0);
    }
    case CMD_SET_SCISSOR_RECT:
    {
        i32 rect[4];
        for (i32& value : rect)
        {
            u32 word = 0;
            if (!s.ReadU32(word))
                return QL_FAIL;
            value = static_cast<i32>(word);
        }
        return SetScissorRect(rect);
    }
    case CMD_SET_DEPTH:
    {
        u8 enabled = 0, write = 0;
        if (!s.ReadU8(enabled))
            return QL_FAIL;
        if (enabled && !s.ReadU8(write))
            return QL_FAIL;
        return SetDepthTest(enabled != 0, write != 0);
    }
    case CMD_DRAW:
    {
        u32 type = 0, start = 0, count = 0;
        if (!s.ReadU32(type) || !s.ReadU32(start) || !s.ReadU32(count))
            return QL_FAIL;
        return DrawPrimitive(type, start, count);
    }
    case CMD_DRAW_INDEXED:
    {
        u32 args[6];
        for (u32& value : args)
            if (!s.ReadU32(value))
                return QL_FAIL;
        return DrawIndexedPrimitive(args[0], args[1], args[2], args[3], args[4], args[5]);
    }
    case CMD_END: done = true; return QL_OK;
    default:
        // 15 and unknown opcodes carry nothing we can read: skip to the next word.
        return QL_OK;
    }
}

QLResultEnum Render::GetShaderGeom(Shader** out)
{
    *out = mShaderGeom.get();
    return QL_OK;
}

QLResultEnum Render::GetShaderTexturedMult(ShaderTextured** out)
{
    *out = mShaderTexturedMult.get();
    return QL_OK;
}

QLResultEnum Render::GetShaderTexturedTint(ShaderTextured** out)
{
    *out = mShaderTexturedTint.get();
    return QL_OK;
}

BufferDoubleCacheBase* Render::GetVertexCache(u32 formatId) const
{
    return formatId < mVertexCaches.size() ? mVertexCaches[formatId].get() : nullptr;
}

void Render::ReleaseResources()
{
    // Nothing recorded will be played any more: what is released here goes at once.
    mCommands.Rewind();
    RunDeferredDeletes();
    mVertexCaches.clear();
    mIndexCache16.reset();
    mIndexCache32.reset();
    auto release = [](auto& shader)
    {
        if (shader && shader->IsLoaded())
            (void)shader->UnLoad();
        shader.reset();
    };
    release(mShaderGeom);
    release(mShaderTexturedMult);
    release(mShaderTexturedTint);
}

// A deleted object's address may be handed to the next object made: the state records and the
// samplers forget it, so the next use of a new object at that address is recorded in full.
void Render::ForgetStateOf(const void* object)
{
    for (RenderState* state : {&mCurrent, &mPending})
    {
        if (state->mTarget == object)
        {
            state->mTarget = nullptr;
            state->mScaleX = mDefaultScaleX;
            state->mScaleY = mDefaultScaleY;
            state->mOffsetX = mDefaultOffsetX;
            state->mOffsetY = mDefaultOffsetY;
        }
        if (state->mShader == object)
            state->mShader = nullptr;
        if (state->mVertexBuffer == object)
            state->mVertexBuffer = nullptr;
        if (state->mIndexBuffer == object)
            state->mIndexBuffer = nullptr;
    }
    if (mLastTarget == object)
        mLastTarget = nullptr; // the device falls back to the back buffer when its target goes
    mLastApplied = nullptr;
    mStateChanged = true;
}

void Render::RegisterBuffer(Buffer* buffer) { mBuffers.push_back(buffer); }

void Render::UnregisterBuffer(Buffer* buffer)
{
    Unregister(mBuffers, buffer);
    ForgetStateOf(buffer);
}

void Render::RegisterTexture(Texture* texture) { mTextures.push_back(texture); }

void Render::UnregisterTexture(Texture* texture)
{
    Unregister(mTextures, texture);
    ForgetStateOf(texture);
    for (ShaderImpl* shader : mShaderImpls)
        shader->ForgetTexture(texture);
}

void Render::RegisterShaderImpl(ShaderImpl* shader) { mShaderImpls.push_back(shader); }

void Render::UnregisterShaderImpl(ShaderImpl* shader)
{
    Unregister(mShaderImpls, shader);
    ForgetStateOf(shader);
}
} // namespace render
