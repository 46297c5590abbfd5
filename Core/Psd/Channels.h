// Channel decompression: raw, PackBits, ZIP and ZIP with prediction. Every decoder is bounded by
// its input and its output; the caller zero-fills the output first.
#pragma once

#include "Core/Base/Types.h"

#include <cstddef>

typedef struct z_stream_s z_stream;

namespace psd
{
enum Compression : u16
{
    kRaw = 0,
    kPackBits = 1,
    kZip = 2,
    kZipPredicted = 3,
};

// Bytes of one row of a channel image of the given width and depth.
inline u64 RowBytes(u64 width, u32 depth)
{
    return depth == 1 ? (width + 7) / 8 : depth == 16 ? width * 2 : depth == 32 ? width * 4 : width;
}

// PackBits rows: counts holds rows big-endian u16 byte counts, data the packed rows. Each row gives
// `width` samples written `step` bytes apart, rows `pitch` bytes apart (step 4 writes one byte lane
// of 32-bit pixels); samples the data does not cover are 0. Returns the data bytes the rows claimed.
u64 DecodePackBits(const u8* counts, u32 rows, const u8* data, u64 dataSize, u8* out, u64 width, u64 pitch, u32 step);
// Contiguous rows of rowBytes.
inline u64 DecodePackBitsRows(const u8* counts, u32 rows, const u8* data, u64 dataSize, u8* out, u64 rowBytes)
{
    return DecodePackBits(counts, rows, data, dataSize, out, rowBytes, rowBytes, 1);
}
// Raw rows placed the same way; samples past the data are 0.
void CopyRaw(const u8* data, u64 dataSize, u8* out, u64 width, u32 rows, u64 pitch, u32 step);

// Inflates a whole stream into out. 0, or -101 for a damaged stream.
i32 DecompressZip(const u8* source, u64 sourceSize, u8* out, u64 outSize);
// Undoes the per-row delta coding of ZIP with prediction.
void UndoPrediction(u8* data, u64 size, u64 rowSamples, u32 depth);

// An inflate stream handed out in consecutive pieces (merged image: one channel at a time).
class ZipStream
{
public:
    ZipStream(const u8* source, u64 sourceSize);
    ~ZipStream();
    ZipStream(const ZipStream&) = delete;
    ZipStream& operator=(const ZipStream&) = delete;
    // Fills out with the next outSize bytes. 0, or -101.
    i32 Next(u8* out, u64 outSize);

private:
    z_stream* mStream = nullptr;
    bool mEnded = false;
    bool mFailed = false;
};
} // namespace psd
