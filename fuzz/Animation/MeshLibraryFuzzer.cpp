// Fuzzes the mesh library reader and walks every mesh it accepted through its own indices.
#include "Core/Media/Mesh/MeshLibrary.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    lightwave::MeshLibrary library;
    if (library.Parse(data, size, L"fuzz") != QL_OK)
        return 0;
    for (const lightwave::Mesh& mesh : library.GetMeshes())
    {
        if (library.FindMesh(mesh.name) == nullptr)
            std::abort();
        for (u32 i = 0; i < mesh.indexCount; ++i)
        {
            const render::SVertex2D& v = mesh.firstVertex[mesh.firstIndex[i]];
            const bool inside =
                !(v.x < mesh.bounds.minX || v.x > mesh.bounds.maxX || v.y < mesh.bounds.minY || v.y > mesh.bounds.maxY);
            if (!inside && v.x == v.x && v.y == v.y) // positions that are not numbers widen nothing
                std::abort();
        }
    }
    return 0;
}
