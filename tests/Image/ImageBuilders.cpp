// Image file builders.
#include "ImageBuilders.h"

#include "Core/Base/StringConvert.h"

#include <gif_lib.h>
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

int GifWrite(GifFileType* gif, const GifByteType* data, int size)
{
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + size);
    return size;
}
} // namespace

Bytes EncodeGif(const GifFrame& frame)
{
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, GifWrite, &error);
    int size = 2;
    while (size < static_cast<int>(frame.colours.size()))
        size *= 2;
    std::vector<GifColorType> colours(static_cast<size_t>(size), GifColorType{0, 0, 0});
    for (size_t i = 0; i < frame.colours.size(); ++i)
        colours[i] = {static_cast<GifByteType>(frame.colours[i] >> 16), static_cast<GifByteType>(frame.colours[i] >> 8),
                      static_cast<GifByteType>(frame.colours[i])};
    ColorMapObject* map = GifMakeMapObject(size, colours.data());
    bool ok = gif && EGifPutScreenDesc(gif, static_cast<int>(frame.screenWidth), static_cast<int>(frame.screenHeight),
                                       8, 0, map) == GIF_OK;
    if (ok && frame.transparent >= 0)
    {
        GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, frame.transparent};
        GifByteType extension[4];
        const size_t length = EGifGCBToExtension(&control, extension);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) == GIF_OK;
    }
    ok = ok &&
         EGifPutImageDesc(gif, static_cast<int>(frame.left), static_cast<int>(frame.top), static_cast<int>(frame.width),
                          static_cast<int>(frame.height), frame.interlaced, nullptr) == GIF_OK;
    std::vector<u32> rows;
    for (u32 y = 0; y < frame.height; ++y)
        rows.push_back(y);
    if (frame.interlaced)
    {
        rows.clear();
        const u32 starts[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (u32 y = starts[pass]; y < frame.height; y += steps[pass])
                rows.push_back(y);
    }
    for (u32 y : rows)
    {
        std::vector<GifPixelType> line(frame.indices.begin() + y * frame.width,
                                       frame.indices.begin() + (y + 1) * frame.width);
        ok = ok && EGifPutLine(gif, line.data(), static_cast<int>(frame.width)) == GIF_OK;
    }
    GifFreeMapObject(map);
    if (!gif || EGifCloseFile(gif, &error) != GIF_OK || !ok)
        throw std::runtime_error("gif encoding failed");
    return out;
}

bool DecodePng(const std::string& path, u32& width, u32& height, std::vector<u32>& argb)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return false;
    image.format = PNG_FORMAT_BGRA; // bytes B, G, R, A: 0xAARRGGBB words on this little-endian machine
    width = image.width;
    height = image.height;
    argb.assign(static_cast<size_t>(width) * height, 0);
    if (!png_image_finish_read(&image, nullptr, argb.data(), 0, nullptr))
    {
        png_image_free(&image);
        return false;
    }
    return true;
}

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

Bytes EncodePngRows(u32 width, u32 height, const PngLayout& layout, const Bytes& packedRows)
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
    png_set_IHDR(png, info, width, height, layout.bitDepth, layout.colourType,
                 layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (u32 c : layout.palette)
        palette.push_back({static_cast<png_byte>(c >> 16), static_cast<png_byte>(c >> 8), static_cast<png_byte>(c)});
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!layout.alphas.empty())
        png_set_tRNS(png, info, layout.alphas.data(), static_cast<int>(layout.alphas.size()), nullptr);
    png_write_info(png, info);
    const size_t stride = packedRows.size() / height;
    std::vector<png_bytep> rows;
    for (u32 y = 0; y < height; ++y)
        rows.push_back(const_cast<png_bytep>(packedRows.data() + y * stride));
    png_write_image(png, rows.data());
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
