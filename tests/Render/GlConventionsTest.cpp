// Pixel read-back tests on real OpenGL (headless EGL): each convention of the original device that
// GL does not share, drawn through the whole renderer and read back.
#include "RenderTestSupport.h"
#include "support/CiSkip.h"
#include "support/GlReadback.h"

#include "Core/Render/DX9/TextureDX9.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace rendertest;

namespace
{
const u32 kRed = 0xFFFF0000;
const u32 kBlack = 0xFF000000;

class GlConventions : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mHarness = std::make_unique<Harness>(render::HeadlessWindow::Backend::Gl, kSize, kSize);
        if (!mHarness->mWindow.IsAvailable())
            QL_SKIP_OR_FAIL_IN_CI("headless OpenGL unavailable: " + mHarness->mWindow.WhyUnavailable());
        ASSERT_EQ(QL_OK, mHarness->mInitResult);
        mRender = mHarness->mRender.get();
        mDraw = std::make_unique<QuadDrawer>(*mRender);
    }

    void BeginFrame(const float clear[4] = nullptr)
    {
        static const float black[4] = {0, 0, 0, 1};
        ASSERT_TRUE(mRender->IsReady());
        ASSERT_EQ(QL_OK, mRender->BeginScene());
        ASSERT_EQ(QL_OK, mRender->Clear(1, clear ? clear : black, 1.0f, 0));
    }
    void EndFrame()
    {
        ASSERT_EQ(QL_OK, mRender->EndScene());
        ASSERT_EQ(QL_OK, mRender->Present());
        ASSERT_EQ(QL_OK, mRender->ExecuteCommands());
    }
    // Ends the frame and reads the back buffer.
    std::vector<u32> Frame() { return testsupport::ReadFrame(mRender, kSize, kSize); }
    std::vector<u32> Read(gpu::TextureId target = 0, i32 size = kSize)
    {
        std::vector<u32> pixels;
        EXPECT_EQ(QL_OK, mRender->GetDevice()->ReadPixels(target, 0, 0, size, size, &pixels));
        return pixels;
    }
    // Clears a target to opaque black inside the frame (the clear records the target switch).
    void ClearTarget(render::Texture* target)
    {
        static const float black[4] = {0, 0, 0, 1};
        render::RenderState state = mDraw->mState;
        state.mTarget = target;
        mRender->SetTarget(&state);
        ASSERT_EQ(QL_OK, mRender->Clear(1, black, 1.0f, 0));
    }
    render::TextureDX9* MakeTarget(u32 size)
    {
        render::Texture* texture = nullptr;
        EXPECT_EQ(QL_OK, mRender->CreateTexture(&texture));
        EXPECT_EQ(QL_OK, texture->CreateRenderTarget(size, size));
        mOwned.emplace_back(texture);
        EXPECT_EQ(QL_OK, mRender->BuildProjection(size, size, 0, &mTargetProjection));
        return static_cast<render::TextureDX9*>(texture);
    }
    // Further quads go to the target (null: the back buffer).
    void DrawInto(render::Texture* target)
    {
        mDraw->mState.mTarget = target;
        mDraw->mProjection = target ? &mTargetProjection : nullptr;
    }

    static constexpr i32 kSize = 64;
    std::unique_ptr<Harness> mHarness;
    render::RenderDX9* mRender = nullptr;
    std::unique_ptr<QuadDrawer> mDraw;
    std::vector<std::unique_ptr<render::Texture>> mOwned; // released before the render
    math::Matrix4 mTargetProjection;
};

// The clear colour, tint shader and blend factors on colour are pinned by the reference frame.
TEST_F(GlConventions, RectanglesAndScissorsCoverExactlyTheirPixelsOnTheBackBufferAndOnARenderTarget)
{
    EXPECT_GE(mRender->mMaxTextureWidth, 2048u);
    EXPECT_TRUE(mRender->mPixelShader20);
    EXPECT_TRUE(mRender->mScissorTest);
    // Catches both the half-pixel offset and the y orientation of each kind of target (texel row 0
    // is the top of what was drawn). A scissor clips a full fill, and on a new target the clear
    // too, which keeps its initial transparent black outside.
    const struct
    {
        bool scissor;
        i32 back[4], onTarget[4];
        u32 targetOutside;
    } cases[] = {{false, {10, 20, 30, 40}, {3, 5, 7, 11}, kBlack}, {true, {4, 6, 10, 12}, {4, 6, 10, 12}, 0}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.scissor ? "scissor" : "rectangle");
        mDraw->mState.mScissorEnabled = c.scissor;
        mDraw->mState.mScissorX = 4;
        mDraw->mState.mScissorY = 6;
        mDraw->mState.mScissorWidth = 10;
        mDraw->mState.mScissorHeight = 12;
        const i32 *b = c.back, *t = c.onTarget;
        DrawInto(nullptr);
        BeginFrame();
        ASSERT_EQ(QL_OK, c.scissor ? mDraw->Fill(0, 0, kSize, kSize, kRed) : mDraw->Fill(b[0], b[1], b[2], b[3], kRed));
        EXPECT_EQ(0, WrongPixels(Frame(), kSize, b[0], b[1], b[2], b[3], kRed, kBlack));
        render::TextureDX9* target = MakeTarget(32);
        DrawInto(target);
        BeginFrame();
        ClearTarget(target);
        ASSERT_EQ(QL_OK, c.scissor ? mDraw->Fill(0, 0, 32, 32, kRed) : mDraw->Fill(t[0], t[1], t[2], t[3], kRed));
        EndFrame();
        const std::vector<u32> texels = Read(target->GetDeviceTexture(), 32);
        EXPECT_EQ(0, WrongPixels(texels, 32, t[0], t[1], t[2], t[3], kRed, c.targetOutside));
    }
}

TEST_F(GlConventions, CounterClockwiseTrianglesAreCulledOnBothTargets)
{
    const float clockwise[6] = {0, 0, 32, 0, 0, 32};        // clockwise on screen (y down)
    const float counterClockwise[6] = {0, 0, 0, 32, 32, 0}; // same triangle, other winding
    render::TextureDX9* target = MakeTarget(32);
    for (render::TextureDX9* on : {static_cast<render::TextureDX9*>(nullptr), target})
        for (bool drawn : {false, true})
        {
            DrawInto(on);
            BeginFrame();
            if (on)
                ClearTarget(on);
            ASSERT_EQ(QL_OK, mDraw->Triangles(drawn ? clockwise : counterClockwise, 3, kRed));
            if (on)
                EndFrame();
            const std::vector<u32> pixels = on ? Read(on->GetDeviceTexture(), 32) : Frame();
            EXPECT_EQ(drawn ? kRed : kBlack, pixels[2 * (on ? 32 : kSize) + 2]) << (on ? "target" : "back buffer");
        }
}

// A viewport left at the back buffer's size on the target, or at the target's size back on the
// back buffer, misplaces the band.
TEST_F(GlConventions, RenderTargetDrawnToTheBackBufferAppearsUprightAndANewTextureIsTheOneSampled)
{
    render::TextureDX9* target = MakeTarget(16);
    BeginFrame();
    ClearTarget(target);
    DrawInto(target);
    ASSERT_EQ(QL_OK, mDraw->Fill(0, 0, 16, 4, kRed)); // a red band at the top
    DrawInto(nullptr);
    ASSERT_EQ(QL_OK, mDraw->Image(20, 30, 16, 16, target));
    EXPECT_EQ(0, WrongPixels(Frame(), kSize, 20, 30, 16, 4, kRed, kBlack));

    // GL hands deleted names out again; nothing may think the new texture is already bound.
    for (u32 colour : {0xFFFF0000u, 0xFF00FF00u})
    {
        PixelImage image(2, 2, std::vector<u32>(4, colour));
        render::Texture* texture = nullptr;
        EXPECT_EQ(QL_OK, mRender->CreateTexture(&texture));
        ASSERT_EQ(QL_OK, texture->CreateFromImage(image));
        BeginFrame();
        ASSERT_EQ(QL_OK, mDraw->Image(0, 0, 2, 2, texture));
        EXPECT_EQ(colour, Frame()[0]);
        delete texture;
    }
}

TEST_F(GlConventions, IndexedDrawsReadTheirIndicesFromEitherCache)
{
    auto* vertices = static_cast<render::BufferDoubleCache<render::VertexBuffer<render::SVertexGeom>>*>(
        mRender->GetVertexCache(render::GetVertexFormat<render::SVertexGeom>().mId));
    render::Shader* geom = nullptr;
    EXPECT_EQ(QL_OK, mRender->GetShaderGeom(&geom));
    EXPECT_EQ(QL_OK, geom->SetProjection(mRender->GetProjectionPointer()));
    BeginFrame();
    // Two quads of four vertices each, one through 16-bit and one through 32-bit indices.
    for (int quad = 0; quad < 2; ++quad)
    {
        const float x0 = 4.0f + 20 * quad - 0.5f, y0 = 4 - 0.5f, x1 = x0 + 8, y1 = y0 + 8;
        u32 first = 0, firstIndex = 0;
        render::CacheChunk chunk, indexChunk;
        ASSERT_EQ(QL_OK, vertices->Allocate(4, &first, &chunk));
        const render::SVertexGeom v[4] = {{x0, y0, 0, kRed}, {x1, y0, 0, kRed}, {x1, y1, 0, kRed}, {x0, y1, 0, kRed}};
        std::memcpy(chunk.mData, v, sizeof v);
        const u32 order[6] = {first, first + 1, first + 2, first, first + 2, first + 3};
        const u16 order16[6] = {u16(first), u16(first + 1), u16(first + 2), u16(first), u16(first + 2), u16(first + 3)};
        ASSERT_EQ(QL_OK, quad == 0 ? mRender->GetIndexCache16()->Allocate(6, &firstIndex, &indexChunk)
                                   : mRender->GetIndexCache32()->Allocate(6, &firstIndex, &indexChunk));
        std::memcpy(indexChunk.mData, quad == 0 ? static_cast<const void*>(order16) : order, quad == 0 ? 12 : 24);
        render::RenderState state;
        state.mShader = geom->GetImpl();
        state.mVertexBuffer = chunk.mBuffer;
        state.mIndexBuffer = indexChunk.mBuffer;
        ASSERT_EQ(QL_OK, mRender->ApplyState(&state, true));
        ASSERT_EQ(QL_OK, mRender->DrawIndexed(render::PRIM_TRIANGLELIST, firstIndex, 2, first, 4));
    }
    auto pixels = Frame();
    int red = 0;
    for (u32 p : pixels)
        red += p == kRed;
    EXPECT_EQ(128, red);
    EXPECT_EQ(kRed, pixels[4 * kSize + 4]);
    EXPECT_EQ(kRed, pixels[11 * kSize + 31]);
    EXPECT_EQ(kBlack, pixels[12 * kSize + 31]);
}
TEST_F(GlConventions, DrawingWorksAgainAfterALossAndResetAndBlendModesAddSourceAlpha)
{
    // What the loss releases and restores is the recording device's tests'; here the GL state.
    mDraw->mState.mBlendMode = render::BLEND_ADDITIVE;
    BeginFrame();
    ASSERT_EQ(QL_OK, mDraw->Fill(0, 0, 8, 8, kRed));
    EndFrame();
    mRender->GetDevice()->ForceStatus(gpu::DeviceStatus::Lost);
    EXPECT_FALSE(mRender->IsReady());
    mRender->GetDevice()->ForceStatus(gpu::DeviceStatus::NotReset);
    EXPECT_FALSE(mRender->IsReady());
    // The blend mode went back to its default on the device and in the records: the same state
    // record is recorded again in full.
    BeginFrame();
    ASSERT_EQ(QL_OK, mDraw->Fill(10, 20, 30, 40, 0x80FF0000));
    auto pixels = Frame();
    // Additive over opaque black: red 0xFF x 0.5; alpha 0x80 + 0xFF clamps to 0xFF.
    EXPECT_EQ(0xFF800000u, pixels[20 * kSize + 10]);
    EXPECT_EQ(kBlack, pixels[0]);

    // Blend modes: alpha rgb = src * a + dst * (1 - a); additive rgb = src * a + dst; alpha = src.a + dst.a.
    const struct
    {
        render::BlendModeEnum mode;
        u32 red, green;
    } cases[] = {{render::BLEND_ALPHA, 128, 64}, {render::BLEND_ADDITIVE, 128, 128}};
    for (const auto& c : cases)
    {
        const float background[4] = {0.0f, 0.5f, 0.0f, 0.25f};
        mDraw->mState.mBlendMode = c.mode;
        BeginFrame(background);
        ASSERT_EQ(QL_OK, mDraw->Fill(0, 0, 8, 8, 0x80FF0000));
        u32 mixedPixel = Frame()[0];
        EXPECT_NEAR(c.red, (mixedPixel >> 16) & 255, 1) << static_cast<u32>(c.mode);
        EXPECT_NEAR(c.green, (mixedPixel >> 8) & 255, 1) << static_cast<u32>(c.mode);
        EXPECT_NEAR(128 + 64, (mixedPixel >> 24) & 255, 1) << static_cast<u32>(c.mode);
    }
    // An unknown mode changes nothing: alpha blending stays.
    mDraw->mState.mBlendMode = render::BLEND_ALPHA;
    BeginFrame();
    ASSERT_EQ(QL_OK, mDraw->Fill(0, 0, 8, 8, 0x80FF0000));
    mDraw->mState.mBlendMode = static_cast<render::BlendModeEnum>(3);
    ASSERT_EQ(QL_OK, mDraw->Fill(8, 0, 8, 8, 0x80FF0000));
    auto mixed = Frame();
    EXPECT_EQ(mixed[0], mixed[8]);
}
} // namespace
