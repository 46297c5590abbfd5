// A LightWave mesh library (".lib"): one vertex and one index array shared by its meshes, and
// one texture image per distinct texture name, loaded from "images/" beside the file.
#pragma once

#include "Core/Media/Image/Image.h"
#include "Core/Media/Mesh/Mesh.h"
#include "Core/Render/VertexFormat.h"
#include "Core/Resource/Resource.h"

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace render
{
class Render;
}

namespace lightwave
{
class MeshLibrary : public resource::Resource
{
public:
    // The trailing version word of the files this reader accepts.
    static constexpr u32 kVersion2011 = 2011;
    static constexpr u32 kVersion2012 = 2012;

    MeshLibrary() = default;
    ~MeshLibrary() override;

    void Destroy() override;
    // Reads the file named by the resource through the file manager, then loads the textures.
    QLResultEnum DoLoad() override;
    QLResultEnum DoUnLoad() override;

    // Reads the geometry and the meshes (no textures). On failure logs the cause with `source`
    // and the offset, and leaves the library empty.
    QLResultEnum Parse(const void* data, size_t size, const std::wstring& source);
    // Loads every texture from folder + its name through the render and hands the images to the
    // meshes. On failure the images loaded so far stay until the library is freed.
    QLResultEnum LoadTextures(const std::wstring& folder);

    // The first mesh of that exact name, or null.
    const Mesh* FindMesh(const std::string& name) const;

    void SetRender(render::Render* render) { mRender = render; }
    render::Render* GetRender() const { return mRender; }
    const std::vector<u32>& GetIndices() const { return mIndices; }
    const std::vector<render::SVertex2D>& GetVertices() const { return mVertices; }
    const std::vector<Mesh>& GetMeshes() const { return mMeshes; }
    const std::map<std::wstring, std::unique_ptr<render::Image>>& GetTextures() const { return mTextures; }
    u32 GetVersion() const { return mVersion; }

private:
    void Free();

    render::Render* mRender = nullptr;
    std::vector<u32> mIndices;
    std::vector<render::SVertex2D> mVertices;
    std::vector<Mesh> mMeshes;
    std::map<std::wstring, std::unique_ptr<render::Image>> mTextures; // null until loaded
    u32 mVersion = 0;
};
} // namespace lightwave
