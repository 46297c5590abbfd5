// Vertex format descriptors, their FVF codes and the registry by id.
#include "Core/Render/VertexFormat.h"

#include "Core/Render/BufferDoubleCache.h"

#include <algorithm>
#include <memory>

namespace render
{
VertexElement::VertexElement(const std::string& name, u32 offset, u32 size, u32 kind, u32& textureSet, u32 components,
                             VertexFormat& format)
    : mName(name), mComponents(components), mSize(size), mOffset(offset)
{
    switch (kind)
    {
    case VEK_POSITION: format.mFvf |= 0x2; break;
    case VEK_POSITION_W: format.mFvf |= 0x4002; break;
    case VEK_NORMAL: format.mFvf |= 0x10; break;
    case VEK_DIFFUSE: format.mFvf |= 0x40; break;
    case VEK_SPECULAR: format.mFvf |= 0x80; break;
    case VEK_TEXCOORD:
    {
        const u32 set = textureSet++;
        const u32 shift = 16 + 2 * set;
        if (components == 1)
            format.mFvf |= 3u << shift;
        else if (components == 3)
            format.mFvf |= 1u << shift;
        else if (components == 4)
            format.mFvf |= 2u << shift;
        break;
    }
    default: break;
    }
}

void VertexFormat::Add(const VertexElement& element)
{
    mElements.push_back(element);
    if (element.mName == "pos")
        mPosition = element;
    if (element.mName == "tutv")
        mTextureSets.emplace_back(element.mComponents, element.mOffset);
}

void VertexFormat::Finish(u32 textureSets)
{
    if (textureSets >= 1 && textureSets <= 8)
        mFvf += textureSets * 0x100;
}

const VertexElement* VertexFormat::Find(const std::string& name) const
{
    for (const VertexElement& element : mElements)
        if (element.mName == name)
            return &element;
    return nullptr;
}

namespace
{
struct Registry
{
    std::vector<VertexFormat> formats;
    std::vector<std::unique_ptr<BufferDoubleCacheCreator>> creators;
};

VertexFormat MakeFormat(u32 id, u32 cache, u32 chunk, u32 stride)
{
    VertexFormat format;
    format.mId = id;
    format.mCacheSize = cache;
    format.mChunkSize = chunk;
    format.mStride = stride;
    format.mFvf = 0;
    return format;
}

Registry& GetRegistry()
{
    // Built on first use in a fixed order, so ids never depend on static initialisation order.
    static Registry registry = []
    {
        Registry r;
        {
            VertexFormat f = MakeFormat(0, 40960, 10240, sizeof(SVertex2D));
            u32 sets = 0;
            f.Add(VertexElement("pos", 0, 16, VEK_POSITION_W, sets, 4, f));
            f.Add(VertexElement("diff", 16, 4, VEK_DIFFUSE, sets, 4, f));
            f.Add(VertexElement("spec", 20, 4, VEK_SPECULAR, sets, 4, f));
            f.Add(VertexElement("tutv", 24, 8, VEK_TEXCOORD, sets, 2, f));
            f.Finish(sets);
            r.formats.push_back(f);
            r.creators.push_back(std::make_unique<BufferDoubleCacheCreatorConcrete<VertexBuffer<SVertex2D>>>());
        }
        {
            VertexFormat f = MakeFormat(1, 5120, 1024, sizeof(SVertexGeom));
            u32 sets = 0;
            f.Add(VertexElement("pos", 0, 12, VEK_POSITION, sets, 3, f));
            f.Add(VertexElement("diff", 12, 4, VEK_DIFFUSE, sets, 4, f));
            f.Finish(sets);
            r.formats.push_back(f);
            r.creators.push_back(std::make_unique<BufferDoubleCacheCreatorConcrete<VertexBuffer<SVertexGeom>>>());
        }
        {
            VertexFormat f = MakeFormat(2, 0, 0, sizeof(SVertexRT));
            u32 sets = 0;
            f.Add(VertexElement("pos", 0, 16, VEK_POSITION_W, sets, 4, f));
            f.Add(VertexElement("tutv", 16, 8, VEK_TEXCOORD, sets, 2, f));
            f.Finish(sets);
            r.formats.push_back(f);
            r.creators.push_back(std::make_unique<BufferDoubleCacheCreatorConcrete<VertexBuffer<SVertexRT>>>());
        }
        return r;
    }();
    return registry;
}
} // namespace

template <> const VertexFormat& GetVertexFormat<SVertex2D>() { return GetRegistry().formats[0]; }
template <> const VertexFormat& GetVertexFormat<SVertexGeom>() { return GetRegistry().formats[1]; }
template <> const VertexFormat& GetVertexFormat<SVertexRT>() { return GetRegistry().formats[2]; }

u32 VertexFormats::Count() { return static_cast<u32>(GetRegistry().formats.size()); }

const VertexFormat* VertexFormats::Get(u32 id)
{
    Registry& r = GetRegistry();
    return id < r.formats.size() ? &r.formats[id] : nullptr;
}

BufferDoubleCacheCreator* VertexFormats::GetCreator(u32 id)
{
    Registry& r = GetRegistry();
    return id < r.creators.size() ? r.creators[id].get() : nullptr;
}

u32 PackColour(const float colour[4])
{
    auto channel = [](float value)
    {
        // No wrap-around for values outside [0, 1]; NaN (a fade divided by zero) packs as 0.
        value = value >= 0.0f ? std::min(value, 1.0f) : 0.0f;
        return static_cast<u32>(static_cast<int>(value * 255.0f) & 255);
    };
    return channel(colour[3]) << 24 | channel(colour[0]) << 16 | channel(colour[1]) << 8 | channel(colour[2]);
}

void SetVertexColours(SVertex2D* vertices, u32 count, const float colour[4])
{
    const u32 packed = PackColour(colour);
    for (u32 i = 0; i < count; ++i)
        vertices[i].diffuse = packed;
}
} // namespace render
