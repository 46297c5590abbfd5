// Fuzzes the DDS reader: header checks, then the level copy and the hit mask into a level of
// exactly the size the header promises.
#include "Core/Base/Stream.h"
#include "Core/Media/Image/DxtAlpha.h"
#include "Core/Media/Image/ImageLoader.h"

#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    base::MemoryStream stream(data, static_cast<u32>(size));
    std::unique_ptr<render::ImageData> image(render::ImageLoader::Instance()->Load(&stream, L".dds", nullptr));
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
