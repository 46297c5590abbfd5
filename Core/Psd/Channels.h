// Channel decompression: raw, PackBits, ZIP and ZIP with prediction. Every decoder is bounded by
// its input and its output and writes every byte of its output.
#pragma once

#include "Core/Base/Types.h"
#include "Core/Psd/PixelLane.h"

#include <cstddef>
#include <memory>
#include <vector>

typedef struct z_stream_s z_stream;
struct libdeflate_decompressor;

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

// One PackBits row from [in, inEnd) into exactly width bytes; bytes the data does not cover are 0.
void UnpackBitsRow(const u8* in, const u8* inEnd, u8* out, u64 width);
// PackBits rows: counts holds rows big-endian u16 byte counts, data the packed rows, out receives
// rows of rowBytes. Returns the data bytes the rows claimed.
u64 DecodePackBitsRows(const u8* counts, u32 rows, const u8* data, u64 dataSize, u8* out, u64 rowBytes);
// The same rows of width 8-bit samples spread into a pixel lane; row is a work buffer.
u64 DecodePackBitsToLane(const u8* counts, u32 rows, const u8* data, u64 dataSize, u64 width, const PixelLane& lane,
                         std::vector<u8>& row);
// Raw rows of rowBytes; bytes past the data are 0.
void CopyRaw(const u8* data, u64 dataSize, u8* out, u64 rowBytes, u32 rows);
// Raw rows of width 8-bit samples spread into a pixel lane; samples past the data are 0.
void RawToLane(const u8* data, u64 dataSize, u64 width, u32 rows, const PixelLane& lane, std::vector<u8>& row);

// Undoes the per-row delta coding of ZIP with prediction.
void UndoPrediction(u8* data, u64 size, u64 rowSamples, u32 depth);

// Inflates whole zlib streams whose decoded size is known, reusing one decompressor.
class ZipInflater
{
public:
    ZipInflater() = default;
    ~ZipInflater();
    ZipInflater(const ZipInflater&) = delete;
    ZipInflater& operator=(const ZipInflater&) = delete;
    // Fills out with the stream's first outSize bytes; a stream that ends early leaves the rest 0.
    // 0, or -101 for a damaged stream.
    i32 Inflate(const u8* source, u64 sourceSize, u8* out, u64 outSize);

private:
    libdeflate_decompressor* mDecompressor = nullptr;
};

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
    std::unique_ptr<z_stream> mStream; // null when zlib could not start
    bool mEnded = false;
    bool mFailed = false;
};
} // namespace psd
