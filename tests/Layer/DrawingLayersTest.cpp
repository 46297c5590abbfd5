// Image, text and particle layers drawn on the recording device, their boxes and their hit tests.
#include "Graphics/GraphicsFixture.h"
#include "Particles/ParticleFixture.h"

#include "Core/Base/Singletone.h"
#include "Core/Layer/ImageLayer.h"
#include "Core/Layer/ParticlesLayer.h"
#include "Core/Layer/TextLayer.h"
#include "Core/Media/Font/BMFont.h"
#include "Core/Media/Image/ResourceTexture.h"
#include "Core/Render/RenderState.h"
#include "Core/Render/VertexFormat.h"
#include "Core/Resource/ResourceManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using graphicstest::GraphicsFixture;
using rendertest::Only;

namespace
{
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
    // A bitmap font of the demo content, its pages on this renderer.
    void SetUp() override
    {
        GraphicsFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        mFont = resource::ResourceManager::Instance()->Get<render::BMFont>(QL_CONTENT_DIR L"/td/data/fonts/main_32_1");
        ASSERT_TRUE(mFont);
        mFont->SetRender(mRender);
        ASSERT_EQ(QL_OK, mFont->Load());
    }
    void TearDown() override
    {
        mFont.Release();
        base::SingletoneBase::DestroyAll();
        GraphicsFixture::TearDown();
    }
    // One draw of the tree; the vertices of every indexed draw, in order.
    std::vector<render::SVertex2D> Drawn(layer::Layer& root)
    {
        EXPECT_EQ(QL_OK, root.Render(mGraphics.get()));
        const render::SVertex2D* cache = CacheVertices<render::SVertex2D>();
        std::vector<render::SVertex2D> vertices;
        for (const auto& draw : Only(EndAndDecode(), render::CMD_DRAW_INDEXED))
            vertices.insert(vertices.end(), cache + draw.args[4], cache + draw.args[4] + draw.args[5]);
        return vertices;
    }
    // The left and right ends of what a layer draws.
    std::pair<float, float> DrawnSpan(layer::Layer& layer)
    {
        std::pair<float, float> span{1e9f, -1e9f};
        for (const render::SVertex2D& v : Drawn(layer))
            span = {std::min(span.first, v.x), std::max(span.second, v.x)};
        return span;
    }

    base::CountedPtr<render::BMFont> mFont;
};
} // namespace

TEST_F(DrawingLayers, ImagesDrawInTreeOrderWithTheWorldTransformAndAlphaBoxAndHitByAlignmentAndFreeWhatTheyOwn)
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
    const auto v = Drawn(root);
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

    // Image boxes and hit tests follow the alignment.
    std::vector<u32> pixels(10 * 6, 0x00000000u);
    pixels[3 * 10 + 5] = 0xFF000000u; // pixel (5, 3)
    pixels[0 * 10 + 9] = 0xFF000000u; // pixel (9, 0)
    layer::ImageLayer image(MakeImage(10, 6, pixels));
    image.SetAlignment(2, 2);
    image.UpdateTreeBounds();
    EXPECT_EQ((math::Box{-5.0f, -3.0f, 0.0f, 5.0f, 3.0f, 0.0f}), image.mOwnBox);
    image.SetAlignment(1, 0);
    image.UpdateTreeBounds();
    EXPECT_EQ((math::Box{-10.0f, 0.0f, 0.0f, 0.0f, 6.0f, 0.0f}), image.mOwnBox);

    // Hit tests ask the hit mask at the aligned pixel.
    image.SetAlignment(2, 2);
    EXPECT_TRUE(image.HitTest({0.0f, 0.0f, 0.0f}));
    EXPECT_FALSE(image.HitTest({1.0f, 0.0f, 0.0f}));
    EXPECT_FALSE(image.HitTest({500.0f, -1e30f, 0.0f}));

    image.SetAlignment(1, 0);
    EXPECT_FALSE(image.HitTest({-0.4f, 0.0f, 0.0f})) << "x = 10.1 truncates to 10: outside";
    EXPECT_TRUE(image.HitTest({-0.6f, 0.0f, 0.0f})) << "x = 9.9 truncates to 9";

    // An owned image is freed when replaced, a borrowed one is not.
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
    EXPECT_EQ(render::SHADER_TEXTURED_MULT, mGraphics->GetShaderMode());
    const auto commands = EndAndDecode();
    EXPECT_EQ(1u, Only(commands, render::CMD_DRAW_INDEXED).size());
}

TEST_F(DrawingLayers, TextDrawsWithTheLayersFontFormatAndPlace)
{
    layer::TextLayer text(mFont, L"abc", 200.0f, 40.0f, 0, false);
    text.SetPosition(10.0f, 20.0f);
    text.mAlignH = 1;
    // Measured as the wrap width (the layer's override), the block ends at x = 10; its first
    // line starts after the indent.
    const auto [left, right] = DrawnSpan(text);
    EXPECT_NEAR(-150.0f, left, 3.0f);
    EXPECT_LT(right, -100.0f);
    EXPECT_EQ(nullptr, mGraphics->mFont) << "the context's font is put back";
}

TEST_F(DrawingLayers, TextBoxesAreMeasuredAlignedAndSnappedAndAnEmptyTextHasNone)
{
    EXPECT_EQ(1, mFont.UseCount());
    auto* text = new layer::TextLayer(mFont, L"abcd");
    EXPECT_EQ(2, mFont.UseCount());
    text->UpdateTreeBounds();
    const math::Box box = text->mOwnBox;
    EXPECT_GT(box.maxX - box.minX, 30.0f);
    EXPECT_GT(box.maxY - box.minY, 10.0f);
    text->SetAlignment(2, 2);
    text->UpdateTreeBounds();
    EXPECT_NEAR(-0.5f * (box.maxX - box.minX), text->mOwnBox.minX, 1.0f) << "centred";
    EXPECT_NEAR(-0.5f * (box.maxY - box.minY), text->mOwnBox.minY, 1.0f);

    // The box's corner goes to a whole pixel; a corner already there leaves the layer untouched.
    text->SetAlignment(0, 0);
    text->mPosition = {10.3f, 5.0f, 0.0f};
    text->AlignToPixels();
    EXPECT_FLOAT_EQ(std::floor(10.3f + box.minX), text->mPosition.x + box.minX);
    EXPECT_TRUE(text->mTransformChanged);
    EXPECT_FALSE(text->mParentBoxValid);
    text->mTransformChanged = false;
    text->mParentBoxValid = true;
    text->AlignToPixels();
    EXPECT_FALSE(text->mTransformChanged);
    EXPECT_TRUE(text->mParentBoxValid);

    text->SetText(L"");
    text->UpdateTreeBounds();
    EXPECT_TRUE(text->mOwnBox.IsEmpty());
    EXPECT_EQ(std::make_pair(1e9f, -1e9f), DrawnSpan(*text)) << "an empty text draws nothing";
    delete text;
    EXPECT_EQ(1, mFont.UseCount()) << "the font reference goes with the layer";
}

using namespace ptctest;
using ParticleLayerDraw = ParticleFixture;

TEST_F(ParticleLayerDraw, TheEffectDrawsWhereTheLayerSitsWithItsAlphaAndAlphaBlending)
{
    ASSERT_EQ(QL_OK, Load(StillEmitter("still", 5, "ffffffff")));
    auto emitter = Play("still", 20.0f, 30.0f);
    ASSERT_NE(nullptr, emitter);
    layer::Layer root;
    layer::ParticlesLayer particles(emitter.release(), true);
    layer::ParticlesLayer none; // no emitter: draws nothing
    root.AddChild(&none);
    root.AddChild(&particles);
    root.SetPosition(100.0f, 50.0f);
    particles.mAlpha = 0.5f;
    particles.mAdditive = true;
    ASSERT_EQ(QL_OK, root.Render(mGraphics.get()));
    EXPECT_EQ(render::BLEND_ALPHA, mGraphics->GetState().mBlendMode);
    const render::SVertex2D* cache = CacheVertices<render::SVertex2D>();
    ASSERT_NE(nullptr, cache);
    const auto draws = rendertest::Only(EndAndDecode(), render::CMD_DRAW_INDEXED);
    ASSERT_EQ(1u, draws.size());
    EXPECT_EQ(10u, draws[0].args[3]) << "five particles, two triangles each";
    const render::SVertex2D* v = cache + draws[0].args[4];
    // The first particle's corner (15, 25), moved by the layer and half a pixel up and left.
    EXPECT_FLOAT_EQ(114.5f, v[0].x);
    EXPECT_FLOAT_EQ(74.5f, v[0].y);
    EXPECT_EQ(0x7Fu, v[0].diffuse >> 24);
    // Particles are never hit.
    EXPECT_FALSE(particles.HitTest({20.0f, 30.0f, 0.0f}));
    EXPECT_FALSE(particles.HitTest({0.0f, 0.0f, 0.0f}));
}
