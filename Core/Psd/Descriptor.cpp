// Descriptor walking, skipping and value readers.
#include "Core/Psd/Descriptor.h"

#include "Core/Psd/Colour.h"

#include <algorithm>
#include <cmath>

namespace psd
{
namespace
{
constexpr u32 T(const char (&key)[5]) { return FourCC(key); }

bool SkipBytes(Reader& r, u64 count)
{
    if (count > r.Remaining())
    {
        r.Skip(count);
        return false;
    }
    r.Skip(count);
    return true;
}

bool SkipUnicode(Reader& r)
{
    u64 count = r.U32();
    return SkipBytes(r, count * 2);
}

bool SkipIdValue(Reader& r)
{
    u32 length = r.U32();
    return SkipBytes(r, length == 0 ? 4 : length);
}

bool SkipClass(Reader& r) { return SkipUnicode(r) && SkipIdValue(r); }

bool SkipReference(Reader& r)
{
    u32 count = r.U32();
    for (u32 i = 0; i < count; ++i)
    {
        if (r.Overrun())
            return false;
        switch (r.Key())
        {
        case T("prop"):
            if (!SkipClass(r) || !SkipIdValue(r))
                return false;
            break;
        case T("Clss"):
            if (!SkipClass(r))
                return false;
            break;
        case T("Enmr"):
            if (!SkipClass(r) || !SkipIdValue(r) || !SkipIdValue(r))
                return false;
            break;
        case T("rele"):
            if (!SkipClass(r) || !SkipBytes(r, 4))
                return false;
            break;
        case T("Idnt"):
        case T("indx"):
            if (!SkipBytes(r, 4))
                return false;
            break;
        case T("name"):
            if (!SkipUnicode(r))
                return false;
            break;
        default: return false;
        }
    }
    return !r.Overrun();
}

double ReadNumberRaw(Reader& r, u32 type)
{
    switch (type)
    {
    case T("doub"): return r.F64();
    case T("UntF"): r.Key(); return r.F64();
    case T("long"): return r.I32();
    default: return 0.0;
    }
}

bool IsNumber(u32 type) { return type == T("doub") || type == T("UntF") || type == T("long"); }

// Reads a list value whose elements are descriptors, handing each to onElement.
template <class F> bool ReadDescriptorList(Reader& r, u32 type, int depth, F&& onElement)
{
    if (type != T("VlLs"))
        return SkipValue(r, type, depth);
    if (depth > kMaxDescriptorDepth)
        return false;
    u32 count = r.U32();
    for (u32 i = 0; i < count; ++i)
    {
        if (r.Overrun())
            return false;
        u32 elementType = r.Key();
        if (elementType == T("Objc"))
        {
            if (!onElement(depth + 1))
                return false;
        }
        else if (!SkipValue(r, elementType, depth + 1))
            return false;
    }
    return !r.Overrun();
}
} // namespace

std::string ReadId(Reader& r)
{
    u32 length = r.U32();
    if (length == 0)
        length = 4;
    u64 keep = std::min<u64>({length, 255, r.Remaining()});
    std::string id(keep, '\0');
    r.Read(id.data(), keep);
    r.Skip(length - keep);
    return id;
}

Utf16Units ReadUnicode(Reader& r)
{
    u64 count = r.Count32(2);
    Utf16Units units(count);
    for (u16& u : units)
        u = r.U16();
    // Descriptor text ends with a NUL unit that is not part of the value.
    if (!units.empty() && units.back() == 0)
        units.pop_back();
    return units;
}

std::string ReadClass(Reader& r)
{
    SkipUnicode(r);
    return ReadId(r);
}

bool SkipValue(Reader& r, u32 type, int depth)
{
    if (depth > kMaxDescriptorDepth || r.Overrun())
        return false;
    switch (type)
    {
    case T("obj "): return SkipReference(r);
    case T("Objc"):
    case T("GlbO"): return WalkDescriptor(r, depth + 1, nullptr, [](const std::string&, u32) { return 0; });
    case T("VlLs"):
    {
        u32 count = r.U32();
        for (u32 i = 0; i < count; ++i)
            if (!SkipValue(r, r.Key(), depth + 1))
                return false;
        return !r.Overrun();
    }
    case T("doub"): return SkipBytes(r, 8);
    case T("UntF"): return SkipBytes(r, 12);
    case T("TEXT"): return SkipUnicode(r);
    case T("enum"): return SkipIdValue(r) && SkipIdValue(r);
    case T("alis"):
    case T("tdta"):
    case T("Pth "): return SkipBytes(r, r.U32());
    case T("bool"): return SkipBytes(r, 1);
    case T("long"): return SkipBytes(r, 4);
    case T("comp"): return SkipBytes(r, 8);
    case T("type"):
    case T("GlbC"): return SkipClass(r);
    case T("UnFl"):
    {
        r.Key();
        u64 count = r.U32();
        return SkipBytes(r, count * 8);
    }
    case T("ObAr"): r.U32(); return WalkDescriptor(r, depth + 1, nullptr, [](const std::string&, u32) { return 0; });
    default: return false;
    }
}

bool ReadNumber(Reader& r, u32 type, int depth, double& out)
{
    if (!IsNumber(type))
        return SkipValue(r, type, depth);
    out = ReadNumberRaw(r, type);
    return !r.Overrun();
}

bool ReadBoolValue(Reader& r, u32 type, int depth, u8& out)
{
    if (type != T("bool"))
        return SkipValue(r, type, depth);
    out = r.Bool();
    return !r.Overrun();
}

bool ReadEnumValue(Reader& r, u32 type, int depth, std::string& out)
{
    if (type != T("enum"))
        return SkipValue(r, type, depth);
    ReadId(r);
    out = ReadId(r);
    return !r.Overrun();
}

bool ReadTextValue(Reader& r, u32 type, int depth, Utf16Units& out)
{
    if (type != T("TEXT"))
        return SkipValue(r, type, depth);
    out = ReadUnicode(r);
    return !r.Overrun();
}

bool ReadColourDescriptor(Reader& r, int depth, u32& out)
{
    double v[4] = {0, 0, 0, 0};
    std::string cls;
    bool ok = WalkDescriptor(r, depth, &cls,
                             [&](const std::string& key, u32 type)
                             {
                                 static const char* const kKeys[][4] = {{"Rd  ", "Grn ", "Bl  ", nullptr},
                                                                        {"H   ", "Strt", "Brgh", nullptr},
                                                                        {"Cyn ", "Mgnt", "Ylw ", "Blck"},
                                                                        {"Lmnc", "A   ", "B   ", nullptr},
                                                                        {"Gry ", nullptr, nullptr, nullptr}};
                                 if (!IsNumber(type))
                                     return 0;
                                 for (const auto& row : kKeys)
                                     for (int i = 0; i < 4; ++i)
                                         if (row[i] && key == row[i])
                                         {
                                             v[i] = ReadNumberRaw(r, type);
                                             return 1;
                                         }
                                 if (key == "redFloat" || key == "greenFloat" || key == "blueFloat")
                                 {
                                     int i = key[0] == 'r' ? 0 : key[0] == 'g' ? 1 : 2;
                                     v[i] = ReadNumberRaw(r, type) * 255.0;
                                     return 1;
                                 }
                                 return 0;
                             });
    auto byte = [](double x) { return static_cast<u32>(std::clamp(std::trunc(x == x ? x : 0.0), 0.0, 255.0)); };
    if (cls == "HSBC")
        out = HsbToArgb(v[0], v[1] / 100.0, v[2] / 100.0);
    else if (cls == "CMYC")
        out = CmykToArgb(v[0] / 100.0, v[1] / 100.0, v[2] / 100.0, v[3] / 100.0);
    else if (cls == "LbCl")
        out = LabToArgb(v[0], v[1], v[2]);
    else if (cls == "Grsc")
        out = CmykToArgb(0.0, 0.0, 0.0, v[0] / 100.0); // grey is black ink 0..100 alone
    else
        out = 0xFF000000u | (byte(v[0]) << 16) | (byte(v[1]) << 8) | byte(v[2]);
    return ok;
}

bool ReadColourValue(Reader& r, u32 type, int depth, u32& out)
{
    if (type != T("Objc"))
        return SkipValue(r, type, depth);
    return ReadColourDescriptor(r, depth + 1, out);
}

Contour BuildContour(const ContourPoint* points, size_t count)
{
    Contour contour;
    if (count == 0)
        return contour;
    auto clampIndex = [](double v)
    {
        if (!(v == v))
            return 0;
        return static_cast<int>(std::clamp(std::trunc(v), 0.0, 255.0));
    };
    u8* table = contour.mTable.data();
    int firstX = clampIndex(points[0].mX);
    int lastX = clampIndex(points[count - 1].mX);
    for (int x = 0; x < firstX; ++x)
        table[x] = static_cast<u8>(clampIndex(points[0].mY));
    for (int x = lastX; x < 256; ++x)
        table[x] = static_cast<u8>(clampIndex(points[count - 1].mY));
    const double h = 1.0 / 512.0;
    for (size_t i = 0; i + 1 < count; ++i)
    {
        size_t a = i == 0 ? 0 : i - 1;
        if (points[i].mCorner)
            a = i;
        size_t b = std::min(i + 2, count - 1);
        if (points[i + 1].mCorner)
            b = i + 1;
        double px[4] = {points[a].mX, points[i].mX, points[i + 1].mX, points[b].mX};
        double py[4] = {points[a].mY, points[i].mY, points[i + 1].mY, points[b].mY};
        auto coefficients = [](const double p[4], double c[4])
        {
            c[0] = -0.5 * p[0] + 1.5 * p[1] - 1.5 * p[2] + 0.5 * p[3];
            c[1] = 1.0 * p[0] - 2.5 * p[1] + 2.0 * p[2] - 0.5 * p[3];
            c[2] = -0.5 * p[0] + 0.5 * p[2];
            c[3] = p[1];
        };
        double cx[4], cy[4];
        coefficients(px, cx);
        coefficients(py, cy);
        // Forward differences of the cubic.
        double fx = cx[3], dx1 = cx[0] * h * h * h + cx[1] * h * h + cx[2] * h,
               dx2 = 6 * cx[0] * h * h * h + 2 * cx[1] * h * h, dx3 = 6 * cx[0] * h * h * h;
        double fy = cy[3], dy1 = cy[0] * h * h * h + cy[1] * h * h + cy[2] * h,
               dy2 = 6 * cy[0] * h * h * h + 2 * cy[1] * h * h, dy3 = 6 * cy[0] * h * h * h;
        int lastSx = clampIndex(fx), lastSy = clampIndex(fy);
        table[lastSx] = static_cast<u8>(lastSy);
        for (int s = 0; s < 512; ++s)
        {
            fx += dx1, dx1 += dx2, dx2 += dx3;
            fy += dy1, dy1 += dy2, dy2 += dy3;
            int sx = clampIndex(fx + 0.5), sy = clampIndex(fy + 0.5);
            if (sx != lastSx || sy != lastSy)
                table[sx] = static_cast<u8>(sy);
            lastSx = sx, lastSy = sy;
        }
    }
    for (size_t i = 0; i < count; ++i)
        table[clampIndex(points[i].mX)] = static_cast<u8>(clampIndex(points[i].mY));
    return contour;
}

bool ReadContourValue(Reader& r, u32 type, int depth, Contour& out)
{
    if (type != T("Objc"))
        return SkipValue(r, type, depth);
    std::vector<ContourPoint> points;
    bool ok = WalkDescriptor(r, depth + 1, nullptr,
                             [&](const std::string& key, u32 itemType)
                             {
                                 if (key != "Crv ")
                                     return 0;
                                 bool listOk = ReadDescriptorList(r, itemType, depth + 2,
                                                                  [&](int d)
                                                                  {
                                                                      ContourPoint point;
                                                                      bool pointOk = WalkDescriptor(
                                                                          r, d, nullptr,
                                                                          [&](const std::string& k, u32 t)
                                                                          {
                                                                              if (k == "Hrzn" && IsNumber(t))
                                                                                  point.mX = ReadNumberRaw(r, t);
                                                                              else if (k == "Vrtc" && IsNumber(t))
                                                                                  point.mY = ReadNumberRaw(r, t);
                                                                              else if (k == "Cnty" && t == T("bool"))
                                                                                  point.mCorner = r.U8() == 0;
                                                                              else
                                                                                  return 0;
                                                                              return 1;
                                                                          });
                                                                      if (points.size() < 256)
                                                                          points.push_back(point);
                                                                      return pointOk;
                                                                  });
                                 return listOk ? 1 : -1;
                             });
    out = BuildContour(points.data(), points.size());
    return ok;
}

bool ReadGradientValue(Reader& r, u32 type, int depth, Gradient& out)
{
    if (type != T("Objc"))
        return SkipValue(r, type, depth);
    return WalkDescriptor(
        r, depth + 1, nullptr,
        [&](const std::string& key, u32 t)
        {
            bool ok = true;
            if (key == "Nm  ")
                ok = ReadTextValue(r, t, depth + 2, out.mName);
            else if (key == "Intr")
            {
                double v = 0.0;
                ok = ReadNumber(r, t, depth + 2, v);
                out.mInterpolation = TruncToInt(v);
            }
            else if (key == "Clrs")
            {
                ok = ReadDescriptorList(r, t, depth + 2,
                                        [&](int d)
                                        {
                                            Gradient::ColourStop stop;
                                            bool stopOk = WalkDescriptor(
                                                r, d, nullptr,
                                                [&](const std::string& k, u32 st)
                                                {
                                                    bool good = true;
                                                    if (k == "Clr ")
                                                        good = ReadColourValue(r, st, d + 1, stop.mColour);
                                                    else if (k == "Type")
                                                    {
                                                        std::string e;
                                                        good = ReadEnumValue(r, st, d + 1, e);
                                                        stop.mType = e == "FrgC" ? 0 : e == "BckC" ? 1 : 2;
                                                    }
                                                    else if ((k == "Lctn" || k == "Mdpn") && IsNumber(st))
                                                        (k == "Lctn" ? stop.mLocation : stop.mMidpoint) =
                                                            static_cast<u32>(TruncToInt(ReadNumberRaw(r, st)));
                                                    else
                                                        return 0;
                                                    return good ? 1 : -1;
                                                });
                                            if (out.mColourStops.size() < 1024)
                                                out.mColourStops.push_back(stop);
                                            return stopOk;
                                        });
            }
            else if (key == "Trns")
            {
                ok = ReadDescriptorList(r, t, depth + 2,
                                        [&](int d)
                                        {
                                            Gradient::TransparencyStop stop;
                                            bool stopOk =
                                                WalkDescriptor(r, d, nullptr,
                                                               [&](const std::string& k, u32 st)
                                                               {
                                                                   if (!IsNumber(st))
                                                                       return 0;
                                                                   double v = ReadNumberRaw(r, st);
                                                                   if (k == "Opct")
                                                                       stop.mOpacity = static_cast<u16>(
                                                                           std::clamp(TruncToInt(v), 0, 65535));
                                                                   else if (k == "Lctn")
                                                                       stop.mLocation = static_cast<u32>(TruncToInt(v));
                                                                   else if (k == "Mdpn")
                                                                       stop.mMidpoint = static_cast<u32>(TruncToInt(v));
                                                                   return 1;
                                                               });
                                            if (out.mTransparencyStops.size() < 1024)
                                                out.mTransparencyStops.push_back(stop);
                                            return stopOk;
                                        });
            }
            else
                return 0;
            return ok ? 1 : -1;
        });
}

bool ReadPatternValue(Reader& r, u32 type, int depth, PatternRef& out)
{
    if (type != T("Objc"))
        return SkipValue(r, type, depth);
    return WalkDescriptor(r, depth + 1, nullptr,
                          [&](const std::string& key, u32 t)
                          {
                              if (key == "Nm  ")
                                  return ReadTextValue(r, t, depth + 2, out.mName) ? 1 : -1;
                              if (key == "Idnt")
                                  return ReadTextValue(r, t, depth + 2, out.mId) ? 1 : -1;
                              return 0;
                          });
}

bool ReadPointValue(Reader& r, u32 type, int depth, Point& out)
{
    if (type != T("Objc"))
        return SkipValue(r, type, depth);
    return WalkDescriptor(r, depth + 1, nullptr,
                          [&](const std::string& key, u32 t)
                          {
                              if (!IsNumber(t))
                                  return 0;
                              if (key == "Hrzn")
                                  out.mX = ReadNumberRaw(r, t);
                              else if (key == "Vrtc")
                                  out.mY = ReadNumberRaw(r, t);
                              else
                                  return 0;
                              return 1;
                          });
}

u32 BlendModeFromEnum(const std::string& id)
{
    static const struct
    {
        const char* mId;
        u32 mMode;
    } kModes[] = {{"Nrml", 0},       {"Dslv", 1},     {"Drkn", 2},  {"Mltp", 3},        {"CBrn", 4},
                  {"linearBurn", 5}, {"Lghn", 6},     {"Scrn", 7},  {"CDdg", 8},        {"linearDodge", 9},
                  {"Ovrl", 10},      {"SftL", 11},    {"HrdL", 12}, {"vividLight", 13}, {"linearLight", 14},
                  {"pinLight", 15},  {"hardMix", 16}, {"Dfrn", 17}, {"Xclu", 18},       {"H   ", 19},
                  {"Strt", 20},      {"Clr ", 21},    {"Lmns", 22}};
    for (const auto& m : kModes)
        if (id == m.mId)
            return m.mMode;
    return 0;
}

u32 BevelTechniqueFromEnum(const std::string& id)
{
    if (id == "PrBL")
        return 1;
    if (id == "Slmt")
        return 2;
    return 0;
}

u32 GradientStyleFromEnum(const std::string& id)
{
    static const char* const kStyles[] = {"Lnr ", "Rdl ", "Angl", "Rflc", "Dmnd"};
    for (u32 i = 0; i < 5; ++i)
        if (id == kStyles[i])
            return i;
    return 0;
}

u32 PercentToByte(double percent)
{
    if (!(percent == percent))
        return 0;
    return static_cast<u32>(std::clamp(std::trunc(percent * 2.55 + 0.5), 0.0, 255.0));
}

i32 TruncToInt(double value)
{
    if (!(value == value))
        return 0;
    return static_cast<i32>(std::clamp(std::trunc(value), -2147483648.0, 2147483647.0));
}
} // namespace psd
