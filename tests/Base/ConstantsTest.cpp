#include "Core/Base/Constants.h"
#include "Core/Base/VertexLayouts.h"

#include <gtest/gtest.h>

#include <string>

TEST(Constants, DoubleDegreesToRadiansIsBuiltFromTheFloatPi)
{
    EXPECT_EQ(180.0 * math::kDegToRadD, 3.1415927410125732);
    EXPECT_EQ(math::kDegToRadD, 0.017453293005625408);
    EXPECT_EQ(math::kRadToDegD, 57.29577791868204);
}

TEST(Constants, FloatAndDoubleTwoPiDiffer)
{
    EXPECT_NE(static_cast<double>(math::kTwoPi), math::kTwoPiD);
    EXPECT_EQ(math::kTwoPiD, 6.283185307179586);
    EXPECT_EQ(math::kOneOverTwoPiD, 0.15915494309189535);
}

TEST(Constants, ReciprocalsCarryTheRoundingOfTheFirstValues)
{
    EXPECT_EQ(math::kOneOverTwoPi, 0.15915494f);
    EXPECT_EQ(math::kRadToDeg, 57.29578f);
    EXPECT_EQ(math::kDegToRad, 0.017453292f);
    EXPECT_EQ(math::kRadToDeg, 1.0f / math::kDegToRad);
}

TEST(Constants, StringsHaveTheirFixedLengths)
{
    EXPECT_EQ(std::string(base::kSoundFolder), "td/data/sound/");
    EXPECT_EQ(std::wstring(base::kProfilesFileName), L"profiles.xml");
    EXPECT_EQ(std::wstring(base::kDefaultProfileName).size(), 26u);
    EXPECT_EQ(std::string(base::kPackMagic).size(), 6u);
}

TEST(VertexLayouts, ElementsTileEachStrideInIdOrder)
{
    const char* names[] = {"SVertex2D", "SVertexGeom", "SVertexRT"};
    const u32 strides[] = {32, 16, 24};
    ASSERT_EQ(std::size(base::kVertexLayouts), 3u);
    for (size_t i = 0; i < 3; ++i)
    {
        const base::VertexLayoutInfo& layout = base::kVertexLayouts[i];
        EXPECT_STREQ(layout.name, names[i]);
        EXPECT_EQ(layout.stride, strides[i]);
        EXPECT_STREQ(layout.elements[0].name, "pos");
        u32 end = 0;
        for (size_t e = 0; e < layout.elementCount; ++e)
        {
            EXPECT_EQ(layout.elements[e].offset, end) << layout.name << " element " << e;
            end += layout.elements[e].size;
        }
        EXPECT_EQ(end, layout.stride) << layout.name;
    }
    EXPECT_EQ(base::kVertexLayouts[2].cacheSize, 0u); // no cache for render-target quads
}
