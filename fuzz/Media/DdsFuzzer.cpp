// Fuzzes the DDS reader: header checks, then the level copy and the hit mask into a level of
// exactly the size the header promises. The decode may hold no more than a small multiple of the
// pixels the header declares, plus a fixed margin.
#include "AllocationWatch.h"
#include "Core/Base/Stream.h"
#include "Core/Media/Image/DxtAlpha.h"
#include "Core/Media/Image/ImageLoader.h"

#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr uint64_t kBytesPerPixel = 16, kMargin = 16u << 20;
    auto le32 = [&](size_t at)
    { return at + 4 <= size ? data[at] | data[at + 1] << 8 | data[at + 2] << 16 | uint64_t{data[at + 3]} << 24 : 0; };
    const uint64_t declared = le32(12) * le32(16); // height x width
    base::MemoryStream stream(data, static_cast<u32>(size));
    std::unique_ptr<render::ImageData> image;
    {
        fuzzwatch::AllocationWatch watch;
        image.reset(render::ImageLoader::Instance()->Load(&stream, L".dds", nullptr));
        watch.Check(declared * kBytesPerPixel + kMargin, "A DDS decode");
    }
    if (!image)
        return 0;
    const u32 w = static_cast<u32>(image->mWidth), h = static_cast<u32>(image->mHeight);
    const u32 compression = image->GetCompression();
    const u32 pitch = compression ? ((w + 3) / 4) * render::DxtBlockSize(compression) : w * 4;
    const u32 rows = compression ? (h + 3) / 4 : h;
    if (static_cast<size_t>(pitch) * rows > (64u << 20))
        return 0;
    std::vector<u8> level(static_cast<size_t>(pitch) * rows);
    render::HitMask mask;
    (void)image->CopyPixels(pitch, level.data(), mask);
    return 0;
}
