// Small steps the selection and result screens share: a layout picture as a frame, and a
// picture or a text centred on a point and scaled about it.
#pragma once

#include "Core/Base/Types.h"

#include <memory>
#include <string>

namespace render
{
class BMFont;
class Font;
class Graphics;
class Image;
} // namespace render

namespace file
{
class ImageContainer;
}
class TDFrameEntry;

namespace tdscreen
{
// A new frame with the layout entry's place, order and picture; an empty
// frame of that name when the layout lacks it.
std::unique_ptr<TDFrameEntry> makeFrame(file::ImageContainer* layout, const std::wstring& name);
// The picture centred on (x, y), scaled uniformly; nothing for a null picture.
void drawImageCentred(render::Graphics* graphics, const render::Image* image, float x, float y, float scale);
// The text wrapped to wrapWidth with its lines aligned by alignment, centred on (x, y) and
// scaled; the font becomes the context's font when given. Nothing without any font.
void drawTextCentred(render::Graphics* graphics, render::BMFont* font, const std::wstring& text, float x, float y,
                     float scale, float wrapWidth, u32 alignment = 2);

// The text wrapped to `width` as drawn, in the font's units.
void measureWrapped(render::Font* font, const std::wstring& text, float width, float& outWidth, float& outHeight);
// The largest scale, 1 down to half, at which the text wrapped to width / scale fits a box of
// width x height (a line may stand out of a low box by its descent, 0.3 of a line); in a box
// lower than two lines a text without line breaks must fit on one line.
float fitScale(render::Font* font, const std::wstring& text, float width, float height);
// The text fitted into the box of width x height centred on (x, y), then scaled by `scale`; the
// fitted scale is kept in `fit` (measured when not above 0).
void drawTextFitted(render::Graphics* graphics, render::BMFont* font, const std::wstring& text, float x, float y,
                    float scale, float width, float height, float& fit);
} // namespace tdscreen
