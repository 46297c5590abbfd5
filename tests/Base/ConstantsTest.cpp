// Vertex layouts: each layout's elements tile its stride in order, as the vertex declarations need.
#include "Core/Base/VertexLayouts.h"

#include <gtest/gtest.h>

TEST(VertexLayouts, ElementsTileEachStrideInIdOrder)
{
    ASSERT_EQ(std::size(base::kVertexLayouts), 3u);
    for (const base::VertexLayoutInfo& layout : base::kVertexLayouts)
    {
        EXPECT_STREQ(layout.elements[0].name, "pos");
        u32 end = 0;
        for (size_t e = 0; e < layout.elementCount; ++e)
        {
            EXPECT_EQ(layout.elements[e].offset, end) << layout.name << " element " << e;
            end += layout.elements[e].size;
        }
        EXPECT_EQ(end, layout.stride) << layout.name;
    }
}
