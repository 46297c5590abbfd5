// A layer that draws a text in a font, with a format and an alignment.
#pragma once

#include "Core/Base/CountedPtr.h"
#include "Core/Layer/Layer.h"
#include "Core/Media/Graphics/TextFormat.h"

#include <string>

namespace render
{
class Font;
}

namespace layer
{
class TextLayer : public Layer
{
public:
    TextLayer(base::CountedPtr<render::Font> font, const std::wstring& text);
    // The screens' form: the wrap width, paragraph indent, alignment and letter justification
    // go into the format, as a wrapped text draw sets them.
    TextLayer(base::CountedPtr<render::Font> font, const std::wstring& text, float wrapWidth, float indent,
              u32 alignment, bool justifyLetters);
    ~TextLayer() override;

    QLResultEnum DrawSelf(render::Graphics* graphics) override;
    void UpdateBounds() override;
    bool HitTest(const math::Point3&) override { return true; }

    // Setters that change the size ask for new bounds.
    void SetText(const std::wstring& text);
    void SetFont(base::CountedPtr<render::Font> font);
    void SetFormat(const render::TextFormat& format);
    void SetAlignment(u32 horizontal, u32 vertical);
    // Moves the layer so that the text's top-left corner lands on a whole pixel.
    void AlignToPixels();
    // The text's box in the layer's space (empty without a font or text).
    math::Box Measure() const;

    base::CountedPtr<render::Font> mFont;
    std::wstring mText;
    render::TextFormat mFormat;
    u32 mAlignH = 0;          // 0 left, 1 right, 2 centre
    u32 mAlignV = 0;          // 0 top, 1 bottom, 2 centre, 3 baseline
    bool mWidestLine = false; // replaces the format's widest-line flag
};
} // namespace layer
