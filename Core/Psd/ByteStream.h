// A read-only engine stream over bytes held elsewhere, so in-memory blocks reuse the reader.
#pragma once

#include "Core/Base/Stream.h"

#include <algorithm>
#include <cstring>

namespace psd
{
class ByteStream : public base::Stream
{
public:
    ByteStream(const u8* bytes, u32 size) : mBytes(bytes), mSize(size) {}

    u32 GetSize() override { return mSize; }
    u32 Read(void* dst, u32 count) override
    {
        u32 take = std::min(count, mSize - mPosition);
        if (take > 0)
            std::memcpy(dst, mBytes + mPosition, take);
        mPosition += take;
        return take;
    }
    u32 Write(const void*, u32) override { return 0; }
    u32 Seek(i32 offset, u32 origin) override
    {
        i64 base = origin == 0 ? 0 : origin == 1 ? i64(mPosition) : i64(mSize);
        mPosition = static_cast<u32>(std::clamp<i64>(base + offset, 0, mSize));
        return mPosition;
    }

private:
    const u8* mBytes;
    u32 mSize;
    u32 mPosition = 0;
};
} // namespace psd
