// Our own DDS reader: uncompressed 32-bit ARGB (or ABGR, or without alpha) or DXT1/3/5 blocks;
// level 0 is copied row by row.
#pragma once

#include "Core/Render/ImageData.h"

namespace render
{
class ImageDataDDS : public ImageData
{
public:
    static constexpr u32 kHeaderSize = 128; // "DDS " and the 124-byte header
    static constexpr u8 kHitAlpha = 11;

    QLResultEnum Load(base::Stream* stream, const std::wstring& extension) override;
    QLResultEnum CopyPixels(u32 pitch, u8* destination, HitMask& mask) override;
    u32 GetCompression() const override { return mCompression; }

    // Bytes of level 0 as stored: w x h x 4, or one block per started 4x4 square.
    u32 GetLevelSize() const;
    // The mip-map count the file declares (the texture gets level 0 only).
    u32 GetFileLevelCount() const { return mFileLevels; }

private:
    // Uncompressed rows in 0xAARRGGBB: ABGR files swapped, alpha-less files made opaque.
    void FixChannels(u8* row) const;
    void MaskUncompressed(const u8* row, u32 y, HitMask& mask) const;
    void MaskBlocks(const u8* row, u32 blockY, HitMask& mask) const;

    base::Stream* mStream = nullptr;
    u32 mCompression = 0;
    u32 mDataSize = 0;
    u32 mFileLevels = 1;
    bool mSwapRedBlue = false;
    bool mOpaque = false;
};
} // namespace render
