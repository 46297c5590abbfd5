// The three vertex layouts, their descriptors (elements, stride, FVF code) and the registry of
// descriptors and cache creators by format id.
#pragma once

#include "Core/Base/Types.h"

#include <string>
#include <utility>
#include <vector>

namespace render
{
class Render;
class BufferDoubleCacheBase;

struct SVertex2D
{
    float x, y, z, w;
    u32 diffuse;  // 0xAARRGGBB
    u32 specular; // 0xAARRGGBB
    float u, v;
};
struct SVertexGeom
{
    float x, y, z;
    u32 diffuse;
};
struct SVertexRT
{
    float x, y, z, w;
    float u, v;
};
static_assert(sizeof(SVertex2D) == 32 && sizeof(SVertexGeom) == 16 && sizeof(SVertexRT) == 24);

// Element kinds and the FVF bits they add.
enum VertexElementKind : u32
{
    VEK_POSITION = 0,   // 0x2
    VEK_POSITION_W = 1, // 0x4002
    VEK_NORMAL = 2,     // 0x10
    VEK_DIFFUSE = 3,    // 0x40
    VEK_SPECULAR = 4,   // 0x80
    VEK_TEXCOORD = 5,   // texture-size bits of its set
};

struct VertexFormat;

struct VertexElement
{
    VertexElement() = default;
    // Stores the element and ORs its kind's bits into the format's FVF code; texture-coordinate
    // elements take their set from `textureSet` and advance it.
    VertexElement(const std::string& name, u32 offset, u32 size, u32 kind, u32& textureSet, u32 components,
                  VertexFormat& format);
    std::string mName;
    u32 mComponents = 0;
    u32 mSize = 0;
    u32 mOffset = 0;
};

struct VertexFormat
{
    u32 mId = 0;
    u32 mCacheSize = 0;
    u32 mChunkSize = 0;
    u32 mStride = 0;
    u32 mFvf = 0;
    VertexElement mPosition;
    std::vector<VertexElement> mElements;
    std::vector<std::pair<u32, u32>> mTextureSets; // (components, offset)

    // Appends an element (and, for "pos", keeps it as the position element).
    void Add(const VertexElement& element);
    // After the last element: adds the texture count (n x 0x100 for 1..8 sets).
    void Finish(u32 textureSets);
    const VertexElement* Find(const std::string& name) const;
};

// Makes a frame cache for one vertex layout.
class BufferDoubleCacheCreator
{
public:
    virtual ~BufferDoubleCacheCreator() = default;
    virtual QLResultEnum CreateCache(Render* render, u32 count, u32 chunk, BufferDoubleCacheBase** out) = 0;
};

// Descriptor of a layout type (SVertex2D, SVertexGeom, SVertexRT).
template <class T> const VertexFormat& GetVertexFormat();

// The registry: filled on first use, in the order SVertex2D (0), SVertexGeom (1), SVertexRT (2),
// so it never depends on the order of static initialisation across files.
class VertexFormats
{
public:
    static u32 Count();
    static const VertexFormat* Get(u32 id); // null for an unknown id
    static BufferDoubleCacheCreator* GetCreator(u32 id);
};

// Writes the colour (r, g, b, a floats, clamped to [0, 1]) as 0xAARRGGBB into each vertex.
void SetVertexColours(SVertex2D* vertices, u32 count, const float colour[4]);
u32 PackColour(const float colour[4]);
} // namespace render
