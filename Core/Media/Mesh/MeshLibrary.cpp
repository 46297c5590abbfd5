// Reading mesh libraries: counts and ranges are checked against the bytes and arrays they
// describe before anything is allocated or indexed.
#include "Core/Media/Mesh/MeshLibrary.h"

#include "Core/Base/Log.h"
#include "Core/Base/StringConvert.h"
#include "Core/File/FileManager.h"
#include "Core/File/Path.h"
#include "Core/File/ReadFile.h"
#include "Core/Media/Image/Image.h"
#include "Core/Media/Image/ImageFactory.h"
#include "Core/Media/Mesh/ByteReader.h"
#include "Core/Resource/ResourceManager.h"

#include <algorithm>

namespace lightwave
{
namespace
{
constexpr u64 kVertexRecordSize = 20;  // x, y, z, u, v
constexpr u64 kMinMeshRecordSize = 24; // two empty strings and four words

QLResultEnum Fail(const std::wstring& source, const char* what, size_t offset)
{
    QL_LOG(L"Mesh library '%s': %s at offset %d\n")
        << base::LogStyle::Error << source << what << static_cast<unsigned long long>(offset);
    return QL_FAIL;
}
} // namespace

MeshLibrary::~MeshLibrary() { Free(); }

void MeshLibrary::Destroy() { resource::ResourceManager::ReleaseResource(this); }

void MeshLibrary::Free()
{
    mTextures.clear();
    mMeshes.clear();
    mIndices.clear();
    mVertices.clear();
    mVersion = 0;
}

QLResultEnum MeshLibrary::DoLoad()
{
    Free();
    std::string bytes;
    if (!file::ReadWholeFile(*file::FileManager::Instance(), GetName(), bytes))
    {
        QL_LOG(L"Cannot read mesh library '%s'\n") << base::LogStyle::Error << GetName();
        return QL_FAIL;
    }
    QLResultEnum result = Parse(bytes.data(), bytes.size(), GetName());
    if (result == QL_OK)
        result = LoadTextures(file::GetDirectoryWithoutDrive(GetName()) + L"images/");
    if (result != QL_OK)
        Free();
    return result;
}

QLResultEnum MeshLibrary::DoUnLoad()
{
    Free();
    return QL_OK;
}

QLResultEnum MeshLibrary::Parse(const void* data, size_t size, const std::wstring& source)
{
    Free();
    ByteReader in(data, size);
    u32 count = 0;
    if (!in.ReadU32(count) || !in.Fits(count, 4))
        return Fail(source, "index count beyond the end", in.Offset());
    mIndices.resize(count);
    for (u32& index : mIndices)
        in.ReadU32(index);

    if (!in.ReadU32(count) || !in.Fits(count, kVertexRecordSize))
    {
        Free();
        return Fail(source, "vertex count beyond the end", in.Offset());
    }
    mVertices.resize(count);
    for (render::SVertex2D& vertex : mVertices)
    {
        in.ReadF32(vertex.x);
        in.ReadF32(vertex.y);
        in.ReadF32(vertex.z);
        vertex.w = 1.0f;
        vertex.diffuse = 0xFFFFFFFFu;
        vertex.specular = 0xFFFFFFFFu;
        in.ReadF32(vertex.u);
        in.ReadF32(vertex.v);
        vertex.v = 1.0f - vertex.v; // the exporter's v runs upwards
    }

    if (!in.ReadU32(count) || !in.Fits(count, kMinMeshRecordSize))
    {
        Free();
        return Fail(source, "mesh count beyond the end", in.Offset());
    }
    // An index entry belongs to at most one mesh: each is rebased once, relative to its mesh.
    std::vector<bool> claimed(mIndices.size(), false);
    mMeshes.resize(count);
    for (Mesh& mesh : mMeshes)
    {
        const size_t at = in.Offset();
        std::string texture;
        u32 firstVertex = 0, firstIndex = 0;
        if (!in.ReadString(mesh.name) || !in.ReadString(texture) || !in.ReadU32(firstVertex) ||
            !in.ReadU32(mesh.secondCount) || !in.ReadU32(firstIndex) || !in.ReadU32(mesh.indexCount))
        {
            Free();
            return Fail(source, "mesh record cut short", at);
        }
        if (firstVertex > mVertices.size() || u64(firstIndex) + mesh.indexCount > mIndices.size())
        {
            Free();
            return Fail(source, "mesh range outside the arrays", at);
        }
        mesh.texture = base::StringToWString(texture, 0);
        std::replace(mesh.texture.begin(), mesh.texture.end(), L'\\', L'/');
        mesh.flag = false;
        mesh.bounds.SetEmpty();
        mesh.firstVertex = mVertices.data() + firstVertex;
        mesh.firstIndex = mIndices.data() + firstIndex;
        for (u32 i = firstIndex; i < firstIndex + mesh.indexCount; ++i)
        {
            const u32 vertex = mIndices[i];
            if (vertex >= mVertices.size() || vertex < firstVertex || claimed[i])
            {
                Free();
                return Fail(source, claimed[i] ? "index entry shared by two meshes" : "index outside its mesh", at);
            }
            claimed[i] = true;
            const render::SVertex2D& position = mVertices[vertex];
            mesh.bounds.AddPoint(position.x, position.y, position.z);
            mIndices[i] = vertex - firstVertex;
        }
        mTextures.emplace(mesh.texture, nullptr);
    }

    if (!in.ReadU32(mVersion))
    {
        Free();
        return Fail(source, "version missing", in.Offset());
    }
    if (mVersion != kVersion2011 && mVersion != kVersion2012)
    {
        QL_LOG(L"Mesh library '%s': unknown version %d\n") << base::LogStyle::Error << source << mVersion;
        Free();
        return QL_FAIL;
    }
    return QL_OK;
}

QLResultEnum MeshLibrary::LoadTextures(const std::wstring& folder)
{
    if (!mRender && !mTextures.empty())
    {
        QL_LOG(L"Mesh library '%s': no renderer to load its textures\n") << base::LogStyle::Error << GetName();
        return QL_FAIL;
    }
    for (auto& [name, image] : mTextures)
    {
        if (image)
            continue;
        render::Image* loaded = nullptr;
        const QLResultEnum result = render::LoadImage(mRender, folder + name, nullptr, &loaded, nullptr);
        if (result != QL_OK || !loaded)
            return result != QL_OK ? result : QL_FAIL; // the texture's own load logged why
        image.reset(loaded);
    }
    for (Mesh& mesh : mMeshes)
    {
        auto found = mTextures.find(mesh.texture);
        mesh.image = found != mTextures.end() ? found->second.get() : nullptr;
        if (!mesh.image)
            return QL_FAIL;
    }
    return QL_OK;
}

const Mesh* MeshLibrary::FindMesh(const std::string& name) const
{
    for (const Mesh& mesh : mMeshes)
        if (mesh.name == name)
            return &mesh;
    return nullptr;
}
} // namespace lightwave
