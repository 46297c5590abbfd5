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
TDFrameEntry* makeFrame(file::ImageContainer* layout, const std::wstring& name)
{
    auto* entry = new TDFrameEntry();
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
} // namespace tdscreen
