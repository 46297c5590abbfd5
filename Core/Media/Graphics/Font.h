// The font interface text draws call: metrics, drawing with layout, and measuring.
#pragma once

#include "Core/Media/Graphics/DrawParam.h"
#include "Core/Media/Graphics/DrawParams.h"
#include "Core/Media/Graphics/TextFormat.h"
#include "Core/Resource/Resource.h"

#include <string>

namespace render
{
class Graphics;

class Font : public resource::Resource
{
public:
    Font() = default;

    virtual float GetBase() const { return mBase; }
    virtual float GetDescent() const { return mSize - mBase; }
    virtual float GetSize() const { return mSize; }
    virtual float GetLineAdvance() const { return mSize + mLeading; }
    virtual float GetLeading() const { return mLeading; }
    // Lays the text out and, with a context, draws it; measured gets (width, height).
    virtual QLResultEnum DrawText(Graphics* graphics, DrawTextParam* record, const std::wstring& text,
                                  const TextFormat& format, float measured[2]) = 0;
    virtual bool HasGlyph(wchar_t character) const = 0;

    // A pending command without a context: destroying it only lays out and measures, writing
    // the outputs the caller set through the command's parameter.
    DrawUntransformedParam<DrawTextParam> MeasureText(const std::wstring* text);

protected:
    float mBase = 0.0f;
    float mSize = 0.0f;
    float mLeading = 0.0f;
};
} // namespace render
