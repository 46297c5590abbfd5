// Buffered big-endian reader over an engine stream that counts what it consumed and notes overruns.
#pragma once

#include "Core/Base/Types.h"

#include <algorithm>
#include <vector>

namespace base
{
class Stream;
}

namespace psd
{
class Reader
{
public:
    static constexpr u32 kBufferSize = 4096;

    explicit Reader(base::Stream& stream);

    // Bytes delivered; fewer at the end of the stream (then Overrun() is set).
    u64 Read(void* destination, u64 count);
    // Advances by count (nothing for 0); a skip past the end clamps and sets Overrun().
    void Skip(u64 count);
    // Continues at an absolute position when it lies ahead.
    void SkipTo(u64 position);

    u8 U8();
    u8 Bool() { return U8() > 0 ? 1 : 0; }
    u16 U16();
    i16 I16() { return static_cast<i16>(U16()); }
    u32 U32();
    i32 I32() { return static_cast<i32>(U32()); }
    double F64();
    // A 4-byte key as a big-endian number ('8BIM' = 0x3842494D).
    u32 Key() { return U32(); }

    // A stored count (u16 or u32) bounded by how many entries of entrySize bytes remain.
    u64 Count16(u64 entrySize)
    {
        u64 count = U16();
        return std::min<u64>(count, Remaining() / entrySize);
    }
    u64 Count32(u64 entrySize)
    {
        u64 count = U32();
        return std::min<u64>(count, Remaining() / entrySize);
    }

    u64 Position() const { return mPosition; }
    u64 Length() const { return mLength; }
    u64 Remaining() const { return mPosition < mLength ? mLength - mPosition : 0; }
    bool Overrun() const { return mOverrun; }
    void ClearOverrun() { mOverrun = false; }

private:
    bool Fill();

    base::Stream& mStream;
    std::vector<u8> mBuffer;
    u32 mBufferFill = 0;
    u32 mBufferPos = 0;
    u64 mPosition = 0;
    u64 mLength = 0;
    bool mOverrun = false;
};

constexpr u32 FourCC(const char (&key)[5])
{
    return (u32(u8(key[0])) << 24) | (u32(u8(key[1])) << 16) | (u32(u8(key[2])) << 8) | u32(u8(key[3]));
}
} // namespace psd
