// Fuzzes the decoders of the loose image formats (GIF through giflib, PNG through libpng, JPEG
// through libjpeg, BMP and TGA through DevIL): the first byte picks the extension, the rest is the
// file; a decoded image is copied into a level of the size it announces. No decode may hold more
// than a small multiple of the pixels its header declares, plus a fixed margin.
#include "AllocationWatch.h"
#include "Core/Base/Stream.h"
#include "Core/Media/Image/ImageDimensions.h"
#include "Core/Media/Image/ImageLoader.h"

#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const wchar_t* const kExtensions[] = {L".gif", L".bmp", L".tga", L".png", L".jpg"};
    constexpr uint64_t kBytesPerPixel = 32, kMargin = 16u << 20;
    if (size < 1)
        return 0;
    const std::wstring extension = kExtensions[data[0] % 5];
    render::ImageDimensions sides;
    if (!render::ReadImageDimensions(data + 1, size - 1, extension, sides))
        sides = {};
    base::MemoryStream stream(data + 1, static_cast<u32>(size - 1));
    std::unique_ptr<render::ImageData> image;
    {
        fuzzwatch::AllocationWatch watch;
        image.reset(render::ImageLoader::Instance()->Load(&stream, extension, nullptr));
        watch.Check(static_cast<uint64_t>(sides.width) * sides.height * kBytesPerPixel + kMargin, "An image decode");
    }
    if (!image)
        return 0;
    const u32 pitch = static_cast<u32>(image->mWidth) * 4;
    if (static_cast<size_t>(pitch) * static_cast<u32>(image->mHeight) > (64u << 20))
        return 0;
    std::vector<u8> level(static_cast<size_t>(pitch) * static_cast<u32>(image->mHeight));
    render::HitMask mask;
    (void)image->CopyPixels(pitch, level.data(), mask);
    return 0;
}
