// The GL device on a headless context: programs by entry point, constants and samplers by name,
// texture rules. Skipped with a message where no headless GL exists.
#include "Platform/Gpu/GlDevice.h"
#include "Platform/Gpu/EglContext.h"
#include "Platform/Gpu/RecordingDevice.h"
#include "support/CiSkip.h"

#include <gtest/gtest.h>

namespace
{
const char* const kVertex = "uniform mat4 Proj;\nin vec4 aPos;\nvoid vertex_shader() { gl_Position = Proj * aPos; }\n";
const char* const kPixel = "uniform vec4 color2;\nuniform sampler2D First;\nuniform sampler2D Second;\n"
                           "out vec4 o;\nvoid pixel_shader() { o = color2 * texture(First, vec2(0)) * "
                           "texture(Second, vec2(0)); }\n";

class GlDevice : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string why;
        mContext = gpu::EglContext::Create(&why);
        if (!mContext)
            QL_SKIP_OR_FAIL_IN_CI("headless OpenGL unavailable: " + why);
        mDevice = gpu::CreateGlDevice(mContext.get());
        ASSERT_NE(nullptr, mDevice);
        ASSERT_EQ(QL_OK, mDevice->Init(32, 32));
    }
    std::unique_ptr<gpu::EglContext> mContext;
    std::unique_ptr<gpu::Device> mDevice;
};

TEST_F(GlDevice, ProgramsAreBuiltFromTheirEntryPointsOrFailWithTheCompilersMessages)
{
    gpu::ProgramId program = 0;
    std::string messages;
    ASSERT_EQ(QL_OK, mDevice->CreateProgram(kVertex, "vertex_shader", kPixel, "pixel_shader", &program, &messages));
    EXPECT_GE(mDevice->FindConstant(program, "Proj"), 0);
    EXPECT_GE(mDevice->FindConstant(program, "color2"), 0);
    EXPECT_EQ(-1, mDevice->FindConstant(program, "Missing"));
    const i32 first = mDevice->FindSampler(program, "First");
    const i32 second = mDevice->FindSampler(program, "Second");
    EXPECT_GE(first, 0);
    EXPECT_GE(second, 0);
    EXPECT_NE(first, second);
    EXPECT_EQ(-1, mDevice->FindSampler(program, "color2"));
    const float v[4] = {1, 2, 3, 4};
    EXPECT_EQ(QL_OK, mDevice->SetConstantVector(program, -1, v)); // unknown: silently nothing
    EXPECT_EQ(QL_OK, mDevice->SetConstantVector(program, mDevice->FindConstant(program, "color2"), v));
    mDevice->DestroyProgram(program);
    // Compiler errors fail with their messages.
    messages.clear();
    EXPECT_EQ(QL_FAIL, mDevice->CreateProgram("void vertex_shader() { undeclared = 1; }", "vertex_shader", kPixel,
                                              "pixel_shader", &program, &messages));
    EXPECT_NE(std::string::npos, messages.find("vertex"));
    messages.clear();
    EXPECT_EQ(QL_FAIL, mDevice->CreateProgram(kVertex, "main_vs", kPixel, "pixel_shader", &program, &messages));
    messages.clear();
    EXPECT_EQ(QL_FAIL, mDevice->CreateProgram("", "vertex_shader", kPixel, "pixel_shader", &program, &messages));
    EXPECT_FALSE(messages.empty());
    EXPECT_EQ(QL_FAIL,
              mDevice->CreateProgram(kVertex, "vertex_shader(); evil", kPixel, "pixel_shader", &program, &messages));
}

TEST_F(GlDevice, TextureContentsReadBackTopRowFirstBadSizesAreRefusedAndLossIsReportedWhenAskedFor)
{
    gpu::TextureId target = 0;
    ASSERT_EQ(QL_OK, mDevice->CreateTexture(2, 2, gpu::TextureFormat::ARGB8, gpu::TextureUsage::RenderTarget, &target));
    const u32 pixels[4] = {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0x80FFFFFF};
    ASSERT_EQ(QL_OK, mDevice->UpdateTexture(target, pixels, 8));
    std::vector<u32> out;
    ASSERT_EQ(QL_OK, mDevice->ReadPixels(target, 0, 0, 2, 2, &out));
    EXPECT_EQ(std::vector<u32>(pixels, pixels + 4), out);
    EXPECT_EQ(QL_FAIL, mDevice->ReadPixels(target, 1, 1, 2, 2, &out)); // outside
    // Textures of no size, beyond the limit or compressed targets are refused.
    gpu::TextureId texture = 0;
    EXPECT_EQ(QL_FAIL, mDevice->CreateTexture(0, 0, gpu::TextureFormat::ARGB8, gpu::TextureUsage::Static, &texture));
    const u32 tooWide = mDevice->GetCaps().maxTextureWidth + 1;
    EXPECT_EQ(QL_FAIL,
              mDevice->CreateTexture(tooWide, 1, gpu::TextureFormat::ARGB8, gpu::TextureUsage::Static, &texture));
    EXPECT_EQ(QL_FAIL,
              mDevice->CreateTexture(4, 4, gpu::TextureFormat::DXT1, gpu::TextureUsage::RenderTarget, &texture));

    // Loss is reported only when asked for.
    EXPECT_EQ(gpu::DeviceStatus::Ok, mDevice->TestStatus());
    mDevice->ForceStatus(gpu::DeviceStatus::Lost);
    EXPECT_EQ(QL_FAIL, mDevice->Reset());
    mDevice->ForceStatus(gpu::DeviceStatus::NotReset);
    EXPECT_EQ(QL_OK, mDevice->Reset());
    EXPECT_EQ(gpu::DeviceStatus::Ok, mDevice->TestStatus());
}

// Failing on request is relied on, and so checked, by the render's loss and playback tests.
TEST(RecordingDevice, RefusesWritesPastABufferAndEmptyTextures)
{
    gpu::RecordingDevice device;
    ASSERT_EQ(QL_OK, device.Init(8, 8));
    gpu::BufferId buffer = 0;
    ASSERT_EQ(QL_OK, device.CreateBuffer(gpu::BufferKind::Vertex, 16, true, &buffer));
    const u8 bytes[4] = {1, 2, 3, 4};
    ASSERT_EQ(QL_OK, device.UpdateBuffer(buffer, bytes, 12, 4));
    EXPECT_EQ(QL_FAIL, device.UpdateBuffer(buffer, bytes, 13, 4)); // past the end
    EXPECT_EQ(4, (*device.BufferData(buffer))[15]);
    gpu::TextureId texture = 0;
    EXPECT_EQ(QL_FAIL, device.CreateTexture(0, 4, gpu::TextureFormat::ARGB8, gpu::TextureUsage::Static, &texture));
}
} // namespace

namespace
{
TEST(EglContext, TwoContextsLiveSideBySide)
{
    std::string why;
    auto first = gpu::EglContext::Create(&why);
    if (!first)
        QL_SKIP_OR_FAIL_IN_CI("headless OpenGL unavailable: " + why);
    {
        auto second = gpu::EglContext::Create(&why);
        ASSERT_NE(nullptr, second);
        auto device = gpu::CreateGlDevice(second.get());
        ASSERT_NE(nullptr, device);
        EXPECT_EQ(QL_OK, device->Init(8, 8));
    }
    // The first still works after the second is gone.
    auto device = gpu::CreateGlDevice(first.get());
    ASSERT_NE(nullptr, device);
    ASSERT_EQ(QL_OK, device->Init(8, 8));
    EXPECT_EQ(QL_OK, device->Clear(gpu::kClearTarget, 0xFF204060, 1.0f, 0));
    std::vector<u32> pixels;
    ASSERT_EQ(QL_OK, device->ReadPixels(0, 0, 0, 8, 8, &pixels));
    EXPECT_EQ(0xFF204060u, pixels[0]);
}
} // namespace
