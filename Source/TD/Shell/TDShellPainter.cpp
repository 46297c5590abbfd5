// Interface pictures, lines and labels of the battle drawn through the renderer.
#include "Source/TD/Shell/TDShellPainter.h"

#include "Core/Base/Transform2D.h"
#include "Core/Media/Graphics/Font.h"
#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Image/Image.h"
#include "Source/TD/Services/TDRenderLabel.h"
#include "Source/TD/Services/TDRenderTexture.h"
#include "Source/TD/Shell/HUD.h"

namespace
{
render::Image* imageOf(const TDImage* image)
{
    const auto* texture = dynamic_cast<const TDRenderTexture*>(image);
    return texture ? texture->image() : nullptr;
}
} // namespace

TDShellPainter::TDShellPainter(render::Graphics& graphics, TDImageLoader& images,
                               std::function<render::Font*(const std::wstring&)> fontByName)
    : mGraphics(graphics), mImages(images), mFontByName(std::move(fontByName))
{
}

void TDShellPainter::drawUiImage(const std::wstring& name, float x, float y, float scale, const TDColor& color)
{
    render::Image* image = imageOf(mImages.findImage(L"td/ui", name));
    if (!image)
        return;
    mGraphics.SetColorRGBA(color.r, color.g, color.b, color.a);
    math::Transform2D t;
    t.Scale(scale, scale);
    t.Translate(x, y);
    auto command = mGraphics.DrawImage(image).Transform(t);
    command->mAlignH = 2;
    command->mAlignV = 2;
}

void TDShellPainter::drawImage(const TDImage* image, float x, float y, float scale)
{
    render::Image* picture = imageOf(image);
    if (!picture)
        return;
    math::Transform2D t;
    t.Scale(scale, scale);
    t.Translate(x, y);
    auto command = mGraphics.DrawImage(picture).Transform(t);
    command->mAlignH = 2;
    command->mAlignV = 2;
}

void TDShellPainter::drawImageToRect(const TDImage* image, float srcWidth, float srcHeight, float x, float y,
                                     float scale)
{
    render::Image* picture = imageOf(image);
    if (!picture || srcWidth <= 0.0f || srcHeight <= 0.0f)
        return;
    const float source[4] = {0.0f, 0.0f, srcWidth, srcHeight};
    const float destination[4] = {x * scale, y * scale, srcWidth * scale, srcHeight * scale};
    mGraphics.DrawImageToRect(picture, source, destination);
}

void TDShellPainter::drawLine(float x1, float y1, float x2, float y2, const TDColor& color)
{
    mGraphics.SetColorRGBA(color.r, color.g, color.b, color.a);
    mGraphics.DrawLine(x1, y1, x2, y2);
}

void TDShellPainter::drawText(const std::wstring& text, float x, float y, const TDColor& color)
{
    if (!mGraphics.mFont || text.empty())
        return;
    mGraphics.SetColorRGBA(color.r, color.g, color.b, color.a);
    tdDrawLabel(mGraphics, text, x, y, mImages.findImage(L"td/ui", L"ui/context_money"),
                mImages.findImage(L"td/ui", L"ui/context_gem"));
}

bool TDShellPainter::setFont(const std::wstring& name)
{
    render::Font* font = mFontByName ? mFontByName(name) : nullptr;
    if (!font)
        return false;
    mGraphics.mFont = font;
    return true;
}

void TDShellCanvas::drawHud()
{
    mHud.Draw(&mGraphics);
    mHud.drawSpellCast(*this);
    if (mDrawOverHud)
        mDrawOverHud();
}

void TDShellCanvas::drawHudWindows(i32 layer) { mHud.drawWindows(&mGraphics, layer); }
