// Device objects that go away between frames (the state records and samplers forget them, as a new
// object may be made at the same address; a shader the recording names lives until the playback),
// vertex colour packing, and the per-frame vertex caches.
#include "RecordingFixture.h"

#include "Core/Render/BufferDoubleCache.h"
#include "Core/Render/DX9/TextureDX9.h"
#include "Core/Render/Shader.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace rendertest;

namespace
{
class DeviceObjectLifetime : public RecordingFixture
{
protected:
    render::Buffer* MakeBuffer()
    {
        render::Buffer* buffer = nullptr;
        EXPECT_EQ(QL_OK,
                  mRender->CreateVertexBuffer(render::GetVertexFormat<render::SVertexGeom>(), 16, true, &buffer));
        return buffer;
    }
    // One frame: the state applied (not forced) and one triangle drawn, then played.
    void Frame()
    {
        ASSERT_TRUE(mRender->IsReady());
        ASSERT_EQ(QL_OK, mRender->BeginScene());
        ASSERT_EQ(QL_OK, mRender->ApplyState(&mState, false));
        ASSERT_EQ(QL_OK, mRender->Draw(render::PRIM_TRIANGLELIST, 0, 1));
        ASSERT_EQ(QL_OK, mRender->EndScene());
        mRecorded = Decode(mRender->GetCommandBuffer());
        ASSERT_EQ(QL_OK, mRender->ExecuteCommands());
    }

    std::vector<Command> mRecorded;
};

TEST_F(DeviceObjectLifetime, ADeletedBufferTargetOrSampledTextureIsForgottenSoTheNextOneIsSentAgain)
{
    render::Buffer* first = MakeBuffer();
    mState.mVertexBuffer = first;
    Frame();
    ASSERT_EQ(first, mRender->GetCurrentState().mVertexBuffer);
    delete first;
    EXPECT_EQ(nullptr, mRender->GetCurrentState().mVertexBuffer);
    EXPECT_EQ(nullptr, mRender->GetPendingState().mVertexBuffer);

    // The same record, not forced, now names a new buffer (possibly at the old address).
    render::Buffer* second = MakeBuffer();
    mState.mVertexBuffer = second;
    Frame();
    auto sent = Only(mRecorded, render::CMD_SET_VERTEX_BUFFER);
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(reinterpret_cast<uintptr_t>(second), sent[0].args[0]);
    delete second;

    // A deleted target is forgotten with its pixel mapping.
    mState.mVertexBuffer = mBuffer;
    render::Texture* target = nullptr;
    ASSERT_EQ(QL_OK, mRender->CreateTexture(&target));
    ASSERT_EQ(QL_OK, target->CreateRenderTarget(8, 8));
    mState.mTarget = target;
    mState.mScaleX = mState.mScaleY = 0.5f;
    Frame();
    ASSERT_EQ(target, mRender->GetCurrentState().mTarget);
    delete target;
    for (const render::RenderState* state : {&mRender->GetCurrentState(), &mRender->GetPendingState()})
    {
        EXPECT_EQ(nullptr, state->mTarget);
        EXPECT_EQ(1.0f, state->mScaleX); // the default mapping of the back buffer
    }

    // The device fell back to the back buffer when its target went: drawing there needs no
    // switch, and nothing names the old target.
    mState.mTarget = nullptr;
    mState.mScaleX = mState.mScaleY = 1.0f;
    Frame();
    EXPECT_TRUE(Only(mRecorded, render::CMD_SET_TARGET).empty());
    EXPECT_TRUE(Only(mRecorded, render::CMD_SET_BACK_BUFFER).empty());

    // A sampler lets go of a deleted texture.
    render::ShaderTextured* mult = nullptr;
    EXPECT_EQ(QL_OK, mRender->GetShaderTexturedMult(&mult));
    PixelImage image(2, 2, std::vector<u32>(4, 0xFFFFFFFF));
    render::Texture* firstTexture = nullptr;
    ASSERT_EQ(QL_OK, mRender->CreateTexture(&firstTexture));
    ASSERT_EQ(QL_OK, firstTexture->CreateFromImage(image));
    EXPECT_EQ(QL_OK, mult->SetTexture(firstTexture));
    ASSERT_EQ(firstTexture, mult->GetSamplerVariable()->Get());
    delete firstTexture;
    EXPECT_EQ(nullptr, mult->GetSamplerVariable()->Get());

    // Whatever address the next texture gets, setting it flags the sampler for recording.
    render::Texture* secondTexture = nullptr;
    ASSERT_EQ(QL_OK, mRender->CreateTexture(&secondTexture));
    ASSERT_EQ(QL_OK, secondTexture->CreateFromImage(image));
    mult->GetImpl()->SetVariablesChanged(false);
    EXPECT_EQ(QL_OK, mult->SetTexture(secondTexture));
    EXPECT_TRUE(mult->GetImpl()->AreVariablesChanged());
    delete secondTexture;

    // A shader unloaded mid-frame is played, then forgotten.
    testsupport::TempDir folder;
    folder.Write("FxVS.hlsl", "uniform mat4 Proj;\nin vec3 aPos;\n"
                              "void vertex_shader() { gl_Position = Proj * vec4(aPos, 1.0); }\n");
    folder.Write("FxPS.hlsl", "out vec4 o;\nvoid pixel_shader() { o = vec4(1.0); }\n");
    base::CountedPtr<render::Shader> shader;
    ASSERT_EQ(QL_OK, mRender->LoadShader(folder.WPath("Fx"), &shader));
    EXPECT_EQ(QL_OK, shader->SetProjection(mRender->GetProjectionPointer()));
    mState.mShader = shader->GetImpl();

    ASSERT_TRUE(mRender->IsReady());
    ASSERT_EQ(QL_OK, mRender->BeginScene());
    ASSERT_EQ(QL_OK, mRender->ApplyState(&mState, false));
    ASSERT_EQ(QL_OK, mRender->Draw(render::PRIM_TRIANGLELIST, 0, 1));
    ASSERT_EQ(QL_OK, mRender->FlushDraw());
    const size_t programs = mDevice->LivePrograms();
    ASSERT_EQ(QL_OK, shader->UnLoad());
    EXPECT_EQ(programs, mDevice->LivePrograms()) << "the recording still names the program";
    ASSERT_EQ(QL_OK, mRender->EndScene());
    mDevice->ClearCalls();
    ASSERT_EQ(QL_OK, mRender->ExecuteCommands());
    EXPECT_EQ(1u, mDevice->CallsStartingWith("SetProgram").size());
    EXPECT_EQ(programs - 1, mDevice->LivePrograms());
    EXPECT_EQ(nullptr, mRender->GetCurrentState().mShader);

    // Back to the built-in shader: switched to plainly, nothing of the old one is touched.
    mState.mShader = mGeom->GetImpl();
    Frame();
    EXPECT_EQ(1u, Only(mRecorded, render::CMD_SET_SHADER).size());
}

TEST(VertexFormats, ColoursArePackedClampedWithoutWrapping)
{
    const float colour[4] = {1.5f, 0.5f, -0.2f, 1.0f};
    render::SVertex2D v[2] = {};
    render::SetVertexColours(v, 2, colour);
    EXPECT_EQ(0xFFFF7F00u, v[0].diffuse);
    EXPECT_EQ(v[0].diffuse, v[1].diffuse);
    // Far out of range and not a number: still clamped, never an undefined conversion.
    const float wild[4] = {std::nanf(""), 1e30f, -1e30f, std::numeric_limits<float>::infinity()};
    EXPECT_EQ(0xFF00FF00u, render::PackColour(wild));
}

class FrameCache : public RecordingFixture
{
protected:
    void SetUp() override
    {
        RecordingFixture::SetUp();
        mCache = static_cast<render::BufferDoubleCache<render::VertexBuffer<render::SVertex2D>>*>(
            mHarness.mRender->GetVertexCache(0));
        ASSERT_NE(nullptr, mCache);
    }
    render::BufferDoubleCache<render::VertexBuffer<render::SVertex2D>>* mCache = nullptr;
};

TEST_F(FrameCache, AllocationsFollowEachOtherAreUploadedAtTheEndOverflowIntoChunksAndFollowTheScene)
{
    ASSERT_EQ(QL_OK, mCache->BeginFrame());
    u32 a = 0, b = 0;
    render::CacheChunk chunk;
    ASSERT_EQ(QL_OK, mCache->Allocate(6, &a, &chunk));
    ASSERT_EQ(QL_OK, mCache->Allocate(4, &b, nullptr));
    EXPECT_EQ(0u, a);
    EXPECT_EQ(6u, b);
    EXPECT_EQ(mCache->GetMain(0)->GetBuffer(), chunk.mBuffer);
    mDevice->ClearCalls();
    ASSERT_EQ(QL_OK, mCache->EndFrame());
    auto uploads = mDevice->CallsStartingWith("UpdateBuffer");
    ASSERT_EQ(1u, uploads.size());
    EXPECT_NE(std::string::npos, uploads[0].find(" 0 320")); // only the 10 vertices handed out

    // A full main buffer overflows into chunks that stay.
    ASSERT_EQ(QL_OK, mCache->BeginFrame());
    u32 start = 0;
    ASSERT_EQ(QL_OK, mCache->Allocate(40000, &start, &chunk));
    ASSERT_EQ(QL_OK, mCache->Allocate(2000, &start, &chunk));
    EXPECT_EQ(0u, start);
    EXPECT_EQ(1u, mCache->GetOverflowCount());
    EXPECT_EQ(10240u, chunk.mBuffer->GetCount());
    EXPECT_EQ(QL_FAIL, mCache->Allocate(10241, &start, &chunk)); // larger than a chunk
    ASSERT_EQ(QL_OK, mCache->EndFrame());

    ASSERT_EQ(QL_OK, mCache->BeginFrame());
    ASSERT_EQ(QL_OK, mCache->Allocate(40960, &start, &chunk));
    ASSERT_EQ(QL_OK, mCache->Allocate(10240, &start, &chunk)); // the existing chunk, reused
    EXPECT_EQ(1u, mCache->GetOverflowCount());
    EXPECT_EQ(QL_FAIL, mCache->ReleaseOverflow()); // not inside a frame
    ASSERT_EQ(QL_OK, mCache->EndFrame());
    EXPECT_EQ(QL_OK, mCache->ReleaseOverflow());
    EXPECT_EQ(0u, mCache->GetOverflowCount());

    // Frames begin and end in turn, with the render's scene.
    u32 spare = 0;
    EXPECT_EQ(QL_FAIL, mCache->Allocate(4, &spare, nullptr));
    EXPECT_EQ(QL_FAIL, mCache->EndFrame());
    ASSERT_EQ(QL_OK, mCache->BeginFrame());
    EXPECT_EQ(QL_FAIL, mCache->BeginFrame());
    EXPECT_EQ(QL_OK, mCache->EndFrame());
    render::RenderDX9& r = *mRender;
    ASSERT_EQ(QL_OK, r.BeginScene());
    EXPECT_TRUE(mCache->IsInFrame());
    EXPECT_TRUE(r.GetIndexCache16()->IsInFrame());
    EXPECT_TRUE(r.GetIndexCache32()->IsInFrame());
    EXPECT_EQ(nullptr, r.GetVertexCache(2)); // SVertexRT has no cache
    EXPECT_EQ(QL_FAIL, r.BeginScene());      // a scene inside a scene
    ASSERT_EQ(QL_OK, r.EndScene());
    EXPECT_FALSE(mCache->IsInFrame());
    EXPECT_EQ(61440u, r.GetIndexCache16()->GetMain(0)->GetBuffer()->GetCount());
    EXPECT_EQ(61440u, r.GetIndexCache32()->GetMain(0)->GetBuffer()->GetCount());
}

} // namespace
