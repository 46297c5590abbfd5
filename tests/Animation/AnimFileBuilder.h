// Writers of valid animation files and mesh libraries for the tests, field by field.
#pragma once

#include "Core/Media/Animation/AnimLayer.h"
#include "Core/Media/Animation/Envelope.h"

#include <cstring>
#include <string>
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
    void F32(float value)
    {
        u32 raw;
        std::memcpy(&raw, &value, 4);
        U32(raw);
    }
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
    animation::EnvelopeKey key;
    key.time = time;
    key.value = value;
    key.shape = shape;
    key.p[0] = p0;
    key.p[1] = p1;
    key.p[2] = p2;
    key.p[3] = p3;
    return key;
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
        out.F32(key.value);
        out.F32(key.time);
        out.U32(key.shape);
        for (float p : key.p)
            out.F32(p);
        out.U32(0);
        out.U32(0);
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
            out.U32(layer.parent);
            out.U32(layer.flag1);
            out.U32(layer.flag2);
            out.U32(layer.colour ? 1 : 0);
            if (layer.colour)
                for (const animation::Envelope& envelope : layer.colourChannels)
                    WriteEnvelope(out, envelope);
            for (const animation::Envelope& envelope : layer.channels)
                WriteEnvelope(out, envelope);
        }
        return out.mBytes;
    }
};

struct VertexSpec
{
    float x, y, z, u, v;
};

struct MeshSpec
{
    std::string name;
    std::string texture;
    u32 firstVertex = 0;
    u32 secondCount = 0;
    u32 firstIndex = 0;
    u32 indexCount = 0;
};

struct LibrarySpec
{
    std::vector<u32> indices;
    std::vector<VertexSpec> vertices;
    std::vector<MeshSpec> meshes;
    u32 version = 2012;

    std::string Build() const
    {
        ByteWriter out;
        out.U32(static_cast<u32>(indices.size()));
        for (u32 index : indices)
            out.U32(index);
        out.U32(static_cast<u32>(vertices.size()));
        for (const VertexSpec& v : vertices)
        {
            out.F32(v.x);
            out.F32(v.y);
            out.F32(v.z);
            out.F32(v.u);
            out.F32(v.v);
        }
        out.U32(static_cast<u32>(meshes.size()));
        for (const MeshSpec& mesh : meshes)
        {
            out.Str(mesh.name);
            out.Str(mesh.texture);
            out.U32(mesh.firstVertex);
            out.U32(mesh.secondCount);
            out.U32(mesh.firstIndex);
            out.U32(mesh.indexCount);
        }
        out.U32(version);
        return out.mBytes;
    }
};

// Two quads in one library: "box" (vertices 0-3) and "card" (vertices 4-7), two triangles each,
// both textured with textures named as given.
inline LibrarySpec TwoQuads(const std::string& boxTexture = "tex.png", const std::string& cardTexture = "tex.png")
{
    LibrarySpec lib;
    lib.vertices = {{0, 0, 0, 0, 0},     {10, 0, 0, 1, 0},     {10, 20, 0, 1, 1},    {0, 20, 0, 0, 1},
                    {-5, -5, 1, 0, 0.25f}, {5, -5, 1, 1, 0.25f}, {5, 5, 2, 1, 1},      {-5, 5, 2, 0, 1}};
    lib.indices = {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7};
    lib.meshes = {{"box", boxTexture, 0, 4, 0, 6}, {"card", cardTexture, 4, 4, 6, 6}};
    return lib;
}
} // namespace animtest
