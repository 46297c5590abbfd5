// Colour conversions to 0xAARRGGBB: colour records, HSB, CMYK and Lab.
#pragma once

#include "Core/Base/Types.h"

namespace psd
{
class Reader;

// Every conversion gives a defined colour for any input: a NaN component counts as the lowest
// value of its range, an infinite one as the end of the range it points to.

// hue in degrees, saturation and brightness 0..1.
u32 HsbToArgb(double hue, double saturation, double brightness, u8 alpha = 255);
// Ink coverage 0..1 for each of cyan, magenta, yellow and black.
u32 CmykToArgb(double c, double m, double y, double k, u8 alpha = 255);
// L 0..100, a and b about -128..127 (D65 white, sRGB primaries).
u32 LabToArgb(double l, double a, double b, u8 alpha = 255);

// The 8-bit CMYK formula of channel data (c, m, y, k are ink amounts 0..255).
inline u32 CmykBytesToRgb(u32 c, u32 m, u32 y, u32 k)
{
    u32 r = (65535 - (255 - k) * c - 256 * k) >> 8;
    u32 g = (65535 - (255 - k) * m - 256 * k) >> 8;
    u32 b = (65535 - (255 - k) * y - 256 * k) >> 8;
    return (r << 16) | (g << 8) | b;
}

// Converts a stored colour record (space, four components). Unknown spaces give 0x00FFFFFF and
// status -15 in *status when given.
u32 ColourRecordToArgb(u16 space, const u16 components[4], i32* status = nullptr);
// Reads a colour record (u16 space, four u16) and converts it.
u32 ReadColourRecord(Reader& reader);
} // namespace psd
