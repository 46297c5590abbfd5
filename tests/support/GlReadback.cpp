// Read-back of headless OpenGL frames and their comparison with stored PNG references.
#include "support/GlReadback.h"

#include "Image/ImageBuilders.h"

#include "Core/Base/Stream.h"
#include "Core/Base/StringConvert.h"
#include "Core/Media/Image/ImageLoader.h"
#include "Core/Render/DX9/RenderDX9.h"
#include "Platform/Gpu/Device.h"
#include "support/TempDir.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

namespace testsupport
{
namespace
{
std::vector<u32> ReadPng(const std::string& path, u32& width, u32& height)
{
    std::ifstream file(path, std::ios::binary);
    const imagetest::Bytes bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.empty())
        return {};
    base::MemoryStream stream(bytes.data(), static_cast<u32>(bytes.size()));
    std::unique_ptr<render::ImageData> data(render::ImageLoader::Instance()->Load(&stream, L".png", nullptr));
    if (!data)
        return {};
    width = static_cast<u32>(data->mWidth);
    height = static_cast<u32>(data->mHeight);
    std::vector<u32> pixels(width * height);
    render::HitMask mask;
    (void)data->CopyPixels(width * 4, reinterpret_cast<u8*>(pixels.data()), mask);
    return pixels;
}

int ChannelDistance(u32 a, u32 b)
{
    int worst = 0;
    for (int shift = 0; shift < 32; shift += 8)
        worst =
            std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
    return worst;
}
} // namespace

std::vector<u32> ReadFrame(render::RenderDX9* render, u32 width, u32 height)
{
    EXPECT_EQ(QL_OK, render->EndScene());
    EXPECT_EQ(QL_OK, render->Present());
    EXPECT_EQ(QL_OK, render->ExecuteCommands());
    std::vector<u32> pixels;
    EXPECT_EQ(QL_OK,
              render->GetDevice()->ReadPixels(0, 0, 0, static_cast<i32>(width), static_cast<i32>(height), &pixels));
    return pixels;
}

::testing::AssertionResult Near(u32 expected, u32 actual, int tolerance)
{
    if (ChannelDistance(expected, actual) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << std::hex << "expected " << expected << ", got " << actual;
}

::testing::AssertionResult MatchesReference(const std::vector<u32>& pixels, u32 width, u32 height,
                                            const std::string& path, int tolerance, u32 allowedDifferent)
{
    if (pixels.size() != static_cast<size_t>(width) * height)
        return ::testing::AssertionFailure() << "the frame holds " << pixels.size() << " pixels";
    if (std::getenv("QL_UPDATE_REFERENCES"))
        imagetest::WriteFile(base::StringToWString(path), imagetest::EncodePng(width, height, pixels, false));
    u32 refWidth = 0, refHeight = 0;
    const std::vector<u32> expected = ReadPng(path, refWidth, refHeight);
    if (refWidth != width || refHeight != height)
        return ::testing::AssertionFailure() << "missing or mis-sized reference " << path;
    u32 different = 0;
    for (size_t i = 0; i < pixels.size(); ++i)
        different += ChannelDistance(pixels[i] | 0xFF000000u, expected[i] | 0xFF000000u) > tolerance ? 1 : 0;
    if (different <= allowedDifferent)
        return ::testing::AssertionSuccess();
    // Beside the other test files of the run (the build tree), never in the source tree.
    const std::filesystem::path folder = TestTmpRoot();
    std::filesystem::create_directories(folder);
    const std::string actual = (folder / (std::filesystem::path(path).stem().string() + ".actual.png")).string();
    imagetest::WriteFile(base::StringToWString(actual), imagetest::EncodePng(width, height, pixels, false));
    return ::testing::AssertionFailure() << different << " pixels differ from " << path << " (frame written to "
                                         << std::filesystem::absolute(actual) << ")";
}
} // namespace testsupport
