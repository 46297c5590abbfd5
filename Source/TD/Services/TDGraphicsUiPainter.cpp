// Interface pieces as draw commands of the drawing context.
#include "Source/TD/Services/TDGraphicsUiPainter.h"

#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Image/Image.h"
#include "Source/TD/Services/TDEngineParticles.h"
#include "Source/TD/Services/TDRenderLabel.h"
#include "Source/TD/Services/TDRenderTexture.h"
#include "Source/TD/Sprites/TDResources.h"

namespace
{
render::Image* imageOf(const TDTexture* texture)
{
    const auto* t = dynamic_cast<const TDRenderTexture*>(texture);
    return t ? t->image() : nullptr;
}

render::Image* imageOf(const TDImage* picture)
{
    const auto* t = dynamic_cast<const TDRenderTexture*>(picture);
    return t ? t->image() : nullptr;
}

void setColor(render::Graphics& g, const TDColor& c) { g.SetColorRGBA(c.r, c.g, c.b, c.a); }

void drawCentred(render::Graphics& g, render::Image* image, float x, float y, float scale)
{
    math::Transform2D t;
    t.Scale(scale, scale);
    t.Translate(x, y);
    auto command = g.DrawImage(image).Transform(t);
    command->mAlignH = 2;
    command->mAlignV = 2;
}
} // namespace

TDGraphicsUiPainter::TDGraphicsUiPainter(render::Graphics& graphics, TDResources& resources, render::Font* font)
    : mGraphics(graphics), mResources(resources), mFont(font)
{
}

void TDGraphicsUiPainter::drawUiImage(const std::wstring& name, float x, float y, float scale, const TDColor& color)
{
    const TDFrameEntry* entry = mResources.getImage(L"td/ui", name);
    render::Image* image = entry ? imageOf(entry->mImage) : nullptr;
    if (!image)
        return;
    setColor(mGraphics, color);
    drawCentred(mGraphics, image, x, y, scale);
    mGraphics.SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
}

void TDGraphicsUiPainter::drawImage(const TDImage* picture, float x, float y, float scale)
{
    if (render::Image* image = imageOf(picture))
        drawCentred(mGraphics, image, x, y, scale);
}

void TDGraphicsUiPainter::drawImageToRect(const TDImage* picture, float srcWidth, float srcHeight, float x, float y,
                                          float scale)
{
    render::Image* image = imageOf(picture);
    if (!image || !(srcWidth > 0.0f) || !(srcHeight > 0.0f))
        return;
    const float source[4] = {0.0f, 0.0f, srcWidth, srcHeight};
    const float destination[4] = {x * scale, y * scale, srcWidth * scale, srcHeight * scale};
    mGraphics.DrawImageToRect(image, source, destination);
}

void TDGraphicsUiPainter::drawLine(float x1, float y1, float x2, float y2, const TDColor& color)
{
    setColor(mGraphics, color);
    mGraphics.DrawLine(x1, y1, x2, y2);
    mGraphics.SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
}

void TDGraphicsUiPainter::drawText(const std::wstring& text, float x, float y, const TDColor& color)
{
    if (!mFont || text.empty())
        return;
    render::Font* previous = mGraphics.mFont;
    mGraphics.mFont = mFont;
    setColor(mGraphics, color);
    const TDFrameEntry* coin = mResources.getImage(L"td/ui", L"ui/context_money");
    const TDFrameEntry* gem = mResources.getImage(L"td/ui", L"ui/context_gem");
    tdDrawLabel(mGraphics, text, x, y, coin ? dynamic_cast<const TDRenderTexture*>(coin->mImage) : nullptr,
                gem ? dynamic_cast<const TDRenderTexture*>(gem->mImage) : nullptr);
    mGraphics.SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
    mGraphics.mFont = previous;
}

bool TDGraphicsUiPainter::setFont(const std::wstring& name)
{
    auto it = mFonts.find(name);
    if (it == mFonts.end() || !it->second)
        return false;
    mFont = it->second;
    return true;
}

void TDGraphicsUiPainter::drawEmitter(const TDEmitter& emitter)
{
    if (const auto* engine = dynamic_cast<const TDEngineEmitter*>(&emitter))
        mGraphics.DrawParticles(&engine->emitter());
}
