// The front end's recording: state de-duplication, draw merging, target switches, the depth
// command, and playback (decoded from the stream, replayed to the recording device).
#include "RecordingFixture.h"

#include "Core/Render/CommandBuffer.h"
#include "Core/Render/DX9/TextureDX9.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace rendertest;
using render::CommandBuffer;

namespace
{
class CommandRecording : public RecordingFixture
{
protected:
    void SetUp() override
    {
        RecordingFixture::SetUp();
        ASSERT_TRUE(mRender->IsReady());
        ASSERT_EQ(QL_OK, mRender->BeginScene());
        mDevice->ClearCalls();
    }
    std::vector<Command> Recorded() { return Since(0); }
};

TEST_F(CommandRecording, ContinuingListAndIndexedDrawsMergeAndStripsFansOrGapsStaySeparate)
{
    ASSERT_EQ(QL_OK, mRender->ApplyState(&mState, false));
    ASSERT_EQ(QL_OK, mRender->Draw(render::PRIM_TRIANGLELIST, 0, 2));
    ASSERT_EQ(QL_OK, mRender->Draw(render::PRIM_TRIANGLELIST, 6, 4));  // continues: one draw of 6
    ASSERT_EQ(QL_OK, mRender->Draw(render::PRIM_TRIANGLELIST, 25, 1)); // a gap
    ASSERT_EQ(QL_OK, mRender->Draw(render::PRIM_TRIANGLESTRIP, 30, 2));
    ASSERT_EQ(QL_OK, mRender->Draw(render::PRIM_TRIANGLESTRIP, 34, 2)); // strips never merge
    ASSERT_EQ(QL_OK, mRender->Draw(render::PRIM_TRIANGLEFAN, 38, 2));
    ASSERT_EQ(QL_OK, mRender->Draw(render::PRIM_TRIANGLEFAN, 42, 2));
    ASSERT_EQ(QL_OK, mRender->Draw(render::PRIM_LINELIST, 50, 2));
    ASSERT_EQ(QL_OK, mRender->Draw(render::PRIM_LINELIST, 54, 3)); // lines continue: 50 + 2 x 2
    ASSERT_EQ(QL_OK, mRender->Draw(render::PRIM_LINESTRIP, 60, 3));
    ASSERT_EQ(QL_OK, mRender->Draw(render::PRIM_POINTLIST, 64, 5));
    ASSERT_EQ(QL_OK, mRender->FlushDraw());
    auto draws = Only(Recorded(), render::CMD_DRAW);
    ASSERT_EQ(9u, draws.size());
    EXPECT_EQ((std::vector<u64>{render::PRIM_TRIANGLELIST, 0, 6}), draws[0].args);
    EXPECT_EQ((std::vector<u64>{render::PRIM_LINELIST, 50, 5}), draws[6].args);

    // Indexed draws merge with the union of their vertex ranges.
    render::Buffer* indices = nullptr;
    ASSERT_EQ(QL_OK, mRender->CreateIndexBuffer(2, 64, true, &indices));
    mState.mIndexBuffer = indices;
    ASSERT_EQ(QL_OK, mRender->ApplyState(&mState, false));
    ASSERT_EQ(QL_OK, mRender->DrawIndexed(render::PRIM_TRIANGLELIST, 0, 2, 10, 4));
    ASSERT_EQ(QL_OK, mRender->DrawIndexed(render::PRIM_TRIANGLELIST, 6, 1, 4, 3));
    ASSERT_EQ(QL_OK, mRender->FlushDraw());
    auto indexed = Only(Recorded(), render::CMD_DRAW_INDEXED);
    ASSERT_EQ(1u, indexed.size());
    // type, index size, start, count, min vertex = min(10, 4), count = max(14, 7) - 4.
    EXPECT_EQ((std::vector<u64>{render::PRIM_TRIANGLELIST, 2, 0, 3, 4, 10}), indexed[0].args);
    delete indices;
    // Played back, primitive counts become vertex counts.
    ASSERT_EQ(QL_OK, mRender->EndScene());
    ASSERT_EQ(QL_OK, mRender->ExecuteCommands());
    const auto played = mDevice->CallsStartingWith("Draw ");
    ASSERT_EQ(9u, played.size());
    EXPECT_EQ("Draw TriangleStrip 30 4", played[2]);
    EXPECT_EQ("Draw LineStrip 60 4", played[7]);
    EXPECT_EQ("Draw Points 64 5", played[8]);
}

TEST_F(CommandRecording, EachStateChangeFlushesTheDrawThenRecordsOnlyWhatChanged)
{
    render::Buffer* second = nullptr;
    render::Buffer* textured = nullptr;
    render::Texture* target = nullptr;
    ASSERT_EQ(QL_OK, mRender->CreateVertexBuffer(render::GetVertexFormat<render::SVertexGeom>(), 8, true, &second));
    ASSERT_EQ(QL_OK, mRender->CreateVertexBuffer(render::GetVertexFormat<render::SVertex2D>(), 8, true, &textured));
    ASSERT_EQ(QL_OK, mRender->CreateTexture(&target));
    ASSERT_EQ(QL_OK, target->CreateRenderTarget(32, 32));
    mState.mScissorEnabled = true;
    mState.mScissorWidth = 5;
    mState.mScissorHeight = 6;
    ASSERT_EQ(QL_OK, mRender->ApplyState(&mState, false));
    ASSERT_EQ(QL_OK, mRender->Draw(render::PRIM_TRIANGLELIST, 0, 1));
    // Each step changes the record, applies it forced and draws; the draw before it is flushed and
    // only the changed fields are recorded.
    const struct
    {
        const char* what;
        std::function<void(render::RenderState&)> change;
        const char* opcodes;
        u64 firstArgument; // of the second command
    } steps[] = {
        {"blend mode", [](render::RenderState& s) { s.mBlendMode = render::BLEND_ADDITIVE; }, "16 11",
         static_cast<u64>(render::BLEND_ADDITIVE)},
        {"a buffer of the same format", [&](render::RenderState& s) { s.mVertexBuffer = second; }, "16 9",
         reinterpret_cast<uintptr_t>(second)},
        {"a buffer of another format", [&](render::RenderState& s) { s.mVertexBuffer = textured; }, "16 8 9",
         render::GetVertexFormat<render::SVertex2D>().mId},
        // A target switch sends the scissor again.
        {"a render target", [&](render::RenderState& s) { s.mTarget = target; }, "16 4 12 13",
         reinterpret_cast<uintptr_t>(target)},
        {"the back buffer", [](render::RenderState& s) { s.mTarget = nullptr; }, "16 5 12 13", 0},
    };
    for (const auto& step : steps)
    {
        SCOPED_TRACE(step.what);
        const size_t before = Recorded().size();
        step.change(mState);
        ASSERT_EQ(QL_OK, mRender->ApplyState(&mState, true));
        ASSERT_EQ(QL_OK, mRender->Draw(render::PRIM_TRIANGLELIST, 3, 1));
        const auto after = Since(before);
        EXPECT_EQ(step.opcodes, Opcodes(after));
        if (step.firstArgument)
        {
            ASSERT_GE(after.size(), 2u);
            EXPECT_EQ(step.firstArgument, after[1].args[0]);
        }
    }
    EXPECT_EQ((std::vector<u64>{0, 0, 5, 6}), Only(Recorded(), render::CMD_SET_SCISSOR_RECT).back().args);
    // The same record changed behind the renderer's back, not forced: the cheap path ignores it.
    mState.mBlendMode = render::BLEND_ALPHA;
    ASSERT_EQ(QL_OK, mRender->ApplyState(&mState, false));
    EXPECT_FALSE(mRender->IsStateChanged());

    // Played back: the device sees the target, then the back buffer.
    ASSERT_EQ(QL_OK, mRender->EndScene());
    ASSERT_EQ(QL_OK, mRender->ExecuteCommands());
    auto targets = mDevice->CallsStartingWith("SetRenderTarget");
    ASSERT_EQ(2u, targets.size());
    EXPECT_NE("SetRenderTarget 0", targets[0]);
    EXPECT_EQ("SetRenderTarget 0", targets[1]);
    delete target;
    delete second;
    delete textured;
}

TEST_F(CommandRecording, DepthIsOneCommandCarryingTheWriteFlagWhenEnabled)
{
    mState.mDepthTest = true;
    mState.mDepthWrite = false;
    ASSERT_EQ(QL_OK, mRender->ApplyState(&mState, false));
    ASSERT_EQ(QL_OK, mRender->Draw(render::PRIM_TRIANGLELIST, 0, 1));
    render::RenderState off = mState;
    off.mDepthTest = false;
    ASSERT_EQ(QL_OK, mRender->ApplyState(&off, false));
    ASSERT_EQ(QL_OK, mRender->Draw(render::PRIM_TRIANGLELIST, 3, 1));
    ASSERT_EQ(QL_OK, mRender->EndScene());
    auto depth = Only(Recorded(), render::CMD_SET_DEPTH);
    ASSERT_EQ(2u, depth.size());
    EXPECT_EQ((std::vector<u64>{1, 0}), depth[0].args);
    EXPECT_EQ((std::vector<u64>{0}), depth[1].args);
    EXPECT_TRUE(Only(Recorded(), render::CMD_UNUSED_15).empty());
    // The player reads both flags and stays in step: both draws reach the device.
    ASSERT_EQ(QL_OK, mRender->ExecuteCommands());
    EXPECT_EQ((std::vector<std::string>{"SetDepth 1 0", "SetDepth 0 0"}), mDevice->CallsStartingWith("SetDepth"));
    EXPECT_EQ(2u, mDevice->CallsStartingWith("Draw ").size());
}

TEST_F(CommandRecording, UnknownOpcodesAreSkippedAndAShortCommandFails)
{
    CommandBuffer& buffer = mRender->GetCommandBuffer();
    buffer.Rewind();
    ASSERT_TRUE(buffer.WriteU32(200));
    ASSERT_TRUE(buffer.WriteU32(render::CMD_PRESENT));
    mDevice->ClearCalls();
    ASSERT_EQ(QL_OK, mRender->ExecuteCommands());
    EXPECT_EQ((std::vector<std::string>{"Present"}), mDevice->Calls());

    // A draw whose arguments were cut off at the end of the stream.
    struct ProbeRender : render::RenderDX9
    {
        using render::Render::PlayOne;
    } probe;
    render::HeadlessWindow window(render::HeadlessWindow::Backend::Recording);
    render::RenderInitParam param;
    param.mWidth = param.mHeight = 16;
    ASSERT_EQ(QL_OK, probe.InitRender(&window, param));
    CommandBuffer& cut = probe.GetCommandBuffer();
    ASSERT_TRUE(cut.WriteU32(render::CMD_DRAW));
    ASSERT_TRUE(cut.WriteU32(render::PRIM_TRIANGLELIST));
    cut.Resize(cut.GetPosition(), true);
    cut.Rewind();
    u32 opcode = 0;
    ASSERT_TRUE(cut.ReadU32(opcode));
    bool done = false;
    EXPECT_EQ(QL_FAIL, probe.PlayOne(opcode, done));
    EXPECT_FALSE(done);
    cut.Rewind();
}

TEST_F(CommandRecording, AFailedPlaybackOrANotReadyWindowDropsTheFrameAndTheNextStartsAtZero)
{
    ASSERT_EQ(QL_OK, mRender->ApplyState(&mState, false));
    ASSERT_EQ(QL_OK, mRender->Draw(render::PRIM_TRIANGLELIST, 0, 1));
    ASSERT_EQ(QL_OK, mRender->EndScene());
    ASSERT_EQ(QL_OK, mRender->Present());
    mDevice->FailNext("Present");
    EXPECT_EQ(QL_FAIL, mRender->ExecuteCommands());
    EXPECT_EQ(0u, mRender->GetCommandBuffer().GetPosition());

    mDevice->ClearCalls();
    ASSERT_EQ(QL_OK, mRender->BeginScene());
    ASSERT_EQ(QL_OK, mRender->EndScene());
    ASSERT_EQ(QL_OK, mRender->ExecuteCommands());
    EXPECT_EQ((std::vector<std::string>{"BeginScene", "EndScene"}), mDevice->Calls());

    // A window that is not ready drops the frame's recording too.
    ASSERT_EQ(QL_OK, mRender->BeginScene());
    ASSERT_EQ(QL_OK, mRender->ApplyState(&mState, false));
    ASSERT_EQ(QL_OK, mRender->Draw(render::PRIM_TRIANGLELIST, 0, 1));
    ASSERT_EQ(QL_OK, mRender->EndScene());
    EXPECT_GT(mRender->GetCommandBuffer().GetPosition(), 0u);
    mHarness.mWindow.mMinimized = true;
    EXPECT_FALSE(mRender->IsReady());
    EXPECT_EQ(0u, mRender->GetCommandBuffer().GetPosition());
    // A minimised window skips frames without releasing anything or sleeping as a lost device.
    EXPECT_FALSE(mRender->IsReady());
    EXPECT_TRUE(mDevice->CallsStartingWith("DestroyBuffer").empty());
    EXPECT_FALSE(mRender->IsLost());
    EXPECT_EQ(0u, mRender->GetLostSleeps());
    mHarness.mWindow.mMinimized = false;
    mDevice->ClearCalls();
    ASSERT_TRUE(mRender->IsReady());
    ASSERT_EQ(QL_OK, mRender->ExecuteCommands());
    EXPECT_TRUE(mDevice->CallsStartingWith("Draw").empty());
}

TEST_F(CommandRecording, ClearsRecordAPendingTargetSwitchFirstAndObjectsReleasedMidFrameLiveUntilThePlayback)
{
    render::Texture* target = nullptr;
    ASSERT_EQ(QL_OK, mRender->CreateTexture(&target));
    ASSERT_EQ(QL_OK, target->CreateRenderTarget(8, 8));
    render::RenderState onTarget = mState;
    onTarget.mTarget = target;
    mRender->SetTarget(&onTarget);
    const size_t before = Recorded().size();
    const float colour[4] = {0.5f, 0.25f, 1.0f, 0.0f};
    ASSERT_EQ(QL_OK, mRender->Clear(1, colour, 1.0f, 0));
    ASSERT_EQ("4 0", Opcodes(Since(before)));
    // A second clear on the same target records only the clear.
    ASSERT_EQ(QL_OK, mRender->Clear(1, colour, 1.0f, 0));
    EXPECT_EQ("4 0 0", Opcodes(Since(before)));

    ASSERT_EQ(QL_OK, mRender->ApplyState(&onTarget, false));
    ASSERT_EQ(QL_OK, mRender->Draw(render::PRIM_TRIANGLELIST, 0, 1));
    mRender->DeleteAfterPlayback(target);
    EXPECT_EQ(1u, mRender->GetTextures().size()); // still there: the recording names it
    ASSERT_EQ(QL_OK, mRender->EndScene());
    ASSERT_EQ(QL_OK, mRender->ExecuteCommands());
    EXPECT_TRUE(mRender->GetTextures().empty());
    EXPECT_EQ(1u, mDevice->CallsStartingWith("DestroyTexture").size());
    // With nothing recorded the object goes at once.
    render::Texture* other = nullptr;
    ASSERT_EQ(QL_OK, mRender->CreateTexture(&other));
    mRender->DeleteAfterPlayback(other);
    EXPECT_TRUE(mRender->GetTextures().empty());
}

TEST_F(CommandRecording, TheBufferKeepsItsContentsThroughGrowthAndPixelCoordsTruncate)
{
    CommandBuffer buffer;
    ASSERT_TRUE(buffer.WriteU32(1));
    std::vector<u8> big(50000, 7);
    ASSERT_EQ(50000u, buffer.Write(big.data(), 50000));
    buffer.Rewind();
    u32 first = 0;
    ASSERT_TRUE(buffer.ReadU32(first));
    EXPECT_EQ(1u, first);

    // Pixel coordinates take the pending mapping and truncate.
    const float in[4] = {10.7f, -3.7f, 5.5f, 2.5f};
    i32 out[4];
    ASSERT_EQ(QL_OK, mRender->ToPixelCoords(in, out));
    EXPECT_EQ((std::vector<i32>{10, -3, 5, 2}), std::vector<i32>(out, out + 4)); // toward zero
    // A wild rectangle stays inside the integer range.
    const float wild[4] = {1e20f, -1e20f, std::nanf(""), 3e9f};
    ASSERT_EQ(QL_OK, mRender->ToPixelCoords(wild, out));
    EXPECT_GT(out[0], 2000000000);
    EXPECT_LT(out[1], -2000000000);
    EXPECT_EQ(0, out[2]);
    EXPECT_GT(out[3], 2000000000);
}

} // namespace
