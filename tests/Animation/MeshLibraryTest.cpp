// Mesh libraries: geometry as read, index ranges, versions, damaged files and shared textures.
#include "AnimFileBuilder.h"

#include "Core/Media/Image/Image.h"
#include "Core/Media/Mesh/MeshLibrary.h"

#include <tuple>

using animtest::Patched;
using animtest::TwoQuads;
using animtest::U32Bytes;
using lightwave::MeshLibrary;

namespace
{
QLResultEnum Parse(MeshLibrary& library, const std::string& bytes)
{
    return library.Parse(bytes.data(), bytes.size(), L"test.lib");
}
} // namespace

TEST(MeshLibraryRead, VerticesTakeTheRendererLayoutMeshesAreRangesWithBoundsAndDamageIsRefused)
{
    MeshLibrary library;
    ASSERT_EQ(QL_OK, Parse(library, TwoQuads("tex.png", "sub\\card.png")));
    ASSERT_EQ(8u, library.GetVertices().size());
    const render::SVertex2D& v = library.GetVertices()[5];
    EXPECT_EQ(std::make_tuple(5.0f, -5.0f, 1.0f, 1.0f, 0xFFFFFFFFu, 0xFFFFFFFFu, 1.0f, 0.75f),
              std::tie(v.x, v.y, v.z, v.w, v.diffuse, v.specular, v.u, v.v))
        << "v is flipped";
    EXPECT_EQ(1.0f, library.GetVertices()[0].v);
    EXPECT_EQ(2012u, library.GetVersion());

    const lightwave::Mesh* card = library.FindMesh("card");
    ASSERT_NE(nullptr, card);
    EXPECT_EQ(nullptr, library.FindMesh("Card"));
    EXPECT_EQ(std::make_tuple(6u, 4u, false), std::tie(card->indexCount, card->secondCount, card->flag));
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

    // Only versions 2011 and 2012 are accepted, and empty meshes are valid.
    for (u32 version : {2011u, 2012u, 2013u, 0u})
    {
        MeshLibrary versioned;
        const bool known = version == 2011 || version == 2012;
        EXPECT_EQ(known ? QL_OK : QL_FAIL, Parse(versioned, Patched(TwoQuads(), -4, version))) << version;
        EXPECT_EQ(known ? 2u : 0u, versioned.GetMeshes().size()) << version;
    }
    EXPECT_EQ(QL_OK, Parse(library, std::string(12, '\0') + U32Bytes(2012)));
    std::string none = Patched(TwoQuads(), 216, 3);
    none.insert(none.size() - 4, U32Bytes(4) + "none" + U32Bytes(7) + "tex.png" + U32Bytes(8) + U32Bytes(0) +
                                     U32Bytes(12) + U32Bytes(0));
    ASSERT_EQ(QL_OK, Parse(library, none));
    EXPECT_EQ(0u, library.FindMesh("none")->indexCount);
    EXPECT_TRUE(library.FindMesh("none")->bounds.IsEmpty());

    // Every truncation, and every count or range beyond the data, is refused with a log line.
    const std::string quads = TwoQuads();
    animtest::ExpectEveryCutRefused(quads,
                                    [&](size_t size)
                                    {
                                        MeshLibrary cut;
                                        return cut.Parse(quads.data(), size, L"cut.lib") == QL_FAIL &&
                                               cut.GetMeshes().empty() && cut.GetVertices().empty() &&
                                               cut.GetIndices().empty();
                                    });
    const std::pair<const char*, std::string> cases[] = {
        {"index past the vertices", Patched(quads, 4 + 4 * 3, 8)},
        {"index before the mesh's first vertex", Patched(quads, 4 + 4 * 7, 3)},
        {"index range past the array", Patched(quads, -8, 7)},
        {"first index past the array", Patched(quads, -12, 0xFFFFFFFFu)},
        {"first vertex past the array", Patched(quads, -20, 9)},
        {"index entries shared by two meshes", Patched(Patched(quads, -20, 0), -12, 0)},
    };
    for (const auto& [what, bytes] : cases)
    {
        audiotest::LogCapture log;
        MeshLibrary damaged;
        EXPECT_EQ(QL_FAIL, Parse(damaged, bytes)) << what;
        EXPECT_EQ(1, log.Count("Mesh library 'test.lib'")) << what;
    }

    // Counts far larger than the file are refused before anything is made.
    EXPECT_EQ(QL_FAIL, Parse(library, U32Bytes(0x40000000u)));
    EXPECT_EQ(QL_FAIL, Parse(library, U32Bytes(0) + U32Bytes(0x0FFFFFFFu)));
}

using MeshLibraryLoad = animtest::LoadTest;

TEST_F(MeshLibraryLoad, MeshesWithOneTextureNameShareOneImageAndMissingFilesOrTexturesFailTheLoad)
{
    WriteTexture("tex.png");
    WriteTexture("sub/card.png");
    mDir.Write("one.lib", TwoQuads());
    mDir.Write("two.lib", TwoQuads("tex.png", "sub\\card.png"));
    {
        base::CountedPtr<MeshLibrary> one = Get<MeshLibrary>("one.lib");
        ASSERT_EQ(QL_OK, one->Load());
        ASSERT_NE(nullptr, one->FindMesh("box")->image);
        EXPECT_EQ(one->FindMesh("box")->image, one->FindMesh("card")->image);
        EXPECT_EQ(1u, one->GetTextures().size());
        EXPECT_EQ(2, one->FindMesh("box")->image->GetWidth());

        base::CountedPtr<MeshLibrary> two = Get<MeshLibrary>("two.lib");
        ASSERT_EQ(QL_OK, two->Load());
        EXPECT_NE(two->FindMesh("box")->image, two->FindMesh("card")->image);
        ASSERT_EQ(QL_OK, two->UnLoad());
        EXPECT_TRUE(two->GetTextures().empty() && two->GetMeshes().empty());
    }
    EXPECT_TRUE(resource::ResourceManager::Instance()->GetMap<MeshLibrary>().empty());

    audiotest::LogCapture log;
    base::CountedPtr<MeshLibrary> missing = Get<MeshLibrary>("missing.lib");
    EXPECT_EQ(QL_FAIL, missing->Load());
    EXPECT_FALSE(missing->IsLoaded());
    EXPECT_EQ(1, log.Count("missing.lib"));

    mDir.Write("notex.lib", TwoQuads("absent.png", "absent.png"));
    base::CountedPtr<MeshLibrary> noTexture = Get<MeshLibrary>("notex.lib");
    EXPECT_NE(QL_OK, noTexture->Load());
    EXPECT_FALSE(noTexture->IsLoaded());
    EXPECT_TRUE(noTexture->GetMeshes().empty());
    EXPECT_LE(1, log.Count("absent.png"));

    // Without a renderer the textures cannot be made.
    WriteTexture("tex.png");
    mDir.Write("norender.lib", TwoQuads());
    base::CountedPtr<MeshLibrary> noRender =
        resource::ResourceManager::Instance()->Get<MeshLibrary>(mDir.WPath("norender.lib"));
    EXPECT_EQ(QL_FAIL, noRender->Load());
}
