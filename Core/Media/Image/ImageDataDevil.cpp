// DevIL decoding. DevIL is initialised once and never shut down between images: a shutdown
// would free the images of other decoders that are still alive.
#include "Core/Media/Image/ImageDataDevil.h"

#include "Core/Base/Log.h"
#include "Core/Media/Image/ImageDimensions.h"
#include "Core/Media/Image/RgbaRows.h"

#include <IL/il.h>

#include <mutex>
#include <vector>

namespace render
{
namespace
{
void InitDevil()
{
    static std::once_flag once;
    std::call_once(once, [] { ilInit(); });
}

ILenum TypeOf(const std::wstring& extension)
{
    if (extension == L".bmp")
        return IL_BMP;
    if (extension == L".dds")
        return IL_DDS;
    if (extension == L".jpg")
        return IL_JPG;
    if (extension == L".png")
        return IL_PNG;
    if (extension == L".tga")
        return IL_TGA;
    return IL_TYPE_UNKNOWN;
}
} // namespace

ImageDataDevil::~ImageDataDevil() { DeleteImage(); }

void ImageDataDevil::DeleteImage()
{
    if (mImage != 0)
    {
        ILuint name = mImage;
        ilDeleteImages(1, &name);
        mImage = 0;
        mPixels = nullptr;
    }
}

QLResultEnum ImageDataDevil::Load(base::Stream* stream, const std::wstring& extension)
{
    mExtension = extension;
    mStream = stream;
    if (!stream)
        return QL_FAIL;
    InitDevil();
    while (ilGetError() != IL_NO_ERROR)
    {
    }
    std::vector<u8> data;
    if (!ReadLooseImage(stream, extension, data))
        return QL_FAIL;
    ILuint name = 0;
    ilGenImages(1, &name);
    mImage = name;
    ilBindImage(name);
    if (!ilLoadL(TypeOf(extension), data.data(), static_cast<ILuint>(data.size())) ||
        !ilConvertImage(IL_RGBA, IL_UNSIGNED_BYTE))
    {
        QL_LOG(L"DevIL cannot decode the %s image (error 0x%x)\n")
            << base::LogStyle::Error << extension << static_cast<unsigned>(ilGetError());
        DeleteImage();
        return QL_FAIL;
    }
    const i32 width = ilGetInteger(IL_IMAGE_WIDTH);
    const i32 height = ilGetInteger(IL_IMAGE_HEIGHT);
    const i32 bytes = ilGetInteger(IL_IMAGE_BYTES_PER_PIXEL);
    mLowerLeft = ilGetInteger(IL_IMAGE_ORIGIN) == IL_ORIGIN_LOWER_LEFT;
    mPixels = ilGetData();
    if (ilGetError() != IL_NO_ERROR || !mPixels || width <= 0 || height <= 0 || (bytes != 3 && bytes != 4))
    {
        QL_LOG(L"DevIL gave no usable %s image\n") << base::LogStyle::Error << extension;
        DeleteImage();
        return QL_FAIL;
    }
    mWidth = width;
    mHeight = height;
    mBytesPerPixel = static_cast<u32>(bytes);
    return QL_OK;
}

QLResultEnum ImageDataDevil::CopyPixels(u32 pitch, u8* destination, HitMask& mask)
{
    if (!mPixels || !destination || pitch < static_cast<u32>(mWidth) * 4)
        return QL_FAIL;
    CopyRgbaRows(mPixels, static_cast<u32>(mWidth), static_cast<u32>(mHeight), mBytesPerPixel, mLowerLeft, kHitAlpha,
                 pitch, destination, mask);
    DeleteImage();
    return QL_OK;
}
} // namespace render
