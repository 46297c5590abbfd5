// Header, colour-mode data and image resources, and the bounds of each block.
#include "PsdTestUtil.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>

using namespace psdtest;

namespace
{
std::string Be32(u32 v)
{
    Bytes b;
    b.U32(v);
    return b.Str();
}

DocPtr LoadResources(PsdBuilder builder, i32* status = nullptr)
{
    return LoadBytes(builder.Build(), status);
}

// A JPEG of width x height in the given colour space, made with libjpeg.
std::string MakeJpeg(u32 width, u32 height, J_COLOR_SPACE space, int components, const u8* sample, bool adobe = true)
{
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    info.write_Adobe_marker = adobe ? TRUE : FALSE;
    jpeg_start_compress(&info, TRUE);
    std::vector<u8> row(size_t(width) * components);
    for (u32 x = 0; x < width; ++x)
        std::copy(sample, sample + components, row.begin() + size_t(x) * components);
    while (info.next_scanline < height)
    {
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::string out(reinterpret_cast<char*>(buffer), size);
    std::free(buffer);
    return out;
}

std::string Thumbnail(const std::string& jpeg, u32 format = 1)
{
    Bytes b;
    b.U32(format).U32(8).U32(4).U32(24).U32(96).U32(static_cast<u32>(jpeg.size())).U16(24).U16(1).Raw(jpeg);
    return b.Str();
}
} // namespace

TEST(Resources, NamesAreSkippedWithTheirPadding)
{
    for (const char* name : {"", "a", "ab", "abc"})
    {
        DocPtr doc = LoadResources(PsdBuilder(2, 2).Resource(1024, std::string("\x00\x05", 2), name).Resource(1037, Be32(45)));
        ASSERT_TRUE(doc) << name;
        EXPECT_EQ(5, doc->mTargetLayer);
        EXPECT_EQ(45, doc->mGlobalAngle);
    }
}

TEST(Resources, ShortBlockNeverReadsIntoTheNextOne)
{
    // A 1005 of two bytes must not take its fields from the following block.
    DocPtr doc = LoadResources(PsdBuilder(2, 2).Resource(1005, std::string("\x00\x48", 2)).Resource(1024, std::string("\x00\x09", 2)));
    ASSERT_TRUE(doc);
    EXPECT_EQ(9, doc->mTargetLayer);
    EXPECT_EQ(0, doc->mHorizontalUnit);
}

TEST(Resources, UnknownOddBlockIsSkippedWithItsPadding)
{
    DocPtr doc = LoadResources(PsdBuilder(2, 2).Resource(4000, "abc").Resource(1034, "\x01"));
    ASSERT_TRUE(doc);
    EXPECT_EQ(1, doc->mProtected);
}

TEST(Resources, BadSignatureFails)
{
    Bytes section;
    section.Key("8BIX").U16(1024).U16(0).U32(0);
    i32 status = 0;
    EXPECT_FALSE(LoadResources(PsdBuilder(2, 2).RawResources(section.Str()), &status));
    EXPECT_EQ(psd::kBadResourceSignature, status);
}

TEST(Resources, CutJpegThumbnailFails)
{
    const u8 rgb[3] = {1, 2, 3};
    std::string jpeg = MakeJpeg(64, 64, JCS_RGB, 3, rgb);
    i32 status = 0;
    EXPECT_FALSE(LoadResources(PsdBuilder(2, 2).Resource(1036, Thumbnail(jpeg.substr(0, jpeg.size() / 2))), &status));
    EXPECT_EQ(psd::kBadThumbnail, status);
    EXPECT_FALSE(LoadResources(PsdBuilder(2, 2).Resource(1036, Thumbnail("not a jpeg at all")), &status));
    EXPECT_EQ(psd::kBadThumbnail, status);
}
