#include "Core/Media/Image/ImageDataJpeg.h"

#include "Core/Base/Log.h"
#include "Core/Media/Image/ImageDimensions.h"

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE and size_t first
#include <jpeglib.h>

namespace render
{
namespace
{
// A progressive file may hold any number of scans, each a pass over the whole image: a few
// bytes a scan could keep the decoder busy for minutes.
constexpr long kMaxScans = 500;
// Bytes libjpeg may hold per declared pixel (coefficients of every component, its row buffers),
// and a margin for its tables.
constexpr u64 kBytesPerPixel = 16;
constexpr u64 kMargin = 4u << 20;

struct ErrorJump
{
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void LogAndJump(j_common_ptr info)
{
    char message[JMSG_LENGTH_MAX] = {};
    (*info->err->format_message)(info, message);
    QL_LOG(L"Cannot decode the JPEG image: %s\n") << base::LogStyle::Error << message;
    std::longjmp(reinterpret_cast<ErrorJump*>(info->err)->jump, 1);
}

void IgnoreMessage(j_common_ptr, int) {}

void LimitScans(j_common_ptr info)
{
    auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > kMaxScans)
    {
        QL_LOG(L"Cannot decode the JPEG image: more than %ld scans\n") << base::LogStyle::Error << kMaxScans;
        std::longjmp(reinterpret_cast<ErrorJump*>(info->err)->jump, 1);
    }
}

// libjpeg reports errors by a long jump back here, so nothing below holds a destructor across a
// libjpeg call; the pixel storage belongs to the caller and is sized before decoding starts.
bool Decode(jpeg_decompress_struct& info, ErrorJump& error, jpeg_progress_mgr& progress, const std::vector<u8>& bytes,
            std::vector<u8>& pixels, u32& width, u32& height)
{
    if (setjmp(error.jump))
        return false;
    jpeg_create_decompress(&info); // clears every field but the error manager
    info.progress = &progress;
    info.mem->max_memory_to_use = static_cast<long>(kMargin); // raised once the sides are known
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    if (info.image_width == 0 || info.image_height == 0 || info.image_width > kMaxImageSide ||
        info.image_height > kMaxImageSide)
    {
        QL_LOG(L"The JPEG image is %u x %u: empty or above %u a side\n")
            << base::LogStyle::Error << info.image_width << info.image_height << kMaxImageSide;
        return false;
    }
    if (info.jpeg_color_space != JCS_GRAYSCALE && info.jpeg_color_space != JCS_YCbCr &&
        info.jpeg_color_space != JCS_RGB)
    {
        QL_LOG(L"The JPEG image's colour space (%d) is not grey or colour\n")
            << base::LogStyle::Error << static_cast<int>(info.jpeg_color_space);
        return false;
    }
    width = info.image_width;
    height = info.image_height;
    info.mem->max_memory_to_use = static_cast<long>(static_cast<u64>(width) * height * kBytesPerPixel + kMargin);
    info.out_color_space = JCS_RGB;
    pixels.assign(static_cast<size_t>(width) * height * 4, 0xFF);
    jpeg_start_decompress(&info);
    if (info.output_width != width || info.output_height != height || info.output_components != 3)
        return false;
    // Each row is read into the start of its own place and spread to RGBA from the end backwards.
    while (info.output_scanline < height)
    {
        u8* row = &pixels[static_cast<size_t>(info.output_scanline) * width * 4];
        JSAMPROW rows[1] = {row};
        if (jpeg_read_scanlines(&info, rows, 1) != 1)
            return false;
        for (u32 x = width; x-- > 0;)
        {
            row[x * 4 + 3] = 0xFF;
            row[x * 4 + 2] = row[x * 3 + 2];
            row[x * 4 + 1] = row[x * 3 + 1];
            row[x * 4 + 0] = row[x * 3 + 0];
        }
    }
    jpeg_finish_decompress(&info);
    return true;
}
} // namespace

QLResultEnum ImageDataJpeg::Load(base::Stream* stream, const std::wstring& extension)
{
    mExtension = extension;
    std::vector<u8> bytes;
    if (!ReadLooseImage(stream, extension, bytes))
        return QL_FAIL;
    jpeg_decompress_struct info{};
    ErrorJump error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = LogAndJump;
    error.manager.emit_message = IgnoreMessage;
    jpeg_progress_mgr progress{};
    progress.progress_monitor = LimitScans;
    std::vector<u8> pixels;
    u32 width = 0, height = 0;
    const bool read = Decode(info, error, progress, bytes, pixels, width, height);
    jpeg_destroy_decompress(&info);
    if (!read)
        return QL_FAIL;
    Keep(static_cast<i32>(width), static_cast<i32>(height), std::move(pixels));
    return QL_OK;
}
} // namespace render
