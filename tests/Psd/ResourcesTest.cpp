// Image resources: each block skipped with its name and padding, never into the next.
#include "PsdTestUtil.h"

#include <gtest/gtest.h>

using namespace psdtest;

namespace
{
std::string Be32(u32 v)
{
    Bytes b;
    b.U32(v);
    return b.Str();
}
} // namespace

TEST(Resources, BlocksAreSkippedWithTheirNamesAndPaddingAndNeverReadIntoTheNext)
{
    for (const char* name : {"", "a", "ab", "abc"})
    {
        DocPtr doc = LoadBytes(PsdBuilder(2, 2).Resource(1024, std::string("\x00\x05", 2), name).Resource(1037, Be32(45)).Build());
        ASSERT_TRUE(doc) << name;
        EXPECT_EQ(5, doc->mTargetLayer);
        EXPECT_EQ(45, doc->mGlobalAngle);
    }
    // A 1005 of two bytes must not take its fields from the following block; an unknown odd block
    // is skipped with its padding.
    DocPtr doc = LoadBytes(PsdBuilder(2, 2)
                               .Resource(1005, std::string("\x00\x48", 2))
                               .Resource(1024, std::string("\x00\x09", 2))
                               .Resource(4000, "abc")
                               .Resource(1034, "\x01")
                               .Build());
    ASSERT_TRUE(doc);
    EXPECT_EQ(9, doc->mTargetLayer);
    EXPECT_EQ(0, doc->mHorizontalUnit);
    EXPECT_EQ(1, doc->mProtected);
}

