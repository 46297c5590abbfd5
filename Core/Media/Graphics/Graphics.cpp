// The drawing context.
#include "Core/Media/Graphics/Graphics.h"

#include "Core/Media/Image/Image.h"
#include "Core/Media/Image/RenderTarget.h"
#include "Core/Render/Render.h"
#include "Core/Render/Shader.h"
#include "Core/Render/Texture.h"
#include "Core/Render/Transform3D.h"

#include <algorithm>

namespace render
{
Graphics::Graphics(Render* render) : mRender(render)
{
    if (mRender)
        mRender->GetDefaultPixelMapping(mState.mScaleX, mState.mScaleY, mState.mOffsetX, mState.mOffsetY);
    mState.mBlendMode = BLEND_ALPHA;
    InitShaders();
}

Graphics::Graphics(RenderTarget* target) : mTarget(target)
{
    Texture* texture = target ? target->GetTexture() : nullptr;
    mRender = texture ? texture->GetRender() : nullptr;
    if (mRender && !mRender->IsInScene() && mRender->BeginScene() == QL_OK)
        mBeganScene = true;
    mState.mTarget = texture;
    // The viewport record (0, 0, 1, 1) read as its third, fourth, first and second values.
    const float* viewport = target ? target->GetViewport() : nullptr;
    if (viewport)
    {
        mState.mScaleX = viewport[2];
        mState.mScaleY = viewport[3];
        mState.mOffsetX = viewport[0];
        mState.mOffsetY = viewport[1];
    }
    mState.mBlendMode = BLEND_ALPHA;
    InitShaders();
}

Graphics::~Graphics()
{
    if (mBeganScene && mRender)
    {
        (void)mRender->EndScene();
        (void)mRender->ExecuteCommands();
    }
}

void Graphics::InitShaders()
{
    if (!mRender)
        return;
    Shader* geom = nullptr;
    if (mRender->GetShaderGeom(&geom) == QL_OK)
        mShaderGeom = geom;
    ShaderTextured* textured = nullptr;
    if (mRender->GetShaderTexturedMult(&textured) == QL_OK)
        mShaderTextured = textured;
}

QLResultEnum Graphics::Clear(u32 flags, u32 colour, float depth, u32 stencil)
{
    if (!mRender)
        return QL_FAIL;
    mRender->SetTarget(&mState);
    const float rgba[4] = {static_cast<float>((colour >> 16) & 255) / 255.0f,
                           static_cast<float>((colour >> 8) & 255) / 255.0f, static_cast<float>(colour & 255) / 255.0f,
                           static_cast<float>(colour >> 24) / 255.0f};
    return mRender->Clear(flags, rgba, depth, stencil);
}

QLResultEnum Graphics::Flush()
{
    if (mBeganScene && mRender)
        return mRender->ExecuteCommands();
    return QL_OK;
}

void Graphics::SetColor(const float colour[4])
{
    for (int i = 0; i < 4; ++i)
        mColor[i] = colour[i];
}

void Graphics::SetColorRGBA(float r, float g, float b, float a)
{
    mColor[0] = r;
    mColor[1] = g;
    mColor[2] = b;
    mColor[3] = a;
}

QLResultEnum Graphics::SetBlendMode(BlendModeEnum mode)
{
    mState.mBlendMode = mode;
    mStateChanged = true;
    return QL_OK;
}

void Graphics::SetClipRect(const float rect[4])
{
    mState.mScissorX = rect[0];
    mState.mScissorY = rect[1];
    mState.mScissorWidth = rect[2];
    mState.mScissorHeight = rect[3];
    mState.mScissorEnabled = true;
    mStateChanged = true;
}

void Graphics::DisableClipRect()
{
    mState.mScissorEnabled = false;
    mStateChanged = true;
}

QLResultEnum Graphics::SetShaderMode(ShaderModeEnum mode)
{
    if (mode == mShaderMode || (mode != SHADER_TEXTURED_MULT && mode != SHADER_TEXTURED_TINT) || !mRender)
        return QL_OK;
    mShaderMode = mode;
    ShaderTextured* shader = nullptr;
    const QLResultEnum result = mode == SHADER_TEXTURED_MULT ? mRender->GetShaderTexturedMult(&shader)
                                                             : mRender->GetShaderTexturedTint(&shader);
    if (result == QL_OK)
        mShaderTextured = shader;
    return result;
}

QLResultEnum Graphics::SetShader(Shader* shader)
{
    mShaderMode = SHADER_CUSTOM;
    if (shader)
    {
        mShaderTextured = shader;
        return QL_OK;
    }
    if (!mRender)
        return QL_FAIL;
    ShaderTextured* fallback = nullptr;
    const QLResultEnum result = mRender->GetShaderTexturedMult(&fallback);
    if (result == QL_OK)
        mShaderTextured = fallback;
    return result;
}

const math::Matrix4* Graphics::GetProjection() const
{
    if (mTarget)
        return &mTarget->GetProjection();
    return mRender ? mRender->GetProjectionPointer() : nullptr;
}

u32 Graphics::GetPackedColor() const { return PackColour(mColor); }

u32 Graphics::GetTintSpecular() const
{
    // Clamped like colours: a tint past 1 must not wrap to a small weight (NaN counts as 0).
    const float tint = mTint >= 0.0f ? std::min(mTint, 1.0f) : 0.0f;
    const u32 t = static_cast<u32>(static_cast<i32>(tint * 255.0f)) & 255;
    return t << 8 | (255 - t);
}

QLResultEnum Graphics::AllocateIndices(u32 count, u16** out, u32* first, Buffer** buffer)
{
    if (!mRender || count == 0 || !mRender->GetIndexCache16())
        return QL_FAIL;
    CacheChunk chunk;
    const QLResultEnum result = mRender->GetIndexCache16()->Allocate(count, first, &chunk);
    if (result != QL_OK || !chunk.mData || !chunk.mBuffer)
        return result != QL_OK ? result : QL_FAIL;
    *out = reinterpret_cast<u16*>(chunk.mData);
    *buffer = chunk.mBuffer;
    return QL_OK;
}

void Graphics::ApplyTransform(void* vertices, const VertexFormat& format, u32 count) const
{
    ApplyWorldTransform(vertices, format, count);
    OffsetHalfPixel(vertices, format, count);
}

void Graphics::ApplyWorldTransform(void* vertices, const VertexFormat& format, u32 count) const
{
    // Reading the matrix may rebuild the transform's cache; nothing else changes.
    if (mTransform)
        const_cast<math::Transform3D*>(mTransform)->TransformVertices(vertices, format, count);
}

void Graphics::OffsetHalfPixel(void* vertices, const VertexFormat& format, u32 count)
{
    if (format.mPosition.mComponents < 3)
        return;
    u8* bytes = static_cast<u8*>(vertices);
    for (u32 i = 0; i < count; ++i)
    {
        float* p = reinterpret_cast<float*>(bytes + static_cast<size_t>(i) * format.mStride + format.mPosition.mOffset);
        p[0] -= 0.5f;
        p[1] -= 0.5f;
        p[2] = 0.0f;
    }
}

QLResultEnum Graphics::SubmitState(Shader* shader, Buffer* vertexBuffer, Buffer* indexBuffer)
{
    if (!mRender || !shader)
        return QL_FAIL;
    ShaderImpl* impl = shader->GetImpl();
    if (mState.mShader != impl || mState.mVertexBuffer != vertexBuffer || mState.mIndexBuffer != indexBuffer)
    {
        mState.mShader = impl;
        mState.mVertexBuffer = vertexBuffer;
        mState.mIndexBuffer = indexBuffer;
        mStateChanged = true;
    }
    const QLResultEnum result = mRender->ApplyState(&mState, mStateChanged);
    if (result != QL_OK)
        return result;
    mStateChanged = false;
    return shader->SetProjection(GetProjection());
}

QLResultEnum Graphics::BindTexture(Texture* texture)
{
    auto* textured = dynamic_cast<ShaderTextured*>(mShaderTextured);
    if (!textured)
        return QL_FAIL;
    return textured->SetTexture(texture);
}

DrawUntransformedParam<DrawImageParam> Graphics::DrawImage(const Image* image)
{
    return DrawUntransformedParam<DrawImageParam>(DrawImageParam(this, image));
}

DrawUntransformedParam<DrawImageParam> Graphics::DrawImageRect(const Image* image, const float source[4])
{
    DrawImageParam param(this, image);
    for (int i = 0; i < 4; ++i)
        param.mSource[i] = source[i];
    return DrawUntransformedParam<DrawImageParam>(param);
}

DrawTransform2DParam<DrawImageParam> Graphics::DrawImageToRect(const Image* image, const float source[4],
                                                               const float destination[4])
{
    DrawImageParam param(this, image);
    for (int i = 0; i < 4; ++i)
        param.mSource[i] = source[i];
    math::Transform2D transform;
    if (source[2] != 0.0f && source[3] != 0.0f)
    {
        transform.Scale(destination[2] / source[2], destination[3] / source[3]);
        transform.Translate(destination[0], destination[1]);
    }
    DrawTransform2DParam<DrawImageParam> command(param, transform);
    // A zero-sized source has no scale to the destination: nothing is drawn.
    if (source[2] == 0.0f || source[3] == 0.0f)
        command.Cancel();
    return command;
}

DrawTransform2DParam<DrawImageParam> Graphics::DrawImageToRect(const Image* image, const float destination[4])
{
    const float source[4] = {0.0f, 0.0f, image ? static_cast<float>(image->GetWidth()) : 0.0f,
                             image ? static_cast<float>(image->GetHeight()) : 0.0f};
    return DrawImageToRect(image, source, destination);
}

DrawUntransformedParam<DrawTextParam> Graphics::DrawText(const std::wstring* text)
{
    return DrawUntransformedParam<DrawTextParam>(DrawTextParam(this, text, mFont));
}

DrawUntransformedParam<DrawTextParam> Graphics::DrawTextWrapped(const std::wstring* text, float wrapWidth, float indent,
                                                                u32 alignment, bool justifyLetters)
{
    DrawTextParam param(this, text, mFont);
    param.mFormat.mWrapWidth = wrapWidth;
    param.mFormat.mParagraphIndent = indent;
    param.mFormat.mAlignment = alignment;
    param.mFormat.mJustifyLetters = justifyLetters;
    return DrawUntransformedParam<DrawTextParam>(param);
}

DrawUntransformedParam<DrawParticlesParam> Graphics::DrawParticles(ParticleEmitter* emitter)
{
    return DrawUntransformedParam<DrawParticlesParam>(DrawParticlesParam(this, emitter));
}

DrawUntransformedParam<DrawCustomParam> Graphics::DrawLine(float x0, float y0, float x1, float y1)
{
    SVertexGeom* v = nullptr;
    u32 first = 0;
    Buffer* buffer = nullptr;
    if (AllocateVertices<SVertexGeom>(2, &v, &first, &buffer) != QL_OK)
        return DrawUntransformedParam<DrawCustomParam>(DrawCustomParam(this)); // no room: draws nothing
    const u32 colour = GetPackedColor();
    v[0] = {x0, y0, 0.0f, colour};
    v[1] = {x1, y1, 0.0f, colour};
    return DrawGeometry(PRIM_LINELIST, v, first, 2, buffer, mShaderGeom);
}

DrawUntransformedParam<DrawCustomParam> Graphics::FillRect(float x, float y, float width, float height)
{
    SVertexGeom* v = nullptr;
    u16* indices = nullptr;
    u32 first = 0, firstIndex = 0;
    Buffer* vertexBuffer = nullptr;
    Buffer* indexBuffer = nullptr;
    if (AllocateVertices<SVertexGeom>(4, &v, &first, &vertexBuffer) != QL_OK ||
        AllocateIndices(6, &indices, &firstIndex, &indexBuffer) != QL_OK)
        return DrawUntransformedParam<DrawCustomParam>(DrawCustomParam(this)); // no room: draws nothing
    const u32 colour = GetPackedColor();
    v[0] = {x, y, 0.0f, colour};
    v[1] = {x + width, y, 0.0f, colour};
    v[2] = {x + width, y + height, 0.0f, colour};
    v[3] = {x, y + height, 0.0f, colour};
    FillQuadIndices(indices, first);
    return DrawIndexedGeometry(PRIM_TRIANGLELIST, v, firstIndex, 6, indexBuffer, first, 4, vertexBuffer, mShaderGeom);
}

DrawUntransformedParam<DrawCustomParam> Graphics::DrawGeometry(u32 type, void* vertices, u32 firstVertex,
                                                               u32 vertexCount, Buffer* vertexBuffer, Shader* shader)
{
    return DrawIndexedGeometry(type, vertices, 0, 0, nullptr, firstVertex, vertexCount, vertexBuffer, shader);
}

DrawUntransformedParam<DrawCustomParam> Graphics::DrawIndexedGeometry(u32 type, void* vertices, u32 firstIndex,
                                                                      u32 indexCount, Buffer* indexBuffer,
                                                                      u32 firstVertex, u32 vertexCount,
                                                                      Buffer* vertexBuffer, Shader* shader)
{
    DrawCustomParam param(this);
    param.mType = type;
    param.mVertexData = vertices;
    param.mFormat = &GetVertexFormat<SVertexGeom>();
    param.mFirstVertex = firstVertex;
    param.mVertexCount = vertexCount;
    param.mVertexBuffer = vertexBuffer;
    param.mFirstIndex = firstIndex;
    param.mIndexCount = indexCount;
    param.mIndexBuffer = indexBuffer;
    param.mShader = shader;
    return DrawUntransformedParam<DrawCustomParam>(param);
}

void FillQuad(SVertex2D* quad, float x0, float y0, float x1, float y1, float u0, float v0, float u1, float v1,
              u32 diffuse, u32 specular)
{
    quad[0] = {x0, y0, 0.0f, 1.0f, diffuse, specular, u0, v0};
    quad[1] = {x1, y0, 0.0f, 1.0f, diffuse, specular, u1, v0};
    quad[2] = {x1, y1, 0.0f, 1.0f, diffuse, specular, u1, v1};
    quad[3] = {x0, y1, 0.0f, 1.0f, diffuse, specular, u0, v1};
}

void FillQuadIndices(u16* indices, u32 base)
{
    const u16 b = static_cast<u16>(base);
    indices[0] = b;
    indices[1] = static_cast<u16>(b + 1);
    indices[2] = static_cast<u16>(b + 2);
    indices[3] = b;
    indices[4] = static_cast<u16>(b + 2);
    indices[5] = static_cast<u16>(b + 3);
}
} // namespace render
