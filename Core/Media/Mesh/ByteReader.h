// Little-endian reads from a byte range for the LightWave export formats; every read is checked
// against the bytes left, and the offset of a failure is kept for the log line.
#pragma once

#include "Core/Base/Types.h"

#include <cstddef>
#include <cstring>
#include <string>

namespace lightwave
{
class ByteReader
{
public:
    ByteReader(const void* data, size_t size) : mData(static_cast<const u8*>(data)), mSize(size) {}

    size_t Offset() const { return mOffset; }
    size_t Left() const { return mSize - mOffset; }

    // False (nothing consumed) when fewer than `count` bytes are left.
    bool ReadBytes(void* out, size_t count)
    {
        if (count > Left())
            return false;
        if (count)
            std::memcpy(out, mData + mOffset, count);
        mOffset += count;
        return true;
    }
    bool ReadU32(u32& out)
    {
        u8 b[4];
        if (!ReadBytes(b, 4))
            return false;
        out = u32(b[0]) | u32(b[1]) << 8 | u32(b[2]) << 16 | u32(b[3]) << 24;
        return true;
    }
    bool ReadI32(i32& out)
    {
        u32 raw;
        if (!ReadU32(raw))
            return false;
        out = static_cast<i32>(raw);
        return true;
    }
    bool ReadF32(float& out)
    {
        u32 raw;
        if (!ReadU32(raw))
            return false;
        std::memcpy(&out, &raw, 4);
        return true;
    }
    // A u32 byte length and that many 8-bit characters (no terminator).
    bool ReadString(std::string& out)
    {
        u32 length;
        const size_t start = mOffset;
        if (!ReadU32(length) || length > Left())
        {
            mOffset = start;
            return false;
        }
        out.assign(reinterpret_cast<const char*>(mData + mOffset), length);
        mOffset += length;
        return true;
    }
    // True when `count` records of `recordSize` bytes can still follow.
    bool Fits(u64 count, u64 recordSize) const { return recordSize == 0 || count <= Left() / recordSize; }

private:
    const u8* mData;
    size_t mSize;
    size_t mOffset = 0;
};
} // namespace lightwave
