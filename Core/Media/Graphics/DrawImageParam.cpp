// Image draws: one textured quad.
#include "Core/Media/Graphics/DrawParams.h"

#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Image/Image.h"
#include "Core/Render/Render.h"
#include "Core/Render/VertexFormat.h"

#include <utility>

namespace render
{
DrawImageParam::DrawImageParam(Graphics* graphics, const Image* image) : GraphicsFriend(graphics), mImage(image)
{
    if (image)
    {
        mSource[2] = static_cast<float>(image->GetWidth());
        mSource[3] = static_cast<float>(image->GetHeight());
    }
}

QLResultEnum DrawImageParam::Draw(DrawParam* transformer)
{
    // Callers pass what LoadImage gave them, which is null for a missing name.
    if (!mGraphics || !mImage || mImage->GetWidth() <= 0 || mImage->GetHeight() <= 0)
        return QL_FAIL;
    Graphics& g = *mGraphics;
    SVertex2D* quad = nullptr;
    u16* indices = nullptr;
    u32 first = 0, firstIndex = 0;
    Buffer* vertexBuffer = nullptr;
    Buffer* indexBuffer = nullptr;
    QLResultEnum result = g.AllocateVertices<SVertex2D>(4, &quad, &first, &vertexBuffer);
    if (result != QL_OK || (result = g.AllocateIndices(6, &indices, &firstIndex, &indexBuffer)) != QL_OK)
        return result;

    const float w = mSource[2], h = mSource[3];
    const float x0 = mAlignH == 1 ? -w : (mAlignH == 2 ? -0.5f * w : 0.0f);
    const float y0 = mAlignV == 1 ? -h : (mAlignV == 2 ? -0.5f * h : 0.0f);
    const float imageWidth = static_cast<float>(mImage->GetWidth());
    const float imageHeight = static_cast<float>(mImage->GetHeight());
    float uL = mSource[0] / imageWidth, uR = (mSource[0] + w) / imageWidth;
    float vT = mSource[1] / imageHeight, vB = (mSource[1] + h) / imageHeight;
    if (mFlipH)
        std::swap(uL, uR);
    if (mFlipV)
        std::swap(vT, vB);
    FillQuad(quad, x0, y0, x0 + w, y0 + h, uL, vT, uR, vB, g.GetPackedColor(), g.GetTintSpecular());
    FillQuadIndices(indices, first);

    const VertexFormat& format = GetVertexFormat<SVertex2D>();
    if ((result = mImage->MapTextureCoords(quad, format, 4)) != QL_OK)
        return result;
    if (transformer && (result = transformer->TransformVertices(quad, format, 4)) != QL_OK)
        return result;
    g.ApplyTransform(quad, format, 4);
    if ((result = g.SubmitState(g.GetTexturedShader(), vertexBuffer, indexBuffer)) != QL_OK)
        return result;
    if ((result = g.BindTexture(mImage->GetTexture())) != QL_OK)
        return result;
    return mRender->DrawIndexed(PRIM_TRIANGLELIST, firstIndex, 2, first, 4);
}
} // namespace render
