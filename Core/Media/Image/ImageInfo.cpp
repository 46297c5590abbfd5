// Image descriptions.
#include "Core/Media/Image/ImageInfo.h"

namespace base
{
ImageInfo::ImageInfo(const std::wstring& name, i32 x, i32 y, i32 width, i32 height, u32 opacity, u32 index,
                     u8 hasPixels, u8 rawPixels, float scale)
    : mName(name), mOpacity(opacity), mIndex(index), mHasPixels(hasPixels), mRawPixels(rawPixels), mScale(scale),
      mX(static_cast<float>(x) * scale), mY(static_cast<float>(y) * scale), mWidth(static_cast<float>(width) * scale),
      mHeight(static_cast<float>(height) * scale)
{
}
} // namespace base
