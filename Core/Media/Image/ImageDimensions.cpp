#include "Core/Media/Image/ImageDimensions.h"

#include "Core/Base/Log.h"
#include "Core/Base/Stream.h"

#include <cstdlib>
#include <cstring>

namespace render
{
namespace
{
u32 Le16(const u8* p) { return p[0] | p[1] << 8; }
u32 Le32(const u8* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<u32>(p[3]) << 24; }
u32 Be16(const u8* p) { return p[0] << 8 | p[1]; }
u32 Be32(const u8* p) { return static_cast<u32>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

// The compression a bit depth allows: none for all; RLE8 only at 8 bits, RLE4 only at 4, bit
// fields only at 16 and 32.
bool BmpDepthFits(u32 bitsPerPixel, u32 compression)
{
    switch (compression)
    {
    case 0:
        return bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 || bitsPerPixel == 16 ||
               bitsPerPixel == 24 || bitsPerPixel == 32;
    case 1: return bitsPerPixel == 8;
    case 2: return bitsPerPixel == 4;
    case 3: return bitsPerPixel == 16 || bitsPerPixel == 32;
    default: return false;
    }
}

// Also false when the header contradicts itself (a compression its bit depth cannot have, a
// palette of more than 256 colours, planes other than 1), when the pixel data would start outside
// the file, or uncompressed rows run past its end: DevIL trusts each of these.
bool Bmp(const u8* d, size_t size, ImageDimensions& out)
{
    if (size < 26 || d[0] != 'B' || d[1] != 'M')
        return false;
    const u32 offset = Le32(d + 10);
    u32 bitsPerPixel = 0, compression = 0, planes = 0, colours = 0;
    if (Le32(d + 14) == 12) // the old core header: 16-bit sides
    {
        out = {Le16(d + 18), Le16(d + 20)};
        planes = Le16(d + 22);
        bitsPerPixel = Le16(d + 24);
    }
    else
    {
        if (size < 50)
            return false;
        const i32 height = static_cast<i32>(Le32(d + 22)); // negative: rows top down
        out = {Le32(d + 18), height == INT32_MIN ? 0u : static_cast<u32>(std::abs(height))};
        planes = Le16(d + 26);
        bitsPerPixel = Le16(d + 28);
        compression = Le32(d + 30);
        colours = Le32(d + 46);
    }
    if (planes != 1 || !BmpDepthFits(bitsPerPixel, compression) || colours > 256)
        return false;
    if (offset < 26 || offset >= size)
        return false;
    if (compression == 0 || compression == 3) // rows as stored, each padded to 4 bytes
    {
        const u64 stride = (static_cast<u64>(out.width) * bitsPerPixel + 31) / 32 * 4;
        if (stride * out.height > size - offset)
            return false;
    }
    return true;
}

bool Gif(const u8* d, size_t size, ImageDimensions& out)
{
    if (size < 10 || std::memcmp(d, "GIF", 3) != 0)
        return false;
    out = {Le16(d + 6), Le16(d + 8)};
    return true;
}

bool Png(const u8* d, size_t size, ImageDimensions& out)
{
    static const u8 kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size < 24 || std::memcmp(d, kSignature, 8) != 0 || std::memcmp(d + 12, "IHDR", 4) != 0)
        return false;
    out = {Be32(d + 16), Be32(d + 20)};
    return true;
}

// Also false for an image type, pixel depth or colour-map entry size TGA does not have.
bool Tga(const u8* d, size_t size, ImageDimensions& out)
{
    if (size < 18)
        return false;
    const u8 mapType = d[1], type = d[2], entryBits = d[7], depth = d[16];
    const bool typeKnown = type == 1 || type == 2 || type == 3 || type == 9 || type == 10 || type == 11;
    const bool depthKnown = depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
    const bool mapKnown =
        mapType == 0 || (mapType == 1 && (entryBits == 15 || entryBits == 16 || entryBits == 24 || entryBits == 32));
    if (!typeKnown || !depthKnown || !mapKnown)
        return false;
    out = {Le16(d + 12), Le16(d + 14)};
    return true;
}

// The first start-of-frame segment's sides, walking the segments from the start of the file.
bool Jpeg(const u8* d, size_t size, ImageDimensions& out)
{
    if (size < 4 || d[0] != 0xFF || d[1] != 0xD8)
        return false;
    size_t at = 2;
    while (at + 4 <= size)
    {
        if (d[at] != 0xFF)
            return false;
        const u8 marker = d[at + 1];
        if (marker == 0xFF)
        {
            ++at; // fill byte
            continue;
        }
        const size_t length = Be16(d + at + 2);
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame)
        {
            if (at + 9 > size)
                return false;
            out = {Be16(d + at + 7), Be16(d + at + 5)};
            return true;
        }
        if (length < 2 || marker == 0xD9 || marker == 0xDA)
            return false; // the image data or the end before any frame header
        at += 2 + length;
    }
    return false;
}
} // namespace

bool ReadImageDimensions(const u8* data, size_t size, const std::wstring& extension, ImageDimensions& out)
{
    if (!data)
        return false;
    if (extension == L".bmp")
        return Bmp(data, size, out);
    if (extension == L".gif")
        return Gif(data, size, out);
    if (extension == L".png")
        return Png(data, size, out);
    if (extension == L".tga")
        return Tga(data, size, out);
    if (extension == L".jpg")
        return Jpeg(data, size, out);
    return false;
}

bool CheckImageDimensions(const u8* data, size_t size, const std::wstring& extension)
{
    ImageDimensions sides;
    if (!ReadImageDimensions(data, size, extension, sides))
    {
        QL_LOG(L"The %s image has no readable header, or one that contradicts itself\n")
            << base::LogStyle::Error << extension;
        return false;
    }
    if (sides.width == 0 || sides.height == 0 || sides.width > kMaxImageSide || sides.height > kMaxImageSide)
    {
        QL_LOG(L"The %s image is %u x %u: empty or above %u a side\n")
            << base::LogStyle::Error << extension << sides.width << sides.height << kMaxImageSide;
        return false;
    }
    return true;
}

bool ReadLooseImage(base::Stream* stream, const std::wstring& extension, std::vector<u8>& bytes)
{
    bytes.assign(stream ? stream->GetSize() : 0, 0);
    if (bytes.empty() || stream->Read(bytes.data(), static_cast<u32>(bytes.size())) != bytes.size())
    {
        QL_LOG(L"Cannot read image data (%s)\n") << base::LogStyle::Error << extension;
        return false;
    }
    return CheckImageDimensions(bytes.data(), bytes.size(), extension);
}
} // namespace render
