// JPEG thumbnails through libjpeg. libjpeg reports errors by longjmp, so the decoding function
// holds no object with a destructor between setjmp and the last libjpeg call.
#include "Core/Psd/Thumbnail.h"

#include "Core/Psd/Status.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

namespace psd
{
namespace
{
struct ErrorManager
{
    jpeg_error_mgr mPublic;
    std::jmp_buf mJump;
};

void ErrorExit(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->mJump, 1); }

void SilentMessage(j_common_ptr) {}

// Plain C decoding into malloc'd ARGB; returns the status.
i32 DecodePlain(const u8* data, unsigned long size, u64 maxPixels, u32** outPixels, u32* outWidth, u32* outHeight)
{
    jpeg_decompress_struct info;
    ErrorManager error;
    u32* volatile pixels = nullptr;
    u8* volatile row = nullptr;
    std::memset(&info, 0, sizeof info);
    info.err = jpeg_std_error(&error.mPublic);
    error.mPublic.error_exit = ErrorExit;
    error.mPublic.output_message = SilentMessage;
    if (setjmp(error.mJump))
    {
        jpeg_destroy_decompress(&info);
        std::free(pixels);
        std::free(row);
        return kBadThumbnail;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
    {
        jpeg_destroy_decompress(&info);
        return kBadThumbnail;
    }
    bool adobe = info.saw_Adobe_marker;
    jpeg_start_decompress(&info);
    u32 width = info.output_width;
    u32 height = info.output_height;
    int components = info.output_components;
    if (width == 0 || height == 0 || u64(width) * height > maxPixels ||
        (components != 1 && components != 3 && components != 4))
    {
        jpeg_destroy_decompress(&info);
        return kBadThumbnail;
    }
    pixels = static_cast<u32*>(std::malloc(size_t(width) * height * 4));
    row = static_cast<u8*>(std::malloc(size_t(width) * components));
    if (!pixels || !row)
    {
        jpeg_destroy_decompress(&info);
        std::free(pixels);
        std::free(row);
        return kOutOfMemory;
    }
    while (info.output_scanline < height)
    {
        JSAMPROW rows[1] = {row};
        u32 y = info.output_scanline;
        if (jpeg_read_scanlines(&info, rows, 1) != 1)
            ErrorExit(reinterpret_cast<j_common_ptr>(&info));
        u32* out = pixels + size_t(y) * width;
        for (u32 x = 0; x < width; ++x)
        {
            const u8* p = row + size_t(x) * components;
            if (components == 1)
                out[x] = 0xFF000000u | (u32(p[0]) << 16) | (u32(p[0]) << 8) | p[0];
            else if (components == 3)
                out[x] = 0xFF000000u | (u32(p[0]) << 16) | (u32(p[1]) << 8) | p[2];
            else
            {
                u32 c = p[0], m = p[1], ye = p[2], k = p[3];
                u32 r, g, b;
                if (adobe)
                    r = c * k / 255, g = m * k / 255, b = ye * k / 255;
                else
                    r = (255 - c) * (255 - k) / 255, g = (255 - m) * (255 - k) / 255, b = (255 - ye) * (255 - k) / 255;
                out[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
            }
        }
    }
    jpeg_finish_decompress(&info);
    // A cut stream only raises warnings (libjpeg pads it); treat it as undecodable.
    bool damaged = error.mPublic.num_warnings > 0;
    jpeg_destroy_decompress(&info);
    std::free(row);
    if (damaged)
    {
        std::free(pixels);
        return kBadThumbnail;
    }
    *outPixels = pixels;
    *outWidth = width;
    *outHeight = height;
    return kOk;
}
} // namespace

i32 DecodeJpeg(const u8* data, size_t size, std::vector<u32>& pixels, u32& width, u32& height, u64 maxPixels)
{
    if (!data || size == 0)
        return kBadThumbnail;
    u32* raw = nullptr;
    u32 w = 0, h = 0;
    i32 status = DecodePlain(data, static_cast<unsigned long>(size), maxPixels, &raw, &w, &h);
    if (status != kOk)
        return status;
    pixels.assign(raw, raw + size_t(w) * h);
    std::free(raw);
    width = w;
    height = h;
    return kOk;
}
} // namespace psd
