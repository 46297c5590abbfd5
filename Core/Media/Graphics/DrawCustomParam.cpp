// Custom geometry, lines and rectangles, and particle draws through the particle code.
#include "Core/Media/Graphics/DrawParams.h"

#include "Core/Media/Graphics/Graphics.h"
#include "Core/Render/Render.h"
#include "Core/Render/VertexFormat.h"

namespace render
{
u32 PrimitiveCount(u32 type, u32 n)
{
    switch (type)
    {
    case PRIM_LINELIST: return n / 2;
    case PRIM_LINESTRIP: return n > 0 ? n - 1 : 0;
    case PRIM_TRIANGLELIST: return n / 3;
    case PRIM_TRIANGLESTRIP:
    case PRIM_TRIANGLEFAN: return n > 1 ? n - 2 : 0;
    default: return n;
    }
}

QLResultEnum DrawCustomParam::Draw(DrawParam* transformer)
{
    if (!mGraphics || !mVertexData || !mFormat || !mShader || mVertexCount == 0)
        return QL_FAIL;
    Graphics& g = *mGraphics;
    QLResultEnum result = QL_OK;
    if (transformer && (result = transformer->TransformVertices(mVertexData, *mFormat, mVertexCount)) != QL_OK)
        return result;
    g.ApplyTransform(mVertexData, *mFormat, mVertexCount);
    if (mPrimitiveCount == 0)
        mPrimitiveCount = PrimitiveCount(mType, mIndexBuffer ? mIndexCount : mVertexCount);
    if (mPrimitiveCount == 0)
        return QL_OK;
    if ((result = g.SubmitState(mShader, mVertexBuffer, mIndexBuffer)) != QL_OK)
        return result;
    if (mIndexBuffer)
        return mRender->DrawIndexed(mType, mFirstIndex, mPrimitiveCount, mFirstVertex, mVertexCount);
    return mRender->Draw(mType, mFirstVertex, mPrimitiveCount);
}

namespace
{
DrawParticlesParam::RenderFunction gParticleRender = nullptr;
}

void DrawParticlesParam::SetRenderFunction(RenderFunction function) { gParticleRender = function; }

DrawParticlesParam::DrawParticlesParam(Graphics* graphics, ParticleEmitter* emitter)
    : GraphicsFriend(graphics), mEmitter(emitter)
{
}

QLResultEnum DrawParticlesParam::Draw(DrawParam* transformer)
{
    if (!mEmitter || !mGraphics || !gParticleRender)
        return QL_FAIL;
    u32 drawn = 0;
    const QLResultEnum result =
        gParticleRender(mEmitter, mGraphics, transformer, mOutBounds, mOutTransformedBounds, &drawn);
    if (mOutDrawn)
        *mOutDrawn = drawn;
    return result;
}
} // namespace render
