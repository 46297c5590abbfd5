// The dialog animations the demo content names ("data/game.xml") load and pose a dialog as meant.
#include "Core/Base/StringConvert.h"
#include "Core/Layer/Drawable.h"
#include "Core/Media/Animation/AnimData.h"
#include "Core/Media/Animation/LayerAnim.h"
#include "Core/Resource/ResourceManager.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
class Plain : public layer::Drawable
{
public:
    QLResultEnum DrawSelf(render::Graphics*) override { return QL_OK; }
};

base::CountedPtr<animation::AnimData> LoadDemo(const std::string& name)
{
    const std::string full = std::string(QL_SOURCE_DIR) + "/content/td/data/anim/" + name;
    base::CountedPtr<animation::AnimData> data =
        resource::ResourceManager::Instance()->Get<animation::AnimData>(base::Utf8ToWide(full));
    if (data && data->Load() != QL_OK)
        return nullptr;
    return data;
}
} // namespace

TEST(DemoAnimations, DialogShowZoomsInAndFadesInAboutTheCoreCentre)
{
    base::CountedPtr<animation::AnimData> show = LoadDemo("dialog_show.anim");
    ASSERT_TRUE(show);
    ASSERT_EQ(1u, show->mLayers.size()) << "dialog effects play exactly one layer";
    Plain dialog;
    animation::LayerAnim anim(&dialog, show->mLayers[0].get());
    EXPECT_EQ(QL_OK, anim.Apply(show->mStartTime));
    EXPECT_EQ(0.0f, dialog.mAlpha);
    EXPECT_LT(dialog.mScale.x, 1.0f);
    // The core's centre (512, 384) stays where it is while the dialog grows.
    EXPECT_NEAR(512.0f, dialog.mPosition.x + 512.0f * dialog.mScale.x, 1e-3f);
    EXPECT_NEAR(384.0f, dialog.mPosition.y + 384.0f * dialog.mScale.y, 1e-3f);
    EXPECT_EQ(QL_OK, anim.Apply(show->mEndTime));
    EXPECT_EQ(1.0f, dialog.mAlpha);
    EXPECT_EQ(1.0f, dialog.mScale.x);
    EXPECT_EQ(0.0f, dialog.mPosition.x);
}

TEST(DemoAnimations, DialogHideFadesOut)
{
    base::CountedPtr<animation::AnimData> hide = LoadDemo("dialog_hide.anim");
    ASSERT_TRUE(hide);
    ASSERT_EQ(1u, hide->mLayers.size());
    Plain dialog;
    animation::LayerAnim anim(&dialog, hide->mLayers[0].get());
    EXPECT_EQ(QL_OK, anim.Apply(hide->mStartTime));
    EXPECT_EQ(1.0f, dialog.mAlpha);
    EXPECT_EQ(QL_OK, anim.Apply(hide->mEndTime));
    EXPECT_EQ(0.0f, dialog.mAlpha);
}
