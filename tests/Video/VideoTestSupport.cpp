// Video test helpers.
#include "VideoTestSupport.h"

#include "Core/Base/Singletone.h"
#include "Core/Base/Stream.h"
#include "Core/Media/Image/ImageFactory.h"
#include "Core/Render/DX9/TextureDX9.h"
#include "support/TempDir.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace videotest
{
const u32 kSequence[8] = {0xFFC83C28, 0xFF28AA50, 0xFF3C50D2, 0xFFE6E6E6,
                          0xFF141414, 0xFF808080, 0xFFDCC83C, 0xFF3CBEC8};

std::string TestVideo(const std::string& name) { return testsupport::RepoTestData("video/" + name).string(); }

std::string ContentFile(const std::string& relative) { return std::string(QL_SOURCE_DIR) + "/content/" + relative; }

Bytes ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << path;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int ColourDistance(u32 a, u32 b)
{
    int worst = 0;
    for (int shift = 0; shift < 32; shift += 8)
        worst =
            std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
    return worst;
}

std::string Hex(u32 argb)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%08X", argb);
    return text;
}

std::vector<Page> SplitPages(const Bytes& bytes)
{
    std::vector<Page> pages;
    size_t at = 0;
    while (at + 27 <= bytes.size() && std::equal(bytes.begin() + at, bytes.begin() + at + 4, "OggS"))
    {
        const size_t segments = bytes[at + 26];
        size_t length = 27 + segments;
        for (size_t i = 0; i < segments && at + 27 + i < bytes.size(); ++i)
            length += bytes[at + 27 + i];
        pages.push_back({at, length});
        at += length;
    }
    return pages;
}

void SetPageChecksum(Bytes& bytes, const Page& page)
{
    // Ogg's CRC-32: polynomial 0x04C11DB7, no reflection, initial value 0, over the page with
    // its checksum field zeroed.
    u8* data = bytes.data() + page.mOffset;
    std::fill(data + 22, data + 26, 0);
    u32 crc = 0;
    for (size_t i = 0; i < page.mLength; ++i)
    {
        crc ^= static_cast<u32>(data[i]) << 24;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    for (int i = 0; i < 4; ++i)
        data[22 + i] = static_cast<u8>(crc >> (8 * i));
}

void PlayerFixture::SetUp()
{
    ASSERT_TRUE(mHarness.Ok());
    mVideo = std::make_unique<video::TheoraVideo>(&mListener);
}

void PlayerFixture::TearDown()
{
    mImage.reset();
    mVideo.reset();
}

void PlayerFixture::OpenTest(const std::string& name) { OpenBytes(ReadBytes(TestVideo(name)), name); }

void PlayerFixture::OpenBytes(const Bytes& bytes, const std::string& name)
{
    auto* stream = new base::MemoryStream(bytes.data(), static_cast<u32>(bytes.size()));
    ASSERT_EQ(QL_OK, mVideo->Open(stream, std::wstring(name.begin(), name.end())));
    MakeImage(static_cast<u32>(mVideo->GetWidth()), static_cast<u32>(mVideo->GetHeight()));
}

void PlayerFixture::MakeImage(u32 width, u32 height)
{
    render::Image* image = nullptr;
    ASSERT_EQ(QL_OK, render::CreateImage(mHarness.mRender.get(), width, height, &image));
    mImage.reset(image);
}

std::vector<u32> PlayerFixture::Pixels() const
{
    auto* texture = static_cast<render::TextureDX9*>(mImage->GetTexture());
    const std::vector<u8>* data = mHarness.Recording()->TextureData(texture->GetDeviceTexture());
    if (!data)
        return {};
    std::vector<u32> pixels(data->size() / 4);
    std::copy(data->begin(), data->begin() + static_cast<std::ptrdiff_t>(pixels.size() * 4),
              reinterpret_cast<u8*>(pixels.data()));
    return pixels;
}

u32 PlayerFixture::Pixel(int x, int y) const
{
    const std::vector<u32> pixels = Pixels();
    const size_t at = static_cast<size_t>(y) * static_cast<size_t>(mImage->GetWidth()) + static_cast<size_t>(x);
    return at < pixels.size() ? pixels[at] : 0;
}

void ExpectPattern(const std::function<u32(int, int)>& at, int k, int tolerance)
{
    const int qx = kPatternWidth / 4, qy = kPatternHeight / 4;
    const struct
    {
        int x, y;
        u32 colour;
    } spots[] = {
        {qx, qy, kSequence[k]}, {3 * qx, qy, kTopRight}, {qx, 3 * qy, kBottomLeft}, {3 * qx, 3 * qy, kBottomRight}};
    for (const auto& spot : spots)
    {
        const u32 got = at(spot.x, spot.y);
        EXPECT_LE(ColourDistance(got, spot.colour), tolerance)
            << "frame " << k << " at (" << spot.x << ", " << spot.y << "): " << Hex(got) << " for " << Hex(spot.colour);
    }
}
} // namespace videotest
