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

TEST(Adjustments, LevelsAreReadAndRecordsOfTheWrongLengthVersionOrCountFail)
{
    DocPtr doc = LoadLayerWithExtra(Tagged("levl", Levels(0, false)));
    const auto* levels = Entry<psd::LevelsRecord>(doc, psd::kEntryLevels);
    ASSERT_TRUE(levels);
    EXPECT_EQ(29u, levels->mLevels.size());

    const std::string versionNine(120, '\x09');
    const struct
    {
        const char* key;
        std::string data;
        i32 status;
    } cases[] = {
        {"levl", Levels(0, false) + "x", psd::kLevelsLength},
        {"levl", Levels(0, false) + "LvlX" + std::string(4, '\0'), psd::kLevelsExtraKey},
        // A gradient map whose counts reach past its record.
        {"grdm", Bytes().U16(1).U8(0).U8(0).U32(0xFFFFFFFF).U16(0xFFFF).Str(), psd::kReadError},
        {"levl", versionNine, psd::kLevelsVersion},
        {"hue2", versionNine, psd::kHueVersion},
        {"selc", versionNine, psd::kSelectiveVersion},
        {"mixr", versionNine, psd::kMixerVersion},
        {"phfl", versionNine, psd::kPhotoFilterVersion},
        {"grdm", versionNine, psd::kGradientMapVersion},
        {"SoCo", versionNine, psd::kSolidColourVersion},
        {"GdFl", versionNine, psd::kGradientFillVersion},
        {"PtFl", versionNine, psd::kPatternFillVersion},
        {"curv", versionNine, psd::kCurvesVersion},
    };
    for (const auto& c : cases)
    {
        i32 status = 0;
        EXPECT_FALSE(LoadLayerWithExtra(Tagged(c.key, c.data), &status)) << c.key;
        EXPECT_EQ(c.status, status) << c.key;
    }
}
