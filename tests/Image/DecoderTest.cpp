// Decoding each format into a locked level and a hit mask, without a GPU.
#include "ImageBuilders.h"

#include "Core/Base/Stream.h"
#include "Core/Media/Image/DxtAlpha.h"
#include "Core/Media/Image/ImageDataDDS.h"
#include "Core/Media/Image/ImageInfo.h"
#include "Core/Media/Image/ImageLoader.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <memory>

using namespace imagetest;

namespace
{
// A decoded image: the level as CopyPixels wrote it and the mask.
struct Decoded
{
    std::unique_ptr<render::ImageData> data;
    std::vector<u8> level;
    render::HitMask mask;
    u32 pitch = 0;
    QLResultEnum copy = QL_FAIL;

    u32 Pixel(u32 x, u32 y) const
    {
        u32 p = 0;
        std::memcpy(&p, &level[y * pitch + x * 4], 4);
        return p;
    }
    bool Hit(u32 x, u32 y) const { return mask[y * static_cast<u32>(data->mWidth) + x]; }
};

constexpr u8 kGuard = 0xCD;

// Decodes through the loader; rows get `extraPitch` spare bytes and the level a guard tail.
Decoded Decode(const Bytes& file, const std::wstring& extension, const base::ImageInfo* info = nullptr,
               u32 extraPitch = 0)
{
    Decoded d;
    base::MemoryStream stream(file.data(), static_cast<u32>(file.size()));
    d.data.reset(render::ImageLoader::Instance()->Load(&stream, extension, info));
    if (!d.data)
        return d;
    const u32 w = static_cast<u32>(d.data->mWidth), h = static_cast<u32>(d.data->mHeight);
    const u32 compression = d.data->GetCompression();
    const u32 rows = compression ? (h + 3) / 4 : h;
    d.pitch = (compression ? ((w + 3) / 4) * render::DxtBlockSize(compression) : w * 4) + extraPitch;
    d.level.assign(static_cast<size_t>(rows) * d.pitch + 64, kGuard);
    d.copy = d.data->CopyPixels(d.pitch, d.level.data(), d.mask);
    return d;
}

bool GuardIntact(const Decoded& d, size_t levelBytes)
{
    for (size_t i = levelBytes; i < d.level.size(); ++i)
        if (d.level[i] != kGuard)
            return false;
    return true;
}

const u8 kAll0[16] = {};
const u8 kAll3[16] = {3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3};
} // namespace

TEST(DdsDecoder, UncompressedRowsFollowThePitchAndAlphaElevenIsHit)
{
    const std::vector<u32> argb = {0x0A112233, 0x0B445566, 0xFF778899, 0x00000000, 0x80ABCDEF, 0xFF010203};
    Decoded d = Decode(EncodeDds(3, 2, nullptr, ArgbBytes(argb)), L".dds", nullptr, 8);
    ASSERT_TRUE(d.data);
    ASSERT_EQ(QL_OK, d.copy);
    EXPECT_EQ(0x0A112233u, d.Pixel(0, 0));
    EXPECT_EQ(0xFF778899u, d.Pixel(2, 0));
    EXPECT_EQ(0x80ABCDEFu, d.Pixel(1, 1));
    for (u32 i = 12; i < 20; ++i)
        EXPECT_EQ(kGuard, d.level[i]) << "row padding written at " << i;
    EXPECT_FALSE(d.Hit(0, 0)); // alpha 10
    EXPECT_TRUE(d.Hit(1, 0));  // alpha 11
    EXPECT_FALSE(d.Hit(0, 1));
    EXPECT_TRUE(d.Hit(2, 1));
}

TEST(DdsDecoder, MipLevelsAfterLevelZeroAreNotCopied)
{
    std::vector<u32> level0(16, 0xFF00FF00), level1(4, 0xFFFF0000), level2(1, 0xFF0000FF);
    Bytes data = ArgbBytes(level0);
    for (const auto* level : {&level1, &level2})
    {
        Bytes more = ArgbBytes(*level);
        data.insert(data.end(), more.begin(), more.end());
    }
    Decoded d = Decode(EncodeDds(4, 4, nullptr, data, 3), L".dds");
    ASSERT_TRUE(d.data);
    ASSERT_EQ(QL_OK, d.copy);
    EXPECT_EQ(1u, d.data->mLevelCount);
    EXPECT_EQ(3u, static_cast<render::ImageDataDDS*>(d.data.get())->GetFileLevelCount());
    EXPECT_EQ(0xFF00FF00u, d.Pixel(3, 3));
    EXPECT_TRUE(GuardIntact(d, 4 * 16));
}

TEST(DdsDecoder, AbgrFilesAreSwappedAndFilesWithoutAlphaAreOpaque)
{
    auto set = [](Bytes& file, u32 offset, u32 value)
    {
        for (int i = 0; i < 4; ++i)
            file[offset + i] = static_cast<u8>(value >> (8 * i));
    };
    const std::vector<u32> stored = {0x05112233, 0x80445566};
    Bytes abgr = EncodeDds(2, 1, nullptr, ArgbBytes(stored));
    set(abgr, 92, 0x000000FF);  // red mask
    set(abgr, 100, 0x00FF0000); // blue mask
    Decoded swapped = Decode(abgr, L".dds");
    ASSERT_TRUE(swapped.data);
    ASSERT_EQ(QL_OK, swapped.copy);
    EXPECT_EQ(0x05332211u, swapped.Pixel(0, 0));
    EXPECT_FALSE(swapped.Hit(0, 0));

    Bytes opaque = EncodeDds(2, 1, nullptr, ArgbBytes(stored));
    set(opaque, 80, 0x40); // RGB only: the fourth byte is padding
    Decoded noAlpha = Decode(opaque, L".dds");
    ASSERT_TRUE(noAlpha.data);
    EXPECT_EQ(0xFF112233u, noAlpha.Pixel(0, 0));
    EXPECT_TRUE(noAlpha.Hit(0, 0));

    Bytes odd = EncodeDds(2, 1, nullptr, ArgbBytes(stored));
    set(odd, 96, 0x000000FF); // green mask on the blue byte
    EXPECT_FALSE(Decode(odd, L".dds").data);
}

TEST(DdsDecoder, RejectsWhatItCannotCopy)
{
    const Bytes block = Dxt1Block(0xF800, 0x001F, kAll0);
    EXPECT_FALSE(Decode(EncodeDds(4, 4, "DXT2", block), L".dds").data) << "DXT2";
    EXPECT_FALSE(Decode(EncodeDds(4, 4, "DXT4", Dxt5Block(0, 0, kAll0, 0, 0, kAll0)), L".dds").data);
    EXPECT_FALSE(Decode(EncodeDds(2, 2, nullptr, Bytes(12, 0), 0, 24), L".dds").data) << "24-bit rows";
    EXPECT_FALSE(Decode(EncodeDds(8, 8, "DXT1", block), L".dds").data) << "data shorter than level 0";
    EXPECT_FALSE(Decode(EncodeDds(0, 4, "DXT1", block), L".dds").data) << "zero width";
    Bytes badMagic = EncodeDds(4, 4, "DXT1", block);
    badMagic[0] = 'X';
    EXPECT_FALSE(Decode(badMagic, L".dds").data);
    EXPECT_FALSE(Decode(Bytes(40, 0), L".dds").data) << "short header";
}

TEST(DdsDecoder, Dxt1ThreeColourBlocksLeaveIndexThreeUnhit)
{
    u8 indices[16];
    for (u32 i = 0; i < 16; ++i)
        indices[i] = static_cast<u8>(i % 4);
    // colour0 <= colour1 selects three colours plus transparent black.
    Decoded d =
        Decode(EncodeDds(16, 16, "DXT1", RepeatBlock(Dxt1Block(0x001F, 0xF800, indices), 16, 16)), L".dds");
    ASSERT_TRUE(d.data);
    ASSERT_EQ(QL_OK, d.copy);
    EXPECT_EQ(1u, d.data->GetCompression());
    for (u32 y = 0; y < 16; ++y)
        for (u32 x = 0; x < 16; ++x)
            EXPECT_EQ(x % 4 != 3, d.Hit(x, y)) << x << "," << y;

    Decoded opaque = Decode(EncodeDds(4, 4, "DXT1", Dxt1Block(0xF800, 0x001F, kAll3)), L".dds");
    ASSERT_TRUE(opaque.data);
    EXPECT_TRUE(opaque.Hit(3, 3)) << "four-colour blocks have no transparent index";

    // 5 x 3 needs 2 x 1 blocks; the pixels they cover beyond the image have no mask bits.
    Decoded odd = Decode(EncodeDds(5, 3, "DXT1", RepeatBlock(Dxt1Block(0x001F, 0xF800, kAll3), 5, 3)), L".dds");
    ASSERT_TRUE(odd.data);
    ASSERT_EQ(QL_OK, odd.copy);
    ASSERT_EQ(15u, odd.mask.size());
    for (bool bit : odd.mask)
        EXPECT_FALSE(bit);
    EXPECT_TRUE(GuardIntact(odd, 16));
}

TEST(DxtAlpha, Dxt3NibblesScaleBySeventeen)
{
    u8 nibbles[16];
    for (u32 i = 0; i < 16; ++i)
        nibbles[i] = static_cast<u8>(i);
    const Bytes block = Dxt3Block(nibbles, 0, 0, kAll0);
    u8 alpha[16];
    render::DecodeBlockAlpha(2, block.data(), alpha);
    for (u32 i = 0; i < 16; ++i)
        EXPECT_EQ(i * 17, alpha[i]);

    Decoded d = Decode(EncodeDds(4, 4, "DXT3", block), L".dds");
    ASSERT_TRUE(d.data);
    EXPECT_FALSE(d.Hit(0, 0)); // 0
    EXPECT_TRUE(d.Hit(1, 0));  // 17
}

TEST(DxtAlpha, Dxt5InterpolatesWithTruncationInBothModes)
{
    const u8 ramp[16] = {0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 2, 3, 4, 5, 6, 7};
    u8 alpha[16];
    const Bytes eight = Dxt5Block(100, 0, ramp, 0, 0, kAll0);
    render::DecodeBlockAlpha(3, eight.data(), alpha);
    const u8 expectedEight[8] = {100, 0, 85, 71, 57, 42, 28, 14};
    for (u32 i = 0; i < 8; ++i)
        EXPECT_EQ(expectedEight[i], alpha[i]) << "index " << i;

    const Bytes six = Dxt5Block(10, 200, ramp, 0, 0, kAll0);
    render::DecodeBlockAlpha(3, six.data(), alpha);
    const u8 expectedSix[8] = {10, 200, 48, 86, 124, 162, 0, 255};
    for (u32 i = 0; i < 8; ++i)
        EXPECT_EQ(expectedSix[i], alpha[i]) << "index " << i;

    Decoded d = Decode(EncodeDds(4, 4, "DXT5", six), L".dds");
    ASSERT_TRUE(d.data);
    EXPECT_FALSE(d.Hit(2, 1)); // index 6: 0
    EXPECT_TRUE(d.Hit(3, 1));  // index 7: 255
    EXPECT_EQ(3u, d.data->GetCompression());
}

TEST(DevilDecoder, PngAlphaFiftyIsHitPixelsBecomeArgbAndWithoutAlphaAllIsHit)
{
    Decoded d = Decode(EncodePng(3, 1, {0x31102030, 0x32405060, 0xFFFFFFFF}, true), L".png");
    ASSERT_TRUE(d.data);
    ASSERT_EQ(QL_OK, d.copy);
    EXPECT_EQ(0x31102030u, d.Pixel(0, 0));
    EXPECT_EQ(0x32405060u, d.Pixel(1, 0));
    EXPECT_FALSE(d.Hit(0, 0)); // 49
    EXPECT_TRUE(d.Hit(1, 0));  // 50
    Decoded opaque = Decode(EncodePng(2, 2, {0x00102030, 0x00405060, 0x00000000, 0x00FFFFFF}, false), L".png");
    ASSERT_TRUE(opaque.data);
    ASSERT_EQ(QL_OK, opaque.copy);
    EXPECT_EQ(0xFF102030u, opaque.Pixel(0, 0));
    for (bool bit : opaque.mask)
        EXPECT_TRUE(bit);
}

TEST(DevilDecoder, BottomUpFilesComeOutUpright)
{
    // The demo TGA is stored bottom-up: with its origin bit turned to the top its rows read upside
    // down. The demo BMP, bottom-up as well, holds the GIF's checker.
    const Bytes tga = ContentImage("badge.tga");
    Bytes topDown = tga;
    topDown[17] |= 0x20;
    const Decoded png = Decode(ContentImage("badge.png"), L".png"), upright = Decode(tga, L".tga"),
                  flipped = Decode(topDown, L".tga"), gif = Decode(ContentImage("checker.gif"), L".gif"),
                  bmp = Decode(ContentImage("checker.bmp"), L".bmp");
    for (const Decoded* d : {&png, &upright, &flipped, &gif, &bmp})
    {
        ASSERT_TRUE(d->data);
        ASSERT_EQ(QL_OK, d->copy);
        ASSERT_EQ(64, d->data->mWidth);
        ASSERT_EQ(64, d->data->mHeight);
    }
    int different = 0, asymmetric = 0;
    for (u32 y = 0; y < 64; ++y)
        for (u32 x = 0; x < 64; ++x)
        {
            different += upright.Pixel(x, y) != png.Pixel(x, y);
            different += flipped.Pixel(x, 63 - y) != png.Pixel(x, y);
            different += bmp.Pixel(x, y) != gif.Pixel(x, y);
            asymmetric += png.Pixel(x, y) != png.Pixel(x, 63 - y);
        }
    EXPECT_EQ(0, different);
    EXPECT_GT(asymmetric, 0) << "an upside-down picture must show";
    EXPECT_NE(gif.Pixel(0, 0), gif.Pixel(0, 63)) << "a checker, not a flat colour";
}

TEST(RawDecoder, ReadsHostOrderPixelsAndAlphaTenIsHit)
{
    base::ImageInfo info(L"layer", 0, 0, 2, 1, 255, 0, 1, 1, 1.0f);
    const std::vector<u32> pixels = {0x09ABCDEF, 0x0A123456};
    Bytes bytes(8);
    std::memcpy(bytes.data(), pixels.data(), 8);
    Decoded d = Decode(bytes, L".png", &info); // the raw flag wins over the extension
    ASSERT_TRUE(d.data);
    ASSERT_EQ(QL_OK, d.copy);
    EXPECT_EQ(0x09ABCDEFu, d.Pixel(0, 0));
    EXPECT_FALSE(d.Hit(0, 0));
    EXPECT_TRUE(d.Hit(1, 0));

    Decoded shortData = Decode(Bytes(4), L"", &info);
    ASSERT_TRUE(shortData.data);
    EXPECT_EQ(QL_FAIL, shortData.copy);

    // Sizes a damaged description may hold: no decoder, never an undefined conversion.
    for (float wild : {0.5f, -4.0f, 1e20f, std::nanf(""), 70000.0f})
    {
        base::ImageInfo bad = info;
        bad.mWidth = wild;
        EXPECT_FALSE(Decode(bytes, L"", &bad).data) << wild;
    }
}

TEST(ImageLoader, ChoosesByExactLowerCaseExtension)
{
    const Bytes png = EncodePng(1, 1, {0xFFFFFFFF}, true);
    EXPECT_TRUE(Decode(png, L".png").data);
    EXPECT_FALSE(Decode(png, L".PNG").data);
    EXPECT_FALSE(Decode(png, L".psd").data);
    EXPECT_FALSE(Decode(png, L"png").data);
    EXPECT_FALSE(Decode(png, L"").data);
    EXPECT_FALSE(Decode(Bytes(64, 7), L".png").data) << "undecodable data gives no decoder";
}

TEST(DamagedFiles, CutOrScrambledDemoImagesFailOrDecodeWithinTheirLevel)
{
    // Every format from the demo content, cut short at several points and with a scrambled
    // middle: the loader either refuses the file or decodes it within the level it announces.
    const char* const names[] = {"badge.png",   "checker.png", "photo.jpg",      "checker.gif",   "checker.bmp",
                                 "badge.tga",   "badge.dds",   "badge_dxt1.dds", "badge_dxt5.dds"};
    for (const char* name : names)
    {
        const Bytes whole = ContentImage(name);
        ASSERT_FALSE(whole.empty()) << name;
        const std::string text(name);
        const std::wstring extension(text.begin() + static_cast<long>(text.rfind('.')), text.end());
        std::vector<Bytes> damaged;
        for (size_t cut : {size_t{0}, size_t{3}, size_t{20}, whole.size() / 3, whole.size() * 2 / 3, whole.size() - 1})
            damaged.emplace_back(whole.begin(), whole.begin() + static_cast<long>(cut));
        Bytes scrambled = whole;
        for (size_t i = scrambled.size() / 4; i < scrambled.size() / 2; i += 7)
            scrambled[i] = static_cast<u8>(scrambled[i] * 31 + 17);
        damaged.push_back(scrambled);
        for (const Bytes& file : damaged)
        {
            Decoded d = Decode(file, extension);
            if (!d.data)
                continue;
            const u32 w = static_cast<u32>(d.data->mWidth), h = static_cast<u32>(d.data->mHeight);
            const size_t rows = d.data->GetCompression() ? (h + 3) / 4 : h;
            EXPECT_TRUE(GuardIntact(d, static_cast<size_t>(d.pitch) * rows)) << name << " cut at " << file.size();
            if (d.copy == QL_OK)
            {
                EXPECT_EQ(static_cast<size_t>(w) * h, d.mask.size()) << name;
            }
        }
    }
}
