// Vertex colour packing and the per-frame vertex caches.
#include "RecordingFixture.h"

#include "Core/Render/BufferDoubleCache.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace rendertest;

namespace
{
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
