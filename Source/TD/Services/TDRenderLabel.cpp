// Labels with inline coin and crystal pictures.
#include "Source/TD/Services/TDRenderLabel.h"

#include "Core/Media/Graphics/Font.h"
#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Image/Image.h"
#include "Source/TD/Draw/AttributedString.h"
#include "Source/TD/Services/TDRenderTexture.h"

namespace
{
render::Image* imageOf(const TDImage* picture)
{
    const auto* t = dynamic_cast<const TDRenderTexture*>(picture);
    return t ? t->image() : nullptr;
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

} // namespace

void tdDrawLabel(render::Graphics& graphics, const std::wstring& text, float x, float y, const TDImage* coin,
                 const TDImage* gem)
{
    if (!graphics.mFont || text.empty())
        return;
    if (text.find_first_of(L"$#") == std::wstring::npos)
    {
        auto command = graphics.DrawText(&text).Translate(x, y);
        command->mAlignH = 2;
        command->mAlignV = 2;
        return;
    }
    AttributedString label;
    label.font = std::make_shared<RenderFont>(graphics.mFont);
    if (coin)
        label.addIcon(L'$', coin);
    if (gem)
        label.addIcon(L'#', gem);
    label.text = text;
    label.build();
    RenderTextPainter painter(graphics);
    math::Transform2D at;
    at.Translate(x, y);
    label.draw(painter, at);
}
