// Loading: by path or from a pack entry, arguments, the synthetic layer and the memory limit.
#include "Core/Psd/Channels.h"
#include "PsdTestUtil.h"

#include "Core/Base/Stream.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace psdtest;

TEST(Document, LoadsFromAPathAPackEntryOrWithoutLayersAndRefusesBadArgumentsAndHugeAreas)
{
    EXPECT_EQ(psd::kNullDocument, psd::LoadDocument(nullptr, "x.psd"));
    psd::Document* marker = reinterpret_cast<psd::Document*>(0x1234);
    psd::Document* out = marker;
    EXPECT_EQ(psd::kCannotOpen, psd::LoadDocument(&out, static_cast<const char*>(nullptr)));
    EXPECT_EQ(marker, out);
    EXPECT_EQ(psd::kCannotOpen, psd::LoadDocument(&out, "/nonexistent/folder/file.psd"));
    EXPECT_EQ(marker, out);
    EXPECT_EQ(psd::kNullDocument, psd::FreeDocument(nullptr));

    // By path: the file is closed once loaded.
    testsupport::TempDir dir;
    const std::string document = PsdBuilder(4, 3).Layer(RawRgbaLayer(0, 0, 3, 4, 10, 20, 30, 255, "one")).Build();
    std::filesystem::path path = dir.Write("doc.psd", document);
    i32 status = 0;
    DocPtr doc = LoadFile(path, &status);
    ASSERT_EQ(psd::kOk, status);
    std::filesystem::remove(path);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(0xFF0A141Eu, doc->mLayers[0].mPixels[0]);

    // At offset 100 of a larger stream, as an entry of "data.dat" is.
    std::string pack = std::string(100, 'P') + document + std::string(50, 'Q');
    base::MemoryStream* whole = new base::MemoryStream(pack.data(), static_cast<u32>(pack.size()));
    base::FrameStream entry(whole, true, 100, static_cast<u32>(document.size()));
    ASSERT_EQ(psd::kOk, psd::LoadDocument(&out, entry));
    DocPtr owned(out);
    EXPECT_EQ(0xFF0A141Eu, out->mLayers[0].mPixels[0]);
    // A layerless file gets one layer from the merged image, whose fourth plane is transparency.
    Bytes planes;
    planes.Raw(Fill(6, 0x11)).Raw(Fill(6, 0x22)).Raw(Fill(6, 0x33)).Raw(Fill(6, 0x80));
    DocPtr flat = LoadBytes(PsdBuilder(3, 2, 3, 8, 4).Merged(0, planes.Str()).Build());
    ASSERT_TRUE(flat);
    ASSERT_EQ(1, flat->LayerCount());
    EXPECT_EQ(3, flat->mLayers[0].mRight);
    EXPECT_EQ(2, flat->mLayers[0].mBottom);
    EXPECT_EQ(std::vector<u32>(6, 0x80112233u), flat->mLayers[0].mPixels);

    // Huge areas with little data fail before their pixels are reserved. Loaded by path, which passes no limit: a check
    // that came after the default limit's would report -4 instead of -5, and one missing altogether would reserve
    // gigabytes.
    auto layer = [](u16 compression, const std::string& data)
    {
        const LayerSpec huge{.mBottom = 30000, .mRight = 30000, .mChannels = {{0, compression, data}}};
        return PsdBuilder(4, 4).Layer(huge).Build();
    };
    auto merged = [](u16 compression, const std::string& data)
    { return PsdBuilder(30000, 30000).Merged(compression, data).Build(); };
    const std::string rowCounts(30000 * 2, '\0');
    struct Case
    {
        std::string bytes;
        i32 status;
    };
    const Case cases[] = {
        {layer(psd::kPackBits, "\x81\x01"), psd::kReadError},  // shorter than its row counts
        {layer(psd::kRaw, "abcd"), psd::kReadError},           // shorter than its channel image
        {layer(psd::kPackBits, rowCounts), psd::kOutOfMemory}, // plausible, but over the default limit
        {merged(psd::kPackBits, "\0\1"), psd::kReadError},
        {merged(psd::kRaw, "abcd"), psd::kReadError},
        {merged(psd::kPackBits, rowCounts + rowCounts + rowCounts.substr(2) + "\0\7x"), psd::kReadError},
        {merged(psd::kPackBits, rowCounts + rowCounts + rowCounts), psd::kOutOfMemory},
    };
    for (const Case& c : cases)
    {
        ASSERT_LT(c.bytes.size(), 200000u);
        i32 status = 0;
        EXPECT_FALSE(LoadFile(dir.Write("huge.psd", c.bytes), &status));
        EXPECT_EQ(c.status, status) << c.bytes.size();
    }
    // A caller's own limit holds the same way.
    std::string bytes = PsdBuilder(200, 200).Build();
    base::MemoryStream stream(bytes.data(), static_cast<u32>(bytes.size()));
    out = nullptr;
    psd::LoadLimits limits;
    limits.mMaxPixelBytes = 1000;
    EXPECT_EQ(psd::kOutOfMemory, psd::LoadDocument(&out, stream, limits));
    EXPECT_EQ(nullptr, out);
}
