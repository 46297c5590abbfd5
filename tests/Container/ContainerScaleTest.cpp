// The layout scale (folders only) and the media layer's image scale (every rectangle).
#include "ContainerTestSupport.h"

#include "Core/Media/Image/MediaScale.h"

using namespace containertest;
using psdtest::PsdBuilder;

namespace
{
// The image scale for one test.
struct ScopedImageScale
{
    explicit ScopedImageScale(float scale) { render::SetMediaScale({scale, 1.0f}); }
    ~ScopedImageScale() { render::SetMediaScale({}); }
};
} // namespace

TEST_F(ContainerTest, FolderPositionsTakeTheLayoutScaleThenTheImageScaleAndPsdRectanglesOnlyTheImageScale)
{
    ScopedImageScale scale(2.0f);
    Files()->mPsdFolderScale = 1.5f;
    Write("f/layers.xml", "<Layers><Layer name='a' x='3' y='-3' width='5' height='2'/></Layers>");
    auto folder = Open(L"f");
    ASSERT_NE(folder, nullptr);
    const base::ImageInfo* a = folder->FindImage(L"a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(8.0f, a->mX);  // trunc(4.5) x 2
    EXPECT_EQ(-8.0f, a->mY); // trunc(-4.5) x 2
    EXPECT_EQ(14.0f, a->mWidth);
    EXPECT_EQ(6.0f, a->mHeight);
    EXPECT_EQ(2.0f, a->mScale);
    // PSD rectangles take only the image scale.
    render::SetMediaScale({0.5f, 1.0f});
    Files()->mPsdFolderScale = 3.0f;
    Write("s.psd", PsdBuilder(32, 32)
                       .Layer(Solid("bg", 0, 0, 32, 32, 0xFF000000))
                       .Layer(Solid("mark|center", 10, 20, 5, 7, 0xFFFFFFFF))
                       .Layer(Solid("a", 4, 6, 8, 10, 0xFFFFFFFF))
                       .Build());
    auto psd = Open(L"s");
    ASSERT_NE(psd, nullptr);
    a = psd->FindImage(L"a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(2.0f, a->mX);
    EXPECT_EQ(3.0f, a->mY);
    EXPECT_EQ(4.0f, a->mWidth);
    EXPECT_EQ(5.0f, a->mHeight);
    EXPECT_EQ(0.5f, a->mScale);
    const base::ImageInfo* mark = psd->FindImage(L"mark|center");
    ASSERT_NE(mark, nullptr);
    EXPECT_EQ(6.0f, mark->mX);  // (10 + 5 / 2) x 0.5
    EXPECT_EQ(11.5f, mark->mY); // (20 + 7 / 2) x 0.5
}

