// Per-frame caches that hand out room in large dynamic buffers, with overflow chunks when the
// main buffer is full.
#pragma once

#include "Core/Render/Buffer.h"
#include "Core/Render/VertexFormat.h"

#include <memory>
#include <utility>
#include <vector>

namespace render
{
class BufferDoubleCacheBase
{
public:
    virtual ~BufferDoubleCacheBase() = default;
    virtual QLResultEnum BeginFrame() = 0;
    virtual QLResultEnum EndFrame() = 0;
};

// Where an allocation landed.
struct CacheChunk
{
    Buffer* mBuffer = nullptr;
    u8* mData = nullptr; // the first allocated element
};

template <class B> class BufferDoubleCache : public BufferDoubleCacheBase
{
public:
    explicit BufferDoubleCache(Render* render) : mRender(render) {}
    ~BufferDoubleCache() override;

    // Main buffers of `count` elements and overflow chunks of `chunk` (0: the layout's own sizes).
    QLResultEnum Create(u32 count, u32 chunk);
    QLResultEnum BeginFrame() override;
    QLResultEnum EndFrame() override;
    QLResultEnum ReleaseOverflow();
    // Room for n elements: the first element's index in the buffer, and the buffer.
    QLResultEnum Allocate(u32 n, u32* start, CacheChunk* chunk);

    bool IsInFrame() const { return mInFrame; }
    u32 GetOverflowCount() const { return static_cast<u32>(mOverflow.size()); }
    B* GetMain(u32 index) const { return mMain[index].get(); }

private:
    QLResultEnum MakeBuffer(u32 count, std::unique_ptr<B>& out);
    QLResultEnum Use(B* handle, u32 n, u32* start, CacheChunk* chunk);

    Render* mRender;
    bool mInFrame = false;
    u32 mCurrent = 0;
    std::unique_ptr<B> mMain[2];
    u32 mChunkSize = 0;
    std::vector<std::pair<std::unique_ptr<B>, std::unique_ptr<B>>> mOverflow;
};

template <class T> class BufferDoubleCacheCreatorConcrete : public BufferDoubleCacheCreator
{
public:
    QLResultEnum CreateCache(Render* render, u32 count, u32 chunk, BufferDoubleCacheBase** out) override;
};
} // namespace render
