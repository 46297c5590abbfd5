// DevIL decoding. DevIL is initialised once and never shut down between images: a shutdown
// would free the images of other decoders that are still alive. Each decode runs under a memory
// budget from the declared sides, and a failed one gives back everything DevIL allocated for it.
#include "Core/Media/Image/ImageDataDevil.h"

#include "Core/Base/Log.h"
#include "Core/Media/Image/DevilMemory.h"
#include "Core/Media/Image/ImageDimensions.h"
#include "Core/Media/Image/RgbaRows.h"

#include <IL/il.h>

#include <algorithm>
#include <mutex>
#include <vector>

namespace render
{
namespace
{
void InitDevil()
{
    static std::once_flag once;
    std::call_once(once,
                   []
                   {
                       InstallDevilMemory();
                       ilInit();
                   });
}

ILenum TypeOf(const std::wstring& extension)
{
    if (extension == L".bmp")
        return IL_BMP;
    if (extension == L".tga")
        return IL_TGA;
    return IL_TYPE_UNKNOWN;
}
// DevIL's palette conversion reads each pixel's colour unchecked: an index past the end of a short
// palette (a damaged file) would read past its memory.
bool IndicesInPalette()
{
    if (ilGetInteger(IL_IMAGE_FORMAT) != IL_COLOUR_INDEX)
        return true;
    const u64 pixels = static_cast<u64>(ilGetInteger(IL_IMAGE_WIDTH)) *
                       static_cast<u64>(ilGetInteger(IL_IMAGE_HEIGHT)) * static_cast<u64>(ilGetInteger(IL_IMAGE_DEPTH));
    const i32 colours = ilGetInteger(IL_PALETTE_NUM_COLS);
    const u8* indices = ilGetData();
    if (ilGetInteger(IL_IMAGE_BYTES_PER_PIXEL) != 1 || !indices)
        return false;
    u8 highest = 0;
    for (u64 i = 0; i < pixels; ++i)
        highest = std::max(highest, indices[i]);
    if (highest < colours)
        return true;
    QL_LOG(L"A pixel of the image uses colour %u of a palette of %d\n")
        << base::LogStyle::Error << static_cast<unsigned>(highest) << colours;
    return false;
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
    std::vector<u8> data;
    ImageDimensions sides;
    if (!ReadLooseImage(stream, extension, data) || !ReadImageDimensions(data.data(), data.size(), extension, sides))
        return QL_FAIL;
    return Decode(data, extension, DevilBudget(sides.width, sides.height));
}

QLResultEnum ImageDataDevil::Decode(const std::vector<u8>& data, const std::wstring& extension, u64 budget)
{
    mExtension = extension;
    DeleteImage();
    InitDevil();
    while (ilGetError() != IL_NO_ERROR)
    {
    }
    ILuint name = 0;
    ilGenImages(1, &name);
    mImage = name;
    ilBindImage(name);
    DevilDecodeScope scope(budget);
    const bool loaded = ilLoadL(TypeOf(extension), data.data(), static_cast<ILuint>(data.size())) && IndicesInPalette();
    // DevIL's conversion does not check its allocations, so it must not be refused one: it runs
    // on an image the budget has already bounded, still tracked.
    scope.Unbound();
    const bool converted = loaded && ilConvertImage(IL_RGBA, IL_UNSIGNED_BYTE);
    const i32 width = ilGetInteger(IL_IMAGE_WIDTH);
    const i32 height = ilGetInteger(IL_IMAGE_HEIGHT);
    const i32 bytes = ilGetInteger(IL_IMAGE_BYTES_PER_PIXEL);
    mLowerLeft = ilGetInteger(IL_IMAGE_ORIGIN) == IL_ORIGIN_LOWER_LEFT;
    mPixels = converted ? ilGetData() : nullptr;
    const ILenum error = ilGetError();
    mPeakBytes = scope.Peak();
    if (!converted || error != IL_NO_ERROR || !mPixels || width <= 0 || height <= 0 || (bytes != 3 && bytes != 4))
    {
        if (scope.Refused() != 0)
            QL_LOG(L"DevIL cannot decode the %s image: it asked for %llu bytes, beyond the %llu its size allows\n")
                << base::LogStyle::Error << extension << static_cast<unsigned long long>(scope.Refused())
                << static_cast<unsigned long long>(budget);
        else
            QL_LOG(L"DevIL cannot decode the %s image (error 0x%x)\n")
                << base::LogStyle::Error << extension << static_cast<unsigned>(error);
        // The image first, then whatever DevIL kept of this decode besides.
        scope.Pause();
        DeleteImage();
        scope.FreeLeftovers();
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
