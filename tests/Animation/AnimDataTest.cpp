// Animation files: fields as read, damaged files refused, meshes resolved in shared libraries.
#include "AnimFileBuilder.h"
#include "Audio/LogCapture.h"
#include "ImageBuilders.h"
#include "Render/RenderTestSupport.h"

#include "Core/Media/Animation/AnimData.h"
#include "Core/Media/Mesh/MeshLibrary.h"
#include "Core/Resource/ResourceManager.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <tuple>

using namespace animation;
using animtest::AnimSpec;
using animtest::Env;
using animtest::Key;
using animtest::LayerSpec;

namespace
{
// Two layers: the first with colour channels and keyed channels, the second a child of the first.
AnimSpec Sample()
{
    AnimSpec spec;
    spec.title = "dialog show";
    spec.start = 0.25f;
    spec.end = 1.5f;
    LayerSpec first;
    first.name = "panel";
    first.library = "screen_res";
    first.flag1 = 1;
    first.flag2 = 7;
    first.colour = true;
    first.colourChannels[COLOUR_TINT] = Env({Key(0, 0.5f)});
    first.channels[CHANNEL_SCALE_X] =
        Env({Key(0, 0.5f, SHAPE_TCB, 0.1f, 0.2f, 0.3f), Key(1, 1, SHAPE_BEZIER2D, 1, 2, 3, 4)},
            BEHAVIOUR_REPEAT, BEHAVIOUR_OFFSET_REPEAT);
    LayerSpec second;
    second.name = "child";
    second.parent = 1;
    second.flag2 = 1;
    second.channels[CHANNEL_DISSOLVE] = Env({Key(0, 1), Key(0.5f, 0)});
    spec.layers = {first, second};
    return spec;
}

QLResultEnum Parse(AnimData& data, const std::string& bytes)
{
    return data.Parse(bytes.data(), bytes.size(), L"test.anim");
}
} // namespace

TEST(AnimDataRead, ReadsHeaderLayersFlagsAndEnvelopes)
{
    AnimData data;
    ASSERT_EQ(QL_OK, Parse(data, Sample().Build()));
    EXPECT_EQ("dialog show", data.mTitle);
    EXPECT_EQ(0.25f, data.mStartTime);
    EXPECT_EQ(1.5f, data.mEndTime);
    ASSERT_EQ(2u, data.mLayers.size());

    const AnimLayer& first = *data.mLayers[0];
    EXPECT_EQ(&data, first.mOwner);
    EXPECT_EQ(std::make_tuple("panel", "screen_res", "null", false, true),
              std::tie(first.mName, first.mLibrary, first.mMeshName, first.mHasParent, first.mFlag1));
    EXPECT_FALSE(first.mFlag2) << "only 1 means true";
    ASSERT_NE(nullptr, first.mColour);
    EXPECT_EQ(0.5f, first.mColour->channels[COLOUR_TINT].Evaluate(3.0f));
    const Envelope& scale = first.mChannels[CHANNEL_SCALE_X];
    EXPECT_EQ(std::make_tuple(BEHAVIOUR_REPEAT, BEHAVIOUR_OFFSET_REPEAT, size_t{2}),
              std::make_tuple(scale.mPre, scale.mPost, scale.mKeys.size()));
    ASSERT_EQ(2u, scale.mKeys.size());
    EXPECT_EQ(std::make_tuple(SHAPE_TCB, 0.3f, 1.0f, 4.0f),
              std::tie(scale.mKeys[0].shape, scale.mKeys[0].p[2], scale.mKeys[1].time, scale.mKeys[1].p[3]));
    EXPECT_TRUE(first.mChannels[CHANNEL_POSITION_X].mKeys.empty());

    const AnimLayer& second = *data.mLayers[1];
    EXPECT_EQ(std::make_tuple(true, 0, true), std::tie(second.mHasParent, second.mParent, second.mFlag2));
    EXPECT_EQ(nullptr, second.mColour);
    EXPECT_EQ(0.5f, second.mChannels[CHANNEL_DISSOLVE].Evaluate(0.25f));
}

TEST(AnimDataRead, EveryTruncationAndDamagedCountTimeOrOrderIsRefusedWithALogLine)
{
    const std::string whole = Sample().Build();
    for (size_t size = 0; size < whole.size(); ++size)
    {
        audiotest::LogCapture log;
        AnimData data;
        ASSERT_EQ(QL_FAIL, data.Parse(whole.data(), size, L"cut.anim")) << size;
        EXPECT_TRUE(data.mLayers.empty()) << size;
        EXPECT_EQ(1, log.Count("cut.anim")) << size;
    }

    std::vector<std::pair<const char*, std::string>> cases;
    {
        animtest::ByteWriter w;
        w.Str("t");
        w.F32(0);
        w.F32(1);
        w.U32(0xFFFFFFFFu); // -1 layers
        cases.emplace_back("negative layer count", w.mBytes);
        animtest::ByteWriter many = w;
        many.mBytes.resize(many.mBytes.size() - 4);
        many.U32(0x7FFFFFFFu);
        cases.emplace_back("layer count beyond the end", many.mBytes);
    }
    {
        // The first envelope of a colourless layer claims more keys than there are bytes.
        std::string bytes = AnimSpec{"t", 0, 1, {LayerSpec{}}}.Build();
        const size_t envelope = 4 + 1 + 4 + 4 + 4 + (4 + 5) + (4 + 4) + (4 + 4) + 16;
        bytes[envelope] = bytes[envelope + 1] = bytes[envelope + 2] = bytes[envelope + 3] = '\xFF';
        cases.emplace_back("key count beyond the end", bytes);
    }
    {
        AnimSpec spec = Sample();
        spec.layers[1].channels[CHANNEL_POSITION_Y] = Env({Key(1, 0), Key(0.5f, 1)});
        cases.emplace_back("keys out of order", spec.Build());
        spec.layers[1].channels[CHANNEL_POSITION_Y] = Env({Key(NAN, 0)});
        cases.emplace_back("key time not a number", spec.Build());
        spec = Sample();
        spec.end = INFINITY;
        cases.emplace_back("end time not finite", spec.Build());
    }
    for (const auto& [what, bytes] : cases)
    {
        audiotest::LogCapture log;
        AnimData data;
        EXPECT_EQ(QL_FAIL, Parse(data, bytes)) << what;
        EXPECT_TRUE(data.mLayers.empty()) << what;
        EXPECT_EQ(1, log.Count("Animation 'test.anim'")) << what;
    }
}

class AnimDataLoad : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(mHarness.Ok()); }

    void WriteLibrary(const std::string& file = "shapes.lib")
    {
        std::filesystem::create_directories(mDir.Path() / "images");
        imagetest::WriteFile(mDir.WPath("images/tex.png"),
                             imagetest::EncodePng(2, 2, std::vector<u32>(4, 0xFF336699u), true));
        mDir.Write(file, animtest::TwoQuads());
    }
    base::CountedPtr<AnimData> Get(const std::string& file)
    {
        base::CountedPtr<AnimData> data = resource::ResourceManager::Instance()->Get<AnimData>(mDir.WPath(file));
        data->SetRender(mHarness.mRender.get());
        return data;
    }
    static size_t LibrariesHeld() { return resource::ResourceManager::Instance()->GetMap<lightwave::MeshLibrary>().size(); }

    static LayerSpec MeshLayer(const std::string& library, const std::string& mesh)
    {
        LayerSpec layer;
        layer.library = library;
        layer.mesh = mesh;
        return layer;
    }

    rendertest::Harness mHarness{render::HeadlessWindow::Backend::Recording};
    testsupport::TempDir mDir;
};

TEST_F(AnimDataLoad, MeshesResolveInOneSharedLibraryBesideTheFileOrFailTheLoad)
{
    mDir.Write("plain.anim", AnimSpec{"t", 0, 1, {MeshLayer("screen_res", "box"), MeshLayer("null", "box"),
                                                  MeshLayer("shapes", "null")}}
                                 .Build());
    base::CountedPtr<AnimData> data = Get("plain.anim");
    ASSERT_EQ(QL_OK, data->Load());
    EXPECT_TRUE(data->IsLoaded());
    EXPECT_TRUE(data->mLibraries.empty());
    for (const auto& layer : data->mLayers)
        EXPECT_EQ(nullptr, layer->mMesh);
    data = nullptr;

    WriteLibrary();
    const AnimSpec spec{"t", 0, 1, {MeshLayer("shapes", "card"), MeshLayer("shapes", "box"), MeshLayer("screen_res", "x")}};
    mDir.Write("a.anim", spec.Build());
    mDir.Write("b.anim", spec.Build());
    {
        base::CountedPtr<AnimData> a = Get("a.anim");
        base::CountedPtr<AnimData> b = Get("b.anim");
        ASSERT_EQ(QL_OK, a->Load());
        ASSERT_EQ(QL_OK, b->Load());
        ASSERT_EQ(1u, a->mLibraries.size());
        const base::CountedPtr<lightwave::MeshLibrary>& library = a->mLibraries.at("shapes");
        EXPECT_EQ(library.Get(), b->mLibraries.at("shapes").Get());
        EXPECT_EQ(mDir.WPath("shapes.lib"), library->GetName());
        EXPECT_EQ(mHarness.mRender.get(), library->GetRender());
        EXPECT_EQ(library->FindMesh("card"), a->mLayers[0]->mMesh);
        EXPECT_EQ(library->FindMesh("box"), a->mLayers[1]->mMesh);
        EXPECT_NE(nullptr, a->mLayers[1]->mMesh->image);
        EXPECT_EQ(nullptr, a->mLayers[2]->mMesh);
        EXPECT_EQ(1u, LibrariesHeld());

        ASSERT_EQ(QL_OK, a->UnLoad());
        EXPECT_TRUE(a->mLayers.empty() && a->mLibraries.empty());
        EXPECT_TRUE(b->mLibraries.at("shapes")->IsLoaded()) << "still used by the other animation";
    }
    EXPECT_EQ(0u, LibrariesHeld());
    EXPECT_TRUE(resource::ResourceManager::Instance()->GetMap<AnimData>().empty());

    WriteLibrary();
    const std::vector<std::pair<std::string, AnimSpec>> cases = {
        {"no mesh 'ball'", AnimSpec{"t", 0, 1, {MeshLayer("shapes", "box"), MeshLayer("shapes", "ball")}}},
        {"lost.lib", AnimSpec{"t", 0, 1, {MeshLayer("lost", "box")}}},
    };
    for (const auto& [logged, spec] : cases)
    {
        audiotest::LogCapture log;
        mDir.Write("bad.anim", spec.Build());
        base::CountedPtr<AnimData> data = Get("bad.anim");
        EXPECT_NE(QL_OK, data->Load()) << logged;
        EXPECT_FALSE(data->IsLoaded());
        EXPECT_TRUE(data->mLayers.empty() && data->mLibraries.empty());
        EXPECT_LE(1, log.Count(logged)) << log.Text();
        EXPECT_EQ(0u, LibrariesHeld()) << "a failed load keeps no library";
    }
    audiotest::LogCapture log;
    base::CountedPtr<AnimData> missing = Get("missing.anim");
    EXPECT_EQ(QL_FAIL, missing->Load());
    EXPECT_FALSE(missing->IsLoaded());
    EXPECT_EQ(1, log.Count("missing.anim"));
}

