#include "Core/Media/Image/ImageDataGif.h"

#include "Core/Base/Log.h"
#include "Core/Media/Image/ImageDimensions.h"
#include "Core/Media/Image/RgbaRows.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace render
{
namespace
{
struct Source
{
    const std::vector<u8>& bytes;
    size_t at = 0;
};

int ReadBytes(GifFileType* gif, GifByteType* to, int count)
{
    Source& source = *static_cast<Source*>(gif->UserData);
    const size_t n = std::min(static_cast<size_t>(std::max(count, 0)), source.bytes.size() - source.at);
    std::memcpy(to, source.bytes.data() + source.at, n);
    source.at += n;
    return static_cast<int>(n);
}

struct CloseGif
{
    void operator()(GifFileType* gif) const
    {
        int ignored = 0;
        DGifCloseFile(gif, &ignored);
    }
};

// The rows of a frame in the order they are stored: interlaced frames come in four passes.
std::vector<int> StoredRowOrder(int height, bool interlaced)
{
    std::vector<int> rows;
    rows.reserve(static_cast<size_t>(height));
    if (!interlaced)
    {
        for (int y = 0; y < height; ++y)
            rows.push_back(y);
        return rows;
    }
    const int starts[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = starts[pass]; y < height; y += steps[pass])
            rows.push_back(y);
    return rows;
}

bool Fail(const char* what, int error)
{
    QL_LOG(L"Cannot decode the GIF image: %s (%s)\n")
        << base::LogStyle::Error << what << (GifErrorString(error) ? GifErrorString(error) : "unknown error");
    return false;
}

// Decodes the first frame of `gif` into RGBA rows of the screen's size.
bool DecodeFirstFrame(GifFileType* gif, std::vector<u8>& pixels)
{
    int transparent = NO_TRANSPARENT_COLOR;
    for (;;)
    {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &record) != GIF_OK)
            return Fail("damaged block", gif->Error);
        if (record == TERMINATE_RECORD_TYPE)
            return Fail("no frame", D_GIF_ERR_NO_IMAG_DSCR);
        if (record == EXTENSION_RECORD_TYPE)
        {
            int code = 0;
            GifByteType* data = nullptr;
            if (DGifGetExtension(gif, &code, &data) != GIF_OK)
                return Fail("damaged extension", gif->Error);
            GraphicsControlBlock control;
            if (code == GRAPHICS_EXT_FUNC_CODE && data && data[0] >= 4 &&
                DGifExtensionToGCB(data[0], data + 1, &control) == GIF_OK)
                transparent = control.TransparentColor;
            while (data)
                if (DGifGetExtensionNext(gif, &data) != GIF_OK)
                    return Fail("damaged extension", gif->Error);
            continue;
        }
        if (record != IMAGE_DESC_RECORD_TYPE)
            continue;
        if (DGifGetImageDesc(gif) != GIF_OK)
            return Fail("damaged frame header", gif->Error);
        const GifImageDesc& frame = gif->Image;
        const ColorMapObject* colours = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
        if (!colours || frame.Width <= 0 || frame.Height <= 0 || frame.Width > static_cast<int>(kMaxImageSide) ||
            frame.Height > static_cast<int>(kMaxImageSide))
            return Fail("a frame without colours or of no size", D_GIF_ERR_WRONG_RECORD);
        std::vector<GifPixelType> line(static_cast<size_t>(frame.Width));
        for (const int row : StoredRowOrder(frame.Height, frame.Interlace))
        {
            if (DGifGetLine(gif, line.data(), frame.Width) != GIF_OK)
                return Fail("damaged pixel data", gif->Error);
            const int y = frame.Top + row;
            if (y < 0 || y >= gif->SHeight)
                continue;
            for (int x = 0; x < frame.Width; ++x)
            {
                const int sx = frame.Left + x;
                const int index = line[static_cast<size_t>(x)];
                if (sx >= gif->SWidth || index == transparent)
                    continue;
                u8* out = &pixels[(static_cast<size_t>(y) * static_cast<size_t>(gif->SWidth) + sx) * 4];
                if (index < colours->ColorCount)
                {
                    const GifColorType& c = colours->Colors[index];
                    out[0] = c.Red, out[1] = c.Green, out[2] = c.Blue;
                }
                else
                    out[0] = out[1] = out[2] = 0; // an index past the table: black
                out[3] = 255;
            }
        }
        return true;
    }
}
} // namespace

QLResultEnum ImageDataGif::Load(base::Stream* stream, const std::wstring& extension)
{
    mExtension = extension;
    std::vector<u8> bytes;
    if (!ReadLooseImage(stream, extension, bytes))
        return QL_FAIL;
    Source source{bytes};
    int error = 0;
    std::unique_ptr<GifFileType, CloseGif> gif(DGifOpen(&source, ReadBytes, &error));
    if (!gif)
    {
        Fail("not a GIF file", error);
        return QL_FAIL;
    }
    std::vector<u8> pixels(static_cast<size_t>(gif->SWidth) * static_cast<size_t>(gif->SHeight) * 4, 0);
    if (!DecodeFirstFrame(gif.get(), pixels))
        return QL_FAIL;
    Keep(gif->SWidth, gif->SHeight, std::move(pixels));
    return QL_OK;
}
} // namespace render
