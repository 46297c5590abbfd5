// Image and text layers drawn on the recording device, their boxes and their hit tests.
#include "Graphics/GraphicsFixture.h"

#include "Core/Layer/ImageLayer.h"
#include "Core/Layer/TextLayer.h"
#include "Core/Media/Graphics/Font.h"
#include "Core/Media/Image/ResourceTexture.h"
#include "Core/Render/RenderState.h"
#include "Core/Render/VertexFormat.h"

#include <gtest/gtest.h>

using graphicstest::GraphicsFixture;
using rendertest::Only;

namespace
{
// A font of 8 x 16 cells that remembers how it was asked to lay out, and where the context
// would put the text's origin.
class CellFont : public render::Font
{
public:
    CellFont() { mSize = 16.0f; }
    QLResultEnum DrawText(render::Graphics* graphics, render::DrawTextParam* record, const std::wstring& text,
                          const render::TextFormat& format, float measured[2]) override
    {
        ++mCalls;
        mLastFormat = format;
        mLastGraphics = graphics;
        measured[0] = 8.0f * static_cast<float>(text.size());
        measured[1] = 16.0f;
        if (graphics)
        {
            render::SVertexGeom origin{0.0f, 0.0f, 0.0f, 0};
            record->mMeasuredWidth = measured[0];
            record->mMeasuredHeight = measured[1];
            EXPECT_EQ(QL_OK, record->VertexStep(&origin, render::GetVertexFormat<render::SVertexGeom>(), 1));
            mOrigin = {origin.x, origin.y, 0.0f};
        }
        return QL_OK;
    }
    bool HasGlyph(wchar_t) const override { return true; }
    QLResultEnum DoLoad() override { return QL_OK; }
    QLResultEnum DoUnLoad() override { return QL_OK; }
    void Destroy() override { ++mDestroyed; }

    int mCalls = 0;
    int mDestroyed = 0;
    render::TextFormat mLastFormat;
    render::Graphics* mLastGraphics = nullptr;
    math::Point3 mOrigin;
};

class CountedImage : public render::Image
{
public:
    explicit CountedImage(int& deaths) : mDeaths(deaths) {}
    ~CountedImage() override { ++mDeaths; }
    int& mDeaths;
};

class DrawingLayers : public GraphicsFixture
{
protected:
    // One draw of the tree; the quads recorded, in order.
    std::vector<render::SVertex2D> DrawTree(layer::Layer& root, size_t quads)
    {
        EXPECT_EQ(QL_OK, root.Render(mGraphics.get()));
        const render::SVertex2D* cache = CacheVertices<render::SVertex2D>();
        std::vector<render::SVertex2D> vertices;
        const auto draws = Only(EndAndDecode(), render::CMD_DRAW_INDEXED);
        if (!cache || draws.empty())
            return vertices;
        const render::SVertex2D* first = cache + draws[0].args[4];
        vertices.assign(first, first + 4 * quads);
        return vertices;
    }

    int mFontCount = 0;
};
} // namespace

TEST_F(DrawingLayers, ImagesDrawInTreeOrderWithTheWorldTransformAndEffectiveAlpha)
{
    layer::Layer root;
    layer::ImageLayer below(MakeImage(4, 4)), above(MakeImage(2, 2));
    root.AddChild(&below);
    root.AddChild(&above);
    root.SetPosition(10.0f, 20.0f);
    root.mAlpha = 0.5f;
    above.SetPosition(3.0f, 0.0f);
    above.SetScale(2.0f, 2.0f);
    above.SetColor(1.0f, 0.0f, 0.0f, 0.25f);
    const auto v = DrawTree(root, 2);
    ASSERT_EQ(8u, v.size());
    // Vertices leave the context half a pixel up and left.
    EXPECT_FLOAT_EQ(9.5f, v[0].x);
    EXPECT_FLOAT_EQ(19.5f, v[0].y);
    EXPECT_FLOAT_EQ(13.5f, v[2].x);
    EXPECT_FLOAT_EQ(23.5f, v[2].y);
    EXPECT_FLOAT_EQ(12.5f, v[4].x) << "the second quad is the later child";
    EXPECT_FLOAT_EQ(16.5f, v[6].x);
    EXPECT_FLOAT_EQ(23.5f, v[6].y);
    EXPECT_EQ(0x7FFFFFFFu, v[0].diffuse) << "white at the root's alpha 0.5";
    EXPECT_EQ(0x7FFF0000u, v[4].diffuse) << "the fourth colour value is not drawn";
}

TEST_F(DrawingLayers, TheContextIsPutBackAfterALayerDraws)
{
    layer::ImageLayer image(MakeImage(2, 2));
    image.mTinted = true;
    image.mTint = 0.75f;
    image.mAdditive = true;
    math::Transform3D own;
    mGraphics->mTransform = &own;
    mGraphics->SetColorRGBA(0.1f, 0.2f, 0.3f, 0.4f);
    mGraphics->SetTint(0.25f);
    ASSERT_EQ(QL_OK, image.Render(mGraphics.get()));
    EXPECT_EQ(render::BLEND_ADDITIVE, mGraphics->GetState().mBlendMode) << "the blend mode is not restored";
    EXPECT_EQ(&own, mGraphics->mTransform);
    EXPECT_FLOAT_EQ(0.4f, mGraphics->GetColor()[3]);
    EXPECT_FLOAT_EQ(0.25f, mGraphics->GetTint());
    EXPECT_EQ(1u, mGraphics->GetShaderMode());
    const auto commands = EndAndDecode();
    EXPECT_EQ(1u, Only(commands, render::CMD_DRAW_INDEXED).size());
}

TEST_F(DrawingLayers, ImageBoxesFollowTheAlignment)
{
    layer::ImageLayer image(MakeImage(10, 6));
    image.SetAlignment(2, 2);
    image.UpdateTreeBounds();
    EXPECT_EQ(-5.0f, image.mOwnBox.minX);
    EXPECT_EQ(-3.0f, image.mOwnBox.minY);
    EXPECT_EQ(5.0f, image.mOwnBox.maxX);
    EXPECT_EQ(3.0f, image.mOwnBox.maxY);
    EXPECT_EQ(0.0f, image.mOwnBox.minZ);
    image.SetAlignment(1, 0);
    image.UpdateTreeBounds();
    EXPECT_EQ(-10.0f, image.mOwnBox.minX);
    EXPECT_EQ(0.0f, image.mOwnBox.maxX);
    EXPECT_EQ(0.0f, image.mOwnBox.minY);
    EXPECT_EQ(6.0f, image.mOwnBox.maxY);
}

TEST_F(DrawingLayers, ImageHitTestsAskTheHitMaskAtTheAlignedPixel)
{
    std::vector<u32> pixels(10 * 6, 0x00000000u);
    pixels[3 * 10 + 5] = 0xFF000000u; // pixel (5, 3)
    pixels[0 * 10 + 9] = 0xFF000000u; // pixel (9, 0)
    layer::ImageLayer image(MakeImage(10, 6, pixels));
    image.SetAlignment(2, 2);
    EXPECT_TRUE(image.HitTest({0.0f, 0.0f, 0.0f}));
    EXPECT_FALSE(image.HitTest({1.0f, 0.0f, 0.0f}));
    EXPECT_FALSE(image.HitTest({500.0f, -1e30f, 0.0f}));

    image.SetAlignment(1, 0);
    EXPECT_FALSE(image.HitTest({-0.4f, 0.0f, 0.0f})) << "x = 10.1 truncates to 10: outside";
    EXPECT_TRUE(image.HitTest({-0.6f, 0.0f, 0.0f})) << "x = 9.9 truncates to 9";
}

TEST_F(DrawingLayers, AnOwnedImageIsFreedWhenReplacedAndABorrowedOneIsNot)
{
    int deaths = 0;
    {
        layer::ImageLayer image(new CountedImage(deaths), true);
        image.SetImage(new CountedImage(deaths), true);
        EXPECT_EQ(1, deaths);
        CountedImage borrowed(deaths);
        image.SetImage(&borrowed, false);
        EXPECT_EQ(2, deaths);
        image.SetImage(nullptr, false);
        EXPECT_EQ(2, deaths);
    }
    EXPECT_EQ(3, deaths) << "the borrowed image went with its owner";
}

TEST_F(DrawingLayers, TextDrawsWithTheLayersFontFormatAndPlace)
{
    CellFont font;
    layer::TextLayer text(base::CountedPtr<render::Font>(&font, &mFontCount), L"abc", 200.0f, 4.0f, 2, false);
    EXPECT_EQ(1, mFontCount);
    text.SetPosition(10.0f, 20.0f);
    text.mAlignH = 1;
    ASSERT_EQ(QL_OK, text.Render(mGraphics.get()));
    EXPECT_EQ(1, font.mCalls);
    EXPECT_EQ(mGraphics.get(), font.mLastGraphics);
    EXPECT_EQ(200.0f, font.mLastFormat.mWrapWidth);
    EXPECT_EQ(4.0f, font.mLastFormat.mParagraphIndent);
    EXPECT_EQ(2u, font.mLastFormat.mAlignment);
    EXPECT_FALSE(font.mLastFormat.mJustifyLetters);
    EXPECT_FALSE(font.mLastFormat.mWidestLine) << "the layer's override replaces the format's flag";
    // Right-aligned at x = 10: the text starts 24 to the left.
    EXPECT_FLOAT_EQ(-14.0f, font.mOrigin.x);
    EXPECT_FLOAT_EQ(20.0f, font.mOrigin.y);
    EXPECT_EQ(nullptr, mGraphics->mFont) << "the context's font is put back";
}

TEST_F(DrawingLayers, TextBoxesAreMeasuredAndAnEmptyTextHasNone)
{
    CellFont font;
    layer::TextLayer text(base::CountedPtr<render::Font>(&font, &mFontCount), L"abcd");
    text.UpdateTreeBounds();
    EXPECT_EQ(0.0f, text.mOwnBox.minX);
    EXPECT_EQ(32.0f, text.mOwnBox.maxX);
    EXPECT_EQ(16.0f, text.mOwnBox.maxY);
    text.SetAlignment(2, 2);
    text.UpdateTreeBounds();
    EXPECT_EQ(-16.0f, text.mOwnBox.minX);
    EXPECT_EQ(-8.0f, text.mOwnBox.minY);

    text.SetText(L"");
    text.UpdateTreeBounds();
    EXPECT_TRUE(text.mOwnBox.IsEmpty());
    const int calls = font.mCalls;
    ASSERT_EQ(QL_OK, text.Render(mGraphics.get()));
    EXPECT_EQ(calls, font.mCalls) << "an empty text draws nothing";
}

TEST_F(DrawingLayers, AlignToPixelsPutsTheTextCornerOnAWholePixel)
{
    CellFont font;
    layer::TextLayer text(base::CountedPtr<render::Font>(&font, &mFontCount), L"ab");
    text.mPosition = {10.3f, 5.0f, 0.0f};
    text.AlignToPixels();
    EXPECT_FLOAT_EQ(10.0f, text.mPosition.x);
    EXPECT_TRUE(text.mTransformChanged);
    EXPECT_FALSE(text.mParentBoxValid);

    layer::TextLayer still(base::CountedPtr<render::Font>(&font, &mFontCount), L"ab");
    still.mPosition = {10.0f, 5.0f, 0.0f};
    still.AlignToPixels();
    EXPECT_EQ(10.0f, still.mPosition.x);
    EXPECT_FALSE(still.mTransformChanged);
    EXPECT_TRUE(still.mParentBoxValid);
}

TEST_F(DrawingLayers, TheFontReferenceIsReleasedWithTheLayer)
{
    CellFont font;
    {
        base::CountedPtr<render::Font> shared(&font, &mFontCount);
        layer::TextLayer text(shared, L"x");
        EXPECT_EQ(2, mFontCount);
    }
    EXPECT_EQ(0, mFontCount);
    EXPECT_EQ(1, font.mDestroyed);
}
