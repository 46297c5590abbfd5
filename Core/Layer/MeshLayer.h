// A layer that draws one textured mesh of a mesh library in its own space: the look of an
// animation layer that names a mesh.
#pragma once

#include "Core/Layer/Layer.h"

namespace lightwave
{
struct Mesh;
}

namespace animation
{
class MeshLayer : public layer::Layer
{
public:
    // Not owned: the mesh's library stays loaded while the layer may draw it. Not hit-testable.
    explicit MeshLayer(const lightwave::Mesh* mesh);

    // One indexed draw of the mesh's triangles with its texture, in the layer's colour.
    QLResultEnum DrawSelf(render::Graphics* graphics) override;
    void UpdateBounds() override;

    const lightwave::Mesh* GetMesh() const { return mMesh; }
    // The vertices the mesh's indices reach (from its first vertex).
    u32 GetVertexCount() const { return mVertexCount; }

private:
    const lightwave::Mesh* mMesh;
    u32 mVertexCount = 0;
};
} // namespace animation
