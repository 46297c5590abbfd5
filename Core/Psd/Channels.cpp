// Channel decompression.
#include "Core/Psd/Channels.h"

#include "Core/Psd/Status.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include <zlib.h>

namespace psd
{
namespace
{
template <u32 Step> inline void Put(u8* dst, const u8* src, u64 count)
{
    if constexpr (Step == 1)
        std::memcpy(dst, src, count);
    else
        for (u64 i = 0; i < count; ++i)
            dst[i * Step] = src[i];
}

template <u32 Step> inline void Set(u8* dst, u8 value, u64 count)
{
    if constexpr (Step == 1)
        std::memset(dst, value, count);
    else
        for (u64 i = 0; i < count; ++i)
            dst[i * Step] = value;
}

template <u32 Step>
u64 PackBitsRows(const u8* counts, u32 rows, const u8* data, u64 dataSize, u8* out, u64 width, u64 pitch)
{
    u64 offset = 0;
    for (u32 y = 0; y < rows; ++y)
    {
        const u64 count = (u64(counts[2 * y]) << 8) | counts[2 * y + 1];
        const u64 rowStart = offset;
        offset += count;
        u8* dst = out + u64(y) * pitch;
        u64 left = width; // samples still to write in this row
        if (rowStart < dataSize)
        {
            const u8* in = data + rowStart;
            const u8* inEnd = data + std::min(offset, dataSize);
            while (in < inEnd && left > 0)
            {
                const u32 n = *in++;
                if (n < 128)
                {
                    u64 take = std::min<u64>(std::min<u64>(n + 1u, u64(inEnd - in)), left);
                    Put<Step>(dst, in, take);
                    in += std::min<u64>(n + 1u, u64(inEnd - in));
                    dst += take * Step;
                    left -= take;
                }
                else if (n > 128)
                {
                    if (in >= inEnd)
                        break;
                    u64 take = std::min<u64>(257 - n, left);
                    Set<Step>(dst, *in++, take);
                    dst += take * Step;
                    left -= take;
                }
            }
        }
        Set<Step>(dst, 0, left);
    }
    return offset;
}

template <u32 Step> void RawRows(const u8* data, u64 dataSize, u8* out, u64 width, u32 rows, u64 pitch)
{
    for (u32 y = 0; y < rows; ++y)
    {
        u64 start = u64(y) * width;
        u64 have = start < dataSize ? std::min(width, dataSize - start) : 0;
        u8* dst = out + u64(y) * pitch;
        if (have > 0)
            Put<Step>(dst, data + start, have);
        Set<Step>(dst + have * Step, 0, width - have);
    }
}
} // namespace

u64 DecodePackBits(const u8* counts, u32 rows, const u8* data, u64 dataSize, u8* out, u64 width, u64 pitch, u32 step)
{
    if (step == 4)
        return PackBitsRows<4>(counts, rows, data, dataSize, out, width, pitch);
    return PackBitsRows<1>(counts, rows, data, dataSize, out, width, pitch);
}

void CopyRaw(const u8* data, u64 dataSize, u8* out, u64 width, u32 rows, u64 pitch, u32 step)
{
    if (step == 4)
        RawRows<4>(data, dataSize, out, width, rows, pitch);
    else
        RawRows<1>(data, dataSize, out, width, rows, pitch);
}

ZipStream::ZipStream(const u8* source, u64 sourceSize)
{
    mStream = new z_stream();
    std::memset(mStream, 0, sizeof *mStream);
    if (inflateInit(mStream) != Z_OK)
    {
        delete mStream;
        mStream = nullptr;
        mFailed = true;
        return;
    }
    mStream->next_in = const_cast<Bytef*>(source);
    mStream->avail_in = static_cast<uInt>(std::min<u64>(sourceSize, UINT_MAX));
}

ZipStream::~ZipStream()
{
    if (mStream)
    {
        inflateEnd(mStream);
        delete mStream;
    }
}

i32 ZipStream::Next(u8* out, u64 outSize)
{
    if (mFailed)
        return kZipFailed;
    u64 done = 0;
    while (done < outSize && !mEnded)
    {
        mStream->next_out = out + done;
        mStream->avail_out = static_cast<uInt>(std::min<u64>(outSize - done, UINT_MAX));
        uInt before = mStream->avail_out;
        int result = inflate(mStream, Z_PARTIAL_FLUSH);
        done += before - mStream->avail_out;
        if (result == Z_STREAM_END)
            mEnded = true;
        else if (result != Z_OK)
        {
            // Z_BUF_ERROR here means the input ran out before the output was full.
            mFailed = true;
            std::memset(out, 0, outSize);
            return kZipFailed;
        }
    }
    // A stream that ends early leaves the rest zero.
    if (done < outSize)
        std::memset(out + done, 0, outSize - done);
    return kOk;
}

i32 DecompressZip(const u8* source, u64 sourceSize, u8* out, u64 outSize)
{
    ZipStream stream(source, sourceSize);
    return stream.Next(out, outSize);
}

void UndoPrediction(u8* data, u64 size, u64 rowSamples, u32 depth)
{
    if (rowSamples == 0)
        return;
    if (depth == 16)
    {
        u64 rowBytes = rowSamples * 2;
        for (u64 row = 0; row + rowBytes <= size; row += rowBytes)
        {
            u8* p = data + row;
            for (u64 i = 1; i < rowSamples; ++i)
            {
                u32 prev = (u32(p[2 * i - 2]) << 8) | p[2 * i - 1];
                u32 cur = (u32(p[2 * i]) << 8) | p[2 * i + 1];
                u32 sum = (prev + cur) & 0xFFFF;
                p[2 * i] = static_cast<u8>(sum >> 8);
                p[2 * i + 1] = static_cast<u8>(sum);
            }
        }
    }
    else if (depth == 8)
    {
        for (u64 row = 0; row + rowSamples <= size; row += rowSamples)
        {
            u8* p = data + row;
            for (u64 i = 1; i < rowSamples; ++i)
                p[i] = static_cast<u8>(p[i] + p[i - 1]);
        }
    }
    // 1-bit data carries no prediction.
}
} // namespace psd
