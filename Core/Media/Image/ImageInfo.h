// The description of one image of an image container: name, rectangle, order and atlas place.
#pragma once

#include "Core/Base/Types.h"

#include <string>

namespace base
{
struct ImageInfo
{
    ImageInfo() = default;
    // Rectangle fields are the integer values times the scale; texture rectangle (0, 0, 1, 1).
    ImageInfo(const std::wstring& name, i32 x, i32 y, i32 width, i32 height, u32 opacity, u32 index, u8 hasPixels,
              u8 rawPixels, float scale);
    ImageInfo(const ImageInfo&) = default;
    ImageInfo& operator=(const ImageInfo&) = default;
    virtual ~ImageInfo() = default;

    std::wstring mName;
    u32 mOpacity = 255;
    u32 mIndex = 0;
    u8 mHasPixels = 1;
    u8 mRawPixels = 0; // the data is width x height host-order 0xAARRGGBB values
    u8 mInAtlas = 0;
    std::wstring mAtlasPath;
    float mTextureOriginU = 0.0f, mTextureOriginV = 0.0f;
    float mTextureExtentU = 1.0f, mTextureExtentV = 1.0f;
    float mScale = 1.0f;
    float mX = 0.0f, mY = 0.0f, mWidth = 0.0f, mHeight = 0.0f;
};
} // namespace base
