// DevIL decodes under a budget from the declared sides: headers that contradict themselves are
// refused before DevIL sees them, and what DevIL asks beyond the budget is refused by its
// allocator; a failed decode gives everything back.
#include "Audio/LogCapture.h"
#include "ImageBuilders.h"

#include "Core/Base/Stream.h"
#include "Core/Media/Image/DevilMemory.h"
#include "Core/Media/Image/ImageDataDevil.h"
#include "Core/Media/Image/ImageDimensions.h"
#include "Core/Media/Image/ImageLoader.h"

#include <IL/il.h>
#include <gtest/gtest.h>

#include <memory>

using namespace imagetest;

namespace
{
// A 61-byte file found by fuzzing: RLE8 compression at 24 bits a pixel, 6 x 61 pixels, and a
// palette of 847,280,178 colours (3.39 GB).
const Bytes kHugePaletteBmp = {0x42, 0x4D, 0x9A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x36, 0x00,
                               0x00, 0x00, 0x28, 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0x3D, 0x00,
                               0x00, 0x00, 0x01, 0x00, 0x18, 0x00, 0x01, 0x00, 0x00, 0x00, 0x64, 0x00,
                               0x00, 0x00, 0xC4, 0x0E, 0x00, 0x00, 0xC8, 0x28, 0x04, 0xFF, 0x32, 0x78,
                               0x80, 0x32, 0xA0, 0x30, 0x80, 0x00, 0xA0, 0x80, 0x00, 0xC8, 0x00, 0x00};

void PutLe(Bytes& file, size_t at, u32 value, u32 bytes)
{
    for (u32 i = 0; i < bytes; ++i)
        file[at + i] = static_cast<u8>(value >> (8 * i));
}

// An 8-bit BMP with a grey palette of `colours` (index i is grey i), bottom row first; RLE8
// stores each row as one run per pixel and an end of line. Indices run to `highest`.
Bytes EightBitBmp(u32 width, u32 height, bool rle, u32 colours = 256, u32 highest = 255)
{
    Bytes pixels;
    for (u32 y = 0; y < height; ++y)
    {
        for (u32 x = 0; x < width; ++x)
        {
            const u8 index = static_cast<u8>((x * 16 + y * 8) % (highest + 1));
            if (rle)
                pixels.insert(pixels.end(), {1, index});
            else
                pixels.push_back(index);
        }
        if (rle)
            pixels.insert(pixels.end(), {0, 0});
        else
            pixels.resize(pixels.size() + (4 - width % 4) % 4, 0);
    }
    if (rle)
        pixels.insert(pixels.end(), {0, 1});
    const u32 offset = 14 + 40 + colours * 4;
    Bytes file(offset, 0);
    file[0] = 'B';
    file[1] = 'M';
    PutLe(file, 2, offset + static_cast<u32>(pixels.size()), 4);
    PutLe(file, 10, offset, 4);
    PutLe(file, 14, 40, 4);
    PutLe(file, 18, width, 4);
    PutLe(file, 22, height, 4);
    PutLe(file, 26, 1, 2);
    PutLe(file, 28, 8, 2);
    PutLe(file, 30, rle ? 1 : 0, 4);
    PutLe(file, 34, static_cast<u32>(pixels.size()), 4);
    PutLe(file, 46, colours, 4);
    for (u32 i = 0; i < colours; ++i)
        PutLe(file, 54 + i * 4, i | i << 8 | i << 16, 4);
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

std::unique_ptr<render::ImageData> Load(const Bytes& file, const wchar_t* extension)
{
    base::MemoryStream stream(file.data(), static_cast<u32>(file.size()));
    return std::unique_ptr<render::ImageData>(render::ImageLoader::Instance()->Load(&stream, extension, nullptr));
}

// DevIL on the bytes, the header checks bypassed, allowed `budget` bytes.
std::unique_ptr<render::ImageDataDevil> DecodeRaw(const Bytes& file, const wchar_t* extension, u64 budget)
{
    auto image = std::make_unique<render::ImageDataDevil>();
    if (image->Decode(file, extension, budget) != QL_OK)
        image.reset();
    return image;
}
} // namespace

TEST(DevilMemory, TheFuzzedBmpIsRefusedByItsHeaderAndByTheBudgetWhenDevilReadsItAnyway)
{
    audiotest::LogCapture log;
    EXPECT_EQ(nullptr, Load(kHugePaletteBmp, L".bmp"));
    EXPECT_EQ(1, log.Count("contradicts itself"));
    // The same bytes given to DevIL directly: its palette request is refused by the allocator.
    EXPECT_EQ(nullptr, DecodeRaw(kHugePaletteBmp, L".bmp", render::DevilBudget(6, 61)));
    EXPECT_EQ(1, log.Count("asked for 3389120712 bytes"));
}

TEST(DevilMemory, ABudgetBelowTheImageFailsCleanlyAndTheNextDecodeStillWorks)
{
    const Bytes bmp = EightBitBmp(64, 48, false);
    // The palette indices alone take 64 x 48 bytes.
    EXPECT_EQ(nullptr, DecodeRaw(bmp, L".bmp", 64 * 48 / 2));
    // Twice at the real budget: both decode within it, holding at least the RGBA pixels, and
    // give the same picture.
    std::vector<u8> first;
    for (int round = 0; round < 2; ++round)
    {
        auto image = DecodeRaw(bmp, L".bmp", render::DevilBudget(64, 48));
        ASSERT_NE(nullptr, image) << round;
        EXPECT_GE(image->PeakBytes(), 64u * 48 * 4) << round;
        EXPECT_LE(image->PeakBytes(), render::DevilBudget(64, 48)) << round;
        std::vector<u8> level(64 * 48 * 4);
        render::HitMask mask;
        ASSERT_EQ(QL_OK, image->CopyPixels(64 * 4, level.data(), mask));
        if (round == 0)
            first = level;
        else
            EXPECT_EQ(first, level);
    }
}

// DevIL's own allocator entry, as its readers call it.
extern "C" void* ialloc(const ILsizei size);
extern "C" void ifree(const void* pointer);

TEST(DevilMemory, BlocksAFailedDecodeLeftBehindAreGivenBackAndOthersKept)
{
    ASSERT_NE(nullptr, Load(ContentImage("checker.bmp"), L".bmp")); // DevIL set up
    void* outside = ialloc(64);
    ASSERT_NE(nullptr, outside);
    {
        render::DevilDecodeScope scope(1000);
        void* kept = ialloc(100);
        void* freed = ialloc(200);
        ASSERT_NE(nullptr, kept);
        ASSERT_NE(nullptr, freed);
        EXPECT_EQ(nullptr, ialloc(701)) << "beyond the budget with 300 held";
        EXPECT_EQ(701u, scope.Refused());
        ifree(freed);
        ifree(outside); // not this scope's: freed, not counted
        EXPECT_EQ(100u, scope.Held());
        EXPECT_EQ(300u, scope.Peak());
        EXPECT_EQ(1u, scope.FreeLeftovers()); // `kept`: LeakSanitizer would report it otherwise
        EXPECT_EQ(0u, scope.Held());
    }
    // A block of a finished scope is freed plainly by a later one.
    void* survivor = nullptr;
    {
        render::DevilDecodeScope first(1000);
        survivor = ialloc(500);
    }
    render::DevilDecodeScope second(1000);
    EXPECT_NE(nullptr, ialloc(900)) << "the first scope's block does not count here";
    ifree(survivor);
    EXPECT_EQ(900u, second.Held());
    EXPECT_EQ(1u, second.FreeLeftovers());
}

TEST(DevilMemory, HeadersAreCheckedWholeCompressionAgainstDepthPaletteAndPlanes)
{
    // Legitimate files at their depths decode, plain and RLE8, with the palette's greys.
    for (bool rle : {false, true})
    {
        auto image = Load(EightBitBmp(13, 7, rle), L".bmp");
        ASSERT_NE(nullptr, image) << rle;
        EXPECT_EQ(13, image->mWidth);
        EXPECT_EQ(7, image->mHeight);
    }
    struct Damage
    {
        const char* what;
        size_t at;
        u32 value, bytes;
    } damages[] = {{"RLE8 at 24 bits", 28, 24, 2}, {"RLE4 at 8 bits", 30, 2, 4}, {"bit fields at 8 bits", 30, 3, 4},
                   {"compression 7", 30, 7, 4},    {"257 colours", 46, 257, 4},  {"two planes", 26, 2, 2},
                   {"depth 7", 28, 7, 2}};
    for (const Damage& damage : damages)
    {
        Bytes file = EightBitBmp(13, 7, true);
        PutLe(file, damage.at, damage.value, damage.bytes);
        render::ImageDimensions sides;
        EXPECT_FALSE(render::ReadImageDimensions(file.data(), file.size(), L".bmp", sides)) << damage.what;
        EXPECT_EQ(nullptr, Load(file, L".bmp")) << damage.what;
    }
    // A short palette is fine while every pixel's index stays inside it.
    auto shortPalette = Load(EightBitBmp(13, 7, false, 100, 99), L".bmp");
    ASSERT_NE(nullptr, shortPalette);
    std::vector<u8> level(13 * 7 * 4);
    render::HitMask mask;
    ASSERT_EQ(QL_OK, shortPalette->CopyPixels(13 * 4, level.data(), mask));
    EXPECT_EQ(0xFF404040u, level[4] | level[5] << 8 | level[6] << 16 | static_cast<u32>(level[7]) << 24)
        << "the last row's second pixel, index 16 x 1 + 8 x 6 = 64, as stored bottom up";
    for (bool rle : {false, true})
    {
        audiotest::LogCapture log;
        EXPECT_EQ(nullptr, Load(EightBitBmp(13, 7, rle, 100, 199), L".bmp")) << rle;
        EXPECT_EQ(1, log.Count("of a palette of 100")) << rle;
    }
    // A TGA of an image type or depth that does not exist.
    Bytes tga = ContentImage("badge.tga");
    ASSERT_NE(nullptr, Load(tga, L".tga"));
    Bytes badType = tga, badDepth = tga, badMap = tga;
    badType[2] = 4;
    badDepth[16] = 12;
    badMap[1] = 2;
    for (const Bytes* file : {&badType, &badDepth, &badMap})
    {
        render::ImageDimensions sides;
        EXPECT_FALSE(render::ReadImageDimensions(file->data(), file->size(), L".tga", sides));
        EXPECT_EQ(nullptr, Load(*file, L".tga"));
    }
}
