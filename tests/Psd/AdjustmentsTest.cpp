// Adjustment, fill and type-tool records.
#include "PsdTestUtil.h"

#include <gtest/gtest.h>

using namespace psdtest;

namespace
{

template <class T> const T* Entry(const DocPtr& doc, u32 kind)
{
    return doc ? static_cast<const T*>(doc->mLayers[0].FindEntry(kind)) : nullptr;
}

std::string Levels(u32 extraRecords, bool marker)
{
    Bytes b;
    b.U16(2);
    for (int i = 0; i < 29; ++i)
        b.U16(i).U16(255).U16(0).U16(255).U16(100);
    if (marker)
    {
        b.Key("Lvls").U16(3).U16(29 + extraRecords);
        for (u32 i = 0; i < extraRecords; ++i)
            b.U16(1).U16(2).U16(3).U16(4).U16(150);
    }
    return b.Str();
}
} // namespace

TEST(Adjustments, LevelsLengthMustMatch)
{
    DocPtr doc = LoadLayerWithExtra(Tagged("levl", Levels(0, false)));
    const auto* levels = Entry<psd::LevelsRecord>(doc, psd::kEntryLevels);
    ASSERT_TRUE(levels);
    EXPECT_EQ(29u, levels->mLevels.size());
    i32 status = 0;
    EXPECT_FALSE(LoadLayerWithExtra(Tagged("levl", Levels(0, false) + "x"), &status));
    EXPECT_EQ(psd::kLevelsLength, status);
    std::string wrongMarker = Levels(0, false) + "LvlX" + std::string(4, '\0');
    EXPECT_FALSE(LoadLayerWithExtra(Tagged("levl", wrongMarker), &status));
    EXPECT_EQ(psd::kLevelsExtraKey, status);
}

TEST(Adjustments, VersionChecks)
{
    const std::pair<const char*, i32> cases[] = {
        {"levl", psd::kLevelsVersion}, {"hue2", psd::kHueVersion}, {"selc", psd::kSelectiveVersion},
        {"mixr", psd::kMixerVersion},  {"phfl", psd::kPhotoFilterVersion}, {"grdm", psd::kGradientMapVersion},
        {"SoCo", psd::kSolidColourVersion}, {"GdFl", psd::kGradientFillVersion}, {"PtFl", psd::kPatternFillVersion},
        {"curv", psd::kCurvesVersion},
    };
    for (const auto& [key, expected] : cases)
    {
        i32 status = 0;
        EXPECT_FALSE(LoadLayerWithExtra(Tagged(key, std::string(120, '\x09')), &status)) << key;
        EXPECT_EQ(expected, status) << key;
    }
}

TEST(Adjustments, HostileCountsAreBoundedByTheRecord)
{
    Bytes b;
    b.U16(1).U8(0).U8(0).U32(0xFFFFFFFF).U16(0xFFFF);
    i32 status = 0;
    LoadLayerWithExtra(Tagged("grdm", b.Str()), &status);
    EXPECT_EQ(psd::kReadError, status);
}

