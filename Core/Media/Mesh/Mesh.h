// One textured mesh of a mesh library: a range of the library's indices over its vertices.
#pragma once

#include "Core/Base/Box.h"
#include "Core/Base/Types.h"

#include <string>

namespace render
{
class Image;
struct SVertex2D;
} // namespace render

namespace lightwave
{
struct Mesh
{
    std::string name;
    std::wstring texture; // relative to the library's "images/" folder, "/" separated
    bool flag = false;
    u32 indexCount = 0;
    // Entries are vertex numbers relative to firstVertex.
    const u32* firstIndex = nullptr;
    u32 secondCount = 0; // kept as read
    const render::SVertex2D* firstVertex = nullptr;
    math::Box bounds;               // of the positions the indices refer to
    render::Image* image = nullptr; // owned by the library
};
} // namespace lightwave
