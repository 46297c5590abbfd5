// The layer-tree button's hover zoom between its end points: it grows at dt per second up to 1.1
// and shrinks at half that rate down to 1.0, in the middle of the range as well as at its ends,
// and again on a second hover.
#include "Source/TD/Shell/HUDLayerButton.h"

#include "Core/Layer/ImageLayer.h"
#include "Core/Media/Graphics/Font.h"

#include <gtest/gtest.h>

TEST(LayerButtonZoom, GrowsAndShrinksThroughTheMiddleOfItsRangeAndStopsAtItsEnds)
{
    HUDLayerButton button(nullptr, nullptr, L"skip", base::CountedPtr<render::Font>());
    const auto layerScale = [&] { return static_cast<const layer::Layer&>(button).mScale.x; };
    for (int cycle = 0; cycle < 2; ++cycle)
    {
        SCOPED_TRACE(cycle);
        button.mHovered = true;
        button.update(0.05f);
        EXPECT_FLOAT_EQ(button.mScale, 1.05f) << "grows by dt";
        EXPECT_FLOAT_EQ(layerScale(), 1.05f) << "the layer follows";
        EXPECT_TRUE(button.mOverLayer->mVisible);
        EXPECT_FALSE(button.mNormalLayer->mVisible);
        button.update(0.03f);
        EXPECT_FLOAT_EQ(button.mScale, 1.08f);
        button.update(0.05f);
        EXPECT_FLOAT_EQ(button.mScale, 1.1f) << "stops at 1.1";
        button.update(5.0f);
        EXPECT_FLOAT_EQ(button.mScale, 1.1f);

        button.mHovered = false;
        button.update(0.04f);
        EXPECT_FLOAT_EQ(button.mScale, 1.08f) << "shrinks at half the rate";
        EXPECT_FLOAT_EQ(layerScale(), 1.08f);
        EXPECT_FALSE(button.mOverLayer->mVisible);
        EXPECT_TRUE(button.mNormalLayer->mVisible);
        button.update(0.1f);
        EXPECT_FLOAT_EQ(button.mScale, 1.03f);
        button.update(0.1f);
        EXPECT_FLOAT_EQ(button.mScale, 1.0f) << "stops at 1.0";
        button.update(5.0f);
        EXPECT_FLOAT_EQ(button.mScale, 1.0f);
    }
    // Without a picture there is nothing to press.
    EXPECT_FALSE(button.hitTest(0, 0));
}
