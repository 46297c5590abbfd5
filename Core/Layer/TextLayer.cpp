// Text layers: drawing, measuring and snapping to whole pixels.
#include "Core/Layer/TextLayer.h"

#include "Core/Base/Math.h"
#include "Core/Layer/LayerDraw.h"
#include "Core/Media/Graphics/Font.h"
#include "Core/Media/Graphics/Graphics.h"

namespace layer
{
TextLayer::TextLayer(base::CountedPtr<render::Font> font, const std::wstring& text)
    : mFont(std::move(font)), mText(text)
{
    mHasOwnBounds = true;
}

TextLayer::TextLayer(base::CountedPtr<render::Font> font, const std::wstring& text, float wrapWidth, float indent,
                     u32 alignment, bool justifyLetters)
    : TextLayer(std::move(font), text)
{
    mFormat.mWrapWidth = wrapWidth;
    mFormat.mParagraphIndent = indent;
    mFormat.mAlignment = alignment;
    mFormat.mJustifyLetters = justifyLetters;
}

TextLayer::~TextLayer() { mFont.Release(); }

void TextLayer::SetText(const std::wstring& text)
{
    if (text == mText)
        return;
    mText = text;
    InvalidateOwnBounds();
}

void TextLayer::SetFont(base::CountedPtr<render::Font> font)
{
    mFont = std::move(font);
    InvalidateOwnBounds();
}

void TextLayer::SetFormat(const render::TextFormat& format)
{
    mFormat = format;
    InvalidateOwnBounds();
}

void TextLayer::SetAlignment(u32 horizontal, u32 vertical)
{
    mAlignH = horizontal;
    mAlignV = vertical;
    InvalidateOwnBounds();
}

QLResultEnum TextLayer::DrawSelf(render::Graphics* graphics)
{
    if (!mFont || mText.empty())
        return QL_OK;
    LayerDrawScope scope(graphics, *this, mAdditive ? render::BLEND_ADDITIVE : render::BLEND_ALPHA);
    render::Font* saved = graphics->mFont;
    graphics->mFont = mFont.Get();
    {
        auto command = graphics->DrawText(&mText);
        command->mFormat = mFormat;
        command->mAlignH = mAlignH;
        command->mAlignV = mAlignV;
        command->mFormat.mWidestLine = mWidestLine;
    }
    // Put back even when it was null: the context must not keep a font it does not hold.
    graphics->mFont = saved;
    return QL_OK;
}

math::Box TextLayer::Measure() const
{
    math::Box box;
    if (!mFont || mText.empty())
        return box;
    auto command = mFont->MeasureText(&mText);
    command->mFormat = mFormat;
    command->mAlignH = mAlignH;
    command->mAlignV = mAlignV;
    command->mFormat.mWidestLine = mWidestLine;
    command->mOutBounds = &box;
    IssueDraw(command, command.mParam);
    return box;
}

void TextLayer::UpdateBounds() { mOwnBox = Measure(); }

void TextLayer::AlignToPixels()
{
    const math::Box box = Measure();
    if (box.IsEmpty())
        return;
    const float x = math::Floor(mPosition.x + box.minX) - box.minX;
    if (x != mPosition.x)
    {
        mPosition.x = x;
        mTransformChanged = true;
        mParentBoxValid = false;
    }
    const float y = math::Floor(mPosition.y + box.minY) - box.minY;
    if (y != mPosition.y)
    {
        mPosition.y = y;
        mTransformChanged = true;
        mParentBoxValid = false;
    }
}
} // namespace layer
