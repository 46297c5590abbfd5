// A drawing context over a renderer on a headless window, with helpers to make images and to
// read back what a frame recorded.
#pragma once

#include "Render/RenderTestSupport.h"
#include "support/CiSkip.h"

#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Image/Image.h"
#include "Core/Render/BufferDoubleCache.h"
#include "Core/Render/Texture.h"
#include "Core/Render/VertexFormat.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace graphicstest
{
class GraphicsFixture : public ::testing::Test
{
protected:
    explicit GraphicsFixture(render::HeadlessWindow::Backend backend = render::HeadlessWindow::Backend::Recording,
                             u32 width = 64, u32 height = 64)
        : mHarness(backend, width, height)
    {
    }

    void SetUp() override
    {
        if (!mHarness.mWindow.IsAvailable())
            QL_SKIP_OR_FAIL_IN_CI("headless device unavailable: " + mHarness.mWindow.WhyUnavailable());
        ASSERT_TRUE(mHarness.Ok());
        mRender = mHarness.mRender.get();
        ASSERT_TRUE(mRender->IsReady());
        ASSERT_EQ(QL_OK, mRender->BeginScene());
        mGraphics = std::make_unique<render::Graphics>(mRender);
    }
    void TearDown() override
    {
        mGraphics.reset();
        mImages.clear();
        if (mRender && mRender->IsInScene())
        {
            (void)mRender->EndScene();
            (void)mRender->ExecuteCommands();
        }
    }

    // An image that owns a texture made from these pixels (0xAARRGGBB, top row first).
    render::Image* MakeImage(u32 width, u32 height, const std::vector<u32>& pixels)
    {
        render::Texture* texture = nullptr;
        EXPECT_EQ(QL_OK, mRender->CreateTexture(&texture));
        rendertest::PixelImage data(width, height, pixels);
        EXPECT_EQ(QL_OK, texture->CreateFromImage(data));
        mImages.push_back(std::make_unique<render::Image>(texture));
        return mImages.back().get();
    }
    render::Image* MakeImage(u32 width, u32 height, u32 argb = 0xFFFFFFFF)
    {
        return MakeImage(width, height, std::vector<u32>(width * height, argb));
    }

    // Ends the scene (flushing the pending draw) and decodes the recording.
    std::vector<rendertest::Command> EndAndDecode()
    {
        EXPECT_EQ(QL_OK, mRender->EndScene());
        return rendertest::Decode(mRender->GetCommandBuffer());
    }

    // The locked main buffer of a vertex layout this frame.
    template <class V> V* CacheVertices()
    {
        auto* cache = static_cast<render::BufferDoubleCache<render::VertexBuffer<V>>*>(
            mRender->GetVertexCache(render::GetVertexFormat<V>().mId));
        for (u32 i = 0; i < 2; ++i)
            if (cache->GetMain(i) && cache->GetMain(i)->GetBuffer()->IsLocked())
                return cache->GetMain(i)->GetData();
        return nullptr;
    }

    rendertest::Harness mHarness;
    render::RenderDX9* mRender = nullptr;
    std::unique_ptr<render::Graphics> mGraphics;
    std::vector<std::unique_ptr<render::Image>> mImages;
};

// A transformer that forwards to another command and remembers the vertices it was given.
class CaptureTransformer : public render::DrawParam
{
public:
    explicit CaptureTransformer(render::DrawParam* inner = nullptr) : mInner(inner) { Cancel(); }
    QLResultEnum TransformVertices(void* vertices, const render::VertexFormat& format, u32 count) override
    {
        const QLResultEnum result = mInner ? mInner->TransformVertices(vertices, format, count) : QL_OK;
        if (format.mStride == sizeof(render::SVertex2D))
        {
            const auto* v = static_cast<const render::SVertex2D*>(vertices);
            mSeen.insert(mSeen.end(), v, v + count);
        }
        return result;
    }
    render::DrawParam* mInner;
    std::vector<render::SVertex2D> mSeen; // copies as transformed, before the context's own steps
};
} // namespace graphicstest
