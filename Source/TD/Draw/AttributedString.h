// One line of text in which some characters stand for small images ("$" coin, "#" gem),
// cut into pieces, measured and drawn centred on a point.
#pragma once

#include "Source/TD/Seams/TDTextPainter.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class TDImage;

class AttributedChunk
{
public:
    virtual ~AttributedChunk() = default;
    virtual void draw(TDTextPainter& painter, const math::Transform2D& transform) const {}
    float width = 0.0f;
};

class AttributedStringChunk : public AttributedChunk
{
public:
    AttributedStringChunk(const std::wstring& text, const TDFont* font);
    void draw(TDTextPainter& painter, const math::Transform2D& transform) const override;
    std::wstring text;
};

class AttributedImageChunk : public AttributedChunk
{
public:
    explicit AttributedImageChunk(const TDImage* image);
    void draw(TDTextPainter& painter, const math::Transform2D& transform) const override;
    const TDImage* image = nullptr; // not owned
};

class AttributedString
{
public:
    // Makes character c stand for image (replacing an earlier one).
    void addIcon(wchar_t c, const TDImage* image) { icons[c] = image; }
    // Rebuilds the pieces from text, icons and font; call after every change of the text.
    void build();
    // Draws the row centred horizontally on the transform's origin.
    void draw(TDTextPainter& painter, const math::Transform2D& transform) const;
    float totalWidth() const;

    std::wstring text;
    std::vector<std::unique_ptr<AttributedChunk>> chunks;
    std::shared_ptr<TDFont> font;
    std::map<wchar_t, const TDImage*> icons;
};
