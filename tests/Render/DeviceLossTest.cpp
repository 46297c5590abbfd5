// The lost-device cycle driven by the window and the device status.
#include "RecordingFixture.h"

#include "Core/Render/DX9/BufferImplDX9.h"
#include "Core/Render/Shader.h"
#include "Core/Render/Texture.h"
#include "support/TempDir.h"

#include <functional>

#include <gtest/gtest.h>

using namespace rendertest;

namespace
{
class DeviceLoss : public RecordingFixture
{
protected:
    size_t Released() const { return mDevice->CallsStartingWith("DestroyBuffer").size(); }
};

TEST_F(DeviceLoss, AnInactiveFullScreenWindowReleasesOnceThenSleepsAndRecoversOnReturn)
{
    render::RenderInitParam param;
    param.mWidth = 64;
    param.mHeight = 64;
    param.mWindowed = false;
    ASSERT_EQ(QL_OK, mRender->ResetRender(param));
    mHarness.mWindow.mWindowed = false;
    mHarness.mWindow.mActive = false;
    mDevice->ClearCalls();
    EXPECT_FALSE(mRender->IsReady());
    EXPECT_TRUE(mRender->IsLost());
    const size_t released = Released(); // every dynamic buffer, once
    EXPECT_GE(released, 1u);
    EXPECT_FALSE(mRender->IsReady());
    EXPECT_FALSE(mRender->IsReady());
    EXPECT_EQ(released, Released());
    EXPECT_EQ(2u, mRender->GetLostSleeps());
    // Active again: the device was never really lost, but its resources were released. They come
    // back before anything is drawn with them.
    mHarness.mWindow.mActive = true;
    EXPECT_TRUE(mRender->IsReady());
    EXPECT_FALSE(mRender->IsLost());
    EXPECT_NE(0u, static_cast<render::BufferImplDX9*>(mBuffer)->GetDeviceBuffer());
}

TEST_F(DeviceLoss, ALostDeviceDropsTheRecordedFrameAndIsResetWhenItCanBeAndThatFrameIsStillSkipped)
{
    ASSERT_EQ(QL_OK, mRender->BeginScene());
    ASSERT_EQ(QL_OK, mRender->EndScene());
    EXPECT_GT(mRender->GetCommandBuffer().GetPosition(), 0u);
    mDevice->ForceStatus(gpu::DeviceStatus::Lost);
    EXPECT_FALSE(mRender->IsReady());
    EXPECT_EQ(0u, mRender->GetCommandBuffer().GetPosition());
    EXPECT_TRUE(mRender->IsLost());
    EXPECT_EQ(0u, static_cast<render::BufferImplDX9*>(mBuffer)->GetDeviceBuffer());
    const size_t released = Released();
    EXPECT_FALSE(mRender->IsReady());
    EXPECT_EQ(released, Released());
    EXPECT_EQ(2u, mRender->GetLostSleeps());

    mDevice->ForceStatus(gpu::DeviceStatus::NotReset);
    mDevice->FailNext("Reset");
    EXPECT_FALSE(mRender->IsReady()); // the reset fails: still lost
    EXPECT_TRUE(mRender->IsLost());
    EXPECT_FALSE(mRender->IsReady()); // reset now succeeds, the frame is skipped
    EXPECT_FALSE(mRender->IsLost());
    EXPECT_NE(0u, static_cast<render::BufferImplDX9*>(mBuffer)->GetDeviceBuffer());
    EXPECT_TRUE(mRender->IsReady());
}

// A window whose device is changed before the render starts on it.
struct ChangedDevice : render::HeadlessWindow
{
    explicit ChangedDevice(std::function<void(gpu::RecordingDevice&)> change)
        : HeadlessWindow(Backend::Recording), mChange(std::move(change))
    {
    }
    std::unique_ptr<gpu::Device> CreateDevice() override
    {
        auto device = HeadlessWindow::CreateDevice();
        mChange(*static_cast<gpu::RecordingDevice*>(device.get()));
        return device;
    }
    std::function<void(gpu::RecordingDevice&)> mChange;
};

TEST(RenderLifetime, AnOldAdapterOrAFailingShaderFailsTheStartAndObjectsOutlivingTheRenderReleaseSafely)
{
    render::RenderInitParam param;
    param.mWidth = param.mHeight = 32;
    ChangedDevice oldCard([](gpu::RecordingDevice& d) { d.MutableCaps().pixelShaderVersion = 0x104; });
    render::RenderDX9 onOldCard;
    EXPECT_EQ(QL_FAIL, onOldCard.InitRender(&oldCard, param));
    EXPECT_TRUE(oldCard.mUnsupported) << "the application is told";
    ChangedDevice failing([](gpu::RecordingDevice& d) { d.FailNext("CreateProgram"); });
    render::RenderDX9 onFailing;
    EXPECT_EQ(QL_FAIL, onFailing.InitRender(&failing, param));

    // Objects and file shaders that outlive the render release safely.
    testsupport::TempDir folder;
    folder.Write("LateVS.hlsl", "uniform mat4 Proj;\nin vec3 aPos;\n"
                                "void vertex_shader() { gl_Position = Proj * vec4(aPos, 1.0); }\n");
    folder.Write("LatePS.hlsl", "out vec4 o;\nvoid pixel_shader() { o = vec4(1.0); }\n");
    Harness harness(render::HeadlessWindow::Backend::Recording, 16, 16);
    ASSERT_TRUE(harness.Ok());
    render::Texture* texture = nullptr;
    ASSERT_EQ(QL_OK, harness.mRender->CreateTexture(&texture));
    ASSERT_EQ(QL_OK, texture->CreateDynamic(4, 4));
    render::Buffer* buffer = nullptr;
    ASSERT_EQ(QL_OK, harness.mRender->CreateIndexBuffer(2, 16, true, &buffer));
    render::ShaderImpl* shader = nullptr;
    ASSERT_EQ(QL_OK, harness.mRender->CreateShader("void vertex_shader() {}", "void pixel_shader() {}", &shader));
    base::CountedPtr<render::Shader> fileShader;
    ASSERT_EQ(QL_OK, harness.mRender->LoadShader(folder.WPath("Late"), &fileShader));
    harness.mRender.reset(); // e.g. images and shaders still held by a resource table at exit
    u32 count = 0, pitch = 0;
    void* bits = nullptr;
    EXPECT_EQ(QL_FAIL, texture->Lock(&count, &pitch, &bits));
    EXPECT_EQ(QL_FAIL, buffer->Lock());
    EXPECT_EQ(QL_OK, fileShader->UnLoad());
    EXPECT_EQ(nullptr, fileShader->GetImpl());
    delete texture;
    delete buffer;
    delete shader;
}

} // namespace
