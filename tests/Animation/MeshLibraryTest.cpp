// Mesh libraries: geometry as read, index ranges, versions, damaged files and shared textures.
#include "AnimFileBuilder.h"
#include "Audio/LogCapture.h"
#include "ImageBuilders.h"
#include "Render/RenderTestSupport.h"

#include "Core/Media/Image/Image.h"
#include "Core/Media/Mesh/MeshLibrary.h"
#include "Core/Resource/ResourceManager.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using animtest::LibrarySpec;
using animtest::TwoQuads;
using lightwave::MeshLibrary;

namespace
{
QLResultEnum Parse(MeshLibrary& library, const std::string& bytes)
{
    return library.Parse(bytes.data(), bytes.size(), L"test.lib");
}
} // namespace

TEST(MeshLibraryRead, VerticesTakeTheRendererLayoutWithVFlipped)
{
    MeshLibrary library;
    ASSERT_EQ(QL_OK, Parse(library, TwoQuads().Build()));
    ASSERT_EQ(8u, library.GetVertices().size());
    const render::SVertex2D& v = library.GetVertices()[5];
    EXPECT_EQ(5.0f, v.x);
    EXPECT_EQ(-5.0f, v.y);
    EXPECT_EQ(1.0f, v.z);
    EXPECT_EQ(1.0f, v.w);
    EXPECT_EQ(0xFFFFFFFFu, v.diffuse);
    EXPECT_EQ(0xFFFFFFFFu, v.specular);
    EXPECT_EQ(1.0f, v.u);
    EXPECT_EQ(0.75f, v.v);
    EXPECT_EQ(1.0f, library.GetVertices()[0].v);
    EXPECT_EQ(2012u, library.GetVersion());
}

TEST(MeshLibraryRead, MeshesAreRangesWithBoundsAndIndicesRelativeToTheirFirstVertex)
{
    MeshLibrary library;
    ASSERT_EQ(QL_OK, Parse(library, TwoQuads("tex.png", "sub\\card.png").Build()));
    const lightwave::Mesh* card = library.FindMesh("card");
    ASSERT_NE(nullptr, card);
    EXPECT_EQ(nullptr, library.FindMesh("Card"));
    EXPECT_EQ(6u, card->indexCount);
    EXPECT_EQ(4u, card->secondCount);
    EXPECT_FALSE(card->flag);
    EXPECT_EQ(library.GetVertices().data() + 4, card->firstVertex);
    EXPECT_EQ(library.GetIndices().data() + 6, card->firstIndex);
    EXPECT_EQ(L"sub/card.png", card->texture);
    const std::vector<u32> expected = {0, 1, 2, 0, 2, 3};
    EXPECT_EQ(expected, std::vector<u32>(card->firstIndex, card->firstIndex + card->indexCount));
    // Each index, taken from the mesh's first vertex, names the vertex the bounds were grown by.
    EXPECT_EQ(-5.0f, card->firstVertex[card->firstIndex[0]].x);
    EXPECT_EQ((math::Box{-5, -5, 1, 5, 5, 2}), card->bounds);
    EXPECT_EQ((math::Box{0, 0, 0, 10, 20, 0}), library.FindMesh("box")->bounds);
    // Texture names are collected once each.
    EXPECT_EQ(2u, library.GetTextures().size());
    EXPECT_EQ(1u, library.GetTextures().count(L"sub/card.png"));
}

TEST(MeshLibraryRead, OnlyVersions2011And2012AreAccepted)
{
    for (u32 version : {2011u, 2012u, 2013u, 0u})
    {
        LibrarySpec spec = TwoQuads();
        spec.version = version;
        MeshLibrary library;
        const bool known = version == 2011 || version == 2012;
        EXPECT_EQ(known ? QL_OK : QL_FAIL, Parse(library, spec.Build())) << version;
        EXPECT_EQ(known ? 2u : 0u, library.GetMeshes().size()) << version;
    }
}

TEST(MeshLibraryRead, EveryTruncationFailsWithALogLineAndLeavesItEmpty)
{
    const std::string whole = TwoQuads().Build();
    for (size_t size = 0; size < whole.size(); ++size)
    {
        audiotest::LogCapture log;
        MeshLibrary library;
        ASSERT_EQ(QL_FAIL, library.Parse(whole.data(), size, L"cut.lib")) << size;
        EXPECT_TRUE(library.GetMeshes().empty() && library.GetVertices().empty() && library.GetIndices().empty());
        EXPECT_EQ(1, log.Count("cut.lib")) << size;
    }
}

TEST(MeshLibraryRead, CountsAndRangesBeyondTheDataAreRefused)
{
    std::vector<std::pair<const char*, LibrarySpec>> cases;
    auto add = [&](const char* what, auto change) {
        LibrarySpec spec = TwoQuads();
        change(spec);
        cases.emplace_back(what, spec);
    };
    add("index past the vertices", [](LibrarySpec& s) { s.indices[3] = 8; });
    add("index before the mesh's first vertex", [](LibrarySpec& s) { s.indices[7] = 3; });
    add("index range past the array", [](LibrarySpec& s) { s.meshes[1].indexCount = 7; });
    add("first index past the array", [](LibrarySpec& s) { s.meshes[1].firstIndex = 0xFFFFFFFFu; });
    add("first vertex past the array", [](LibrarySpec& s) { s.meshes[1].firstVertex = 9; });
    add("index entries shared by two meshes", [](LibrarySpec& s) {
        s.meshes[1].firstVertex = 0;
        s.meshes[1].firstIndex = 0;
    });
    for (const auto& [what, spec] : cases)
    {
        audiotest::LogCapture log;
        MeshLibrary library;
        EXPECT_EQ(QL_FAIL, Parse(library, spec.Build())) << what;
        EXPECT_EQ(1, log.Count("Mesh library 'test.lib'")) << what;
    }

    // Counts far larger than the file are refused before anything is made.
    animtest::ByteWriter huge;
    huge.U32(0x40000000u);
    MeshLibrary library;
    EXPECT_EQ(QL_FAIL, Parse(library, huge.mBytes));
    animtest::ByteWriter vertices;
    vertices.U32(0);
    vertices.U32(0x0FFFFFFFu);
    EXPECT_EQ(QL_FAIL, Parse(library, vertices.mBytes));
}

TEST(MeshLibraryRead, EmptyMeshesAndLibrariesAreValid)
{
    LibrarySpec spec;
    MeshLibrary library;
    EXPECT_EQ(QL_OK, Parse(library, spec.Build()));
    spec = TwoQuads();
    spec.meshes.push_back({"none", "tex.png", 8, 0, 12, 0});
    ASSERT_EQ(QL_OK, Parse(library, spec.Build()));
    EXPECT_EQ(0u, library.FindMesh("none")->indexCount);
    EXPECT_TRUE(library.FindMesh("none")->bounds.IsEmpty());
}

class MeshLibraryLoad : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(mHarness.Ok()); }

    void WriteTexture(const std::string& name)
    {
        std::filesystem::create_directories(mDir.Path() / "images" / std::filesystem::path(name).parent_path());
        imagetest::WriteFile(mDir.WPath("images/" + name),
                             imagetest::EncodePng(2, 2, std::vector<u32>(4, 0xFF336699u), true));
    }
    base::CountedPtr<MeshLibrary> Get(const std::string& file)
    {
        base::CountedPtr<MeshLibrary> library =
            resource::ResourceManager::Instance()->Get<MeshLibrary>(mDir.WPath(file));
        library->SetRender(mHarness.mRender.get());
        return library;
    }

    rendertest::Harness mHarness{render::HeadlessWindow::Backend::Recording};
    testsupport::TempDir mDir;
};

TEST_F(MeshLibraryLoad, MeshesWithOneTextureNameShareOneImage)
{
    WriteTexture("tex.png");
    WriteTexture("sub/card.png");
    mDir.Write("one.lib", TwoQuads().Build());
    mDir.Write("two.lib", TwoQuads("tex.png", "sub\\card.png").Build());
    {
        base::CountedPtr<MeshLibrary> one = Get("one.lib");
        ASSERT_EQ(QL_OK, one->Load());
        ASSERT_NE(nullptr, one->FindMesh("box")->image);
        EXPECT_EQ(one->FindMesh("box")->image, one->FindMesh("card")->image);
        EXPECT_EQ(1u, one->GetTextures().size());
        EXPECT_EQ(2, one->FindMesh("box")->image->GetWidth());

        base::CountedPtr<MeshLibrary> two = Get("two.lib");
        ASSERT_EQ(QL_OK, two->Load());
        EXPECT_NE(two->FindMesh("box")->image, two->FindMesh("card")->image);
        ASSERT_EQ(QL_OK, two->UnLoad());
        EXPECT_TRUE(two->GetTextures().empty() && two->GetMeshes().empty());
    }
    EXPECT_TRUE(resource::ResourceManager::Instance()->GetMap<MeshLibrary>().empty());
}

TEST_F(MeshLibraryLoad, MissingFilesAndTexturesFailTheLoad)
{
    audiotest::LogCapture log;
    base::CountedPtr<MeshLibrary> missing = Get("missing.lib");
    EXPECT_EQ(QL_FAIL, missing->Load());
    EXPECT_FALSE(missing->IsLoaded());
    EXPECT_EQ(1, log.Count("missing.lib"));

    mDir.Write("notex.lib", TwoQuads("absent.png", "absent.png").Build());
    base::CountedPtr<MeshLibrary> noTexture = Get("notex.lib");
    EXPECT_NE(QL_OK, noTexture->Load());
    EXPECT_FALSE(noTexture->IsLoaded());
    EXPECT_TRUE(noTexture->GetMeshes().empty());
    EXPECT_LE(1, log.Count("absent.png"));

    // Without a renderer the textures cannot be made.
    WriteTexture("tex.png");
    mDir.Write("norender.lib", TwoQuads().Build());
    base::CountedPtr<MeshLibrary> noRender = resource::ResourceManager::Instance()->Get<MeshLibrary>(
        mDir.WPath("norender.lib"));
    EXPECT_EQ(QL_FAIL, noRender->Load());
}
