// Centred pictures and texts for the screens.
#include "Source/TD/Shell/TDScreenDraw.h"

#include "Core/Base/Transform2D.h"
#include "Core/Media/Font/BMFont.h"
#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Image/Image.h"
#include "Core/Media/Image/ImageContainer.h"
#include "Source/TD/Sprites/TDFrameEntry.h"
#include "Source/TD/Sprites/TDResources.h"

namespace tdscreen
{
std::unique_ptr<TDFrameEntry> makeFrame(file::ImageContainer* layout, const std::wstring& name)
{
    auto entry = std::make_unique<TDFrameEntry>();
    TDResources::Instance()->setLayerImage(*entry, layout, name);
    return entry;
}

void drawImageCentred(render::Graphics* graphics, const render::Image* image, float x, float y, float scale)
{
    if (!graphics || !image)
        return;
    math::Transform2D t;
    t.Scale(scale, scale);
    t.Translate(x, y);
    auto command = graphics->DrawImage(image).Transform(t);
    command->mAlignH = 2;
    command->mAlignV = 2;
}

void drawTextCentred(render::Graphics* graphics, render::BMFont* font, const std::wstring& text, float x, float y,
                     float scale, float wrapWidth, u32 alignment)
{
    if (!graphics || text.empty())
        return;
    if (font)
        graphics->mFont = font;
    if (!graphics->mFont)
        return;
    math::Transform2D t;
    t.Scale(scale, scale);
    t.Translate(x, y);
    auto command = graphics->DrawTextWrapped(&text, wrapWidth, 0.0f, alignment, true).Transform(t);
    command->mAlignH = 2;
    command->mAlignV = 2;
}
void measureWrapped(render::Font* font, const std::wstring& text, float width, float& outWidth, float& outHeight)
{
    outWidth = outHeight = 0.0f;
    if (!font || text.empty())
        return;
    auto measure = font->MeasureText(&text);
    measure->mFormat.mWrapWidth = width;
    measure->mFormat.mAlignment = 2;
    measure->mOutWidth = &outWidth;
    measure->mOutHeight = &outHeight;
}

float fitScale(render::Font* font, const std::wstring& text, float width, float height)
{
    if (!font || text.empty() || width <= 0.0f || height <= 0.0f)
        return 1.0f;
    float lineWidth = 0.0f, line = 0.0f, twoLines = 0.0f;
    measureWrapped(font, L"Ag", 0.0f, lineWidth, line);
    measureWrapped(font, L"Ag\nAg", 0.0f, lineWidth, twoLines);
    const float descent = line * 0.3f;
    // A box too low for two lines keeps a text of one line on one line: shrunk lines stacked in
    // it would stand on its edges.
    const bool oneLine = height < twoLines && text.find(L'\n') == std::wstring::npos;
    for (int step = 0; step <= 10; ++step)
    {
        const float scale = 1.0f - 0.05f * static_cast<float>(step);
        float w = 0.0f, h = 0.0f;
        measureWrapped(font, text, width / scale, w, h);
        if (oneLine && h > line)
            continue;
        if (w * scale <= width + 1.0f && h * scale <= height + descent * scale)
            return scale;
    }
    return 0.5f;
}

void drawTextFitted(render::Graphics* graphics, render::BMFont* font, const std::wstring& text, float x, float y,
                    float scale, float width, float height, float& fit)
{
    if (!graphics || text.empty())
        return;
    if (font)
        graphics->mFont = font;
    if (fit <= 0.0f)
        fit = fitScale(graphics->mFont, text, width, height);
    drawTextCentred(graphics, nullptr, text, x, y, scale * fit, width / fit);
}
} // namespace tdscreen
