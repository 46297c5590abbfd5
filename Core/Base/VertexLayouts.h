// The three vertex layouts of the renderer as plain data: element names, offsets and sizes.
#pragma once

#include "Core/Base/Types.h"

#include <cstddef>
#include <iterator>

namespace base
{
enum class VertexElementKind : u32
{
    Position,  // x, y, z
    PositionW, // x, y, z, w (pre-transformed)
    Diffuse,   // u32 0xAARRGGBB
    Specular,  // u32 0xAARRGGBB
    TexCoords, // u, v
};

struct VertexElementInfo
{
    const char* name;
    u32 offset; // bytes
    u32 size;   // bytes
    u32 components;
    VertexElementKind kind;
};

struct VertexLayoutInfo
{
    const char* name;
    u32 stride;
    u32 cacheSize;    // vertices per main buffer; 0 = no cache
    u32 overflowSize; // vertices per overflow buffer
    const VertexElementInfo* elements;
    size_t elementCount;
};

inline constexpr VertexElementInfo kVertex2DElements[] = {
    {"pos", 0, 16, 4, VertexElementKind::PositionW},
    {"diff", 16, 4, 4, VertexElementKind::Diffuse},
    {"spec", 20, 4, 4, VertexElementKind::Specular},
    {"tutv", 24, 8, 2, VertexElementKind::TexCoords},
};
inline constexpr VertexElementInfo kVertexGeomElements[] = {
    {"pos", 0, 12, 3, VertexElementKind::Position},
    {"diff", 12, 4, 4, VertexElementKind::Diffuse},
};
inline constexpr VertexElementInfo kVertexRTElements[] = {
    {"pos", 0, 16, 4, VertexElementKind::PositionW},
    {"tutv", 16, 8, 2, VertexElementKind::TexCoords},
};

// In id order: SVertex2D (0), SVertexGeom (1), SVertexRT (2).
inline constexpr VertexLayoutInfo kVertexLayouts[] = {
    {"SVertex2D", 32, 40960, 10240, kVertex2DElements, std::size(kVertex2DElements)},
    {"SVertexGeom", 16, 5120, 1024, kVertexGeomElements, std::size(kVertexGeomElements)},
    {"SVertexRT", 24, 0, 0, kVertexRTElements, std::size(kVertexRTElements)},
};
} // namespace base
