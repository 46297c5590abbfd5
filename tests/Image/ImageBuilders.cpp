// Image file builders.
#include "ImageBuilders.h"

#include "Core/Base/StringConvert.h"

#include <png.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace imagetest
{
namespace
{
void PngWrite(png_structp png, png_bytep data, png_size_t size)
{
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}
void PngFlush(png_structp) {}
} // namespace

Bytes EncodePng(u32 width, u32 height, const std::vector<u32>& argb, bool withAlpha)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("png encoding failed");
    }
    png_set_write_fn(png, &out, PngWrite, PngFlush);
    png_set_IHDR(png, info, width, height, 8, withAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const u32 channels = withAlpha ? 4 : 3;
    std::vector<u8> row(width * channels);
    for (u32 y = 0; y < height; ++y)
    {
        for (u32 x = 0; x < width; ++x)
        {
            const u32 p = argb[y * width + x];
            row[x * channels + 0] = static_cast<u8>(p >> 16);
            row[x * channels + 1] = static_cast<u8>(p >> 8);
            row[x * channels + 2] = static_cast<u8>(p);
            if (withAlpha)
                row[x * channels + 3] = static_cast<u8>(p >> 24);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

void WriteFile(const std::wstring& path, const Bytes& bytes)
{
    std::ofstream file(base::WStringToString(path, 1), std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
Bytes ContentImage(const std::string& name)
{
    std::ifstream file(std::string(QL_SOURCE_DIR) + "/content/td/data/images/" + name, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}
} // namespace imagetest
