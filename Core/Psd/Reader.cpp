// Buffered big-endian reader over an engine stream.
#include "Core/Psd/Reader.h"

#include "Core/Base/Stream.h"

#include <algorithm>
#include <cstring>

namespace psd
{
Reader::Reader(base::Stream& stream) : mStream(stream)
{
    mLength = stream.GetSize();
    stream.Seek(0, 0);
}

bool Reader::Fill()
{
    if (mBuffer.empty())
        mBuffer.resize(kBufferSize);
    mBufferPos = 0;
    mBufferFill = mStream.Read(mBuffer.data(), kBufferSize);
    return mBufferFill > 0;
}

u64 Reader::Read(void* destination, u64 count)
{
    if (count == 0)
        return 0;
    u8* out = static_cast<u8*>(destination);
    u64 done = 0;
    u32 buffered = mBufferFill - mBufferPos;
    if (buffered > 0)
    {
        u32 take = static_cast<u32>(std::min<u64>(buffered, count));
        std::memcpy(out, mBuffer.data() + mBufferPos, take);
        mBufferPos += take;
        done = take;
    }
    while (done < count)
    {
        u64 rest = count - done;
        if (rest > kBufferSize)
        {
            // Large requests bypass the buffer.
            u32 chunk = static_cast<u32>(std::min<u64>(rest, 0x40000000u));
            u32 got = mStream.Read(out + done, chunk);
            done += got;
            if (got < chunk)
                break;
        }
        else
        {
            if (!Fill())
                break;
            u32 take = static_cast<u32>(std::min<u64>(mBufferFill, rest));
            std::memcpy(out + done, mBuffer.data(), take);
            mBufferPos = take;
            done += take;
            if (take < rest)
                break;
        }
    }
    mPosition += done;
    if (done < count)
        mOverrun = true;
    return done;
}

void Reader::Skip(u64 count)
{
    if (count == 0)
        return;
    u32 buffered = mBufferFill - mBufferPos;
    if (count <= buffered)
    {
        mBufferPos += static_cast<u32>(count);
        mPosition += count;
        return;
    }
    u64 rest = count - buffered;
    mPosition += buffered;
    mBufferPos = mBufferFill = 0;
    if (rest > Remaining())
    {
        // Past the end: stop at the end.
        mOverrun = true;
        mStream.Seek(0, 2);
        mPosition = std::max(mPosition, mLength);
        return;
    }
    if (rest > kBufferSize)
    {
        // The stream stands at mPosition: seek relative, in steps an i32 can hold.
        for (u64 left = rest; left > 0;)
        {
            u64 step = std::min<u64>(left, 0x40000000u);
            mStream.Seek(static_cast<i32>(step), 1);
            left -= step;
        }
        mPosition += rest;
        return;
    }
    Fill();
    u32 take = static_cast<u32>(std::min<u64>(mBufferFill, rest));
    mBufferPos = take;
    mPosition += take;
    if (take < rest)
        mOverrun = true;
}

void Reader::SkipTo(u64 position)
{
    if (position > mPosition)
        Skip(position - mPosition);
}

u8 Reader::U8()
{
    if (mBufferPos < mBufferFill)
    {
        ++mPosition;
        return mBuffer[mBufferPos++];
    }
    u8 value = 0;
    Read(&value, 1);
    return value;
}

u16 Reader::U16()
{
    u8 b[2];
    if (Read(b, 2) < 2)
        return 0;
    return static_cast<u16>((b[0] << 8) | b[1]);
}

u32 Reader::U32()
{
    u8 b[4];
    if (Read(b, 4) < 4)
        return 0;
    return (u32(b[0]) << 24) | (u32(b[1]) << 16) | (u32(b[2]) << 8) | u32(b[3]);
}

double Reader::F64()
{
    u8 b[8];
    if (Read(b, 8) < 8)
        return 0.0;
    u64 bits = 0;
    for (u8 v : b)
        bits = (bits << 8) | v;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
} // namespace psd
