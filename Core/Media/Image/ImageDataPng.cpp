#include "Core/Media/Image/ImageDataPng.h"

#include "Core/Base/Log.h"
#include "Core/Media/Image/ImageDimensions.h"
#include "Core/Media/Image/RgbaRows.h"

#include <png.h>

#include <cstring>

namespace render
{
namespace
{
struct Source
{
    const std::vector<u8>& bytes;
    size_t at = 0;
};

void ReadBytes(png_structp png, png_bytep to, size_t count)
{
    Source& source = *static_cast<Source*>(png_get_io_ptr(png));
    if (count > source.bytes.size() - source.at)
        png_error(png, "the file ends early");
    std::memcpy(to, source.bytes.data() + source.at, count);
    source.at += count;
}

// Logs and jumps back itself: libpng's default handler would also write to stderr.
void LogError(png_structp png, png_const_charp message)
{
    QL_LOG(L"Cannot decode the PNG image: %s\n") << base::LogStyle::Error << message;
    png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

// libpng reports errors by a long jump back into the function that set it up, so the two steps
// below hold nothing with a destructor; the row storage belongs to the caller.

// Reads the header and asks for 8-bit RGBA rows; false on a damaged header.
bool ReadHeader(png_structp png, png_infop info, png_uint_32* width, png_uint_32* height)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    const png_byte type = png_get_color_type(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    *width = png_get_image_width(png, info);
    *height = png_get_image_height(png, info);
    return png_get_rowbytes(png, info) == static_cast<size_t>(*width) * 4;
}

// The chunks after the pixels are not read: a file cut after its image data still decodes.
bool ReadRows(png_structp png, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_image(png, rows);
    return true;
}
} // namespace

QLResultEnum ImageDataPng::Load(base::Stream* stream, const std::wstring& extension)
{
    mExtension = extension;
    std::vector<u8> bytes;
    if (!ReadLooseImage(stream, extension, bytes))
        return QL_FAIL;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, LogError, IgnoreWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info)
    {
        png_destroy_read_struct(&png, nullptr, nullptr);
        QL_LOG(L"Cannot start the PNG decoder\n") << base::LogStyle::Error;
        return QL_FAIL;
    }
    Source source{bytes};
    png_set_read_fn(png, &source, ReadBytes);
    png_uint_32 width = 0, height = 0;
    std::vector<u8> pixels;
    std::vector<png_bytep> rows;
    bool read = ReadHeader(png, info, &width, &height);
    if (read)
    {
        pixels.assign(static_cast<size_t>(width) * height * 4, 0);
        rows.resize(height);
        for (png_uint_32 y = 0; y < height; ++y)
            rows[y] = &pixels[static_cast<size_t>(y) * width * 4];
        read = ReadRows(png, rows.data());
    }
    png_destroy_read_struct(&png, &info, nullptr);
    if (!read)
        return QL_FAIL;
    Keep(static_cast<i32>(width), static_cast<i32>(height), std::move(pixels));
    return QL_OK;
}
} // namespace render
