// The drawing context: colour, tint, blend mode, shader, clip rectangle, font and world
// transform, and the makers of draw commands on a render or a render target.
#pragma once

#include "Core/Base/Types.h"
#include "Core/Media/Graphics/DrawParam.h"
#include "Core/Media/Graphics/DrawParams.h"
#include "Core/Render/RenderState.h"

#include <string>

namespace math
{
class Matrix4;
class Transform3D;
} // namespace math

namespace render
{
class Render;
class RenderTarget;
class Shader;
class ShaderTextured;
class Texture;
class Font;
struct SVertex2D;

// The built-in shaders pictures are drawn with (Graphics::SetShaderMode); custom: one set by
// SetShader.
enum class ShaderModeEnum : u32
{
    SHADER_CUSTOM = 0,
    SHADER_TEXTURED_MULT = 1, // the texture times the colour
    SHADER_TEXTURED_TINT = 2, // the same, tinted by the tint
};
using enum ShaderModeEnum;

class Graphics
{
public:
    explicit Graphics(Render* render);
    // Begins a scene when the render is not in one, and then ends it and plays the commands
    // when destroyed.
    explicit Graphics(RenderTarget* target);
    ~Graphics();
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    // colour is 0xAARRGGBB.
    QLResultEnum Clear(u32 flags, u32 colour, float depth, u32 stencil);
    QLResultEnum Flush();

    void SetColor(const float colour[4]);
    void SetColorRGBA(float r, float g, float b, float a);
    void SetTint(float tint) { mTint = tint; }
    QLResultEnum SetBlendMode(BlendModeEnum mode);
    // x, y, width, height; the render turns them into pixels when it records the state.
    void SetClipRect(const float rect[4]);
    void DisableClipRect();
    // Only the built-in modes switch; the custom one is set by SetShader.
    QLResultEnum SetShaderMode(ShaderModeEnum mode);
    QLResultEnum SetShader(Shader* shader);
    const math::Matrix4* GetProjection() const;

    DrawUntransformedParam<DrawImageParam> DrawImage(const Image* image);
    DrawUntransformedParam<DrawImageParam> DrawImageRect(const Image* image, const float source[4]);
    DrawTransform2DParam<DrawImageParam> DrawImageToRect(const Image* image, const float source[4],
                                                         const float destination[4]);
    DrawTransform2DParam<DrawImageParam> DrawImageToRect(const Image* image, const float destination[4]);
    DrawUntransformedParam<DrawTextParam> DrawText(const std::wstring* text);
    DrawUntransformedParam<DrawTextParam> DrawTextWrapped(const std::wstring* text, float wrapWidth, float indent,
                                                          u32 alignment, bool justifyLetters);
    DrawUntransformedParam<DrawParticlesParam> DrawParticles(ParticleEmitter* emitter);
    DrawUntransformedParam<DrawCustomParam> DrawLine(float x0, float y0, float x1, float y1);
    DrawUntransformedParam<DrawCustomParam> FillRect(float x, float y, float width, float height);
    // Vertices are SVertexGeom; first vertex, count and buffer from the cache allocation.
    DrawUntransformedParam<DrawCustomParam> DrawGeometry(u32 type, void* vertices, u32 firstVertex, u32 vertexCount,
                                                         Buffer* vertexBuffer, Shader* shader);
    DrawUntransformedParam<DrawCustomParam> DrawIndexedGeometry(u32 type, void* vertices, u32 firstIndex,
                                                                u32 indexCount, Buffer* indexBuffer, u32 firstVertex,
                                                                u32 vertexCount, Buffer* vertexBuffer, Shader* shader);

    // --- Used by the draw records and the fonts ---
    // Room in the render's frame caches: 1 outside a frame or past a chunk.
    template <class V> QLResultEnum AllocateVertices(u32 count, V** out, u32* first, Buffer** buffer);
    QLResultEnum AllocateIndices(u32 count, u16** out, u32* first, Buffer** buffer);
    // The world transform, then the half-pixel offset (x and y minus 0.5, z = 0).
    void ApplyTransform(void* vertices, const VertexFormat& format, u32 count) const;
    void ApplyWorldTransform(void* vertices, const VertexFormat& format, u32 count) const;
    static void OffsetHalfPixel(void* vertices, const VertexFormat& format, u32 count);
    // Puts shader and buffers into the state (flagging a change) and hands it to the render.
    QLResultEnum SubmitState(Shader* shader, Buffer* vertexBuffer, Buffer* indexBuffer);
    // Sets the texture of the textured shader and its projection.
    QLResultEnum BindTexture(Texture* texture);
    u32 GetPackedColor() const;
    // t << 8 | (255 - t) with t = tint x 255, the tint clamped to [0, 1].
    u32 GetTintSpecular() const;

    Render* GetRender() const { return mRender; }
    RenderTarget* GetTarget() const { return mTarget; }
    RenderState& GetState() { return mState; }
    bool IsStateChanged() const { return mStateChanged; }
    Shader* GetGeomShader() const { return mShaderGeom; }
    Shader* GetTexturedShader() const { return mShaderTextured; }
    ShaderModeEnum GetShaderMode() const { return mShaderMode; }
    const float* GetColor() const { return mColor; }
    float GetTint() const { return mTint; }
    bool HasBegunScene() const { return mBeganScene; }

    Font* mFont = nullptr;
    const math::Transform3D* mTransform = nullptr;

private:
    void InitShaders();

    Render* mRender = nullptr;
    RenderTarget* mTarget = nullptr;
    Shader* mShaderGeom = nullptr;
    Shader* mShaderTextured = nullptr;
    RenderState mState;
    bool mStateChanged = true;
    ShaderModeEnum mShaderMode = SHADER_TEXTURED_MULT;
    float mColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float mTint = 0.0f;
    bool mBeganScene = false;
};

// Writes a quad (x0, y0)-(x1, y1) with texture corners (u0, v0)-(u1, v1), z = 0, w = 1.
void FillQuad(SVertex2D* quad, float x0, float y0, float x1, float y1, float u0, float v0, float u1, float v1,
              u32 diffuse, u32 specular);
// Two triangles per quad: base, +1, +2, base, +2, +3.
void FillQuadIndices(u16* indices, u32 base);
} // namespace render

#include "Core/Media/Graphics/GraphicsAllocate.inl"
