// Files written by GIMP and ImageMagick: every layer equals the writer's own export.
#include "Audio/LogCapture.h"
#include "PsdTestUtil.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace psdtest;

namespace
{
std::filesystem::path Data(const std::string& name) { return testsupport::RepoTestData("psd/" + name); }

// Compares a layer with the PNG named prefix.name.png. 8-bit documents made from 16-bit sources
// hold ImageMagick's reduction (v / 257); 16-bit documents keep the high byte.
void ExpectLayerMatchesPng(const psd::LayerRecord& layer, const std::string& prefix, bool scaled = false)
{
    Image expected;
    std::filesystem::path png = Data(prefix + "." + layer.mName + ".png");
    ASSERT_TRUE(ReadPng(png, expected)) << png;
    ASSERT_EQ(expected.mWidth, static_cast<u32>(layer.mWidth)) << layer.mName;
    ASSERT_EQ(expected.mHeight, static_cast<u32>(layer.mHeight)) << layer.mName;
    ASSERT_EQ(expected.mPixels.size(), layer.mPixels.size()) << layer.mName;
    if (scaled)
        expected.mPixels = expected.mScaled;
    const auto [want, got] = std::mismatch(expected.mPixels.begin(), expected.mPixels.end(), layer.mPixels.begin());
    EXPECT_TRUE(want == expected.mPixels.end()) << layer.mName << ": first at " << (want - expected.mPixels.begin())
                                                << " expected " << std::hex << *want << " got " << *got;
}
} // namespace

TEST(RealFiles, GimpLayersMatchTheirExportsWithTheirPropertiesAndGroups)
{
    i32 status = 0;
    DocPtr doc = LoadFile(Data("gimp_rle.psd"), &status);
    ASSERT_EQ(psd::kOk, status);
    std::vector<std::string> pixelLayers;
    std::map<std::string, const psd::LayerRecord*> byName;
    for (const psd::LayerRecord& layer : doc->mLayers)
    {
        byName[layer.mName] = &layer;
        if (layer.mType == psd::kLayerPixels)
        {
            pixelLayers.push_back(layer.mName);
            ExpectLayerMatchesPng(layer, "gimp");
        }
    }
    EXPECT_EQ((std::vector<std::string>{"background", "tower_base", "shadow", "hidden_layer", "b1_normal", "b1_over",
                                        "masked"}),
              pixelLayers);
    ASSERT_TRUE(byName.count("tower_base") && byName.count("shadow") && byName.count("hidden_layer"));
    EXPECT_EQ(20, byName["tower_base"]->mTop);
    EXPECT_EQ(10, byName["tower_base"]->mLeft);
    EXPECT_EQ(psd::kBlendMultiply, byName["shadow"]->mBlendMode);
    EXPECT_EQ(128, byName["shadow"]->mOpacity);
    EXPECT_EQ(0, byName["hidden_layer"]->mVisible);
    EXPECT_EQ(1, byName["background"]->mVisible);
    EXPECT_EQ(psd::kBlendScreen, byName["b1_over"]->mBlendMode);
    EXPECT_EQ(204, byName["b1_over"]->mOpacity);
    // The group "button" encloses both buttons and nothing else.
    ASSERT_TRUE(byName.count("button"));
    const psd::LayerRecord* group = byName["button"];
    EXPECT_EQ(psd::kLayerGroupStart, group->mType);
    EXPECT_EQ(group, byName["b1_normal"]->mParent);
    EXPECT_EQ(group, byName["b1_over"]->mParent);
    // GIMP inserted "masked" above the active layer, inside the group.
    EXPECT_EQ(group, byName["masked"]->mParent);
    EXPECT_EQ(nullptr, byName["background"]->mParent);
    ASSERT_TRUE(byName.count("</Layer group>"));
    EXPECT_EQ(psd::kLayerGroupEnd, byName["</Layer group>"]->mType);
}

// ImageMagick in every compression, and ZIP with prediction at 8 and 16 bits (the 16-bit layers
// in an "Lr16" block) written by make_predicted.py, expected pixels decoded by psd-tools.
TEST(RealFiles, ImageMagickAndPredictedLayersMatchTheirSourcesInEveryCompression)
{
    const std::pair<const char*, const char*> files[] = {
        {"im8_RLE.psd", "im"},  {"im8_Zip.psd", "im"},          {"im8_None.psd", "im"},
        {"im_16bit.psd", "im"}, {"predicted.psd", "predicted"}, {"predicted16.psd", "predicted16"}};
    for (auto [file, prefix] : files)
    {
        SCOPED_TRACE(file);
        i32 status = 0;
        DocPtr doc = LoadFile(Data(file), &status);
        ASSERT_EQ(psd::kOk, status);
        ASSERT_GE(doc->LayerCount(), 1);
        const bool magick = std::string(prefix) == "im";
        for (const psd::LayerRecord& layer : doc->mLayers)
        {
            // ImageMagick stores the two-colour "rect" layer as a single channel of palette indices
            // (all 0): its colour is not in the file. The missing channels read as 0, alpha as 255.
            if (!magick || std::string(layer.mName) != "rect")
                ExpectLayerMatchesPng(layer, prefix, magick && doc->mDepth == 8);
            else if (doc->mDepth == 8)
            {
                EXPECT_EQ(1u, layer.mChannels.size());
                EXPECT_EQ(std::vector<u32>(600, 0xFF000000u), layer.mPixels);
            }
        }
        EXPECT_EQ(doc->mWidth * doc->mHeight, doc->mMerged.size());
    }
    // ImageMagick's RLE file gives its layer section one byte short: its merged image is still found.
    DocPtr rle = LoadFile(Data("im8_RLE.psd"));
    DocPtr raw = LoadFile(Data("im8_None.psd"));
    ASSERT_TRUE(rle && raw);
    EXPECT_EQ(raw->mMerged, rle->mMerged);

    // Every cut of a real file fails with a log line.
    // The small file is cut at every byte, the larger ones every 61 bytes.
    audiotest::LogCapture log;
    for (const char* file : {"im8_Zip.psd", "gimp_rle.psd", "predicted16.psd"})
    {
        std::string bytes = testsupport::ReadBytes(Data(file));
        for (size_t cut = 0; cut < bytes.size(); cut += bytes.size() < 4000 ? 1 : 61)
        {
            const size_t before = log.Text().size();
            i32 status = 0;
            DocPtr doc = LoadBytes(bytes.substr(0, cut), &status);
            EXPECT_FALSE(doc) << file << " cut at " << cut;
            EXPECT_LT(status, 0) << file << " cut at " << cut;
            EXPECT_NE(std::string::npos, log.Text().find("PSD", before)) << file << " cut at " << cut;
        }
    }
}
