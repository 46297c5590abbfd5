// Damaged documents: each check that refuses something, tripped once, gives its status and its
// log line. fuzz/Psd drives the reader over arbitrary damage; these pin the reasons.
#include "Audio/LogCapture.h"
#include "PsdTestUtil.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>

using namespace psdtest;

namespace
{
std::string WithLayer(const std::function<void(LayerSpec&)>& change)
{
    LayerSpec layer{.mName = "a"};
    change(layer);
    return PsdBuilder(2, 2).Layer(layer).Build();
}

// One layer of the given size and channels.
std::string WithChannels(i32 bottom, i32 right, const std::vector<ChannelSpec>& channels)
{
    return WithLayer([&](LayerSpec& l) { l.mBottom = bottom, l.mRight = right, l.mChannels = channels; });
}

std::string WithExtra(const std::string& extra)
{
    return WithLayer([&](LayerSpec& l) { l.mExtra = extra; });
}

std::string Levels(const std::string& tail)
{
    Bytes b;
    b.U16(2);
    for (int i = 0; i < 29; ++i)
        b.U16(i).U16(255).U16(0).U16(255).U16(100);
    return Tagged("levl", b.Str() + tail);
}

std::string OldEffect(const std::string& entry, u32 version = 0)
{
    return Tagged("lrFX", Bytes().U16(version).U16(1).Raw(entry).Str());
}

// Layers of one pixel, each with a side x side mask whose ZIP stream holds nothing (all 0).
std::string MaskedLayers(int count, i32 side)
{
    PsdBuilder doc(2, 2);
    const std::string mask = Bytes().I32(0).I32(0).I32(side).I32(side).U8(0).U8(0).Zeros(2).Str();
    for (int i = 0; i < count; ++i)
        doc.Layer({.mBottom = 1, .mRight = 1, .mChannels = {{0, 0, "x"}, {-2, 2, Deflate("")}}, .mMask = mask});
    return doc.Build();
}

std::string Thumbnail(const std::string& jpeg)
{
    Bytes b;
    b.U32(1).U32(8).U32(4).U32(24).U32(96).U32(static_cast<u32>(jpeg.size())).U16(24).U16(1).Raw(jpeg);
    return PsdBuilder(2, 2).Resource(1036, b.Str()).Build();
}
} // namespace

TEST(DamagedInput, EachRefusingCheckGivesItsStatusAndLogLine)
{
    const std::string good = PsdBuilder(4, 3).Layer(RawRgbaLayer(0, 0, 3, 4, 1, 2, 3, 255, "one")).Build();
    const std::string nine(120, '\x09'); // a version no record has
    const LayerSpec beyondTheFile{
        .mBottom = 1, .mRight = 2, .mChannels = {{0, 0, "ab"}}, .mChannelLengthOverride = 100000};
    const LayerSpec badSixteen{.mBlendSignature = "XXXX"};
    Bytes sixteen;
    sixteen.U32(0).U32(0).Raw("8BIMLr16" + PsdBuilder(2, 1, 3, 16).Layer(badSixteen).LayerInfo());
    const std::string zipped = Deflate(Fill(256, 1));
    const std::string jpeg = testsupport::ReadBytes(std::string(QL_SOURCE_DIR) + "/content/td/data/images/photo.jpg");
    ASSERT_GT(jpeg.size(), 1000u);
    const struct
    {
        std::string bytes;
        i32 status;
        const char* log;
    } cases[] = {
        // Header and image resources.
        {"", psd::kReadError, "empty file"},
        {good.substr(0, 20), psd::kReadError, "header shorter than 26 bytes"},
        {PsdBuilder(4, 3).Signature("8BPX").Build(), psd::kBadSignature, "signature is not 8BPS"},
        {PsdBuilder(4, 3).Version(2).Build(), psd::kBadVersion, "version is not 1"},
        {PsdBuilder(4, 3, 3, 12).Build(), psd::kBadDepth, "depth is not 1, 8 or 16"},
        {PsdBuilder(4, 3, 5).Build(), psd::kBadColourMode, "unknown colour mode"},
        {PsdBuilder(4, 3, 3, 8, 57).Build(), psd::kReadError, "channel count outside 1..56"},
        {PsdBuilder(40000, 3).Build(), psd::kReadError, "image larger than 30000 x 30000"},
        {PsdBuilder(2, 2).RawResources(Bytes().Key("8BIX").U16(1024).U16(0).U32(0).Str()).Build(),
         psd::kBadResourceSignature, "image resource signature is not 8BIM"},
        {Thumbnail("not a jpeg at all"), psd::kBadThumbnail, "thumbnail JPEG cannot be decoded"},
        {Thumbnail(jpeg.substr(0, jpeg.size() / 2)), psd::kBadThumbnail, "thumbnail JPEG cannot be decoded"},
        // Layer records.
        {PsdBuilder(2, 2).Layer(LayerSpec()).LayerCount(30000).Build(), psd::kReadError,
         "layer count larger than the file can hold"},
        {WithLayer([](LayerSpec& l) { l.mChannels.resize(57); }), psd::kReadError, "layer channel count outside 0..56"},
        {WithLayer([](LayerSpec& l) { l.mBottom = 2000000000; }), psd::kReadError, "layer rectangle larger than 30000"},
        {WithLayer([](LayerSpec& l) { l.mBlendSignature = "8BIX"; }), psd::kBadBlendSignature,
         "layer blend signature is not 8BIM"},
        {PsdBuilder(2, 1, 3, 16).RawLayerSection(sixteen.Str()).Build(), psd::kBadBlendSignature,
         "layer blend signature is not 8BIM"}, // inside "Lr16": the failure fails the load
        {WithLayer([](LayerSpec& l) { l.mBlendingRanges = std::string(8, '\0'); }), psd::kNoBlendingRanges,
         "blending ranges hold no channel range"},
        {WithExtra("8BIXluni" + std::string(4, '\0')), psd::kAdditionalSignature,
         "additional layer information signature is not 8BIM"},
        {WithExtra("8BIMluni" + std::string("\0\0\x10\0", 4)), psd::kReadError,
         "additional layer information runs past its layer record"},
        {WithExtra(Tagged("lsct", Bytes().U32(1).Key("8BIX").Key("norm").Str())), psd::kDividerSignature,
         "section divider signature is not 8BIM"},
        // Channel data of a layer and of the merged image.
        {WithChannels(4, 3, {{0, 1, std::string(3, '\0')}}), psd::kReadError,
         "PackBits channel shorter than its row counts"},
        {WithChannels(1, 2, {{0, 2, "not deflate data"}}), psd::kZipFailed, "ZIP channel data is damaged"},
        {WithChannels(1, 2, {{0, 7, "xx"}}), psd::kBadCompression, "unknown channel compression"},
        // Two small ZIP channels are decoded together: each one's damage is refused.
        {WithChannels(16, 16, {{0, 2, "bad"}, {1, 2, zipped}}), psd::kZipFailed, "ZIP channel data is damaged"},
        {WithChannels(16, 16, {{0, 2, zipped}, {1, 2, "bad"}}), psd::kZipFailed, "ZIP channel data is damaged"},
        {PsdBuilder(4, 4).Layer(beyondTheFile).Build(), psd::kReadError, "layer channel data shorter than announced"},
        {PsdBuilder(2, 2).Merged(9, "abcd").Build(), psd::kBadCompression, "unknown merged image compression"},
        {PsdBuilder(2, 2).Merged(2, "garbage").Build(), psd::kZipFailed, "ZIP merged image is damaged"},
        // Everything a load keeps or grows counts against the limit (256 MiB here) before it is
        // allocated, however few bytes claim it.
        {MaskedLayers(1, 17000), psd::kOutOfMemory, "layer masks would pass the memory limit"},
        {MaskedLayers(7, 6000), psd::kOutOfMemory, "layer masks would pass the memory limit"}, // the 7th
        {PsdBuilder(7000, 7000, 3, 8, 56)
             .Resource(1006, Bytes().Raw(std::string(106, '\1')).Str())
             .Merged(2, Deflate(""))
             .Build(),
         psd::kOutOfMemory, "alpha channels would pass the memory limit"}, // 53 named alpha channels
        {PsdBuilder(7000, 7000, 4, 8, 4).Merged(2, Deflate("")).Build(), psd::kOutOfMemory,
         "colour planes would pass the memory limit"}, // CMYK
        // Adjustment and fill records.
        {WithExtra(Levels("x")), psd::kLevelsLength, "levels record length does not match its contents"},
        {WithExtra(Levels("LvlX" + std::string(4, '\0'))), psd::kLevelsExtraKey, "levels extra block key is not Lvls"},
        {WithExtra(Tagged("grdm", Bytes().U16(1).U8(0).U8(0).U32(0xFFFFFFFF).U16(0xFFFF).Str())), psd::kReadError,
         "adjustment record cut short"},
        {WithExtra(Tagged("levl", nine)), psd::kLevelsVersion, "levels version is not 2"},
        {WithExtra(Tagged("curv", nine)), psd::kCurvesVersion, "curves version is not 1 or 4"},
        {WithExtra(Tagged("hue2", nine)), psd::kHueVersion, "hue and saturation version is not 2"},
        {WithExtra(Tagged("selc", nine)), psd::kSelectiveVersion, "selective colour version is not 1"},
        {WithExtra(Tagged("mixr", nine)), psd::kMixerVersion, "channel mixer version is not 1"},
        {WithExtra(Tagged("phfl", nine)), psd::kPhotoFilterVersion, "photo filter version is not 3"},
        {WithExtra(Tagged("grdm", nine)), psd::kGradientMapVersion, "gradient map version is not 1"},
        {WithExtra(Tagged("SoCo", nine)), psd::kSolidColourVersion, "solid colour descriptor version is not 16"},
        {WithExtra(Tagged("GdFl", nine)), psd::kGradientFillVersion, "gradient fill descriptor version is not 16"},
        {WithExtra(Tagged("PtFl", nine)), psd::kPatternFillVersion, "pattern fill descriptor version is not 16"},
        // Layer effects, old and descriptor form.
        {WithExtra(OldEffect("", 1)), psd::kEffectsVersion, "effects version is not 0"},
        {WithExtra(OldEffect(Bytes().Key("8BIX").Key("cmnS").Str())), psd::kEffectSignature,
         "effect signature is not 8BIM"},
        {WithExtra(OldEffect(Bytes().Key("8BIM").Key("what").U32(0).Str())), psd::kUnknownEffect, "unknown effect key"},
        {WithExtra(OldEffect(Bytes().Key("8BIM").Key("dsdw").Block(Bytes().U32(1).Str()).Str())), psd::kShadowVersion,
         "shadow effect version is not 0 or 2"},
        {WithExtra(Tagged("lfx2", Bytes().U32(0).U32(15).Str())), psd::kEffectsVersion,
         "object effects version is not 0 or descriptor version not 16"},
    };
    audiotest::LogCapture log;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.log);
        if (c.status == psd::kOutOfMemory)
        {
            EXPECT_LT(c.bytes.size(), 1000u); // a few hundred bytes claim the memory
        }
        const size_t before = log.Text().size();
        i32 status = 0;
        EXPECT_FALSE(LoadBytes(c.bytes, &status));
        EXPECT_EQ(c.status, status);
        EXPECT_NE(std::string::npos, log.Text().find(c.log, before)) << log.Text().substr(before);
    }
}
