// Read-only engine streams over bytes held elsewhere: in-memory blocks reuse the reader, and
// decoded pixels reach an image decoder without a copy.
#pragma once

#include "Core/Base/Stream.h"
#include "Core/Psd/PixelBuffer.h"

#include <algorithm>
#include <cstring>

namespace psd
{
class ByteStream : public base::Stream
{
public:
    ByteStream(const u8* bytes, u32 size) : mBytes(bytes), mSize(size) {}

    bool IsEof() override { return mPosition == mSize; }
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

// A read-only stream over decoded pixels that it shares rather than copies: they live as long as
// the stream, whatever happens to the document they came from.
class PixelStream : public ByteStream
{
public:
    explicit PixelStream(const PixelBuffer& pixels)
        : ByteStream(reinterpret_cast<const u8*>(pixels.data()), static_cast<u32>(pixels.size() * sizeof(u32))),
          mPixels(pixels.Share())
    {
    }

private:
    PixelBuffer mPixels;
};
} // namespace psd
