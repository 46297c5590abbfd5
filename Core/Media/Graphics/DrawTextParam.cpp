// Text draws: the font lays out and draws, calling back into the vertex step.
#include "Core/Media/Graphics/DrawParams.h"

#include "Core/Base/Box.h"
#include "Core/Media/Graphics/DrawParam.h"
#include "Core/Media/Graphics/Font.h"
#include "Core/Media/Graphics/Graphics.h"
#include "Core/Render/VertexFormat.h"

#include <cmath>

namespace render
{
DrawTextParam::DrawTextParam(Graphics* graphics, const std::wstring* text, Font* font)
    : GraphicsFriend(graphics), mText(text), mFont(font)
{
}

DrawTextParam::DrawTextParam(const DrawTextParam& other) : GraphicsFriend(other) { *this = other; }

DrawTextParam& DrawTextParam::operator=(const DrawTextParam& other)
{
    static_cast<GraphicsFriend&>(*this) = other;
    mText = other.mText;
    mFont = other.mFont;
    mFormat = other.mFormat;
    mAlignH = other.mAlignH;
    mAlignV = other.mAlignV;
    mMeasuredWidth = 0.0f;
    mMeasuredHeight = 0.0f;
    mTransformer = nullptr;
    mOutWidth = other.mOutWidth;
    mOutHeight = other.mOutHeight;
    mOutBounds = other.mOutBounds;
    return *this;
}

QLResultEnum DrawTextParam::Draw(DrawParam* transformer)
{
    if (!mFont || !mText)
        return QL_FAIL;
    mTransformer = transformer;
    float size[2] = {0.0f, 0.0f};
    const QLResultEnum result = mFont->DrawText(mGraphics, this, *mText, mFormat, size);
    mTransformer = nullptr;
    if (result != QL_OK)
        return result;
    mMeasuredWidth = size[0];
    mMeasuredHeight = size[1];
    if (mOutWidth)
        *mOutWidth = size[0];
    if (mOutHeight)
        *mOutHeight = size[1];
    if (mOutBounds)
    {
        const u32 colour = 0;
        SVertexGeom corners[4] = {{0.0f, 0.0f, 0.0f, colour},
                                  {size[0], 0.0f, 0.0f, colour},
                                  {size[0], size[1], 0.0f, colour},
                                  {0.0f, size[1], 0.0f, colour}};
        mTransformer = transformer;
        (void)VertexStep(corners, GetVertexFormat<SVertexGeom>(), 4);
        mTransformer = nullptr;
        mOutBounds->SetEmpty();
        for (const SVertexGeom& c : corners)
            mOutBounds->AddPoint(c.x, c.y, c.z);
    }
    return QL_OK;
}

QLResultEnum DrawTextParam::VertexStep(void* vertices, const VertexFormat& format, u32 count)
{
    const float w = mMeasuredWidth, h = mMeasuredHeight;
    const float dx = mAlignH == 1 ? -w : (mAlignH == 2 ? std::floor(-0.5f * w) : 0.0f);
    float dy = 0.0f;
    if (mAlignV == 1)
        dy = -h;
    else if (mAlignV == 2)
        dy = -std::floor(0.5f * h);
    else if (mAlignV == 3 && mFont)
        dy = -mFont->GetBase();
    if (dx != 0.0f || dy != 0.0f)
        TranslateVertices(vertices, format, count, dx, dy);
    QLResultEnum result = QL_OK;
    if (mTransformer)
        result = mTransformer->TransformVertices(vertices, format, count);
    if (mGraphics)
        mGraphics->ApplyWorldTransform(vertices, format, count);
    return result;
}
} // namespace render
