// Vertex room from the render's cache for the layout V.
#pragma once

#include "Core/Render/BufferDoubleCache.h"
#include "Core/Render/Render.h"
#include "Core/Render/VertexFormat.h"

namespace render
{
template <class V> QLResultEnum Graphics::AllocateVertices(u32 count, V** out, u32* first, Buffer** buffer)
{
    if (!mRender || count == 0)
        return QL_FAIL;
    auto* cache =
        static_cast<BufferDoubleCache<VertexBuffer<V>>*>(mRender->GetVertexCache(GetVertexFormat<V>().mId));
    if (!cache)
        return QL_FAIL;
    CacheChunk chunk;
    const QLResultEnum result = cache->Allocate(count, first, &chunk);
    if (result != QL_OK || !chunk.mData || !chunk.mBuffer)
        return result != QL_OK ? result : QL_FAIL;
    *out = reinterpret_cast<V*>(chunk.mData);
    *buffer = chunk.mBuffer;
    return QL_OK;
}
} // namespace render
