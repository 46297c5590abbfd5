// Mesh drawing through the frame caches, as image draws do.
#include "Core/Layer/MeshLayer.h"

#include "Core/Layer/LayerDraw.h"
#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Image/Image.h"
#include "Core/Media/Mesh/Mesh.h"
#include "Core/Render/Render.h"
#include "Core/Render/VertexFormat.h"

#include <algorithm>

namespace animation
{
namespace
{
// The frame caches take 16-bit indices.
constexpr u32 kMaxVertices = 0x10000;
} // namespace

MeshLayer::MeshLayer(const lightwave::Mesh* mesh) : mMesh(mesh)
{
    mHasOwnBounds = true;
    mHitTestable = false;
    if (mesh && mesh->firstIndex)
        for (u32 i = 0; i < mesh->indexCount; ++i)
            mVertexCount = std::max(mVertexCount, mesh->firstIndex[i] + 1);
}

QLResultEnum MeshLayer::DrawSelf(render::Graphics* graphics)
{
    if (!graphics || !mMesh || !mMesh->image || !mMesh->firstVertex || mMesh->indexCount < 3 ||
        mVertexCount > kMaxVertices)
        return QL_OK;
    layer::LayerDrawScope scope(graphics, *this, render::BLEND_ALPHA);
    render::Graphics& g = *graphics;
    render::SVertex2D* vertices = nullptr;
    u16* indices = nullptr;
    u32 first = 0, firstIndex = 0;
    render::Buffer* vertexBuffer = nullptr;
    render::Buffer* indexBuffer = nullptr;
    QLResultEnum result = g.AllocateVertices<render::SVertex2D>(mVertexCount, &vertices, &first, &vertexBuffer);
    if (result != QL_OK ||
        (result = g.AllocateIndices(mMesh->indexCount, &indices, &firstIndex, &indexBuffer)) != QL_OK)
        return result;
    const u32 diffuse = g.GetPackedColor();
    const u32 specular = g.GetTintSpecular();
    for (u32 i = 0; i < mVertexCount; ++i)
    {
        vertices[i] = mMesh->firstVertex[i];
        vertices[i].diffuse = diffuse;
        vertices[i].specular = specular;
    }
    for (u32 i = 0; i < mMesh->indexCount; ++i)
        indices[i] = static_cast<u16>(first + mMesh->firstIndex[i]);

    const render::VertexFormat& format = render::GetVertexFormat<render::SVertex2D>();
    if ((result = mMesh->image->MapTextureCoords(vertices, format, mVertexCount)) != QL_OK)
        return result;
    g.ApplyTransform(vertices, format, mVertexCount);
    if ((result = g.SubmitState(g.GetTexturedShader(), vertexBuffer, indexBuffer)) != QL_OK ||
        (result = g.BindTexture(mMesh->image->GetTexture())) != QL_OK)
        return result;
    return g.GetRender()->DrawIndexed(render::PRIM_TRIANGLELIST, firstIndex, mMesh->indexCount / 3, first,
                                      mVertexCount);
}

void MeshLayer::UpdateBounds()
{
    mOwnBox.SetEmpty();
    if (!mMesh || mMesh->bounds.IsEmpty())
        return;
    mOwnBox = mMesh->bounds;
    mOwnBox.minZ = mOwnBox.maxZ = 0.0f; // drawn flat, as every layer
}
} // namespace animation
