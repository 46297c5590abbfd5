// Mesh layers on the recording device: a library mesh drawn where the layer sits, with its
// texture coordinates, the layer's colour and its own triangles, and boxed by its bounds.
#include "AnimFileBuilder.h"
#include "Graphics/GraphicsFixture.h"

#include "Core/Base/Singletone.h"
#include "Core/Layer/MeshLayer.h"
#include "Core/Media/Mesh/MeshLibrary.h"
#include "Core/Render/RenderState.h"

using rendertest::Only;

namespace
{
class MeshLayerDraw : public graphicstest::GraphicsFixture
{
protected:
    void SetUp() override
    {
        GraphicsFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        std::filesystem::create_directories(mDir.Path() / "images");
        imagetest::WriteFile(mDir.WPath("images/tex.png"),
                             imagetest::EncodePng(2, 2, std::vector<u32>(4, 0xFF336699u), true));
        mDir.Write("quads.lib", animtest::TwoQuads());
        mLibrary = resource::ResourceManager::Instance()->Get<lightwave::MeshLibrary>(mDir.WPath("quads.lib"));
        mLibrary->SetRender(mRender);
        ASSERT_EQ(QL_OK, mLibrary->Load());
    }
    void TearDown() override
    {
        mLibrary.Release();
        base::SingletoneBase::DestroyAll();
        GraphicsFixture::TearDown();
    }

    // One draw of the layer: its indexed draws and the vertices and indices they name.
    struct Drawn
    {
        std::vector<rendertest::Command> draws;
        std::vector<render::SVertex2D> vertices;
    };
    Drawn Draw(layer::Layer& layer)
    {
        EXPECT_EQ(QL_OK, layer.Render(mGraphics.get()));
        const render::SVertex2D* cache = CacheVertices<render::SVertex2D>();
        Drawn drawn;
        drawn.draws = Only(EndAndDecode(), render::CMD_DRAW_INDEXED);
        for (const auto& draw : drawn.draws)
            drawn.vertices.insert(drawn.vertices.end(), cache + draw.args[4], cache + draw.args[4] + draw.args[5]);
        return drawn;
    }

    testsupport::TempDir mDir;
    base::CountedPtr<lightwave::MeshLibrary> mLibrary;
};
} // namespace

TEST_F(MeshLayerDraw, AMeshDrawsItsTrianglesWhereTheLayerSitsInItsColourAndIsBoxedByItsBounds)
{
    // "card" starts at the library's fifth vertex: its own four are drawn, not the box's.
    animation::MeshLayer card(mLibrary->FindMesh("card"));
    EXPECT_EQ(4u, card.GetVertexCount());
    EXPECT_FALSE(card.mHitTestable);
    card.SetPosition(100.0f, 50.0f);
    card.mAlpha = 0.5f;
    const Drawn drawn = Draw(card);
    ASSERT_EQ(1u, drawn.draws.size());
    EXPECT_EQ(render::PRIM_TRIANGLELIST, drawn.draws[0].args[0]);
    EXPECT_EQ(2u, drawn.draws[0].args[3]) << "two triangles";
    ASSERT_EQ(4u, drawn.vertices.size());
    // (-5, -5) and (5, 5) of the mesh, moved to the layer and half a pixel up and left.
    EXPECT_FLOAT_EQ(94.5f, drawn.vertices[0].x);
    EXPECT_FLOAT_EQ(44.5f, drawn.vertices[0].y);
    EXPECT_FLOAT_EQ(104.5f, drawn.vertices[2].x);
    EXPECT_FLOAT_EQ(54.5f, drawn.vertices[2].y);
    EXPECT_FLOAT_EQ(0.75f, drawn.vertices[0].v) << "as the library flipped it";
    EXPECT_FLOAT_EQ(1.0f, drawn.vertices[2].u);
    EXPECT_EQ(0x7FFFFFFFu, drawn.vertices[0].diffuse) << "white at the layer's alpha";

    card.UpdateTreeBounds();
    EXPECT_EQ((math::Box{-5.0f, -5.0f, 0.0f, 5.0f, 5.0f, 0.0f}), card.mOwnBox);
}

TEST_F(MeshLayerDraw, NothingIsDrawnWithoutAMeshOrATextureOrTriangles)
{
    lightwave::Mesh bare = *mLibrary->FindMesh("box");
    bare.image = nullptr;
    lightwave::Mesh flat = *mLibrary->FindMesh("box");
    flat.indexCount = 2;
    animation::MeshLayer none(nullptr), untextured(&bare), degenerate(&flat);
    layer::Layer root;
    root.AddChild(&none);
    root.AddChild(&untextured);
    root.AddChild(&degenerate);
    EXPECT_TRUE(Draw(root).draws.empty());
    root.UpdateTreeBounds();
    EXPECT_TRUE(none.mOwnBox.IsEmpty());
}
