// Adjustment records: a levels record is read with its 29 channels (damage: DamagedInputTest).
#include "PsdTestUtil.h"

#include <gtest/gtest.h>

using namespace psdtest;

TEST(Adjustments, LevelsAreRead)
{
    Bytes b;
    b.U16(2);
    for (int i = 0; i < 29; ++i)
        b.U16(i).U16(255).U16(0).U16(255).U16(100);
    DocPtr doc = LoadLayerWithExtra(Tagged("levl", b.Str()));
    ASSERT_TRUE(doc);
    const auto* levels = static_cast<const psd::LevelsRecord*>(doc->mLayers[0].FindEntry(psd::kEntryLevels));
    ASSERT_TRUE(levels);
    EXPECT_EQ(29u, levels->mLevels.size());
    EXPECT_EQ(28, levels->mLevels[28].mInputFloor);
}
