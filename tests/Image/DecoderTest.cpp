// Decoding each format into a locked level and a hit mask, without a GPU.
#include "ImageBuilders.h"

#include "Core/Base/Stream.h"
#include "Core/Media/Image/DxtAlpha.h"
#include "Core/Media/Image/ImageDataDDS.h"
#include "Core/Media/Image/ImageInfo.h"
#include "Core/Media/Image/ImageLoader.h"
#include "support/TempDir.h"

#include <IL/il.h>
#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>

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
    // Decoded and copied.
    bool Ok() const { return data && copy == QL_OK; }
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

// A committed DDS file (64 x 64) with little-endian fields set at file offsets; the data starts
// at 128.
Bytes Dds(const char* name, std::initializer_list<std::pair<u32, u32>> fields)
{
    Bytes file = ContentImage(name);
    for (auto [offset, value] : fields)
        for (u32 i = 0; i < 4; ++i)
            file[offset + i] = static_cast<u8>(value >> (8 * i));
    return file;
}

void Put(Bytes& file, size_t offset, const Bytes& bytes)
{
    std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<std::ptrdiff_t>(offset));
}

constexpr u32 kData = 128, kFlags = 8, kHeight = 12, kWidth = 16, kMips = 28, kPixelFlags = 80, kFourCc = 84,
              kBits = 88, kRedMask = 92, kGreenMask = 96, kBlueMask = 100;
// DXT1 blocks: colour0 <= colour1 gives three colours and transparent black at index 3; indices
// 0, 1, 2, 3 in every row, or 3 everywhere.
const Bytes kThreeColourColumns = {0x1F, 0x00, 0x00, 0xF8, 0xE4, 0xE4, 0xE4, 0xE4};
const Bytes kThreeColourClear = {0x1F, 0x00, 0x00, 0xF8, 0xFF, 0xFF, 0xFF, 0xFF};
const Bytes kFourColourIndexThree = {0x00, 0xF8, 0x1F, 0x00, 0xFF, 0xFF, 0xFF, 0xFF};
} // namespace

TEST(DdsDecoder,
     UncompressedRowsFollowThePitchMipLevelsAreNotCopiedOtherLayoutsSwappedOrRefusedAndDamageStaysInTheLevel)
{
    Bytes file = Dds("badge.dds", {{kData, 0x0A112233}, {kData + 4, 0x0B445566}});
    Decoded d = Decode(file, L".dds", nullptr, 8);
    ASSERT_TRUE(d.Ok());
    EXPECT_EQ(0x0A112233u, d.Pixel(0, 0));
    EXPECT_EQ(0x0B445566u, d.Pixel(1, 0));
    for (u32 i = 256; i < 264; ++i)
        EXPECT_EQ(kGuard, d.level[i]) << "row padding written at " << i;
    EXPECT_FALSE(d.Hit(0, 0)); // alpha 10
    EXPECT_TRUE(d.Hit(1, 0));  // alpha 11
    // Three levels stored: only level 0 is copied.
    Bytes mipped = Dds("badge.dds", {{kFlags, 0x21007}, {kMips, 3}});
    mipped.resize(mipped.size() + (32 * 32 + 16 * 16) * 4, 0x77);
    Decoded levels = Decode(mipped, L".dds");
    ASSERT_TRUE(levels.Ok());
    EXPECT_EQ(1u, levels.data->mLevelCount);
    EXPECT_EQ(3u, static_cast<render::ImageDataDDS*>(levels.data.get())->GetFileLevelCount());
    EXPECT_TRUE(std::equal(levels.level.begin(), levels.level.begin() + 64 * 64 * 4, mipped.begin() + kData));
    EXPECT_TRUE(GuardIntact(levels, 64 * 64 * 4));
    // ABGR files are swapped, files without alpha are opaque, what cannot be copied is refused.
    Decoded swapped = Decode(Dds("badge.dds", {{kData, 0x05112233}, {kRedMask, 0xFF}, {kBlueMask, 0xFF0000}}), L".dds");
    ASSERT_TRUE(swapped.Ok());
    EXPECT_EQ(0x05332211u, swapped.Pixel(0, 0));
    EXPECT_FALSE(swapped.Hit(0, 0));
    Decoded noAlpha = Decode(Dds("badge.dds", {{kData, 0x05112233}, {kPixelFlags, 0x40}}), L".dds");
    ASSERT_TRUE(noAlpha.data);
    EXPECT_EQ(0xFF112233u, noAlpha.Pixel(0, 0));
    EXPECT_TRUE(noAlpha.Hit(0, 0));

    Bytes cut = ContentImage("badge_dxt1.dds");
    cut.resize(kData + 8);
    const std::pair<const char*, Bytes> refused[] = {
        {"green mask on the blue byte", Dds("badge.dds", {{kGreenMask, 0xFF}})},
        {"24-bit rows", Dds("badge.dds", {{kBits, 24}})},
        {"DXT2", Dds("badge_dxt1.dds", {{kFourCc, 0x32545844}})},
        {"DXT4", Dds("badge_dxt5.dds", {{kFourCc, 0x34545844}})},
        {"zero width", Dds("badge_dxt1.dds", {{kWidth, 0}})},
        {"bad magic", Dds("badge_dxt1.dds", {{0, 0}})},
        {"data shorter than level 0", cut},
        {"short header", Bytes(40, 0)},
    };
    for (const auto& [what, file] : refused)
        EXPECT_FALSE(Decode(file, L".dds").data) << what;

    // Every demo image cut or scrambled fails or decodes within its level.
    // Every format from the demo content, cut short at several points and with a scrambled
    // middle: the loader either refuses the file or decodes it within the level it announces.
    const char* const names[] = {"badge.png", "checker.png", "photo.jpg",      "checker.gif",   "checker.bmp",
                                 "badge.tga", "badge.dds",   "badge_dxt1.dds", "badge_dxt5.dds"};
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

TEST(DdsDecoder, Dxt1ThreeColourBlocksLeaveIndexThreeUnhitDxt3ScalesNibblesAndDxt5InterpolatesWithTruncation)
{
    Bytes file = ContentImage("badge_dxt1.dds");
    // The first block has four colours: index 3 is a colour there.
    for (size_t at = kData; at < file.size(); at += 8)
        Put(file, at, kThreeColourColumns);
    Put(file, kData, kFourColourIndexThree);
    Decoded d = Decode(file, L".dds");
    ASSERT_TRUE(d.Ok());
    EXPECT_EQ(1u, d.data->GetCompression());
    for (u32 y = 0; y < 64; ++y)
        for (u32 x = 0; x < 64; ++x)
            EXPECT_EQ((x < 4 && y < 4) || x % 4 != 3, d.Hit(x, y)) << x << "," << y;

    // 5 x 3 needs 2 x 1 blocks; the pixels they cover beyond the image have no mask bits.
    Bytes odd = Dds("badge_dxt1.dds", {{kWidth, 5}, {kHeight, 3}});
    Put(odd, kData, kThreeColourClear);
    Put(odd, kData + 8, kThreeColourClear);
    Decoded small = Decode(odd, L".dds");
    ASSERT_TRUE(small.Ok());
    EXPECT_EQ(render::HitMask(15, false), small.mask);
    EXPECT_TRUE(GuardIntact(small, 16));

    // DXT3 nibbles scale by seventeen; DXT5 interpolates with truncation in both modes.
    const u8 dxt3[16] = {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE}; // nibbles 0 to 15
    u8 alpha[16];
    render::DecodeBlockAlpha(2, dxt3, alpha);
    for (u32 i = 0; i < 16; ++i)
        EXPECT_EQ(i * 17, alpha[i]);
    Bytes file3 = ContentImage("badge_dxt3.dds");
    Put(file3, kData, Bytes(dxt3, dxt3 + 8));
    Decoded d3 = Decode(file3, L".dds");
    ASSERT_TRUE(d3.data);
    EXPECT_FALSE(d3.Hit(0, 0)); // 0
    EXPECT_TRUE(d3.Hit(1, 0));  // 17

    // Indices 0 to 7 twice, three bits each.
    const u8 eight[8] = {100, 0, 0x88, 0xC6, 0xFA, 0x88, 0xC6, 0xFA};
    render::DecodeBlockAlpha(3, eight, alpha);
    EXPECT_EQ(Bytes(alpha, alpha + 8), (Bytes{100, 0, 85, 71, 57, 42, 28, 14}));
    const u8 six[8] = {11, 200, 0x88, 0xC6, 0xFA, 0x88, 0xC6, 0xFA};
    render::DecodeBlockAlpha(3, six, alpha);
    EXPECT_EQ(Bytes(alpha, alpha + 8), (Bytes{11, 200, 48, 86, 124, 162, 0, 255}));
    Bytes file5 = ContentImage("badge_dxt5.dds");
    Put(file5, kData, Bytes(six, six + 8));
    Decoded d5 = Decode(file5, L".dds");
    ASSERT_TRUE(d5.data);
    EXPECT_TRUE(d5.Hit(0, 0));  // index 0: 11, the least alpha that is hit
    EXPECT_FALSE(d5.Hit(2, 1)); // index 6: 0
    EXPECT_TRUE(d5.Hit(3, 1));  // index 7: 255
    EXPECT_EQ(3u, d5.data->GetCompression());
}

TEST(DevilDecoder, PngAlphaFiftyIsHitBottomUpFilesComeOutUprightRawPixelsAreHostOrderAndExtensionsExact)
{
    Decoded alpha = Decode(EncodePng(3, 1, {0x31102030, 0x32405060, 0xFFFFFFFF}, true), L".png");
    ASSERT_TRUE(alpha.Ok());
    EXPECT_EQ(0x31102030u, alpha.Pixel(0, 0));
    EXPECT_EQ(0x32405060u, alpha.Pixel(1, 0));
    EXPECT_FALSE(alpha.Hit(0, 0)); // 49
    EXPECT_TRUE(alpha.Hit(1, 0));  // 50
    Decoded opaque = Decode(EncodePng(2, 2, {0x00102030, 0x00405060, 0x00000000, 0x00FFFFFF}, false), L".png");
    ASSERT_TRUE(opaque.Ok());
    EXPECT_EQ(0xFF102030u, opaque.Pixel(0, 0));
    EXPECT_EQ(render::HitMask(4, true), opaque.mask);
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
        ASSERT_TRUE(d->Ok());
        ASSERT_EQ(std::make_pair(64, 64), std::make_pair(d->data->mWidth, d->data->mHeight));
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

    // Raw pixels are read in host order with alpha ten hit; other decoders are chosen by the exact extension.
    base::ImageInfo info(L"layer", 0, 0, 2, 1, 255, 0, 1, 1, 1.0f);
    const std::vector<u32> pixels = {0x09ABCDEF, 0x0A123456};
    Bytes bytes(8);
    std::memcpy(bytes.data(), pixels.data(), 8);
    Decoded d = Decode(bytes, L".png", &info); // the raw flag wins over the extension
    ASSERT_TRUE(d.Ok());
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
    // Without the raw flag the decoder is chosen by the exact lower-case extension.
    const Bytes white = EncodePng(1, 1, {0xFFFFFFFF}, true);
    EXPECT_TRUE(Decode(white, L".png").data);
    for (const wchar_t* extension : {L".PNG", L".psd", L"png", L""})
        EXPECT_FALSE(Decode(white, extension).data) << extension;
    EXPECT_FALSE(Decode(Bytes(64, 7), L".png").data) << "undecodable data gives no decoder";
}

TEST(PngDecoder, PalettesGreysAndSixteenBitsComeOutAsEightBitArgbAndEveryCutIsRefusedOrDecodedWhole)
{
    // A palette's alphas, grey with and without alpha, one-bit grey and 16-bit grey (high byte kept).
    const struct
    {
        const char* what;
        u32 width;
        PngLayout layout;
        Bytes rows;
        std::vector<u32> expected;
    } layouts[] = {
        {"palette with alphas",
         3,
         {PNG_COLOR_TYPE_PALETTE, 8, {0x102030, 0x405060, 0x708090}, {0x20, 0x32}},
         {0, 1, 2},
         {0x20102030, 0x32405060, 0xFF708090}},
        {"grey and alpha", 2, {PNG_COLOR_TYPE_GRAY_ALPHA}, {0x80, 0x31, 0x07, 0xFF}, {0x31808080, 0xFF070707}},
        {"one-bit grey", 3, {PNG_COLOR_TYPE_GRAY, 1}, {0xA0}, {0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF}},
        {"16-bit grey", 2, {PNG_COLOR_TYPE_GRAY, 16}, {0x12, 0xFF, 0xAB, 0x01}, {0xFF121212, 0xFFABABAB}},
    };
    for (const auto& l : layouts)
    {
        Decoded d = Decode(EncodePngRows(l.width, 1, l.layout, l.rows), L".png");
        ASSERT_TRUE(d.Ok()) << l.what;
        ASSERT_EQ(std::make_pair(static_cast<i32>(l.width), 1), std::make_pair(d.data->mWidth, d.data->mHeight));
        for (u32 x = 0; x < l.width; ++x)
        {
            EXPECT_EQ(l.expected[x], d.Pixel(x, 0)) << l.what << " pixel " << x;
            EXPECT_EQ(l.expected[x] >> 24 >= 50, d.Hit(x, 0)) << l.what << " pixel " << x;
        }
    }

    // Interlaced rows land where the plain file puts them.
    Bytes rgb;
    for (u32 i = 0; i < 9 * 7 * 3; ++i)
        rgb.push_back(static_cast<u8>(i * 37));
    const Decoded plain = Decode(EncodePngRows(9, 7, {PNG_COLOR_TYPE_RGB}, rgb), L".png");
    const Decoded interlaced = Decode(EncodePngRows(9, 7, {PNG_COLOR_TYPE_RGB, 8, {}, {}, true}, rgb), L".png");
    ASSERT_TRUE(plain.Ok() && interlaced.Ok());
    EXPECT_EQ(plain.level, interlaced.level);
    EXPECT_EQ(0xFF00254Au, plain.Pixel(0, 0));

    // Cut at every length: refused, or decoded within its level. A file that lacks only its end
    // chunk still holds every pixel and decodes whole.
    std::vector<u32> argb;
    for (u32 i = 0; i < 6 * 5; ++i)
        argb.push_back(0x80000000u | i * 0x050403u);
    const Bytes whole = EncodePng(6, 5, argb, true);
    const Decoded full = Decode(whole, L".png");
    ASSERT_TRUE(full.Ok());
    for (size_t cut = 0; cut < whole.size(); ++cut)
    {
        const Decoded d = Decode(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut)), L".png");
        if (cut >= whole.size() - 12)
        {
            ASSERT_TRUE(d.Ok()) << "cut at " << cut;
            EXPECT_EQ(full.level, d.level) << "cut at " << cut;
        }
        else if (d.data)
        {
            EXPECT_TRUE(GuardIntact(d, static_cast<size_t>(d.pitch) * 5)) << "cut at " << cut;
        }
    }
}

TEST(GifDecoder, TheFirstFrameLandsOnItsScreenInterlacedRowsInPlaceAndTheTransparentIndexUnhit)
{
    GifFrame frame{12, 10, 2, 3, 8, 6, {0x102030, 0x405060, 0x708090, 0xA0B0C0}, {}, true, 3};
    for (u32 y = 0; y < frame.height; ++y)
        for (u32 x = 0; x < frame.width; ++x)
            frame.indices.push_back(static_cast<u8>((x + 2 * y) % 4));
    Decoded d = Decode(EncodeGif(frame), L".gif");
    ASSERT_TRUE(d.Ok());
    ASSERT_EQ(std::make_pair(12, 10), std::make_pair(d.data->mWidth, d.data->mHeight));
    for (u32 y = 0; y < 10; ++y)
        for (u32 x = 0; x < 12; ++x)
        {
            const bool inside = x >= 2 && x < 10 && y >= 3 && y < 9;
            const u32 index = inside ? (x - 2 + 2 * (y - 3)) % 4 : 3;
            const u32 expected = index == 3 ? 0u : 0xFF000000u | frame.colours[index];
            EXPECT_EQ(expected, d.Pixel(x, y)) << x << "," << y;
            EXPECT_EQ(index != 3, d.Hit(x, y)) << x << "," << y;
        }
    // A frame reaching past its screen is cut at the screen's edge.
    GifFrame wide{4, 2, 2, 0, 4, 2, {0xFF0000, 0x00FF00}, {0, 1, 0, 1, 1, 0, 1, 0}};
    Decoded cut = Decode(EncodeGif(wide), L".gif");
    ASSERT_TRUE(cut.Ok());
    EXPECT_EQ(0u, cut.Pixel(1, 0));
    EXPECT_EQ(0xFFFF0000u, cut.Pixel(2, 0));
    EXPECT_EQ(0xFF00FF00u, cut.Pixel(2, 1));
    EXPECT_TRUE(GuardIntact(cut, 4 * 4 * 2));
}

TEST(JpegDecoder, GivesDevilsPixelsOpaqueAndRefusesWhatItCannotRead)
{
    // DevIL decoded JPEG files before; libjpeg straight gives the same pixels, alpha opaque.
    for (const char* name : {"photo.jpg", "../loading.jpg"})
    {
        const Bytes file = ContentImage(name);
        const Decoded ours = Decode(file, L".jpg");
        ASSERT_TRUE(ours.Ok()) << name;
        ILuint image = 0;
        ilGenImages(1, &image);
        ilBindImage(image);
        ASSERT_TRUE(ilLoadL(IL_JPG, file.data(), static_cast<ILuint>(file.size())) &&
                    ilConvertImage(IL_BGRA, IL_UNSIGNED_BYTE))
            << name;
        const bool lowerLeft = ilGetInteger(IL_IMAGE_ORIGIN) == IL_ORIGIN_LOWER_LEFT;
        const u32 w = static_cast<u32>(ilGetInteger(IL_IMAGE_WIDTH)),
                  h = static_cast<u32>(ilGetInteger(IL_IMAGE_HEIGHT));
        ASSERT_EQ(std::make_pair(w, h),
                  std::make_pair(static_cast<u32>(ours.data->mWidth), static_cast<u32>(ours.data->mHeight)));
        const u8* devil = ilGetData();
        int different = 0;
        for (u32 y = 0; y < h; ++y)
            for (u32 x = 0; x < w; ++x)
            {
                u32 theirs = 0;
                std::memcpy(&theirs, devil + ((lowerLeft ? h - 1 - y : y) * w + x) * 4, 4);
                different += theirs != ours.Pixel(x, y);
            }
        ilDeleteImages(1, &image);
        EXPECT_EQ(0, different) << name;
        EXPECT_EQ(render::HitMask(static_cast<size_t>(w) * h, true), ours.mask) << name;
    }
    // Cut inside the image data, or its markers damaged: refused, and the next file still reads.
    const Bytes photo = ContentImage("photo.jpg");
    Bytes cut(photo.begin(), photo.begin() + static_cast<long>(photo.size() / 2));
    Bytes noScan = photo;
    for (size_t i = 2; i + 1 < noScan.size(); ++i)
        if (noScan[i] == 0xFF && noScan[i + 1] == 0xDA)
            noScan[i + 1] = 0xD9; // the scan header becomes the end of the image
    EXPECT_FALSE(Decode(noScan, L".jpg").data);
    EXPECT_FALSE(Decode(cut, L".jpg").data) << "DevIL refused it too";
    EXPECT_TRUE(Decode(photo, L".jpg").Ok());
}

TEST(LooseImages, DamagedFilesAreRefusedOrDecodedWithinTheirSizeAndHugeSidesRefusedBeforeDecoding)
{
    // Random damage of the demo files: thousands of variants, each refused or decoded whole.
    std::mt19937 random(7);
    for (const char* name : {"checker.gif", "checker.bmp", "badge.tga", "photo.jpg"})
    {
        const Bytes whole = ContentImage(name);
        ASSERT_FALSE(whole.empty()) << name;
        const std::string text(name);
        const std::wstring extension(text.begin() + static_cast<long>(text.rfind('.')), text.end());
        int decoded = 0;
        for (int k = 0; k < 1500; ++k)
        {
            Bytes file = whole;
            for (u32 n = 1 + random() % 8; n > 0; --n)
                file[random() % file.size()] = static_cast<u8>(random());
            if (k % 4 == 0)
                file.resize(1 + random() % file.size());
            Decoded d = Decode(file, extension);
            if (!d.data)
                continue;
            ++decoded;
            EXPECT_TRUE(GuardIntact(d, static_cast<size_t>(d.pitch) * static_cast<u32>(d.data->mHeight))) << name;
        }
        EXPECT_GT(decoded, 0) << name << ": light damage still decodes";
    }
    // Headers that ask for more than any texture: refused before a decoder allocates.
    Bytes gif = EncodeGif({2, 2, 0, 0, 2, 2, {0, 0xFFFFFF}, {0, 1, 1, 0}});
    gif[6] = gif[7] = 0xFF;
    Bytes png = EncodePng(1, 1, {0xFFFFFFFF}, true);
    png[17] = 0x01; // 65,537 wide
    Bytes tga = ContentImage("badge.tga");
    tga[12] = tga[13] = 0;
    Bytes bmp = ContentImage("checker.bmp");
    bmp[10] = bmp[11] = bmp[12] = 0xF0; // pixels past the end of the file
    Bytes rows = ContentImage("checker.bmp");
    rows.resize(rows.size() - 1); // the last row cut
    const std::pair<const wchar_t*, Bytes> refused[] = {{L".gif", gif}, {L".png", png},  {L".tga", tga},
                                                        {L".bmp", bmp}, {L".bmp", rows}, {L".jpg", Bytes{0xFF, 0xD8}}};
    for (const auto& [extension, file] : refused)
        EXPECT_FALSE(Decode(file, extension).data) << extension;
}
