// Windows built from a layer folder: top-level images sorted by their order, the "button" group
// with its subgroups named by base name, the "text" group's own areas only; over-buttons read
// their place and label areas from the layout, and grow while hovered.
#include "Core/File/FileManager.h"
#include "Core/Media/Container/ImageContainers.h"
#include "Core/Media/Image/ImageContainer.h"
#include "Source/TD/Shell/HUDButtonOver.h"
#include "Source/TD/Shell/HUDWindow.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace
{
const char* const kPanel = R"(<?xml version="1.0" encoding="utf-8"?>
<Document><Layers>
  <Layer name="back" x="0" y="0" width="100" height="50" ind="5"/>
  <Layer name="button/b1_normal" x="10" y="10" width="40" height="20" ind="1"/>
  <Layer name="button/b1_over" x="10" y="10" width="44" height="22" ind="2"/>
  <Layer name="button/b1_go/pos" x="200" y="100" width="40" height="20" ind="3"/>
  <Layer name="button/b1_go/label" x="205" y="102" width="30" height="16" ind="4"/>
  <Layer name="front" x="5" y="6" width="7" height="8" ind="0"/>
  <Layer name="text/title" x="20" y="30" width="60" height="10" ind="6"/>
  <Layer name="text/deep/no" x="0" y="0" width="1" height="1" ind="7"/>
</Layers></Document>
)";

class HUDLayout : public ::testing::Test
{
protected:
    void SetUp() override
    {
        file::RegisterImageContainers();
        mOld = std::filesystem::current_path();
        mDir.Write("panel/layers.xml", kPanel);
        std::filesystem::current_path(mDir.Path());
    }
    void TearDown() override { std::filesystem::current_path(mOld); }

    testsupport::TempDir mDir;
    std::filesystem::path mOld;
};
} // namespace

TEST_F(HUDLayout, WindowsAndOverButtonsTakeTheirPicturesPlacesAndLabelsFromTheLayout)
{
    HUDWindow w(L"panel");
    EXPECT_EQ(nullptr, w.mLayout) << "the constructor lets the container go";
    ASSERT_EQ(2u, w.mImages.size());
    EXPECT_EQ(L"front", w.mImages[0]->mName) << "sorted by order";
    EXPECT_EQ(L"back", w.mImages[1]->mName);
    EXPECT_EQ(5.0f, w.mImages[0]->mX);
    EXPECT_EQ(8.0f, w.mImages[0]->mHeight);
    ASSERT_EQ(4u, w.mButtons.size()) << "the group with its subgroups, in listing order";
    EXPECT_EQ(L"b1_normal", w.mButtons[0]->mName);
    EXPECT_EQ(L"pos", w.mButtons[2]->mName);
    EXPECT_EQ(0, w.ButtonAt(12, 12));
    ASSERT_EQ(1u, w.mTextAreas.size()) << "only the text group's own areas";
    EXPECT_EQ(60.0f, w.mTextAreas.at(L"title")->mWidth);

    // An over-button takes its place and label from the layout.
    std::unique_ptr<file::ImageContainer> layout(file::FileManager::Instance()->OpenImageContainer(L"panel"));
    ASSERT_NE(nullptr, layout);
    HUDButtonOver go(layout.get(), L"b1_go");
    EXPECT_EQ(L"go", go.mName);
    EXPECT_TRUE(go.mHasLabel);
    EXPECT_EQ(205.0f, go.mLabelRect[0]);
    EXPECT_EQ(16.0f, go.mLabelRect[3]);
    EXPECT_TRUE(go.contains(200, 100));
    EXPECT_TRUE(go.contains(240, 120)) << "edges included";
    EXPECT_FALSE(go.contains(241, 120));
    EXPECT_EQ(L"b1_normal", go.mNormal->mName);
    EXPECT_EQ(L"b1_over", go.mOver->mName);
    HUDButtonOver plain(layout.get(), L"b1_stop");
    EXPECT_FALSE(plain.mHasLabel) << "no label area in the layout";

    // Without a layout: the name is trimmed and split; hovered, the button grows to its limit and
    // shrinks back.
    HUDButtonOver b(nullptr, L" \tbig_play ");
    EXPECT_EQ(L"big", b.mStyle);
    EXPECT_EQ(L"play", b.mName);
    EXPECT_FALSE(b.mHasLabel);
    b.mNormal->mX = 100;
    b.mNormal->mWidth = 50;
    b.mNormal->mHeight = 20;
    b.mOver->mWidth = 10;
    b.mOver->mHeight = 10;
    EXPECT_TRUE(b.onHover(150, 20));
    for (int i = 0; i < 4; ++i)
        b.update(0.05f);
    EXPECT_FLOAT_EQ(1.1f, b.mScale);
    b.update(0.5f);
    EXPECT_FLOAT_EQ(1.1f, b.mScale) << "never above 1.1";
    EXPECT_FALSE(b.onHover(151, 20));
    b.update(0.1f);
    EXPECT_NEAR(1.0f, b.mScale, 1e-6f);
    // The offset moves the hit box; a press switches to the over picture's box.
    b.mOffsetX = 10;
    EXPECT_FALSE(b.contains(105, 5));
    EXPECT_TRUE(b.contains(160, 5));
    b.onPress(160, 5);
    EXPECT_EQ(1, b.mPressed);
    EXPECT_FALSE(b.contains(160, 5)) << "the pressed box is the over picture's";
    b.onRelease(0, 0);
    EXPECT_EQ(0, b.mPressed);
    b.mVisible = false;
    EXPECT_FALSE(b.contains(160, 5));
}
