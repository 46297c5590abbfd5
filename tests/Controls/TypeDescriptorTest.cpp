// Widget type descriptors: ids built level by level, kinship read back from them, and the
// skinned controls' own descriptors behind the casts the controls' owners make.
#include "Core/Widget/Controls/TesselButton.h"
#include "Core/Widget/Controls/TesselSlider.h"
#include "Core/Widget/Controls/TesselSwitchButton.h"
#include "Core/Widget/Frame.h"

#include <gtest/gtest.h>

#include <iterator>
#include <set>

using widget::DeriveTypeDescriptor;
using widget::IsKindOf;
using widget::TypeDescriptor;

TEST(TypeDescriptor, EachLevelAddsAByteOfIdUpToDepthFourAndDeeperClassesGetIdZero)
{
    TypeDescriptor root;
    TypeDescriptor first = DeriveTypeDescriptor(root);
    TypeDescriptor second = DeriveTypeDescriptor(root);
    TypeDescriptor child = DeriveTypeDescriptor(first);
    TypeDescriptor sibling = DeriveTypeDescriptor(first);
    TypeDescriptor grand = DeriveTypeDescriptor(child);
    TypeDescriptor great = DeriveTypeDescriptor(grand);
    TypeDescriptor deep = DeriveTypeDescriptor(great);
    TypeDescriptor deeper = DeriveTypeDescriptor(deep);

    EXPECT_EQ(2u, root.count);
    EXPECT_EQ(2u, first.count);
    const std::pair<const TypeDescriptor*, u32> ids[] = {
        {&first, 1u},       {&second, 2u},        {&child, 0x101u}, {&sibling, 0x201u},
        {&grand, 0x10101u}, {&great, 0x1010101u}, {&deep, 0u},      {&deeper, 0u},
    };
    u32 depth[] = {1, 1, 2, 2, 3, 4, 5, 6};
    for (size_t i = 0; i < std::size(ids); ++i)
    {
        EXPECT_EQ(ids[i].second, ids[i].first->id) << i;
        EXPECT_EQ(depth[i], ids[i].first->depth) << i;
    }

    // Kinship: every ancestor, never a sibling or a cousin.
    EXPECT_TRUE(IsKindOf(great, first));
    EXPECT_TRUE(IsKindOf(great, child));
    EXPECT_TRUE(IsKindOf(great, grand));
    EXPECT_TRUE(IsKindOf(sibling, first));
    EXPECT_FALSE(IsKindOf(sibling, child));
    EXPECT_FALSE(IsKindOf(child, sibling));
    EXPECT_FALSE(IsKindOf(child, second));
    EXPECT_FALSE(IsKindOf(first, child)) << "a base is not of its derived kind";
    // Past depth 4 the id is lost: known as itself and as a widget only.
    EXPECT_TRUE(IsKindOf(deep, deep));
    EXPECT_TRUE(IsKindOf(deep, root));
    EXPECT_FALSE(IsKindOf(deep, great));
    EXPECT_FALSE(IsKindOf(deeper, deep));
    EXPECT_FALSE(IsKindOf(great, deep));
}

TEST(TypeDescriptor, SkinnedControlsHaveTheirOwnBelowButtonAndSliderAndCastByThem)
{
    const TypeDescriptor& button = widget::Button::StaticTypeDescriptor();
    const TypeDescriptor& slider = widget::Slider::StaticTypeDescriptor();
    const TypeDescriptor& frame = widget::Frame::StaticTypeDescriptor();
    const TypeDescriptor* skinned[] = {&TesselButton::StaticTypeDescriptor(),
                                       &TesselSwitchButton::StaticTypeDescriptor(),
                                       &TesselSlider::StaticTypeDescriptor()};
    const TypeDescriptor* bases[] = {&button, &button, &slider};
    for (size_t i = 0; i < 3; ++i)
    {
        EXPECT_EQ(2u, skinned[i]->depth) << i;
        EXPECT_EQ(bases[i]->id, skinned[i]->id & 0xFFu) << i;
        EXPECT_NE(0u, skinned[i]->id >> 8) << i;
        EXPECT_TRUE(IsKindOf(*skinned[i], widget::Widget::StaticTypeDescriptor()));
    }
    EXPECT_NE(skinned[0]->id, skinned[1]->id) << "the two buttons are told apart";
    EXPECT_EQ(3u, std::set<u32>({button.id, slider.id, frame.id}).size());

    TesselButton push;
    TesselSwitchButton toggle;
    TesselSlider bar;
    widget::Widget* pushWidget = static_cast<widget::Button*>(&push);
    widget::Widget* toggleWidget = static_cast<widget::Button*>(&toggle);
    widget::Widget* barWidget = static_cast<widget::Slider*>(&bar);
    EXPECT_EQ(&TesselButton::StaticTypeDescriptor(), &pushWidget->GetTypeDescriptor());
    EXPECT_EQ(&TesselSlider::StaticTypeDescriptor(), &barWidget->GetTypeDescriptor());

    EXPECT_EQ(&push, widget::WidgetCast<TesselButton>(pushWidget));
    EXPECT_EQ(static_cast<widget::Button*>(&toggle), widget::WidgetCast<widget::Button>(toggleWidget));
    EXPECT_EQ(&toggle, widget::WidgetCast<TesselSwitchButton>(toggleWidget));
    EXPECT_EQ(&bar, widget::WidgetCast<TesselSlider>(barWidget));
    EXPECT_EQ(nullptr, widget::WidgetCast<TesselSwitchButton>(pushWidget));
    EXPECT_EQ(nullptr, widget::WidgetCast<TesselButton>(toggleWidget));
    EXPECT_EQ(nullptr, widget::WidgetCast<widget::Button>(barWidget));
    EXPECT_EQ(nullptr, widget::WidgetCast<widget::Slider>(pushWidget));
    EXPECT_EQ(nullptr, widget::WidgetCast<widget::Frame>(barWidget));
    EXPECT_EQ(nullptr, widget::WidgetCast<TesselButton>(static_cast<widget::Widget*>(nullptr)));
}
