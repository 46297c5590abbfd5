// Raw pixel images.
#include "Core/Media/Image/ImageDataRaw.h"

#include "Core/Base/Log.h"
#include "Core/Base/Stream.h"

#include <cstring>
#include <vector>

namespace render
{
QLResultEnum ImageDataRaw::Load(base::Stream* stream, const std::wstring& extension)
{
    mExtension = extension;
    mStream = stream;
    mBytesPerPixel = 4;
    mWidth = mHeight = 0;
    // The size comes from a description (a damaged layout may hold anything): check it before
    // converting it.
    constexpr float kMaxSide = 65536.0f;
    if (!stream || !(mInfo.mWidth >= 1.0f && mInfo.mWidth <= kMaxSide) ||
        !(mInfo.mHeight >= 1.0f && mInfo.mHeight <= kMaxSide))
    {
        QL_LOG(L"Raw image '%s' has no usable size\n") << base::LogStyle::Error << mInfo.mName;
        return QL_FAIL;
    }
    mWidth = static_cast<i32>(mInfo.mWidth);
    mHeight = static_cast<i32>(mInfo.mHeight);
    return QL_OK;
}

QLResultEnum ImageDataRaw::CopyPixels(u32 pitch, u8* destination, HitMask& mask)
{
    const u32 w = static_cast<u32>(mWidth);
    const u32 h = static_cast<u32>(mHeight);
    if (!mStream || !destination || w == 0 || pitch < w * 4)
        return QL_FAIL;
    if (mask.size() != static_cast<size_t>(w) * h)
        mask.assign(static_cast<size_t>(w) * h, false);
    std::vector<u32> row(w);
    for (u32 y = 0; y < h; ++y)
    {
        if (mStream->Read(row.data(), w * 4) != w * 4)
        {
            QL_LOG(L"Raw image '%s' ends in row %d\n") << base::LogStyle::Error << mInfo.mName << y;
            return QL_FAIL;
        }
        std::memcpy(destination + static_cast<size_t>(y) * pitch, row.data(), w * 4);
        for (u32 x = 0; x < w; ++x)
            mask[static_cast<size_t>(y) * w + x] = (row[x] >> 24) >= kHitAlpha;
    }
    return QL_OK;
}
} // namespace render
