// DDS files: the header names the size and the compression; level 0 is copied row by row with
// the destination's pitch and its alpha fills the hit mask. Further mip levels are ignored.
#include "Core/Media/Image/ImageDataDDS.h"

#include "Core/Base/Log.h"
#include "Core/Base/Stream.h"
#include "Core/Media/Image/DxtAlpha.h"

#include <cstring>
#include <utility>
#include <vector>

namespace render
{
namespace
{
constexpr u32 kMaxSide = 16384;
constexpr u32 kFourCcFlag = 4;
constexpr u32 kAlphaPixelsFlag = 1;

u32 ReadU32(const u8* p)
{
    return static_cast<u32>(p[0]) | static_cast<u32>(p[1]) << 8 | static_cast<u32>(p[2]) << 16 |
           static_cast<u32>(p[3]) << 24;
}
} // namespace

QLResultEnum ImageDataDDS::Load(base::Stream* stream, const std::wstring& extension)
{
    mExtension = extension;
    u8 header[kHeaderSize];
    if (!stream || stream->Read(header, kHeaderSize) != kHeaderSize || std::memcmp(header, "DDS ", 4) != 0)
    {
        QL_LOG(L"Not a DDS file (no magic or short header)\n") << base::LogStyle::Error;
        return QL_FAIL;
    }
    const u8* h = header + 4;
    const u32 height = ReadU32(h + 8);
    const u32 width = ReadU32(h + 12);
    const u32 levels = ReadU32(h + 24);
    const u32 formatFlags = ReadU32(h + 76);
    const u32 bitCount = ReadU32(h + 84);
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide)
    {
        QL_LOG(L"DDS size %dx%d is not supported\n") << base::LogStyle::Error << width << height;
        return QL_FAIL;
    }
    if (formatFlags & kFourCcFlag)
    {
        const char* code = reinterpret_cast<const char*>(h + 80);
        if (std::memcmp(code, "DXT1", 4) == 0)
            mCompression = 1;
        else if (std::memcmp(code, "DXT3", 4) == 0)
            mCompression = 2;
        else if (std::memcmp(code, "DXT5", 4) == 0)
            mCompression = 3;
        else
        {
            QL_LOG(L"DDS compression '%s' is not supported\n") << base::LogStyle::Error << std::wstring(code, code + 4);
            return QL_FAIL;
        }
    }
    else if (bitCount != 32)
    {
        // Only 32-bit rows can be copied as they are.
        QL_LOG(L"DDS with %d bits per pixel is not supported\n") << base::LogStyle::Error << bitCount;
        return QL_FAIL;
    }
    else
    {
        const u32 red = ReadU32(h + 88), green = ReadU32(h + 92), blue = ReadU32(h + 96);
        // ABGR files have red and blue the other way round; anything else is not 8-bit RGB.
        mSwapRedBlue = red == 0x000000FF && blue == 0x00FF0000;
        if (green != 0x0000FF00 || (!mSwapRedBlue && (red != 0x00FF0000 || blue != 0x000000FF)))
        {
            QL_LOG(L"DDS channel masks 0x%x, 0x%x, 0x%x are not supported\n")
                << base::LogStyle::Error << red << green << blue;
            return QL_FAIL;
        }
        // Without alpha pixels the fourth byte is padding: every pixel is opaque.
        mOpaque = (formatFlags & kAlphaPixelsFlag) == 0 || ReadU32(h + 100) != 0xFF000000;
    }
    mWidth = static_cast<i32>(width);
    mHeight = static_cast<i32>(height);
    mBytesPerPixel = 4;
    mFileLevels = levels == 0 ? 1 : levels;
    mLevelCount = 1;
    const u32 size = stream->GetSize();
    mDataSize = size > kHeaderSize ? size - kHeaderSize : 0;
    if (mDataSize < GetLevelSize())
    {
        QL_LOG(L"DDS data too short: %d bytes for a level of %d\n")
            << base::LogStyle::Error << mDataSize << GetLevelSize();
        mWidth = mHeight = 0;
        return QL_FAIL;
    }
    mStream = stream;
    return QL_OK;
}

u32 ImageDataDDS::GetLevelSize() const
{
    const u32 w = static_cast<u32>(mWidth);
    const u32 h = static_cast<u32>(mHeight);
    if (mCompression == 0)
        return w * h * 4;
    return ((w + 3) / 4) * ((h + 3) / 4) * DxtBlockSize(mCompression);
}

QLResultEnum ImageDataDDS::CopyPixels(u32 pitch, u8* destination, HitMask& mask)
{
    if (!mStream || !destination || mWidth <= 0 || mHeight <= 0)
        return QL_FAIL;
    const u32 w = static_cast<u32>(mWidth);
    const u32 h = static_cast<u32>(mHeight);
    const u32 rows = mCompression == 0 ? h : (h + 3) / 4;
    const u32 rowBytes = mCompression == 0 ? w * 4 : ((w + 3) / 4) * DxtBlockSize(mCompression);
    if (pitch < rowBytes)
        return QL_FAIL;
    if (mask.size() != static_cast<size_t>(w) * h)
        mask.assign(static_cast<size_t>(w) * h, false);
    mStream->Seek(static_cast<i32>(kHeaderSize), 0);
    for (u32 y = 0; y < rows; ++y)
    {
        u8* row = destination + static_cast<size_t>(y) * pitch;
        if (mStream->Read(row, rowBytes) != rowBytes)
        {
            QL_LOG(L"DDS data ends in row %d\n") << base::LogStyle::Error << y;
            return QL_FAIL;
        }
        if (mCompression == 0)
        {
            FixChannels(row);
            MaskUncompressed(row, y, mask);
        }
        else
            MaskBlocks(row, y, mask);
    }
    return QL_OK;
}

void ImageDataDDS::FixChannels(u8* row) const
{
    if (!mSwapRedBlue && !mOpaque)
        return;
    for (u32 x = 0; x < static_cast<u32>(mWidth); ++x)
    {
        u8* p = row + x * 4; // memory order B, G, R, A
        if (mSwapRedBlue)
            std::swap(p[0], p[2]);
        if (mOpaque)
            p[3] = 255;
    }
}

void ImageDataDDS::MaskUncompressed(const u8* row, u32 y, HitMask& mask) const
{
    const u32 w = static_cast<u32>(mWidth);
    for (u32 x = 0; x < w; ++x)
        mask[static_cast<size_t>(y) * w + x] = row[x * 4 + 3] >= kHitAlpha;
}

void ImageDataDDS::MaskBlocks(const u8* row, u32 blockY, HitMask& mask) const
{
    const u32 w = static_cast<u32>(mWidth);
    const u32 h = static_cast<u32>(mHeight);
    const u32 blockSize = DxtBlockSize(mCompression);
    const u32 blocks = (w + 3) / 4;
    u8 alpha[16];
    for (u32 bx = 0; bx < blocks; ++bx)
    {
        DecodeBlockAlpha(mCompression, row + bx * blockSize, alpha);
        for (u32 i = 0; i < 16; ++i)
        {
            const u32 x = bx * 4 + (i & 3);
            const u32 y = blockY * 4 + (i >> 2);
            // Blocks at the right and bottom edges cover pixels beyond the image.
            if (x < w && y < h)
                mask[static_cast<size_t>(y) * w + x] = alpha[i] >= kHitAlpha;
        }
    }
}
} // namespace render
