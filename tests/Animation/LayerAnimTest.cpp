// Layer animation: channels onto a drawable's position, rotation, scale, opacity and colour.
#include "AnimFileBuilder.h"

#include "Core/Layer/Drawable.h"
#include "Core/Media/Animation/LayerAnim.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace animation;
using animtest::Env;
using animtest::Key;

namespace
{
class Plain : public layer::Drawable
{
public:
    QLResultEnum DrawSelf(render::Graphics*) override { return QL_OK; }
};

// A layer at rest: unit scale, everything else 0.
AnimLayer RestLayer()
{
    AnimLayer layer(nullptr);
    for (u32 c : {CHANNEL_SCALE_X, CHANNEL_SCALE_Y, CHANNEL_SCALE_Z})
        layer.mChannels[c] = Env({Key(0, 1)});
    return layer;
}
} // namespace

TEST(LayerAnim, ChannelsGoToPositionRotationAndScale)
{
    AnimLayer source = RestLayer();
    source.mChannels[CHANNEL_POSITION_X] = Env({Key(0, 0), Key(1, 100)});
    source.mChannels[CHANNEL_POSITION_Y] = Env({Key(0, 50)});
    source.mChannels[CHANNEL_POSITION_Z] = Env({Key(0, 3)});
    source.mChannels[CHANNEL_HEADING] = Env({Key(0, 0.1f)});
    source.mChannels[CHANNEL_PITCH] = Env({Key(0, 0.2f)});
    source.mChannels[CHANNEL_BANK] = Env({Key(0, 0.3f)});
    source.mChannels[CHANNEL_SCALE_X] = Env({Key(0, 0), Key(1, 2)});
    source.mChannels[CHANNEL_SCALE_Y] = Env({Key(0, 4)});
    source.mChannels[CHANNEL_SCALE_Z] = Env({Key(0, 5)});
    Plain target;
    LayerAnim anim(&target, &source);
    EXPECT_EQ(QL_OK, anim.Apply(0.25f));
    EXPECT_FLOAT_EQ(25.0f, target.mPosition.x);
    EXPECT_EQ(50.0f, target.mPosition.y);
    EXPECT_EQ(3.0f, target.mPosition.z);
    EXPECT_EQ(0.2f, target.mRotation.x) << "pitch turns about x";
    EXPECT_EQ(0.1f, target.mRotation.y) << "heading turns about y";
    EXPECT_EQ(0.3f, target.mRotation.z) << "bank turns about z";
    EXPECT_FLOAT_EQ(0.5f, target.mScale.x);
    EXPECT_EQ(4.0f, target.mScale.y);
    EXPECT_EQ(5.0f, target.mScale.z);
    EXPECT_TRUE(target.mTransformChanged);
    EXPECT_FALSE(target.mParentBoxValid);
    EXPECT_EQ(1.0f, target.mAlpha);
}

TEST(LayerAnim, UnchangedValuesLeaveTheTransformAlone)
{
    AnimLayer source = RestLayer();
    Plain target;
    LayerAnim anim(&target, &source);
    EXPECT_EQ(QL_OK, anim.Apply(0.5f));
    EXPECT_FALSE(target.mTransformChanged);
    EXPECT_TRUE(target.mParentBoxValid);

    source.mChannels[CHANNEL_BANK] = Env({Key(0, 0.5f)});
    EXPECT_EQ(QL_OK, anim.Apply(0.5f));
    EXPECT_TRUE(target.mTransformChanged);
    EXPECT_FALSE(target.mParentBoxValid);
    // The layer's own update validates the box again; the same pose does not invalidate it.
    target.mParentBoxValid = true;
    EXPECT_EQ(QL_OK, anim.Apply(0.75f));
    EXPECT_TRUE(target.mParentBoxValid);
}

TEST(LayerAnim, DissolveIsTransparencyClampedToTheUnitRange)
{
    AnimLayer source = RestLayer();
    Plain target;
    LayerAnim anim(&target, &source);
    const std::pair<float, float> cases[] = {{0.25f, 0.75f}, {2.0f, 0.0f}, {-1.0f, 1.0f}, {0.0f, 1.0f}, {NAN, 1.0f}};
    for (const auto& [dissolve, alpha] : cases)
    {
        source.mChannels[CHANNEL_DISSOLVE] = Env({Key(0, dissolve)});
        EXPECT_EQ(QL_OK, anim.Apply(0.0f));
        EXPECT_EQ(alpha, target.mAlpha) << dissolve;
    }
    // Fading out over a second: half-way is half transparent.
    source.mChannels[CHANNEL_DISSOLVE] = Env({Key(0, 0), Key(1, 1)});
    EXPECT_EQ(QL_OK, anim.Apply(0.5f));
    EXPECT_FLOAT_EQ(0.5f, target.mAlpha);
}

TEST(LayerAnim, ColourChannelsSetClampedColourAndTintOnly)
{
    AnimLayer source = RestLayer();
    Plain target;
    target.mColor[3] = 0.4f;
    LayerAnim anim(&target, &source);
    EXPECT_EQ(QL_OK, anim.Apply(0.0f));
    EXPECT_EQ(1.0f, target.mColor[0]) << "no colour channels: colour untouched";
    EXPECT_EQ(0.0f, target.mTint);

    source.mColour = std::make_unique<ColourEnvelopes>();
    source.mColour->channels[COLOUR_RED] = Env({Key(0, 0.25f)});
    source.mColour->channels[COLOUR_GREEN] = Env({Key(0, 1.5f)});
    source.mColour->channels[COLOUR_BLUE] = Env({Key(0, -2.0f)});
    source.mColour->channels[COLOUR_TINT] = Env({Key(0, 0), Key(1, 1)});
    EXPECT_EQ(QL_OK, anim.Apply(0.5f));
    EXPECT_EQ(0.25f, target.mColor[0]);
    EXPECT_EQ(1.0f, target.mColor[1]);
    EXPECT_EQ(0.0f, target.mColor[2]);
    EXPECT_EQ(0.4f, target.mColor[3]) << "the fourth component is not animated";
    EXPECT_FLOAT_EQ(0.5f, target.mTint);
}
