// Buffers on our device layer.
#include "Core/Render/DX9/BufferImplDX9.h"

#include "Core/Render/DX9/RenderDX9.h"
#include "Core/Render/VertexFormat.h"
#include "Platform/Gpu/Device.h"

namespace render
{
BufferImplDX9::BufferImplDX9(RenderDX9* render, u32 elementSize)
    : Buffer(render, elementSize), mBackend(render), mKind(gpu::BufferKind::Vertex)
{
}

BufferImplDX9::~BufferImplDX9()
{
    if (mBuffer && mBackend && mBackend->GetDevice())
        mBackend->GetDevice()->DestroyBuffer(mBuffer);
}

void BufferImplDX9::OnRenderDestroyed()
{
    if (mBuffer && mBackend->GetDevice())
        mBackend->GetDevice()->DestroyBuffer(mBuffer);
    mBuffer = 0; // Lock and Unlock fail from now on
    mLocked = false;
    mData = nullptr;
    mBackend = nullptr;
    Buffer::OnRenderDestroyed();
}

QLResultEnum BufferImplDX9::Make(gpu::BufferKind kind, u32 count, bool dynamic)
{
    gpu::Device* device = mBackend ? mBackend->GetDevice() : nullptr;
    if (mBuffer || !device || count == 0)
        return QL_FAIL;
    if (device->CreateBuffer(kind, count * mElementSize, dynamic, &mBuffer) != QL_OK)
    {
        mBuffer = 0;
        return QL_FAIL;
    }
    mKind = kind;
    mDynamic = dynamic;
    mCount = count;
    mStaging.assign(static_cast<size_t>(count) * mElementSize, 0);
    return QL_OK;
}

QLResultEnum BufferImplDX9::Lock()
{
    if (!mBuffer || mLocked)
        return QL_FAIL;
    mLocked = true;
    mData = mStaging.data();
    mUsed = 0;
    return QL_OK;
}

QLResultEnum BufferImplDX9::Unlock()
{
    if (!mBuffer || !mLocked)
        return QL_FAIL;
    // Caches upload what they handed out; a buffer filled directly is uploaded whole.
    const u32 elements = mUsed ? mUsed : mCount;
    QLResultEnum result = mBackend->GetDevice()->UpdateBuffer(mBuffer, mStaging.data(), 0, elements * mElementSize);
    mLocked = false;
    mData = nullptr;
    mUsed = 0;
    return result;
}

QLResultEnum BufferImplDX9::OnLostDevice()
{
    if (mDynamic && mBuffer && mBackend)
    {
        mBackend->GetDevice()->DestroyBuffer(mBuffer);
        mBuffer = 0;
        mLocked = false;
        mData = nullptr;
        mUsed = 0;
    }
    return QL_OK;
}

QLResultEnum BufferImplDX9::OnResetDevice()
{
    if (!mDynamic || mBuffer)
        return QL_OK;
    if (!mBackend)
        return QL_FAIL;
    if (mBackend->GetDevice()->CreateBuffer(mKind, mCount * mElementSize, true, &mBuffer) != QL_OK)
    {
        mBuffer = 0;
        return QL_FAIL;
    }
    return QL_OK;
}

VertexBufferImplDX9::VertexBufferImplDX9(RenderDX9* render, const VertexFormat& format)
    : BufferImplDX9(render, format.mStride)
{
    mVertex = true;
    mFormatId = format.mId;
}

QLResultEnum VertexBufferImplDX9::Create(const VertexFormat& format, u32 count, bool dynamic)
{
    mFvf = format.mFvf;
    return Make(gpu::BufferKind::Vertex, count, dynamic);
}

IndexBufferImplDX9::IndexBufferImplDX9(RenderDX9* render, u32 indexSize) : BufferImplDX9(render, indexSize == 4 ? 4 : 2)
{
}

QLResultEnum IndexBufferImplDX9::Create(u32 indexSize, u32 count, bool dynamic)
{
    return Make(gpu::BufferKind::Index, count, dynamic);
}
} // namespace render
