// Writers of valid animation files for the tests, field by field, and the committed mesh library.
#pragma once

#include "Core/Media/Animation/AnimLayer.h"
#include "Core/Media/Animation/Envelope.h"

#include <bit>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace animtest
{
class ByteWriter
{
public:
    void U32(u32 value)
    {
        for (int i = 0; i < 4; ++i)
            mBytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
    void F32(float value) { U32(std::bit_cast<u32>(value)); }
    void Str(const std::string& text)
    {
        U32(static_cast<u32>(text.size()));
        mBytes += text;
    }
    std::string mBytes;
};

inline animation::EnvelopeKey Key(float time, float value, u32 shape = animation::SHAPE_LINEAR, float p0 = 0.0f,
                                  float p1 = 0.0f, float p2 = 0.0f, float p3 = 0.0f)
{
    return {value, time, shape, {p0, p1, p2, p3}};
}

inline animation::Envelope Env(std::vector<animation::EnvelopeKey> keys, u32 pre = animation::BEHAVIOUR_CONSTANT,
                               u32 post = animation::BEHAVIOUR_CONSTANT)
{
    animation::Envelope envelope;
    envelope.mPre = pre;
    envelope.mPost = post;
    envelope.mKeys = std::move(keys);
    return envelope;
}

struct LayerSpec
{
    std::string name = "layer";
    std::string library = "null";
    std::string mesh = "null";
    u32 parent = 0;
    u32 flag1 = 0;
    u32 flag2 = 0;
    bool colour = false;
    animation::Envelope colourChannels[animation::COLOUR_COUNT];
    animation::Envelope channels[animation::CHANNEL_COUNT];
};

inline void WriteEnvelope(ByteWriter& out, const animation::Envelope& envelope)
{
    out.U32(static_cast<u32>(envelope.mKeys.size()));
    out.U32(envelope.mPre);
    out.U32(envelope.mPost);
    for (const animation::EnvelopeKey& key : envelope.mKeys)
    {
        for (float f : {key.value, key.time})
            out.F32(f);
        out.U32(key.shape);
        for (float p : key.p)
            out.F32(p);
        out.mBytes.append(8, '\0');
    }
}

struct AnimSpec
{
    std::string title = "anim";
    float start = 0.0f;
    float end = 1.0f;
    std::vector<LayerSpec> layers;

    std::string Build() const
    {
        ByteWriter out;
        out.Str(title);
        out.F32(start);
        out.F32(end);
        out.U32(static_cast<u32>(layers.size()));
        for (const LayerSpec& layer : layers)
        {
            out.Str(layer.name);
            out.Str(layer.library);
            out.Str(layer.mesh);
            for (u32 field : {layer.parent, layer.flag1, layer.flag2, layer.colour ? 1u : 0u})
                out.U32(field);
            if (layer.colour)
                for (const animation::Envelope& envelope : layer.colourChannels)
                    WriteEnvelope(out, envelope);
            for (const animation::Envelope& envelope : layer.channels)
                WriteEnvelope(out, envelope);
        }
        return out.mBytes;
    }
};

inline std::string U32Bytes(u32 value)
{
    ByteWriter out;
    out.U32(value);
    return out.mBytes;
}

// The committed fuzz seed "quads.lib", with its two textures renamed as given: "box" (vertices
// 0-3) and "card" (vertices 4-7), two triangles each. Index i sits at 4 + 4 i, the mesh count at
// 216; card's first vertex, second count, first index and index count at -20, -16, -12 and -8
// from the end, and the version last.
inline std::string TwoQuads(const std::string& boxTexture = "tex.png", const std::string& cardTexture = "tex.png")
{
    std::ifstream in(std::string(QL_SOURCE_DIR) + "/fuzz/Animation/corpus/lib/quads.lib", std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    for (const auto& [from, to] : {std::pair<std::string, std::string>{"sub\\card.png", cardTexture}, {"tex.png", boxTexture}})
    {
        const std::string old = U32Bytes(static_cast<u32>(from.size())) + from;
        bytes.replace(bytes.find(old), old.size(), U32Bytes(static_cast<u32>(to.size())) + to);
    }
    return bytes;
}

// The bytes with the u32 at `at` (counted from the end when negative) replaced.
inline std::string Patched(std::string bytes, long at, u32 value)
{
    bytes.replace(at < 0 ? bytes.size() + at : at, 4, U32Bytes(value));
    return bytes;
}
} // namespace animtest
