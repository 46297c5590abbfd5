// Writes large layered PSD documents for the benchmarks.
#include "BenchPsdWriter.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <zlib.h>

namespace psdbench
{
namespace
{
struct Out
{
    std::string s;
    void U8(u32 v) { s.push_back(static_cast<char>(v)); }
    void U16(u32 v) { U8(v >> 8), U8(v); }
    void U32(u32 v) { U16(v >> 16), U16(v); }
    void Raw(const std::string& b) { s += b; }
};

struct Sprite
{
    i32 top, left, width, height;
    u8 colour[3];
};

Sprite MakeSprite(u32 index, u32 width, u32 height)
{
    u32 seed = index * 2654435761u;
    Sprite s;
    s.width = 96 + static_cast<i32>(seed % 161);
    s.height = 96 + static_cast<i32>((seed >> 8) % 161);
    s.left = static_cast<i32>((seed >> 4) % (width - s.width));
    s.top = static_cast<i32>((seed >> 12) % (height - s.height));
    s.colour[0] = static_cast<u8>(seed >> 3), s.colour[1] = static_cast<u8>(seed >> 11),
    s.colour[2] = static_cast<u8>(seed >> 19);
    return s;
}

// Channel c of a sprite: a shaded disc with soft edges (alpha) on a transparent square.
std::vector<u8> SpritePlane(const Sprite& s, int c)
{
    std::vector<u8> plane(size_t(s.width) * s.height);
    double cx = s.width / 2.0, cy = s.height / 2.0, r = std::min(cx, cy) - 2;
    for (i32 y = 0; y < s.height; ++y)
        for (i32 x = 0; x < s.width; ++x)
        {
            double d = std::hypot(x - cx, y - cy);
            u8 v;
            if (c < 0)
                v = static_cast<u8>(std::clamp((r - d) * 64.0, 0.0, 255.0));
            else
                v = d < r ? static_cast<u8>(std::clamp(s.colour[c] * (1.0 - d / (2 * r)) + (x ^ y) % 4, 0.0, 255.0))
                          : 0;
            plane[size_t(y) * s.width + x] = v;
        }
    return plane;
}

std::vector<u8> BackgroundPlane(u32 width, u32 height, int c, bool flat = false)
{
    std::vector<u8> plane(size_t(width) * height);
    if (flat)
    {
        std::fill(plane.begin(), plane.end(), c < 0 ? 255 : 40 * (c + 1));
        return plane;
    }
    for (u32 y = 0; y < height; ++y)
        for (u32 x = 0; x < width; ++x)
            plane[size_t(y) * width + x] = c < 0 ? 255 : static_cast<u8>((x * (c + 1) / 16 + y / 8) & 0xFF);
    return plane;
}

void PackRow(const u8* row, u32 width, std::string& out)
{
    u32 i = 0;
    while (i < width)
    {
        u32 run = 1;
        while (i + run < width && run < 128 && row[i + run] == row[i])
            ++run;
        if (run >= 2)
        {
            out.push_back(static_cast<char>(257 - run));
            out.push_back(static_cast<char>(row[i]));
            i += run;
            continue;
        }
        u32 start = i, literal = 0;
        while (i < width && literal < 128 && !(i + 1 < width && row[i] == row[i + 1]))
            ++i, ++literal;
        if (literal == 0)
            ++i, ++literal;
        out.push_back(static_cast<char>(literal - 1));
        out.append(reinterpret_cast<const char*>(row + start), literal);
    }
}

// Compressed bytes of one plane (without the compression code).
std::string Encode(const std::vector<u8>& plane, u32 width, u32 height, u16 compression)
{
    if (compression == 2)
    {
        uLongf size = compressBound(plane.size());
        std::string out(size, '\0');
        compress2(reinterpret_cast<Bytef*>(out.data()), &size, plane.data(), plane.size(), 6);
        out.resize(size);
        return out;
    }
    Out counts;
    std::string rows;
    for (u32 y = 0; y < height; ++y)
    {
        size_t before = rows.size();
        PackRow(plane.data() + size_t(y) * width, width, rows);
        counts.U16(static_cast<u32>(rows.size() - before));
    }
    return counts.s + rows;
}

void Header(Out& o, u32 width, u32 height)
{
    o.Raw("8BPS");
    o.U16(1);
    o.s.append(6, '\0');
    o.U16(3), o.U32(height), o.U32(width), o.U16(8), o.U16(3);
    o.U32(0); // colour-mode data
    o.U32(0); // image resources
}

void Composite(Out& o, u32 width, u32 height, bool flat = false)
{
    o.U16(1);
    Out counts;
    std::string rows;
    for (int c = 0; c < 3; ++c)
    {
        std::vector<u8> plane = BackgroundPlane(width, height, c, flat);
        for (u32 y = 0; y < height; ++y)
        {
            size_t before = rows.size();
            PackRow(plane.data() + size_t(y) * width, width, rows);
            counts.U16(static_cast<u32>(rows.size() - before));
        }
    }
    o.Raw(counts.s + rows);
}
} // namespace

std::string MakeLayeredDocument(u32 width, u32 height, u32 sprites, u16 compression, bool flatBackground)
{
    Out records, data;
    struct LayerData
    {
        i32 top, left, bottom, right;
        std::vector<std::string> channels;
        std::string name;
    };
    std::vector<LayerData> layers;
    LayerData bg{0, 0, static_cast<i32>(height), static_cast<i32>(width), {}, "background"};
    for (int c : {-1, 0, 1, 2})
        bg.channels.push_back(Encode(BackgroundPlane(width, height, c, flatBackground), width, height, compression));
    layers.push_back(bg);
    for (u32 i = 0; i < sprites; ++i)
    {
        Sprite s = MakeSprite(i + 1, width, height);
        LayerData l{s.top, s.left, s.top + s.height, s.left + s.width, {}, "sprite" + std::to_string(i)};
        for (int c : {-1, 0, 1, 2})
            l.channels.push_back(Encode(SpritePlane(s, c), s.width, s.height, compression));
        layers.push_back(l);
    }
    Out info;
    info.U16(static_cast<u32>(layers.size()));
    for (const LayerData& l : layers)
    {
        info.U32(l.top), info.U32(l.left), info.U32(l.bottom), info.U32(l.right);
        info.U16(4);
        const i16 ids[4] = {-1, 0, 1, 2};
        for (int c = 0; c < 4; ++c)
            info.U16(static_cast<u16>(ids[c])), info.U32(static_cast<u32>(l.channels[c].size() + 2));
        info.Raw("8BIMnorm");
        info.U8(255), info.U8(0), info.U8(0), info.U8(0);
        Out extra;
        extra.U32(0), extra.U32(0);
        extra.U8(static_cast<u32>(l.name.size()));
        extra.Raw(l.name);
        while ((extra.s.size() - 8) % 4)
            extra.U8(0);
        info.U32(static_cast<u32>(extra.s.size()));
        info.Raw(extra.s);
    }
    for (const LayerData& l : layers)
        for (const std::string& c : l.channels)
            info.U16(compression), info.Raw(c);
    if (info.s.size() % 2)
        info.U8(0);
    Out o;
    Header(o, width, height);
    o.U32(static_cast<u32>(info.s.size() + 8));
    o.U32(static_cast<u32>(info.s.size()));
    o.Raw(info.s);
    o.U32(0); // global mask
    Composite(o, width, height, flatBackground);
    return o.s;
}

namespace
{
// A GIMP layer: a filled ellipse, its colour darkening down the rows, with a soft edge.
struct Painted
{
    i32 top, left, width, height;
    u8 colour[3];
};

Painted MakePainted(u32 index, u32 width, u32 height)
{
    u32 seed = (index + 7) * 2246822519u;
    seed ^= seed >> 13;
    Painted p;
    p.width = 96 + static_cast<i32>(seed % 289);
    p.height = 96 + static_cast<i32>((seed >> 9) % 289);
    p.left = static_cast<i32>((seed >> 3) % (width - p.width));
    p.top = static_cast<i32>((seed >> 14) % (height - p.height));
    p.colour[0] = static_cast<u8>(seed >> 5), p.colour[1] = static_cast<u8>(seed >> 12),
    p.colour[2] = static_cast<u8>(seed >> 21);
    return p;
}

// Planes -1 (alpha), 0, 1, 2 of a painted layer.
std::vector<std::vector<u8>> PaintedPlanes(const Painted& p)
{
    std::vector<std::vector<u8>> planes(4, std::vector<u8>(size_t(p.width) * p.height, 0));
    const double cx = p.width / 2.0, cy = p.height / 2.0, rx = cx - 1, ry = cy - 1;
    for (i32 y = 0; y < p.height; ++y)
    {
        const double shade = 1.0 - 0.4 * y / p.height;
        for (i32 x = 0; x < p.width; ++x)
        {
            const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
            // Distance to the edge in pixels, roughly: a one-pixel antialiased rim.
            const double edge = (1.0 - std::sqrt(dx * dx + dy * dy)) * std::min(rx, ry);
            const u8 alpha = static_cast<u8>(std::clamp(edge * 255.0, 0.0, 255.0));
            const size_t i = size_t(y) * p.width + x;
            planes[0][i] = alpha;
            if (alpha > 0)
                for (int c = 0; c < 3; ++c)
                    planes[c + 1][i] = static_cast<u8>(p.colour[c] * shade);
        }
    }
    return planes;
}

// A background as painted: a vertical gradient, each row one colour.
std::vector<u8> GimpBackground(u32 width, u32 height, int c)
{
    std::vector<u8> plane(size_t(width) * height);
    for (u32 y = 0; y < height; ++y)
        std::fill_n(plane.begin() + size_t(y) * width, width, static_cast<u8>(40 + (c + 1) * 30 + y * 60 / height));
    return plane;
}

void GimpRecord(Out& info, i32 top, i32 left, i32 bottom, i32 right, const std::vector<std::pair<i16, u32>>& channels,
                const std::string& name)
{
    info.U32(top), info.U32(left), info.U32(bottom), info.U32(right);
    info.U16(static_cast<u32>(channels.size()));
    for (const auto& [id, length] : channels)
        info.U16(static_cast<u16>(id)), info.U32(length);
    info.Raw("8BIMnorm");
    info.U8(255), info.U8(0), info.U8(8), info.U8(0); // GIMP sets flag bit 3
    Out extra;
    extra.U32(0), extra.U32(0); // no mask, blending ranges of length 0
    extra.U8(static_cast<u32>(name.size()));
    extra.Raw(name);
    while (extra.s.size() % 4)
        extra.U8(0);
    Out luni;
    luni.U32(static_cast<u32>(name.size() + 1));
    for (char ch : name)
        luni.U16(static_cast<u8>(ch));
    luni.U16(0);
    extra.Raw("8BIMluni"), extra.U32(static_cast<u32>(luni.s.size())), extra.Raw(luni.s);
    extra.Raw("8BIMlclr"), extra.U32(8), extra.s.append(8, '\0');
    info.U32(static_cast<u32>(extra.s.size()));
    info.Raw(extra.s);
}
} // namespace

std::string MakeGimpDocument(u32 width, u32 height, u32 layers)
{
    std::vector<std::vector<u8>> canvas;
    for (int c = 0; c < 3; ++c)
        canvas.push_back(GimpBackground(width, height, c));
    Out info, data;
    info.U16(layers + 1);
    std::vector<std::pair<i16, u32>> lengths;
    for (int c = 0; c < 3; ++c)
    {
        const std::string packed = Encode(canvas[c], width, height, 1);
        lengths.emplace_back(static_cast<i16>(c), static_cast<u32>(packed.size() + 2));
        data.U16(1), data.Raw(packed);
    }
    GimpRecord(info, 0, 0, static_cast<i32>(height), static_cast<i32>(width), lengths, "Background");
    for (u32 i = 0; i < layers; ++i)
    {
        const Painted p = MakePainted(i, width, height);
        const std::vector<std::vector<u8>> planes = PaintedPlanes(p);
        lengths.clear();
        for (int c = 0; c < 4; ++c)
        {
            const std::string packed = Encode(planes[c], p.width, p.height, 1);
            lengths.emplace_back(static_cast<i16>(c - 1), static_cast<u32>(packed.size() + 2));
            data.U16(1), data.Raw(packed);
        }
        GimpRecord(info, p.top, p.left, p.top + p.height, p.left + p.width, lengths, "Layer " + std::to_string(i + 1));
        // The composite GIMP stores: each layer over what is below it.
        for (i32 y = 0; y < p.height; ++y)
            for (i32 x = 0; x < p.width; ++x)
            {
                const size_t i = size_t(y) * p.width + x, j = size_t(p.top + y) * width + (p.left + x);
                const u32 a = planes[0][i];
                for (int c = 0; c < 3; ++c)
                    canvas[c][j] = static_cast<u8>((planes[c + 1][i] * a + canvas[c][j] * (255 - a) + 127) / 255);
            }
    }
    info.Raw(data.s);
    if (info.s.size() % 2)
        info.U8(0);
    Out o;
    o.Raw("8BPS");
    o.U16(1);
    o.s.append(6, '\0');
    o.U16(3), o.U32(height), o.U32(width), o.U16(8), o.U16(3);
    o.U32(0);
    Out resources;
    Out resolution;
    resolution.U32(72 << 16), resolution.U16(1), resolution.U16(2), resolution.U32(72 << 16), resolution.U16(1),
        resolution.U16(2);
    const std::pair<u16, std::string> blocks[] = {
        {1005, resolution.s}, {1024, std::string(2, '\0')}, {1039, std::string(672, '\x11')}}; // an sRGB profile's size
    for (const auto& [id, bytes] : blocks)
        resources.Raw("8BIM"), resources.U16(id), resources.U16(0), resources.U32(static_cast<u32>(bytes.size())),
            resources.Raw(bytes);
    o.U32(static_cast<u32>(resources.s.size()));
    o.Raw(resources.s);
    o.U32(static_cast<u32>(info.s.size() + 8));
    o.U32(static_cast<u32>(info.s.size()));
    o.Raw(info.s);
    o.U32(0); // global mask
    o.U16(1);
    Out counts;
    std::string rows;
    for (int c = 0; c < 3; ++c)
        for (u32 y = 0; y < height; ++y)
        {
            const size_t before = rows.size();
            PackRow(canvas[c].data() + size_t(y) * width, width, rows);
            counts.U16(static_cast<u32>(rows.size() - before));
        }
    o.Raw(counts.s + rows);
    return o.s;
}

u64 GimpDecodedBytes(u32 width, u32 height, u32 layers)
{
    u64 total = 2 * u64(width) * height * 4;
    for (u32 i = 0; i < layers; ++i)
    {
        const Painted p = MakePainted(i, width, height);
        total += u64(p.width) * p.height * 4;
    }
    return total;
}

std::string MakeCompositeOnly(u32 width, u32 height)
{
    Out o;
    Header(o, width, height);
    o.U32(0);
    Composite(o, width, height);
    return o.s;
}

std::vector<std::pair<std::string, u64>> ZipChannelStreams(u32 width, u32 height, u32 sprites)
{
    std::vector<std::pair<std::string, u64>> streams;
    for (int c : {-1, 0, 1, 2})
        streams.emplace_back(Encode(BackgroundPlane(width, height, c), width, height, 2), u64(width) * height);
    for (u32 i = 0; i < sprites; ++i)
    {
        Sprite s = MakeSprite(i + 1, width, height);
        for (int c : {-1, 0, 1, 2})
            streams.emplace_back(Encode(SpritePlane(s, c), s.width, s.height, 2), u64(s.width) * s.height);
    }
    return streams;
}

u64 DecodedBytes(u32 width, u32 height, u32 sprites)
{
    u64 total = 2 * u64(width) * height * 4; // background layer and the merged image
    for (u32 i = 0; i < sprites; ++i)
    {
        Sprite s = MakeSprite(i + 1, width, height);
        total += u64(s.width) * s.height * 4;
    }
    return total;
}
} // namespace psdbench
