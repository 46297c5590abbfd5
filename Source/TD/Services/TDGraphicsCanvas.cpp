// Battle drawing calls turned into draw commands of the drawing context.
#include "Source/TD/Services/TDGraphicsCanvas.h"

#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Image/Image.h"
#include "Core/Media/Image/ImageFactory.h"
#include "Core/Media/Image/RenderTarget.h"
#include "Core/Render/Render.h"
#include "Core/Render/Transform3D.h"
#include "Source/TD/Services/TDEngineParticles.h"
#include "Source/TD/Services/TDRenderTexture.h"
#include "Source/TD/Units/TDParticle.h"

#include <algorithm>

namespace
{
// An off-screen picture; the renderer frees it once the frame that may still name it is played.
class TargetPicture : public TDRenderTexture
{
public:
    TargetPicture(render::RenderTarget* target, render::Render* render)
        : TDRenderTexture(std::unique_ptr<render::Image>(target), nullptr), mRender(render)
    {
    }
    ~TargetPicture() override
    {
        if (render::Image* image = takeImage())
            mRender->DeleteAfterPlayback(image);
    }

private:
    render::Render* mRender;
};
} // namespace

TDGraphicsCanvas::TDGraphicsCanvas(render::Graphics& graphics, render::Font* waveFont, render::Font* indicatorFont)
    : mGraphics(graphics), mFonts{waveFont, indicatorFont}, mOuter(graphics.mTransform)
{
}

TDGraphicsCanvas::~TDGraphicsCanvas() { mGraphics.mTransform = mOuter; }

void TDGraphicsCanvas::pushTransform(float scale, float offsetX, float offsetY)
{
    // Over an outer level: screen = outer(scale x p + offset).
    Level level{scale, offsetX, offsetY, std::make_unique<math::Transform3D>()};
    if (!mStack.empty())
    {
        const Level& outer = mStack.back();
        level.scale = outer.scale * scale;
        level.x = outer.scale * offsetX + outer.x;
        level.y = outer.scale * offsetY + outer.y;
    }
    level.transform->Scale(level.scale, level.scale, 1.0f);
    level.transform->Translate(level.x, level.y, 0.0f);
    mStack.push_back(std::move(level));
    mGraphics.mTransform = mStack.back().transform.get();
}

void TDGraphicsCanvas::popTransform()
{
    if (mStack.empty())
        return;
    mStack.pop_back();
    mGraphics.mTransform = mStack.empty() ? mOuter : mStack.back().transform.get();
}

void TDGraphicsCanvas::setBlendMode(TDBlendMode mode)
{
    (void)mGraphics.SetBlendMode(mode == kBlendAdditive ? render::BLEND_ADDITIVE : render::BLEND_ALPHA);
}

void TDGraphicsCanvas::setColor(const TDColor& color)
{
    mColor = color;
    applyColor();
}

void TDGraphicsCanvas::setUnitShader(u32 fill)
{
    mFill = fill;
    if (mMobShader && mSetColor2)
    {
        // The shader tints by the second colour; the drawing colour stays the entry's own.
        float color2[4];
        tdColorFromARGB(fill, color2);
        (void)mGraphics.SetShader(mMobShader);
        mSetColor2(color2);
        mMobShaderSet = true;
        mShaded = false;
    }
    else
    {
        mShaded = true;
        (void)mGraphics.SetShaderMode(render::SHADER_TEXTURED_MULT);
    }
    applyColor();
}

void TDGraphicsCanvas::setShaderMode(TDShaderMode mode)
{
    mShaded = false;
    if (mMobShaderSet)
    {
        (void)mGraphics.SetShader(nullptr);
        mMobShaderSet = false;
    }
    (void)mGraphics.SetShaderMode(mode == kShaderTint ? render::SHADER_TEXTURED_TINT : render::SHADER_TEXTURED_MULT);
    applyColor();
}

// Without the unit shader, the unit tint multiplies the colour by the fill colour's channels.
void TDGraphicsCanvas::applyColor()
{
    float r = mColor.r, g = mColor.g, b = mColor.b, a = mColor.a;
    if (mShaded)
    {
        r *= ((mFill >> 16) & 0xFF) / 255.0f;
        g *= ((mFill >> 8) & 0xFF) / 255.0f;
        b *= (mFill & 0xFF) / 255.0f;
        a *= ((mFill >> 24) & 0xFF) / 255.0f;
    }
    mGraphics.SetColorRGBA(r, g, b, a);
}

void TDGraphicsCanvas::drawImage(const TDTexture* image, float, float, const math::Transform2D& transform, bool flipH)
{
    const auto* texture = dynamic_cast<const TDRenderTexture*>(image);
    if (!texture || !texture->image())
        return;
    auto command = mGraphics.DrawImage(texture->image()).Transform(transform);
    command->mAlignH = 2;
    command->mAlignV = 2;
    command->mFlipH = flipH;
}

void TDGraphicsCanvas::drawEmitter(TDEmitter& emitter)
{
    auto* engine = dynamic_cast<TDEngineEmitter*>(&emitter);
    if (!engine)
        return;
    mGraphics.DrawParticles(&engine->emitter());
}

void TDGraphicsCanvas::drawEmitter(TDEmitter& emitter, const math::Transform2D& transform)
{
    auto* engine = dynamic_cast<TDEngineEmitter*>(&emitter);
    if (!engine)
        return;
    mGraphics.DrawParticles(&engine->emitter()).Transform(transform);
}

void TDGraphicsCanvas::drawText(const std::wstring& text, float x, float y, i32 hAlign, i32 vAlign, Font font,
                                float scale)
{
    render::Font* f = mFonts[font == kIndicatorFont ? 1 : 0];
    if (!f || text.empty())
        return;
    render::Font* previous = mGraphics.mFont;
    mGraphics.mFont = f;
    {
        math::Transform2D place;
        place.Scale(scale, scale);
        place.Translate(x, y);
        auto command = mGraphics.DrawText(&text).Transform(place);
        command->mAlignH = static_cast<u32>(hAlign);
        command->mAlignV = static_cast<u32>(vAlign);
    }
    mGraphics.mFont = previous;
}

void TDGraphicsCanvas::beginClip(float x, float y, float width, float height)
{
    if (!mClipping)
    {
        const render::RenderState& state = mGraphics.GetState();
        mOuterClipOn = state.mScissorEnabled;
        mOuterClip[0] = state.mScissorX;
        mOuterClip[1] = state.mScissorY;
        mOuterClip[2] = state.mScissorWidth;
        mOuterClip[3] = state.mScissorHeight;
        mClipping = true;
    }
    float x0 = x, y0 = y, x1 = x + width, y1 = y + height;
    if (mOuterClipOn)
    {
        x0 = std::max(x0, mOuterClip[0]);
        y0 = std::max(y0, mOuterClip[1]);
        x1 = std::min(x1, mOuterClip[0] + mOuterClip[2]);
        y1 = std::min(y1, mOuterClip[1] + mOuterClip[3]);
    }
    const float rect[4] = {x0, y0, std::max(0.0f, x1 - x0), std::max(0.0f, y1 - y0)};
    mGraphics.SetClipRect(rect);
}

void TDGraphicsCanvas::endClip()
{
    if (!mClipping)
        return;
    mClipping = false;
    if (mOuterClipOn)
        mGraphics.SetClipRect(mOuterClip);
    else
        mGraphics.DisableClipRect();
}

std::unique_ptr<TDTexture> TDGraphicsCanvas::renderPicture(i32 width, i32 height,
                                                           const std::function<void(TDBattleCanvas&)>& paint)
{
    render::Render* render = mGraphics.GetRender();
    render::RenderTarget* target = nullptr;
    if (!render || width <= 0 || height <= 0 ||
        render::CreateRenderTarget(render, static_cast<u32>(width), static_cast<u32>(height), &target, 1) != QL_OK ||
        !target)
        return nullptr;
    auto picture = std::make_unique<TargetPicture>(target, render);
    {
        render::Graphics graphics(target);
        (void)graphics.Clear(1, 0x00000000u, 1.0f, 0);
        TDGraphicsCanvas canvas(graphics, nullptr, nullptr);
        paint(canvas);
        (void)graphics.Flush();
    }
    return picture;
}
