// Backend vertex and index buffers, and the typed handles that own them.
#pragma once

#include "Core/Base/Types.h"

#include <memory>

namespace render
{
class Render;

class Buffer
{
public:
    Buffer(Render* render, u32 elementSize); // registers with the render
    virtual ~Buffer();                       // unregisters
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;

    // Hands out the whole buffer for writing (earlier contents are discarded).
    virtual QLResultEnum Lock() = 0;
    // Sends what was written to the device.
    virtual QLResultEnum Unlock() = 0;
    virtual QLResultEnum OnResetDevice() = 0;
    virtual QLResultEnum OnLostDevice() = 0;
    virtual bool IsFree() const = 0;
    // The render is going away: release device objects now; later calls fail.
    virtual void OnRenderDestroyed() { mRender = nullptr; }

    bool IsVertexBuffer() const { return mVertex; }
    u32 GetElementSize() const { return mElementSize; }
    u32 GetCount() const { return mCount; }
    bool IsLocked() const { return mLocked; }
    u8* GetData() const { return mData; }
    u32 GetUsed() const { return mUsed; }
    u32 GetFree() const { return mCount - mUsed; }
    // Takes n elements; returns the first one's index. The caller checked GetFree.
    u32 Take(u32 n)
    {
        u32 start = mUsed;
        mUsed += n;
        return start;
    }
    // Set by the format's buffers: the vertex-format id (vertex buffers only).
    u32 GetFormatId() const { return mFormatId; }

protected:
    Render* mRender;
    u32 mElementSize;
    u32 mCount = 0;
    bool mLocked = false;
    u8* mData = nullptr;
    u32 mUsed = 0;
    bool mVertex = false;
    u32 mFormatId = 0;
};

template <class T> class VertexBuffer
{
public:
    // Takes the buffer over.
    explicit VertexBuffer(Buffer* buffer) : mBuffer(buffer) {}
    virtual ~VertexBuffer() = default;
    VertexBuffer(const VertexBuffer&) = delete;
    VertexBuffer& operator=(const VertexBuffer&) = delete;
    Buffer* GetBuffer() const { return mBuffer.get(); }
    T* GetData() const { return reinterpret_cast<T*>(mBuffer->GetData()); }

    std::unique_ptr<Buffer> mBuffer;
};

template <class T> class IndexBuffer
{
public:
    // Takes the buffer over.
    explicit IndexBuffer(Buffer* buffer) : mBuffer(buffer) {}
    virtual ~IndexBuffer() = default;
    IndexBuffer(const IndexBuffer&) = delete;
    IndexBuffer& operator=(const IndexBuffer&) = delete;
    Buffer* GetBuffer() const { return mBuffer.get(); }
    T* GetData() const { return reinterpret_cast<T*>(mBuffer->GetData()); }

    std::unique_ptr<Buffer> mBuffer;
};
} // namespace render

#include "Core/Render/Render.h"
#include "Core/Render/VertexFormat.h"

namespace render
{
template <class T> QLResultEnum Render::CreateVertexBuffer(u32 count, VertexBuffer<T>** out)
{
    Buffer* buffer = nullptr;
    QLResultEnum result = CreateVertexBuffer(GetVertexFormat<T>(), count, true, &buffer);
    if (result != QL_OK)
        return result;
    *out = new VertexBuffer<T>(buffer);
    return QL_OK;
}
} // namespace render
