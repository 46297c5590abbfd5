// Animation files: fields as read, damaged files refused, meshes resolved in shared libraries.
#include "AnimFileBuilder.h"

#include "Core/Media/Animation/AnimData.h"
#include "Core/Media/Mesh/MeshLibrary.h"

#include <bit>
#include <cmath>
#include <tuple>

using namespace animation;
using animtest::Patched;
using animtest::Renamed;
using animtest::Shapes;

TEST(AnimDataRead, ReadsHeaderLayersFlagsAndEnvelopesAndRefusesEveryCutOrDamagedField)
{
    AnimData data;
    const std::string flagged = Patched(Shapes(), 55, 7); // flag2 of "a" 7: only 1 means true
    ASSERT_EQ(QL_OK, data.Parse(flagged.data(), flagged.size(), L"test.anim"));
    EXPECT_EQ("all shapes", data.mTitle);
    EXPECT_EQ(0.0f, data.mStartTime);
    EXPECT_EQ(2.0f, data.mEndTime);
    ASSERT_EQ(2u, data.mLayers.size());

    const AnimLayer& first = *data.mLayers[0];
    EXPECT_EQ(&data, first.mOwner);
    EXPECT_EQ(std::make_tuple("a", "null", "null", false, true, false),
              std::tie(first.mName, first.mLibrary, first.mMeshName, first.mHasParent, first.mFlag1, first.mFlag2));
    ASSERT_NE(nullptr, first.mColour);
    EXPECT_FLOAT_EQ(0.3f, first.mColour->channels[COLOUR_TINT].Evaluate(3.0f));
    const Envelope& x = first.mChannels[CHANNEL_POSITION_X];
    EXPECT_EQ(std::make_tuple(BEHAVIOUR_REPEAT, BEHAVIOUR_OFFSET_REPEAT, size_t{3}),
              std::make_tuple(x.mPre, x.mPost, x.mKeys.size()));
    ASSERT_EQ(3u, x.mKeys.size());
    EXPECT_EQ(std::make_tuple(SHAPE_TCB, 0.3f, 1.0f, SHAPE_BEZIER, 0.5f),
              std::tie(x.mKeys[0].shape, x.mKeys[0].p[2], x.mKeys[1].time, x.mKeys[2].shape, x.mKeys[2].p[1]));
    EXPECT_TRUE(first.mChannels[CHANNEL_PITCH].mKeys.empty());

    const AnimLayer& second = *data.mLayers[1];
    EXPECT_EQ(std::make_tuple("b", "shapes", "box", true, 0),
              std::tie(second.mName, second.mLibrary, second.mMeshName, second.mHasParent, second.mParent));
    EXPECT_EQ(nullptr, second.mColour);
    EXPECT_EQ(0.25f, second.mChannels[CHANNEL_DISSOLVE].Evaluate(1.0f));

    // Every truncation, and every damaged count, time or order, is refused with a log line.
    const std::string whole = Shapes();
    animtest::ExpectEveryCutRefused(whole,
                                    [&](size_t size)
                                    {
                                        AnimData cut;
                                        return cut.Parse(whole.data(), size, L"cut.anim") == QL_FAIL &&
                                               cut.mLayers.empty();
                                    });

    // The layer count sits at 22, the end time at 18; "a"'s first envelope counts its keys at 63,
    // its first key's time at 79, and its second envelope's second key time at 163.
    const std::pair<const char*, std::string> cases[] = {
        {"negative layer count", Patched(whole, 22, 0xFFFFFFFFu)},
        {"layer count beyond the end", Patched(whole, 22, 0x7FFFFFFFu)},
        {"key count beyond the end", Patched(whole, 63, 0xFFFFFFFFu)},
        {"keys out of order", Patched(whole, 163, std::bit_cast<u32>(-1.0f))},
        {"key time not a number", Patched(whole, 79, std::bit_cast<u32>(NAN))},
        {"end time not finite", Patched(whole, 18, std::bit_cast<u32>(INFINITY))},
    };
    for (const auto& [what, bytes] : cases)
    {
        audiotest::LogCapture log;
        AnimData damaged;
        EXPECT_EQ(QL_FAIL, damaged.Parse(bytes.data(), bytes.size(), L"test.anim")) << what;
        EXPECT_TRUE(damaged.mLayers.empty()) << what;
        EXPECT_EQ(1, log.Count("Animation 'test.anim'")) << what;
    }
}

using AnimDataLoad = animtest::LoadTest;

TEST_F(AnimDataLoad, MeshesResolveInOneSharedLibraryBesideTheFileOrFailTheLoad)
{
    const auto& libraries = resource::ResourceManager::Instance()->GetMap<lightwave::MeshLibrary>();
    // "a" names no library, "b" a screen resource: nothing to resolve.
    mDir.Write("plain.anim", Renamed(Shapes(), "shapes", "screen_res"));
    base::CountedPtr<AnimData> data = Get<AnimData>("plain.anim");
    ASSERT_EQ(QL_OK, data->Load());
    EXPECT_TRUE(data->IsLoaded());
    EXPECT_TRUE(data->mLibraries.empty());
    for (const auto& layer : data->mLayers)
        EXPECT_EQ(nullptr, layer->mMesh);
    data = nullptr;

    WriteTexture("tex.png");
    mDir.Write("shapes.lib", animtest::TwoQuads());
    mDir.Write("a.anim", Renamed(Shapes(), "box", "card"));
    mDir.Write("b.anim", Shapes());
    {
        base::CountedPtr<AnimData> a = Get<AnimData>("a.anim");
        base::CountedPtr<AnimData> b = Get<AnimData>("b.anim");
        ASSERT_EQ(QL_OK, a->Load());
        ASSERT_EQ(QL_OK, b->Load());
        ASSERT_EQ(1u, a->mLibraries.size());
        const base::CountedPtr<lightwave::MeshLibrary>& library = a->mLibraries.at("shapes");
        EXPECT_EQ(library.Get(), b->mLibraries.at("shapes").Get());
        EXPECT_EQ(mDir.WPath("shapes.lib"), library->GetName());
        EXPECT_EQ(mHarness.mRender.get(), library->GetRender());
        EXPECT_EQ(nullptr, a->mLayers[0]->mMesh);
        EXPECT_EQ(library->FindMesh("card"), a->mLayers[1]->mMesh);
        EXPECT_EQ(library->FindMesh("box"), b->mLayers[1]->mMesh);
        EXPECT_NE(a->mLayers[1]->mMesh, b->mLayers[1]->mMesh);
        EXPECT_NE(nullptr, b->mLayers[1]->mMesh->image);
        EXPECT_EQ(1u, libraries.size());

        ASSERT_EQ(QL_OK, a->UnLoad());
        EXPECT_TRUE(a->mLayers.empty() && a->mLibraries.empty());
        EXPECT_TRUE(b->mLibraries.at("shapes")->IsLoaded()) << "still used by the other animation";
    }
    EXPECT_EQ(0u, libraries.size());
    EXPECT_TRUE(resource::ResourceManager::Instance()->GetMap<AnimData>().empty());

    const std::pair<std::string, std::string> cases[] = {
        {"no mesh 'ball'", Renamed(Shapes(), "box", "ball")},
        {"lost.lib", Renamed(Shapes(), "shapes", "lost")},
    };
    for (const auto& [logged, bytes] : cases)
    {
        audiotest::LogCapture log;
        mDir.Write("bad.anim", bytes);
        base::CountedPtr<AnimData> data = Get<AnimData>("bad.anim");
        EXPECT_NE(QL_OK, data->Load()) << logged;
        EXPECT_FALSE(data->IsLoaded());
        EXPECT_TRUE(data->mLayers.empty() && data->mLibraries.empty());
        EXPECT_LE(1, log.Count(logged)) << log.Text();
        EXPECT_EQ(0u, libraries.size()) << "a failed load keeps no library";
    }
    audiotest::LogCapture log;
    base::CountedPtr<AnimData> missing = Get<AnimData>("missing.anim");
    EXPECT_EQ(QL_FAIL, missing->Load());
    EXPECT_FALSE(missing->IsLoaded());
    EXPECT_EQ(1, log.Count("missing.anim"));
}
