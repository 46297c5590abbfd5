// Drawing effect instances through the drawing context on the recording device: vertices
// and colours per particle, blend modes per list, bounds, batches, and what is not drawn.
#include "ParticleFixture.h"

#include "Core/Base/Box.h"
#include "Core/File/ArchiveBuilder.h"
#include "Core/File/FileManager.h"
#include "Core/Media/Image/Image.h"
#include "Core/Render/CommandBuffer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

using namespace ptctest;

namespace
{
class ParticleDraw : public ParticleFixture
{
protected:
    std::vector<rendertest::Command> Draws() { return rendertest::Only(EndAndDecode(), render::CMD_DRAW_INDEXED); }
};

// CMD_DRAW_INDEXED arguments: type, index size, start index, count, min vertex, vertices.
constexpr size_t kCount = 3;
constexpr size_t kVertices = 5;
} // namespace

TEST_F(ParticleDraw, EachParticleIsAQuadOfTheContextColourTimesItsOwn)
{
    ASSERT_EQ(QL_OK, Load(StillEmitter("still", 5, "ff336699")));
    auto e = Play("still", 20.0f, 30.0f);
    ASSERT_NE(nullptr, e);
    mGraphics->SetColorRGBA(1.0f, 0.5f, 1.0f, 0.5f);
    graphicstest::CaptureTransformer capture;
    u32 drawn = 0;
    ASSERT_EQ(QL_OK, e->Render(mGraphics.get(), &capture, nullptr, nullptr, &drawn));
    EXPECT_EQ(5u, drawn);
    ASSERT_EQ(20u, capture.mSeen.size());
    const float corners[4][2] = {{15.0f, 25.0f}, {25.0f, 25.0f}, {25.0f, 35.0f}, {15.0f, 35.0f}};
    for (size_t i = 0; i < capture.mSeen.size(); ++i)
    {
        const render::SVertex2D& v = capture.mSeen[i];
        EXPECT_EQ(std::make_tuple(corners[i % 4][0], corners[i % 4][1], 0.0f, 1.0f, 0x7F333399u, 0xFFFFFFFFu),
                  std::tie(v.x, v.y, v.z, v.w, v.diffuse, v.specular))
            << i;
    }
    EXPECT_EQ(std::make_tuple(0.0f, 1.0f, 1.0f), std::tie(capture.mSeen[0].u, capture.mSeen[2].u, capture.mSeen[2].v));
    const auto draws = Draws();
    ASSERT_EQ(1u, draws.size());
    // A list of triangles with 16-bit indices.
    const auto& args = draws[0].args;
    EXPECT_EQ(std::make_tuple(u64{render::PRIM_TRIANGLELIST}, 2u, 10u, 20u),
              std::make_tuple(args[0], args[1], args[kCount], args[kVertices]));
}

TEST_F(ParticleDraw, IntenseListsDrawAddedAndTheContextBlendModeComesBack)
{
    ASSERT_EQ(QL_OK, Load("<emitter name=\"two\" duration=\"1\">"
                          "<particles texture=\"white\" burst=\"1\" life=\"5\"/>"
                          "<particles texture=\"white\" blend=\"add\" burst=\"2\" life=\"5\"/></emitter>"));
    auto e = Play("two");
    EXPECT_EQ(QL_OK, mGraphics->SetBlendMode(render::BLEND_OFF));
    u32 drawn = 0;
    {
        auto command = mGraphics->DrawParticles(e.get());
        command->mOutDrawn = &drawn;
    }
    EXPECT_EQ(3u, drawn);
    EXPECT_EQ(render::BLEND_OFF, mGraphics->GetState().mBlendMode);
    const auto commands = EndAndDecode();
    std::vector<u64> modes;
    for (const auto& c : rendertest::Only(commands, render::CMD_SET_BLEND_MODE))
        modes.push_back(c.args[0]);
    ASSERT_GE(modes.size(), 2u);
    EXPECT_EQ(static_cast<u64>(render::BLEND_ALPHA), modes[modes.size() - 2]);
    EXPECT_EQ(static_cast<u64>(render::BLEND_ADDITIVE), modes.back());
    const auto draws = rendertest::Only(commands, render::CMD_DRAW_INDEXED);
    ASSERT_EQ(2u, draws.size());
    EXPECT_EQ(2u, draws[0].args[kCount]);
    EXPECT_EQ(4u, draws[1].args[kCount]);
}

TEST_F(ParticleDraw, BoundsAreTakenBeforeAndAfterTheCommandsTransformAndStoppedEffectsEmptyThem)
{
    ASSERT_EQ(QL_OK, Load(StillEmitter("still", 3)));
    auto e = Play("still", 20.0f, 30.0f);
    math::Box bounds, moved;
    u32 drawn = 0;
    {
        math::Transform2D transform;
        transform.Translate(100.0f, -10.0f);
        auto command = mGraphics->DrawParticles(e.get()).Transform(transform);
        command->mOutBounds = &bounds;
        command->mOutTransformedBounds = &moved;
        command->mOutDrawn = &drawn;
    }
    EXPECT_EQ(3u, drawn);
    EXPECT_EQ((math::Box{15, 25, 0, 25, 35, 0}), bounds);
    EXPECT_EQ((math::Box{115, 15, 0, 125, 25, 0}), moved);

    e->SetState(render::ParticleEmitter::STOPPED);
    ASSERT_EQ(QL_OK, e->Render(mGraphics.get(), nullptr, &bounds, nullptr, &drawn));
    EXPECT_EQ(0u, drawn);
    EXPECT_TRUE(bounds.IsEmpty());
    std::unique_ptr<render::ParticleEmitter> fresh(System()->CreateEmitter("still"));
    drawn = 99;
    ASSERT_EQ(QL_OK, fresh->Render(mGraphics.get(), nullptr, nullptr, nullptr, &drawn));
    EXPECT_EQ(0u, drawn);
    const auto draws = Draws();
    ASSERT_EQ(1u, draws.size()) << "only the playing effect drew";
    EXPECT_EQ(6u, draws[0].args[kCount]);
}

TEST_F(ParticleDraw, ListsWhoseAtlasDidNotLoadAreLeftOutAndManyParticlesDrawInBatches)
{
    const std::string text = "<?xml version=\"1.0\"?><effects>"
                             "<atlas file=\"missing.png\" width=\"8\" height=\"8\"><frame name=\"m\" w=\"8\" h=\"8\"/>"
                             "</atlas>" +
                             Atlas() +
                             "<emitter name=\"e\" duration=\"1\">"
                             "<particles texture=\"m\" burst=\"4\" life=\"5\"/>"
                             "<particles texture=\"white\" burst=\"1\" life=\"5\"/></emitter></effects>";
    ASSERT_EQ(QL_OK, System()->LoadFromMemory(text.data(), text.size(), "test.ptc", mRender));
    EXPECT_NE(nullptr, System()->GetAtlas(1));
    for (int missing : {0, 2, -1})
        EXPECT_EQ(nullptr, System()->GetAtlas(missing)) << missing;
    auto e = Play("e");
    u32 drawn = 0;
    ASSERT_EQ(QL_OK, e->Render(mGraphics.get(), nullptr, nullptr, nullptr, &drawn));
    EXPECT_EQ(1u, drawn);

    // Ten thousand particles draw in batches that fit the frame caches.
    ASSERT_EQ(QL_OK, Load(StillEmitter("many", 10000)));
    e = Play("many", 32.0f, 32.0f);
    ASSERT_EQ(10000u, e->GetEmitter()->ParticleCount());
    ASSERT_EQ(QL_OK, e->Render(mGraphics.get(), nullptr, nullptr, nullptr, &drawn));
    EXPECT_EQ(10000u, drawn);
    u64 triangles = 0;
    for (const auto& d : Draws())
    {
        triangles += d.args[kCount];
        EXPECT_EQ(d.args[kVertices], 2 * d.args[kCount]);
        EXPECT_LE(d.args[4] + d.args[kVertices], 65536u); // 16-bit indices reach every vertex
    }
    EXPECT_EQ(20002u, triangles) << "two for the lone particle drawn first";
}

TEST_F(ParticleDraw, TheGameLibraryAndItsAtlasLoadFromThePack)
{
    // "td/fx/" packed into "data.dat" and mounted, as the game runs.
    testsupport::InFolder here(mDir.Path());
    std::filesystem::create_directories("td/fx");
    for (const char* file : {"fx2.ptc", "fx2_atlas.png"})
        std::filesystem::copy_file(std::string(QL_SOURCE_DIR) + "/content/td/fx/" + file,
                                   std::filesystem::path("td/fx") / file);
    ASSERT_EQ(QL_OK, file::BuildPack(L"td", L"data.dat"));
    std::filesystem::remove_all("td");
    file::FileManager::Instance()->mMounts[L"td/"] = L"data.dat";
    System()->SetFolder("td/fx/");
    EXPECT_EQ(QL_OK, System()->Load("fx2", mRender));
    ASSERT_NE(nullptr, System()->GetAtlas(0));
    EXPECT_EQ(256, System()->GetAtlas(0)->GetWidth());
    EXPECT_EQ(128, System()->GetAtlas(0)->GetHeight());
    auto e = Play("build", 40.0f, 40.0f);
    ASSERT_NE(nullptr, e);
    u32 drawn = 0;
    EXPECT_EQ(QL_OK, e->Render(mGraphics.get(), nullptr, nullptr, nullptr, &drawn));
    EXPECT_GT(drawn, 20u);
    System()->UnloadAtlases();
    file::FileManager::Instance()->mMounts.erase(L"td/");
}
