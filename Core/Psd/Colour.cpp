// Colour conversions. Each record component is scaled by its own range (see ColourRecordToArgb).
#include "Core/Psd/Colour.h"

#include "Core/Psd/Reader.h"
#include "Core/Psd/Status.h"

#include <algorithm>
#include <cmath>

namespace psd
{
namespace
{
// A component of a damaged file may be NaN or infinite (std::clamp keeps a NaN): NaN reads as the
// lowest value of the component's range, an infinity as the end of the range it points to.
double Defined(double v, double lowest, double highest)
{
    if (std::isnan(v))
        return lowest;
    if (std::isinf(v))
        return v > 0.0 ? highest : lowest;
    return v;
}

u32 ToByte(double v)
{
    double scaled = std::trunc(Defined(v, 0.0, 1.0) * 255.0 + 0.5);
    return static_cast<u32>(std::clamp(scaled, 0.0, 255.0));
}

u32 Pack(u8 alpha, u32 r, u32 g, u32 b) { return (u32(alpha) << 24) | (r << 16) | (g << 8) | b; }
} // namespace

u32 HsbToArgb(double hue, double saturation, double brightness, u8 alpha)
{
    saturation = std::clamp(Defined(saturation, 0.0, 1.0), 0.0, 1.0);
    brightness = std::clamp(Defined(brightness, 0.0, 1.0), 0.0, 1.0);
    double h = std::fmod(Defined(hue, 0.0, 360.0), 360.0);
    if (h < 0.0)
        h += 360.0;
    double c = brightness * saturation;
    double hp = h / 60.0;
    double x = c * (1.0 - std::fabs(std::fmod(hp, 2.0) - 1.0));
    double r = 0, g = 0, b = 0;
    switch (std::min(static_cast<int>(hp), 5))
    {
    case 0: r = c, g = x; break;
    case 1: r = x, g = c; break;
    case 2: g = c, b = x; break;
    case 3: g = x, b = c; break;
    case 4: r = x, b = c; break;
    default: r = c, b = x; break;
    }
    double m = brightness - c;
    return Pack(alpha, ToByte(r + m), ToByte(g + m), ToByte(b + m));
}

u32 CmykToArgb(double c, double m, double y, double k, u8 alpha)
{
    k = std::clamp(Defined(k, 0.0, 1.0), 0.0, 1.0);
    auto channel = [k](double ink)
    {
        ink = std::clamp(Defined(ink, 0.0, 1.0), 0.0, 1.0);
        return ToByte((1.0 - ink) * (1.0 - k));
    };
    return Pack(alpha, channel(c), channel(m), channel(y));
}

u32 LabToArgb(double l, double a, double b, u8 alpha)
{
    l = Defined(l, 0.0, 100.0);
    a = Defined(a, -128.0, 127.0);
    b = Defined(b, -128.0, 127.0);
    double fy = (l + 16.0) / 116.0;
    double fx = a / 500.0 + fy;
    double fz = fy - b / 200.0;
    auto finv = [](double f)
    {
        double cube = f * f * f;
        return cube > 0.008856 ? cube : (f - 16.0 / 116.0) / 7.787;
    };
    double x = 0.95047 * finv(fx);
    double yy = 1.0 * finv(fy);
    double z = 1.08883 * finv(fz);
    double lin[3] = {3.2406 * x - 1.5372 * yy - 0.4986 * z, -0.9689 * x + 1.8758 * yy + 0.0415 * z,
                     0.0557 * x - 0.2040 * yy + 1.0570 * z};
    u32 out[3];
    for (int i = 0; i < 3; ++i)
    {
        double v = lin[i];
        // Far out of gamut, infinities may cancel into NaN: ToByte gives it the lowest byte.
        v = v > 0.0031308 ? 1.055 * std::pow(v, 1.0 / 2.4) - 0.055 : 12.92 * v;
        out[i] = ToByte(v);
    }
    return Pack(alpha, out[0], out[1], out[2]);
}

u32 ColourRecordToArgb(u16 space, const u16 c[4], i32* status)
{
    if (status)
        *status = kOk;
    switch (space)
    {
    case 0: return Pack(255, c[0] >> 8, c[1] >> 8, c[2] >> 8);
    case 1: return HsbToArgb(c[0] * 360.0 / 65536.0, c[1] / 65535.0, c[2] / 65535.0);
    case 2:
        // Stored CMYK components: 0 is full ink, 65535 none.
        return CmykToArgb(1.0 - c[0] / 65535.0, 1.0 - c[1] / 65535.0, 1.0 - c[2] / 65535.0, 1.0 - c[3] / 65535.0);
    case 7:
        // L 0..10000, a and b signed hundredths.
        return LabToArgb(c[0] / 100.0, static_cast<i16>(c[1]) / 100.0, static_cast<i16>(c[2]) / 100.0);
    default:
        if (status)
            *status = kUnknownColourSpace;
        return 0x00FFFFFF;
    }
}

u32 ReadColourRecord(Reader& reader)
{
    u16 space = reader.U16();
    u16 components[4];
    for (u16& v : components)
        v = reader.U16();
    return ColourRecordToArgb(space, components);
}
} // namespace psd
