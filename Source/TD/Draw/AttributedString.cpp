// One line of text with inline icons.
#include "Source/TD/Draw/AttributedString.h"

#include "Source/TD/Seams/TDBattleServices.h"

AttributedStringChunk::AttributedStringChunk(const std::wstring& t, const TDFont* font) : text(t)
{
    width = font ? font->measureText(text) : 0.0f;
}

void AttributedStringChunk::draw(TDTextPainter& painter, const math::Transform2D& transform) const
{
    painter.drawText(text, 0, 2, transform);
}

AttributedImageChunk::AttributedImageChunk(const TDImage* i) : image(i)
{
    width = image ? static_cast<float>(image->width()) : 0.0f;
}

void AttributedImageChunk::draw(TDTextPainter& painter, const math::Transform2D& transform) const
{
    painter.drawImage(image, 0, 2, transform);
}

void AttributedString::build()
{
    chunks.clear();
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i)
    {
        auto icon = icons.find(text[i]);
        if (icon == icons.end())
            continue;
        if (i > start)
            chunks.push_back(std::make_unique<AttributedStringChunk>(text.substr(start, i - start), font.get()));
        chunks.push_back(std::make_unique<AttributedImageChunk>(icon->second));
        start = i + 1;
    }
    chunks.push_back(std::make_unique<AttributedStringChunk>(text.substr(start), font.get()));
}

float AttributedString::totalWidth() const
{
    float total = 0.0f;
    for (const auto& chunk : chunks)
        total += chunk->width;
    return total;
}

void AttributedString::draw(TDTextPainter& painter, const math::Transform2D& transform) const
{
    math::Transform2D scaleProbe = transform;
    float x = totalWidth() * scaleProbe.GetScaleX() * -0.5f;
    if (font)
        painter.setFont(font);
    for (const auto& chunk : chunks)
    {
        math::Transform2D piece = transform;
        piece.Translate(x, 0.0f);
        chunk->draw(painter, piece);
        x += chunk->width;
    }
}
