// The parameter records of the four draw-command families.
#pragma once

#include "Core/Base/Types.h"
#include "Core/Media/Graphics/GraphicsFriend.h"
#include "Core/Media/Graphics/TextFormat.h"

#include <string>

namespace math
{
struct Box;
}

namespace render
{
class DrawParam;
class Image;
class Font;
class Buffer;
class Shader;
class ParticleEmitter;
struct VertexFormat;

struct DrawImageParam : GraphicsFriend
{
    DrawImageParam() = default;
    DrawImageParam(Graphics* graphics, const Image* image);
    // Quad, atlas mapping, colours, transforms, state and one indexed draw.
    QLResultEnum Draw(DrawParam* transformer);

    const Image* mImage = nullptr;
    u32 mAlignH = 0; // 0 starts at x = 0, 1 ends there, 2 centred
    u32 mAlignV = 0;
    bool mFlipH = false;
    bool mFlipV = false;
    float mSource[4] = {0.0f, 0.0f, 0.0f, 0.0f}; // x, y, width, height in image pixels
};

struct DrawTextParam : GraphicsFriend
{
    DrawTextParam() = default;
    DrawTextParam(Graphics* graphics, const std::wstring* text, Font* font);
    // A copy starts with no measured size and no transformer.
    DrawTextParam(const DrawTextParam& other);
    DrawTextParam& operator=(const DrawTextParam& other);

    QLResultEnum Draw(DrawParam* transformer);
    // Alignment offsets, the command's transform and (with a context) the context transform.
    QLResultEnum VertexStep(void* vertices, const VertexFormat& format, u32 count);

    const std::wstring* mText = nullptr;
    Font* mFont = nullptr;
    TextFormat mFormat;
    u32 mAlignH = 0; // 0 left, 1 right, 2 centre
    u32 mAlignV = 0; // 0 top, 1 bottom, 2 centre, 3 baseline
    float mMeasuredWidth = 0.0f;
    float mMeasuredHeight = 0.0f;
    DrawParam* mTransformer = nullptr;
    float* mOutWidth = nullptr;
    float* mOutHeight = nullptr;
    math::Box* mOutBounds = nullptr;
};

struct DrawParticlesParam : GraphicsFriend
{
    // The particle code's render operation: draws the emitter through the context with the
    // command's transform, fills the bounds when given and reports the particles drawn.
    using RenderFunction = QLResultEnum (*)(ParticleEmitter* emitter, Graphics* graphics, DrawParam* transformer,
                                            math::Box* bounds, math::Box* transformedBounds, u32* drawn);
    static void SetRenderFunction(RenderFunction function);

    DrawParticlesParam() = default;
    DrawParticlesParam(Graphics* graphics, ParticleEmitter* emitter);
    QLResultEnum Draw(DrawParam* transformer);

    ParticleEmitter* mEmitter = nullptr;
    u32* mOutDrawn = nullptr;
    math::Box* mOutBounds = nullptr;
    math::Box* mOutTransformedBounds = nullptr;
};

struct DrawCustomParam : GraphicsFriend
{
    DrawCustomParam() = default;
    explicit DrawCustomParam(Graphics* graphics) : GraphicsFriend(graphics) {}
    // Null vertex data (no room was given) draws nothing and fails.
    QLResultEnum Draw(DrawParam* transformer);

    u32 mType = 0; // 1 lines, 2 line strip, 3 triangles, 4 strip, 5 fan
    void* mVertexData = nullptr;
    const VertexFormat* mFormat = nullptr;
    u32 mFirstVertex = 0;
    u32 mVertexCount = 0;
    Buffer* mVertexBuffer = nullptr;
    u32 mFirstIndex = 0;
    u32 mIndexCount = 0;
    Buffer* mIndexBuffer = nullptr; // null: not indexed
    Shader* mShader = nullptr;
    u32 mPrimitiveCount = 0;
};

// Primitives of n vertices (or indices) of a type: n/2 lines, n-1 strip lines, n/3 triangles,
// n-2 strip or fan triangles.
u32 PrimitiveCount(u32 type, u32 n);
} // namespace render
