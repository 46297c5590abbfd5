// A renderer on the recording device with the geometry shader on the render's projection and a
// dynamic buffer of 64 geometry vertices, both in a state record ready to apply.
#pragma once

#include "RenderTestSupport.h"

#include "Core/Render/Buffer.h"

#include <gtest/gtest.h>

namespace rendertest
{
class RecordingFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mHarness.Ok());
        mRender = mHarness.mRender.get();
        mDevice = mHarness.Recording();
        ASSERT_EQ(QL_OK, mRender->GetShaderGeom(&mGeom));
        ASSERT_EQ(QL_OK, mGeom->SetProjection(mRender->GetProjectionPointer()));
        ASSERT_EQ(QL_OK,
                  mRender->CreateVertexBuffer(render::GetVertexFormat<render::SVertexGeom>(), 64, true, &mBuffer));
        mState.mShader = mGeom->GetImpl();
        mState.mVertexBuffer = mBuffer;
    }
    void TearDown() override { delete mBuffer; }

    // Commands recorded this frame from `from` on.
    std::vector<Command> Since(size_t from)
    {
        auto all = Decode(mRender->GetCommandBuffer());
        return std::vector<Command>(all.begin() + static_cast<long>(std::min(from, all.size())), all.end());
    }

    Harness mHarness{render::HeadlessWindow::Backend::Recording};
    render::RenderDX9* mRender = nullptr;
    gpu::RecordingDevice* mDevice = nullptr;
    render::Shader* mGeom = nullptr;
    render::Buffer* mBuffer = nullptr;
    render::RenderState mState;
};
} // namespace rendertest
