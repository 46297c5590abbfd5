// Frame caches for the three vertex layouts and both index sizes.
#include "Core/Render/BufferDoubleCache.h"

#include "Core/Render/Render.h"

#include <memory>
#include <utility>

namespace render
{
namespace
{
template <class B> struct BufferTraits;
template <class T> struct BufferTraits<VertexBuffer<T>>
{
    static QLResultEnum Make(Render* render, u32 count, Buffer** out)
    {
        return render->CreateVertexBuffer(GetVertexFormat<T>(), count, true, out);
    }
    static u32 DefaultCount() { return GetVertexFormat<T>().mCacheSize; }
    static u32 DefaultChunk() { return GetVertexFormat<T>().mChunkSize; }
};
template <class T> struct BufferTraits<IndexBuffer<T>>
{
    static QLResultEnum Make(Render* render, u32 count, Buffer** out)
    {
        return render->CreateIndexBuffer(sizeof(T), count, true, out);
    }
    static u32 DefaultCount() { return 0; }
    static u32 DefaultChunk() { return 0; }
};
} // namespace

template <class B> BufferDoubleCache<B>::~BufferDoubleCache()
{
    mMain[0].reset();
    mMain[1].reset();
    mInFrame = false;
    (void)ReleaseOverflow();
}

template <class B> QLResultEnum BufferDoubleCache<B>::MakeBuffer(u32 count, std::unique_ptr<B>& out)
{
    Buffer* buffer = nullptr;
    QLResultEnum result = BufferTraits<B>::Make(mRender, count, &buffer);
    if (result != QL_OK)
        return result;
    out = std::make_unique<B>(buffer);
    return QL_OK;
}

template <class B> QLResultEnum BufferDoubleCache<B>::Create(u32 count, u32 chunk)
{
    if (count == 0)
        count = BufferTraits<B>::DefaultCount();
    if (chunk == 0)
        chunk = BufferTraits<B>::DefaultChunk();
    for (std::unique_ptr<B>& handle : mMain)
    {
        QLResultEnum result = MakeBuffer(count, handle);
        if (result != QL_OK)
            return result;
    }
    mChunkSize = chunk;
    return QL_OK;
}

template <class B> QLResultEnum BufferDoubleCache<B>::BeginFrame()
{
    if (mInFrame)
        return QL_FAIL;
    mInFrame = true;
    return QL_OK;
}

template <class B> QLResultEnum BufferDoubleCache<B>::EndFrame()
{
    QLResultEnum result = mInFrame ? QL_OK : QL_FAIL;
    B* main = mMain[mCurrent].get();
    if (main && main->GetBuffer()->IsLocked() && main->GetBuffer()->Unlock() != QL_OK)
        result = QL_FAIL;
    for (auto& pair : mOverflow)
    {
        B* handle = (mCurrent == 0 ? pair.first : pair.second).get();
        if (handle->GetBuffer()->IsLocked() && handle->GetBuffer()->Unlock() != QL_OK)
            result = QL_FAIL;
    }
    mInFrame = false;
    return result;
}

template <class B> QLResultEnum BufferDoubleCache<B>::ReleaseOverflow()
{
    if (mInFrame)
        return QL_FAIL;
    // In order, each pair's first before its second.
    for (auto& pair : mOverflow)
    {
        pair.first.reset();
        pair.second.reset();
    }
    mOverflow.clear();
    return QL_OK;
}

template <class B> QLResultEnum BufferDoubleCache<B>::Use(B* handle, u32 n, u32* start, CacheChunk* chunk)
{
    Buffer* buffer = handle->GetBuffer();
    if (!buffer->IsLocked())
    {
        QLResultEnum result = buffer->Lock();
        if (result != QL_OK)
            return result;
    }
    *start = buffer->Take(n);
    if (chunk)
    {
        chunk->mBuffer = buffer;
        chunk->mData = buffer->GetData() + static_cast<size_t>(*start) * buffer->GetElementSize();
    }
    return QL_OK;
}

template <class B> QLResultEnum BufferDoubleCache<B>::Allocate(u32 n, u32* start, CacheChunk* chunk)
{
    if (!mInFrame || !mMain[mCurrent])
        return QL_FAIL;
    B* main = mMain[mCurrent].get();
    // An unlocked buffer has all its room: locking discards what the last frame wrote.
    auto room = [](B* handle)
    {
        Buffer* buffer = handle->GetBuffer();
        return buffer->IsLocked() ? buffer->GetFree() : buffer->GetCount();
    };
    if (room(main) >= n)
        return Use(main, n, start, chunk);
    for (auto& pair : mOverflow)
    {
        B* handle = (mCurrent == 0 ? pair.first : pair.second).get();
        if (room(handle) >= n)
            return Use(handle, n, start, chunk);
    }
    if (n > mChunkSize)
        return QL_FAIL;
    std::unique_ptr<B> first;
    std::unique_ptr<B> second;
    QLResultEnum result = MakeBuffer(mChunkSize, first);
    if (result == QL_OK)
        result = MakeBuffer(mChunkSize, second);
    if (result != QL_OK)
        return result;
    B* use = (mCurrent == 0 ? first : second).get();
    mOverflow.emplace_back(std::move(first), std::move(second));
    return Use(use, n, start, chunk);
}

template <class T>
QLResultEnum BufferDoubleCacheCreatorConcrete<T>::CreateCache(Render* render, u32 count, u32 chunk,
                                                              BufferDoubleCacheBase** out)
{
    auto cache = std::make_unique<BufferDoubleCache<T>>(render);
    QLResultEnum result = cache->Create(count, chunk);
    if (result != QL_OK)
        return result;
    *out = cache.release();
    return QL_OK;
}

template class BufferDoubleCache<VertexBuffer<SVertex2D>>;
template class BufferDoubleCache<VertexBuffer<SVertexGeom>>;
template class BufferDoubleCache<VertexBuffer<SVertexRT>>;
template class BufferDoubleCache<IndexBuffer<unsigned short>>;
template class BufferDoubleCache<IndexBuffer<unsigned int>>;
template class BufferDoubleCacheCreatorConcrete<VertexBuffer<SVertex2D>>;
template class BufferDoubleCacheCreatorConcrete<VertexBuffer<SVertexGeom>>;
template class BufferDoubleCacheCreatorConcrete<VertexBuffer<SVertexRT>>;
} // namespace render
