// Centred one-line labels through the drawing context, with "$" and "#" shown as the coin and
// crystal pictures (the ring menu's prices).
#pragma once

#include <string>

namespace render
{
class Graphics;
}
class TDImage;

// Text centred on (x, y) in the context's current font and colour; a character whose picture
// is null stays text.
void tdDrawLabel(render::Graphics& graphics, const std::wstring& text, float x, float y, const TDImage* coin,
                 const TDImage* gem);
