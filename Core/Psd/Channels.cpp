// Channel decompression. Rows are unpacked into contiguous bytes first and only then spread into
// pixel lanes, so the inner loops are copies, fills and vector code rather than byte-strided stores.
#include "Core/Psd/Channels.h"

#include "Core/Psd/Status.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>

#include <libdeflate.h>
#include <zlib.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace psd
{
namespace
{
// A PackBits run is at most 128 bytes: with that much room a run is copied or filled with a
// fixed size (inlined), and the bytes past its real length are rewritten by what follows.
constexpr u64 kLongestRun = 128;
// Most runs are short: one 16-byte store covers them.
constexpr u64 kShortRun = 16;

inline u64 RowCount(const u8* counts, u32 y) { return (u64(counts[2 * y]) << 8) | counts[2 * y + 1]; }

// Calls row(y, in, inEnd) for each PackBits row, bounded by the data; returns the bytes claimed.
template <class Row> u64 ForEachPackedRow(const u8* counts, u32 rows, const u8* data, u64 dataSize, Row row)
{
    u64 offset = 0;
    for (u32 y = 0; y < rows; ++y)
    {
        const u64 start = offset;
        offset += RowCount(counts, y);
        if (start < dataSize)
            row(y, data + start, data + std::min(offset, dataSize));
        else
            row(y, nullptr, nullptr);
    }
    return offset;
}

void UndoPrediction8(u8* row, u64 count)
{
    u64 i = 0;
    u8 last = 0;
#if defined(__SSE2__)
    // Prefix sums of 16 bytes at a time, each block carried on from the last byte of the one before.
    __m128i carry = _mm_setzero_si128();
    for (; i + 16 <= count; i += 16)
    {
        __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
        x = _mm_add_epi8(x, _mm_slli_si128(x, 1));
        x = _mm_add_epi8(x, _mm_slli_si128(x, 2));
        x = _mm_add_epi8(x, _mm_slli_si128(x, 4));
        x = _mm_add_epi8(x, _mm_slli_si128(x, 8));
        x = _mm_add_epi8(x, carry);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), x);
        __m128i top = _mm_srli_si128(x, 15);
        top = _mm_unpacklo_epi8(top, top);
        top = _mm_unpacklo_epi16(top, top);
        carry = _mm_shuffle_epi32(top, 0);
    }
    if (i > 0)
        last = row[i - 1];
#endif
    for (; i < count; ++i)
        last = row[i] = static_cast<u8>(row[i] + last);
}

void UndoPrediction16(u8* row, u64 samples)
{
    // Big-endian samples; the running sum wraps at 16 bits, so a carry reaches the high byte.
    u32 sum = 0;
    for (u64 i = 0; i < samples; ++i)
    {
        sum = (sum + ((u32(row[2 * i]) << 8) | row[2 * i + 1])) & 0xFFFF;
        row[2 * i] = static_cast<u8>(sum >> 8);
        row[2 * i + 1] = static_cast<u8>(sum);
    }
}
} // namespace

void UnpackBitsRow(const u8* in, const u8* inEnd, u8* out, u64 width)
{
    u8* dst = out;
    u8* const end = out + width;
    while (in < inEnd && dst < end)
    {
        const u32 n = *in++;
        const u64 room = u64(end - dst);
        if (n < 128)
        {
            const u64 avail = u64(inEnd - in);
            const u64 length = std::min<u64>(n + 1u, avail);
            const u64 take = std::min(length, room);
            if (take <= kShortRun && room >= kShortRun && avail >= kShortRun)
                std::memcpy(dst, in, kShortRun);
            else if (room >= kLongestRun && avail >= kLongestRun)
                std::memcpy(dst, in, kLongestRun);
            else
                std::memcpy(dst, in, take);
            in += length;
            dst += take;
        }
        else if (n > 128)
        {
            if (in >= inEnd)
                break;
            const u64 take = std::min<u64>(257 - n, room);
            const u8 value = *in++;
            if (take <= kShortRun && room >= kShortRun)
                std::memset(dst, value, kShortRun);
            else if (room >= kLongestRun)
                std::memset(dst, value, kLongestRun);
            else
                std::memset(dst, value, take);
            dst += take;
        }
    }
    if (dst < end)
        std::memset(dst, 0, u64(end - dst));
}

u64 DecodePackBitsRows(const u8* counts, u32 rows, const u8* data, u64 dataSize, u8* out, u64 rowBytes)
{
    return ForEachPackedRow(counts, rows, data, dataSize,
                            [&](u32 y, const u8* in, const u8* inEnd)
                            { UnpackBitsRow(in, inEnd, out + u64(y) * rowBytes, rowBytes); });
}

u64 DecodePackBitsToLane(const u8* counts, u32 rows, const u8* data, u64 dataSize, u64 width, const PixelLane& lane,
                         std::vector<u8>& row)
{
    if (row.size() < width)
        row.resize(width);
    return ForEachPackedRow(counts, rows, data, dataSize,
                            [&](u32 y, const u8* in, const u8* inEnd)
                            {
                                if (width == 0)
                                    return;
                                UnpackBitsRow(in, inEnd, row.data(), width);
                                SpreadRow(row.data(), width, lane.mFirst + u64(y) * lane.mPitch, lane);
                            });
}

void CopyRaw(const u8* data, u64 dataSize, u8* out, u64 rowBytes, u32 rows)
{
    const u64 total = rowBytes * rows;
    const u64 have = std::min(total, dataSize);
    if (have > 0)
        std::memcpy(out, data, have);
    if (have < total)
        std::memset(out + have, 0, total - have);
}

void RawToLane(const u8* data, u64 dataSize, u64 width, u32 rows, const PixelLane& lane, std::vector<u8>& row)
{
    if (width == 0)
        return;
    for (u32 y = 0; y < rows; ++y)
    {
        const u64 start = u64(y) * width;
        const u8* samples;
        if (start < dataSize && dataSize - start >= width)
            samples = data + start;
        else
        {
            // A row the data covers only in part: the rest reads 0.
            if (row.size() < width)
                row.resize(width);
            const bool some = start < dataSize;
            CopyRaw(some ? data + start : nullptr, some ? dataSize - start : 0, row.data(), width, 1);
            samples = row.data();
        }
        SpreadRow(samples, width, lane.mFirst + u64(y) * lane.mPitch, lane);
    }
}

void UndoPrediction(u8* data, u64 size, u64 rowSamples, u32 depth)
{
    if (rowSamples == 0)
        return;
    // 1-bit data carries no prediction.
    if (depth != 8 && depth != 16)
        return;
    const u64 rowBytes = depth == 16 ? rowSamples * 2 : rowSamples;
    for (u64 row = 0; row + rowBytes <= size; row += rowBytes)
    {
        if (depth == 16)
            UndoPrediction16(data + row, rowSamples);
        else
            UndoPrediction8(data + row, rowSamples);
    }
}

ZipInflater::~ZipInflater() { libdeflate_free_decompressor(mDecompressor); }

i32 ZipInflater::Inflate(const u8* source, u64 sourceSize, u8* out, u64 outSize)
{
    if (!mDecompressor)
        mDecompressor = libdeflate_alloc_decompressor();
    if (mDecompressor)
    {
        size_t produced = 0;
        if (libdeflate_zlib_decompress(mDecompressor, source, sourceSize, out, outSize, &produced) ==
            LIBDEFLATE_SUCCESS)
        {
            if (produced < outSize)
                std::memset(out + produced, 0, outSize - produced);
            return kOk;
        }
    }
    // Streams longer than the channel, and damaged ones, go through zlib piece by piece: it keeps
    // the bytes before the point where it stops and clears the output of a damaged stream.
    ZipStream stream(source, sourceSize);
    return stream.Next(out, outSize);
}

ZipStream::ZipStream(const u8* source, u64 sourceSize)
{
    mStream = std::make_unique<z_stream>(); // zeroed
    if (inflateInit(mStream.get()) != Z_OK)
    {
        mStream.reset();
        mFailed = true;
        return;
    }
    mStream->next_in = const_cast<Bytef*>(source);
    mStream->avail_in = static_cast<uInt>(std::min<u64>(sourceSize, UINT_MAX));
}

ZipStream::~ZipStream()
{
    if (mStream)
        inflateEnd(mStream.get());
}

i32 ZipStream::Next(u8* out, u64 outSize)
{
    if (mFailed)
    {
        if (outSize > 0)
            std::memset(out, 0, outSize);
        return kZipFailed;
    }
    u64 done = 0;
    while (done < outSize && !mEnded)
    {
        mStream->next_out = out + done;
        mStream->avail_out = static_cast<uInt>(std::min<u64>(outSize - done, UINT_MAX));
        uInt before = mStream->avail_out;
        int result = inflate(mStream.get(), Z_PARTIAL_FLUSH);
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
} // namespace psd
