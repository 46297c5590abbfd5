// The shop's tab row and scroll bar over the demo layout "td/shop": tab places with disabled
// tabs taking no room, selection and hover zoom, the slider's hold and its range.
#include "ShopFixture.h"

#include "Core/File/FileManager.h"
#include "Core/Media/Image/ImageContainer.h"
#include "Source/TD/Shell/ShopScrollBar.h"
#include "Source/TD/Shell/ShopTabBar.h"
#include "Source/TD/Sprites/TDFrameEntry.h"

#include <memory>

namespace
{
struct ShopControls : shoptest::ShopFixture
{
    void SetUp() override
    {
        ShopFixture::SetUp();
        layout.reset(file::FileManager::Instance()->OpenImageContainer(L"td/shop"));
        ASSERT_NE(nullptr, layout);
    }
    void TearDown() override
    {
        layout.reset();
        ShopFixture::TearDown();
    }
    std::unique_ptr<file::ImageContainer> layout;
};

const std::vector<std::wstring> kNames{L"shop_tab_0", L"shop_tab_1", L"shop_tab_2"};
} // namespace

TEST_F(ShopControls, ADisabledTabTakesNoRoomAndIgnoresThePointer)
{
    ShopTabBar all(layout.get(), kNames, {true, true, true});
    EXPECT_FLOAT_EQ(216.0f, all.tabs[0]->x);
    EXPECT_FLOAT_EQ(506.0f, all.tabs[1]->x);
    EXPECT_FLOAT_EQ(796.0f, all.tabs[2]->x);
    EXPECT_FLOAT_EQ(172.0f, all.tabs[0]->y) << "tabs stand on the bottom of the tab picture";

    ShopTabBar middleOff(layout.get(), kNames, {true, false, true});
    EXPECT_FLOAT_EQ(506.0f, middleOff.tabs[1]->x);
    EXPECT_FLOAT_EQ(506.0f, middleOff.tabs[2]->x);
    EXPECT_EQ(2, middleOff.click(506, 150)) << "the enabled tab over the disabled one answers";
    EXPECT_EQ(-1, middleOff.click(796, 150));
}

TEST_F(ShopControls, TabHitIsStrictlyInsideThePicture)
{
    ShopTabBar bar(layout.get(), kNames, {true, true, true});
    // Tab 0: 260 x 56 standing on (216, 172).
    EXPECT_EQ(-1, bar.click(86, 150));
    EXPECT_EQ(-1, bar.click(216, 172));
    EXPECT_EQ(-1, bar.click(216, 116));
    EXPECT_EQ(0, bar.click(87, 171));
    EXPECT_EQ(1, bar.click(506, 140));
    EXPECT_TRUE(bar.tabs[1]->selected);
    EXPECT_FALSE(bar.tabs[0]->selected);
    EXPECT_EQ(L"td/data/fonts/main_42_3", bar.tabs[1]->labelFont);
    EXPECT_EQ(L"td/data/fonts/main_32_2", bar.tabs[0]->labelFont);
}

TEST_F(ShopControls, ASelectedTabKeepsItsZoomAndOthersGrowUnderThePointer)
{
    ShopTabBar bar(layout.get(), kNames, {true, true, true});
    ShopTab& first = *bar.tabs[0];
    ShopTab& second = *bar.tabs[1];
    EXPECT_FLOAT_EQ(1.1f, first.scale);
    bar.hover(216, 150);
    bar.update(10.0f);
    EXPECT_FALSE(first.hover) << "a selected tab ignores hover";
    EXPECT_FLOAT_EQ(1.1f, first.scale);
    bar.hover(506, 150);
    bar.update(0.1f);
    EXPECT_TRUE(second.hover);
    EXPECT_TRUE(second.activeShown);
    EXPECT_FALSE(second.inactiveShown);
    EXPECT_FLOAT_EQ(1.05f, second.scale);
    bar.update(1.0f);
    EXPECT_FLOAT_EQ(1.1f, second.scale);
    bar.hover(10, 10);
    bar.update(0.05f);
    EXPECT_FLOAT_EQ(1.05f, second.scale);
    EXPECT_FALSE(second.activeShown);
    bar.update(5.0f);
    EXPECT_FLOAT_EQ(1.0f, second.scale);
}

TEST_F(ShopControls, TheSliderIsHeldOnlyFromInsideAndStaysOnItsTrack)
{
    ShopScrollBar bar(layout.get());
    // The slider: 36 x 60 at (868, 262).
    EXPECT_FLOAT_EQ(262.0f, bar.sliderY());
    bar.press(868, 290);
    EXPECT_EQ(-1, bar.held) << "the exact edge does not take hold";
    bar.press(880, 262);
    EXPECT_EQ(-1, bar.held);
    bar.drag(880, 400);
    EXPECT_FLOAT_EQ(0.0f, bar.position) << "dragging without a hold does nothing";
    bar.press(869, 263);
    EXPECT_EQ(0, bar.held);
    bar.drag(880, 100);
    EXPECT_FLOAT_EQ(0.0f, bar.position);
    EXPECT_FLOAT_EQ(262.0f, bar.sliderY());
    bar.drag(880, 409);
    EXPECT_FLOAT_EQ(0.5f, bar.position);
    EXPECT_FLOAT_EQ(379.0f, bar.sliderY());
    bar.drag(880, 900);
    EXPECT_FLOAT_EQ(1.0f, bar.position);
    EXPECT_FLOAT_EQ(496.0f, bar.sliderY());
    bar.release();
    EXPECT_EQ(-1, bar.held);
    bar.position = 0.25f;
    bar.follow();
    EXPECT_FLOAT_EQ(0.25f * 234.0f + 262.0f, bar.sliderY());
    bar.reset();
    EXPECT_FLOAT_EQ(0.0f, bar.position);
    EXPECT_FLOAT_EQ(262.0f, bar.sliderY());
}
