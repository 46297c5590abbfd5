// YUV to ARGB through four 256-entry tables.
#include "Core/Media/Video/YuvPicture.h"

#include <algorithm>
#include <array>

namespace video
{
namespace
{
// round((i - 128) x k / 65536) as (i x k - bias) >> 16 in 32 bits, bias = 128 x k - 32768
// (the shift of a negative value rounds down).
constexpr std::array<i32, 256> MakeTable(i32 k, i32 bias)
{
    std::array<i32, 256> table{};
    for (i32 i = 0; i < 256; ++i)
        table[static_cast<size_t>(i)] = (i * k - bias) >> 16;
    return table;
}

constexpr std::array<i32, 256> kRV = MakeTable(113443, 14487936);
constexpr std::array<i32, 256> kGU = MakeTable(22020, 2785792);
constexpr std::array<i32, 256> kGV = MakeTable(45744, 5822464);
constexpr std::array<i32, 256> kBU = MakeTable(113508, 14496256);

// Clamping by table: every sum of a sample and two table terms lies in -400 .. 655.
constexpr i32 kClampBias = 400;
constexpr std::array<u8, 1056> MakeClamp()
{
    std::array<u8, 1056> table{};
    for (i32 i = 0; i < 1056; ++i)
        table[static_cast<size_t>(i)] = static_cast<u8>(std::clamp(i - kClampBias, 0, 255));
    return table;
}
constexpr std::array<u8, 1056> kClamp = MakeClamp();

inline u32 Clamp(i32 value) { return kClamp[static_cast<size_t>(value + kClampBias)]; }

inline u32 Pixel(i32 y, i32 red, i32 green, i32 blue)
{
    return 0xFF000000u | (Clamp(y + red) << 16) | (Clamp(y - green) << 8) | Clamp(y + blue);
}

inline u32 Pixel(i32 y, u8 u, u8 v) { return Pixel(y, kRV[v], kGU[u] + kGV[v], kBU[u]); }
} // namespace

u32 YuvToArgb(u8 y, u8 u, u8 v) { return Pixel(y, u, v); }

void ConvertToArgb(const YuvPicture& picture, void* destination, u32 pitch, u32 width, u32 height)
{
    pitch &= ~3u;
    const u32 columns = std::min({picture.mWidth, width, pitch / 4});
    const u32 rows = std::min(picture.mHeight, height);
    const u32 sx = picture.mChromaShiftX, sy = picture.mChromaShiftY;
    u8* out = static_cast<u8*>(destination);
    for (u32 r = 0; r < rows; ++r)
    {
        const std::ptrdiff_t row = static_cast<std::ptrdiff_t>(picture.mY0 + r);
        const u8* y = picture.mY + row * picture.mYStride + picture.mX;
        const std::ptrdiff_t chromaRow = (row >> sy) * picture.mUvStride;
        const u8* u = picture.mU + chromaRow;
        const u8* v = picture.mV + chromaRow;
        u32* dst = reinterpret_cast<u32*>(out + static_cast<size_t>(r) * pitch);
        if (sx == 0)
        {
            for (u32 c = 0; c < columns; ++c)
                dst[c] = Pixel(y[c], u[picture.mX + c], v[picture.mX + c]);
            continue;
        }
        // Halved chroma: the terms are worked out once per chroma sample.
        u32 c = 0;
        if (picture.mX & 1)
        {
            const u32 cc = picture.mX >> 1;
            if (columns > 0)
                dst[c] = Pixel(y[c], u[cc], v[cc]);
            ++c;
        }
        for (; c + 1 < columns; c += 2)
        {
            const u32 cc = (picture.mX + c) >> 1;
            const i32 red = kRV[v[cc]], green = kGU[u[cc]] + kGV[v[cc]], blue = kBU[u[cc]];
            dst[c] = Pixel(y[c], red, green, blue);
            dst[c + 1] = Pixel(y[c + 1], red, green, blue);
        }
        if (c < columns)
        {
            const u32 cc = (picture.mX + c) >> 1;
            dst[c] = Pixel(y[c], u[cc], v[cc]);
        }
    }
}
} // namespace video
