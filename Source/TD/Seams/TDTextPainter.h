// The drawing seam of inline-icon text: a font that measures and a painter that draws.
#pragma once

#include "Core/Base/Transform2D.h"

#include <memory>
#include <string>

class TDImage;

class TDFont
{
public:
    virtual ~TDFont() = default;
    virtual float measureText(const std::wstring& text) const = 0;
};

class TDTextPainter
{
public:
    virtual ~TDTextPainter() = default;
    // Alignments: 0 left/top, 1 right/bottom, 2 centre.
    virtual void setFont(const std::shared_ptr<TDFont>& font) = 0;
    virtual void drawText(const std::wstring& text, int hAlign, int vAlign, const math::Transform2D& transform) = 0;
    virtual void drawImage(const TDImage* image, int hAlign, int vAlign, const math::Transform2D& transform) = 0;
};
