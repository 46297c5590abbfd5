// Interface pieces as draw commands of the drawing context.
#include "Source/TD/Services/TDGraphicsUiPainter.h"

#include "Core/Media/Font/Font.h"
#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Image/Image.h"
#include "Source/TD/Services/TDEngineParticles.h"
#include "Source/TD/Services/TDRenderTexture.h"
#include "Source/TD/AttributedString.h"
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

void setColor(render::Graphics& g, const TDColor& c)
{
    g.SetColorRGBA(c.r, c.g, c.b, c.a);
}

// A game font measured as the renderer draws it.
class RenderFont : public TDFont
{
public:
    explicit RenderFont(render::Font* font) : mFont(font) {}
    float measureText(const std::wstring& text) const override
    {
        float width = 0.0f;
        if (mFont && !text.empty())
        {
            auto measure = mFont->MeasureText(&text);
            measure->mOutWidth = &width;
        }
        return width;
    }
    render::Font* font() const { return mFont; }

private:
    render::Font* mFont;
};

// The pieces of an inline-icon label as draw commands, in the label's colour.
class RenderTextPainter : public TDTextPainter
{
public:
    explicit RenderTextPainter(render::Graphics& graphics) : mGraphics(graphics) {}
    void setFont(const std::shared_ptr<TDFont>& font) override
    {
        if (auto* f = dynamic_cast<RenderFont*>(font.get()))
            mGraphics.mFont = f->font();
    }
    void drawText(const std::wstring& text, int hAlign, int vAlign, const math::Transform2D& transform) override
    {
        if (text.empty() || !mGraphics.mFont)
            return;
        auto command = mGraphics.DrawText(&text).Transform(transform);
        command->mAlignH = static_cast<u32>(hAlign);
        command->mAlignV = static_cast<u32>(vAlign);
    }
    void drawImage(const TDImage* image, int hAlign, int vAlign, const math::Transform2D& transform) override
    {
        render::Image* picture = imageOf(image);
        if (!picture)
            return;
        auto command = mGraphics.DrawImage(picture).Transform(transform);
        command->mAlignH = static_cast<u32>(hAlign);
        command->mAlignV = static_cast<u32>(vAlign);
    }

private:
    render::Graphics& mGraphics;
};

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
    if (text.find_first_of(L"$#") != std::wstring::npos)
    {
        // Prices: "$" is the coin and "#" the crystal picture, in a row centred on the point.
        AttributedString label;
        label.font = std::make_shared<RenderFont>(mFont);
        for (const auto& [c, name] : {std::pair{L'$', L"ui/context_money"}, std::pair{L'#', L"ui/context_gem"}})
            if (const TDFrameEntry* entry = mResources.getImage(L"td/ui", name))
                if (const auto* picture = dynamic_cast<const TDRenderTexture*>(entry->mImage))
                    label.addIcon(c, picture);
        label.text = text;
        label.build();
        RenderTextPainter painter(mGraphics);
        math::Transform2D at;
        at.Translate(x, y);
        label.draw(painter, at);
    }
    else
    {
        auto command = mGraphics.DrawText(&text).Translate(x, y);
        command->mAlignH = 2;
        command->mAlignV = 2;
    }
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
