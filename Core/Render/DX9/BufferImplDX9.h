// Vertex and index buffers on our device layer: a device buffer plus the memory Lock hands out;
// Unlock uploads the part that was used.
#pragma once

#include "Core/Render/Buffer.h"
#include "Core/Render/DX9/DeviceNames.h"

#include <vector>

namespace render
{
class RenderDX9;
struct VertexFormat;

class BufferImplDX9 : public Buffer
{
public:
    BufferImplDX9(RenderDX9* render, u32 elementSize);
    ~BufferImplDX9() override;

    QLResultEnum Lock() override;
    QLResultEnum Unlock() override;
    QLResultEnum OnResetDevice() override;
    QLResultEnum OnLostDevice() override;
    bool IsFree() const override { return mBuffer == 0 || !mLocked; }
    void OnRenderDestroyed() override;

    gpu::BufferId GetDeviceBuffer() const { return mBuffer; }
    bool IsDynamic() const { return mDynamic; }

protected:
    QLResultEnum Make(gpu::BufferKind kind, u32 count, bool dynamic);

    RenderDX9* mBackend;
    gpu::BufferId mBuffer = 0;
    gpu::BufferKind mKind;
    bool mDynamic = false;
    std::vector<u8> mStaging;
};

class VertexBufferImplDX9 : public BufferImplDX9
{
public:
    VertexBufferImplDX9(RenderDX9* render, const VertexFormat& format);
    QLResultEnum Create(const VertexFormat& format, u32 count, bool dynamic);
    u32 GetFvf() const { return mFvf; }

private:
    u32 mFvf = 0;
};

class IndexBufferImplDX9 : public BufferImplDX9
{
public:
    IndexBufferImplDX9(RenderDX9* render, u32 indexSize);
    QLResultEnum Create(u32 indexSize, u32 count, bool dynamic);
};
} // namespace render
