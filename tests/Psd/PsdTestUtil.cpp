// Helpers shared by the PSD tests.
#include "PsdTestUtil.h"

#include "Core/Base/Stream.h"

#include <png.h>

#include <cstdio>

namespace psdtest
{
DocPtr LoadBytes(const std::string& bytes, i32* status)
{
    base::MemoryStream stream(bytes.data(), static_cast<u32>(bytes.size()));
    psd::Document* doc = nullptr;
    i32 result = psd::LoadDocument(&doc, stream);
    if (status)
        *status = result;
    return DocPtr(doc);
}

DocPtr LoadFile(const std::filesystem::path& path, i32* status)
{
    psd::Document* doc = nullptr;
    i32 result = psd::LoadDocument(&doc, path.string().c_str());
    if (status)
        *status = result;
    return DocPtr(doc);
}

bool ReadPng(const std::filesystem::path& path, Image& out)
{
    // Decode with the low-level API so 16-bit samples keep their stored high byte.
    std::FILE* file = std::fopen(path.string().c_str(), "rb");
    if (!file)
        return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)))
    {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    png_set_expand(png);
    if (png_get_bit_depth(png, info) < 8)
        png_set_packing(png);
    png_set_gray_to_rgb(png);
    bool deep = png_get_bit_depth(png, info) == 16;
    png_set_add_alpha(png, deep ? 0xFFFF : 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    u32 w = png_get_image_width(png, info), h = png_get_image_height(png, info);
    size_t sample = deep ? 2 : 1;
    std::vector<u8> rgba(size_t(w) * h * 4 * sample);
    std::vector<png_bytep> rows(h);
    for (u32 y = 0; y < h; ++y)
        rows[y] = rgba.data() + size_t(y) * w * 4 * sample;
    png_read_image(png, rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    out.mWidth = w;
    out.mHeight = h;
    out.mPixels.resize(size_t(w) * h);
    out.mScaled.resize(size_t(w) * h);
    for (size_t i = 0; i < out.mPixels.size(); ++i)
    {
        u32 high[4], scaled[4];
        for (int c = 0; c < 4; ++c)
        {
            const u8* p = &rgba[(i * 4 + c) * sample];
            u32 v = deep ? (u32(p[0]) << 8) | p[1] : u32(p[0]) * 257;
            high[c] = v >> 8;
            scaled[c] = v / 257;
        }
        out.mPixels[i] = (high[3] << 24) | (high[0] << 16) | (high[1] << 8) | high[2];
        out.mScaled[i] = (scaled[3] << 24) | (scaled[0] << 16) | (scaled[1] << 8) | scaled[2];
    }
    return true;
}

DocPtr LoadLayerWithExtra(const std::string& extra, i32* status)
{
    return LoadBytes(PsdBuilder(2, 2).Layer({.mName = "extra", .mExtra = extra}).Build(), status);
}

LayerSpec RawRgbaLayer(i32 top, i32 left, i32 height, i32 width, u8 r, u8 g, u8 b, u8 a, const std::string& name)
{
    const size_t count = height > 0 && width > 0 ? size_t(height) * size_t(width) : 0;
    return {
        .mTop = top,
        .mLeft = left,
        .mBottom = top + height,
        .mRight = left + width,
        .mChannels = {{-1, 0, Fill(count, a)}, {0, 0, Fill(count, r)}, {1, 0, Fill(count, g)}, {2, 0, Fill(count, b)}},
        .mName = name};
}
} // namespace psdtest
