// Layer animation: channels onto a drawable's position, rotation, scale, opacity and colour, and
// the demo content's dialog animations posing a dialog as meant.
#include "AnimFileBuilder.h"

#include "Core/Base/StringConvert.h"
#include "Core/Layer/Drawable.h"
#include "Core/Layer/LayerAnim.h"
#include "Core/Media/Animation/AnimData.h"
#include "Core/Media/Mesh/Mesh.h"
#include "Core/Resource/ResourceManager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

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

// A dialog animation of the demo content ("data/game.xml" names them), loaded.
base::CountedPtr<animation::AnimData> LoadDemo(const std::string& name, render::Render* render)
{
    const std::string full = std::string(QL_SOURCE_DIR) + "/content/td/data/anim/" + name;
    base::CountedPtr<animation::AnimData> data =
        resource::ResourceManager::Instance()->Get<animation::AnimData>(base::Utf8ToWide(full));
    if (data)
        data->SetRender(render); // its mesh library's texture is made there
    if (data && data->Load() != QL_OK)
        return nullptr;
    return data;
}
} // namespace

TEST(LayerAnim, ChannelsPoseAndColourALayerLeaveAnUnchangedTransformAloneAndPoseTheDemoDialog)
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
    EXPECT_FLOAT_EQ(0.5f, target.mScale.x);
    // Pitch turns about x, heading about y, bank about z.
    EXPECT_EQ(std::make_tuple(50.0f, 3.0f, 0.2f, 0.1f, 0.3f, 4.0f, 5.0f, 1.0f),
              std::tie(target.mPosition.y, target.mPosition.z, target.mRotation.x, target.mRotation.y,
                       target.mRotation.z, target.mScale.y, target.mScale.z, target.mAlpha));
    EXPECT_TRUE(target.mTransformChanged);
    EXPECT_FALSE(target.mParentBoxValid);
    EXPECT_EQ(1.0f, target.mColor[0]) << "no colour channels: colour untouched";
    EXPECT_EQ(0.0f, target.mTint);
    target.mColor[3] = 0.4f;

    source.mColour = std::make_unique<ColourEnvelopes>();
    source.mColour->channels[COLOUR_RED] = Env({Key(0, 0.25f)});
    source.mColour->channels[COLOUR_GREEN] = Env({Key(0, 1.5f)});
    source.mColour->channels[COLOUR_BLUE] = Env({Key(0, -2.0f)});
    source.mColour->channels[COLOUR_TINT] = Env({Key(0, 0), Key(1, 1)});
    EXPECT_EQ(QL_OK, anim.Apply(0.5f));
    EXPECT_EQ(std::make_tuple(0.25f, 1.0f, 0.0f, 0.4f),
              std::tie(target.mColor[0], target.mColor[1], target.mColor[2], target.mColor[3]))
        << "clamped; the fourth component is not animated";
    EXPECT_FLOAT_EQ(0.5f, target.mTint);

    // Unchanged values leave the transform alone; dissolve is clamped transparency.
    AnimLayer rest = RestLayer();
    Plain still;
    LayerAnim idle(&still, &rest);
    EXPECT_EQ(QL_OK, idle.Apply(0.5f));
    EXPECT_FALSE(still.mTransformChanged);
    EXPECT_TRUE(still.mParentBoxValid);

    rest.mChannels[CHANNEL_BANK] = Env({Key(0, 0.5f)});
    EXPECT_EQ(QL_OK, idle.Apply(0.5f));
    EXPECT_TRUE(still.mTransformChanged);
    EXPECT_FALSE(still.mParentBoxValid);
    // The layer's own update validates the box again; the same pose does not invalidate it.
    still.mParentBoxValid = true;
    EXPECT_EQ(QL_OK, idle.Apply(0.75f));
    EXPECT_TRUE(still.mParentBoxValid);

    const std::pair<float, float> cases[] = {{0.25f, 0.75f}, {2.0f, 0.0f}, {-1.0f, 1.0f}, {0.0f, 1.0f}, {NAN, 1.0f}};
    for (const auto& [dissolve, alpha] : cases)
    {
        rest.mChannels[CHANNEL_DISSOLVE] = Env({Key(0, dissolve)});
        EXPECT_EQ(QL_OK, idle.Apply(0.0f));
        EXPECT_EQ(alpha, still.mAlpha) << dissolve;
    }
    // Fading out over a second: half-way is half transparent.
    rest.mChannels[CHANNEL_DISSOLVE] = Env({Key(0, 0), Key(1, 1)});
    EXPECT_EQ(QL_OK, idle.Apply(0.5f));
    EXPECT_FLOAT_EQ(0.5f, still.mAlpha);

    // The demo dialog's show zooms and fades in about the core's centre; its hide fades out.
    rendertest::Harness harness(render::HeadlessWindow::Backend::Recording);
    ASSERT_TRUE(harness.Ok());
    base::CountedPtr<animation::AnimData> show = LoadDemo("dialog_show.anim", harness.mRender.get());
    ASSERT_TRUE(show);
    ASSERT_EQ(1u, show->mLayers.size()) << "dialog effects play exactly one layer";
    // Its layer draws the options panel's shadow from the demo mesh library: a nine-patch down and
    // to the right of the panel (212, 96, 600 x 560), with its texture.
    const lightwave::Mesh* shadow = show->mLayers[0]->mMesh;
    ASSERT_NE(nullptr, shadow);
    EXPECT_EQ("shadow", shadow->name);
    EXPECT_EQ(54u, shadow->indexCount);
    ASSERT_NE(nullptr, shadow->image);
    EXPECT_GT(shadow->bounds.maxX, 812.0f);
    EXPECT_GT(shadow->bounds.maxY, 656.0f);
    EXPECT_GT(shadow->bounds.minX, 212.0f - 40.0f);
    EXPECT_LT(shadow->bounds.maxX, 812.0f + 60.0f);
    Plain dialog;
    animation::LayerAnim shown(&dialog, show->mLayers[0].get());
    EXPECT_EQ(QL_OK, shown.Apply(show->mStartTime));
    EXPECT_EQ(0.0f, dialog.mAlpha);
    EXPECT_LT(dialog.mScale.x, 1.0f);
    // The core's centre (512, 384) stays where it is while the dialog grows.
    EXPECT_NEAR(512.0f, dialog.mPosition.x + 512.0f * dialog.mScale.x, 1e-3f);
    EXPECT_NEAR(384.0f, dialog.mPosition.y + 384.0f * dialog.mScale.y, 1e-3f);
    EXPECT_EQ(QL_OK, shown.Apply(show->mEndTime));
    EXPECT_EQ(1.0f, dialog.mAlpha);
    EXPECT_EQ(1.0f, dialog.mScale.x);
    EXPECT_EQ(0.0f, dialog.mPosition.x);

    base::CountedPtr<animation::AnimData> hide = LoadDemo("dialog_hide.anim", harness.mRender.get());
    ASSERT_TRUE(hide);
    ASSERT_EQ(1u, hide->mLayers.size());
    EXPECT_EQ(shadow, hide->mLayers[0]->mMesh) << "one library, shared by name";
    animation::LayerAnim fade(&dialog, hide->mLayers[0].get());
    EXPECT_EQ(QL_OK, fade.Apply(hide->mStartTime));
    EXPECT_EQ(1.0f, dialog.mAlpha);
    EXPECT_EQ(QL_OK, fade.Apply(hide->mEndTime));
    EXPECT_EQ(0.0f, dialog.mAlpha);
}
