// Fuzzes the decoders of the loose image formats (GIF through giflib, PNG through libpng, the rest
// through DevIL): the first byte picks the extension, the rest is the file; a decoded image is
// copied into a level of the size it announces.
#include "Core/Base/Stream.h"
#include "Core/Media/Image/ImageLoader.h"

#include <memory>
#include <vector>

// DevIL's own leaks on damaged files are not ours to report. Built into the fuzzer, so that every
// run of it (CTest, the long runs, by hand) leaves them out; our own code's leaks still show.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() { return "leak:libIL.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const wchar_t* const kExtensions[] = {L".gif", L".bmp", L".tga", L".png", L".jpg"};
    if (size < 1)
        return 0;
    const wchar_t* extension = kExtensions[data[0] % 5];
    base::MemoryStream stream(data + 1, static_cast<u32>(size - 1));
    std::unique_ptr<render::ImageData> image(render::ImageLoader::Instance()->Load(&stream, extension, nullptr));
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
