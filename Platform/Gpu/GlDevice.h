// The OpenGL 3.3 core device. It keeps the engine's conventions: pixel centres at integer
// coordinates, render targets stored top row first, the viewport reset on every target change,
// culling by winding as seen on the target, BGRA vertex colours.
#pragma once

#include "Platform/Gpu/Device.h"
#include "Platform/Gpu/GlFunctions.h"

#include <map>

namespace gpu
{
class GlDevice : public Device
{
public:
    explicit GlDevice(Context* context);
    ~GlDevice() override;

    // False when the context lacks an entry point (the reason is logged by the caller).
    bool Load(std::string* why);

    QLResultEnum Init(u32 width, u32 height) override;
    const Caps& GetCaps() const override { return mCaps; }
    QLResultEnum ResizeBackBuffer(u32 width, u32 height) override;
    u32 GetBackBufferWidth() const override { return mWidth; }
    u32 GetBackBufferHeight() const override { return mHeight; }

    QLResultEnum CreateTexture(u32 width, u32 height, TextureFormat format, TextureUsage usage,
                               TextureId* out) override;
    QLResultEnum UpdateTexture(TextureId texture, const void* data, u32 pitch) override;
    void DestroyTexture(TextureId texture) override;
    QLResultEnum CreateBuffer(BufferKind kind, u32 size, bool dynamic, BufferId* out) override;
    QLResultEnum UpdateBuffer(BufferId buffer, const void* data, u32 offset, u32 size) override;
    void DestroyBuffer(BufferId buffer) override;

    QLResultEnum CreateProgram(const std::string& vertexSource, const std::string& vertexEntry,
                               const std::string& pixelSource, const std::string& pixelEntry, ProgramId* out,
                               std::string* messages) override;
    void DestroyProgram(ProgramId program) override;
    i32 FindConstant(ProgramId program, const std::string& name) override;
    i32 FindSampler(ProgramId program, const std::string& name) override;
    QLResultEnum SetConstantMatrix(ProgramId program, i32 constant, const float matrix[16]) override;
    QLResultEnum SetConstantVector(ProgramId program, i32 constant, const float vector[4]) override;
    QLResultEnum SetConstantFloat(ProgramId program, i32 constant, float value) override;

    QLResultEnum SetRenderTarget(TextureId target) override;
    QLResultEnum SetProgram(ProgramId program) override;
    QLResultEnum SetTexture(u32 stage, TextureId texture) override;
    QLResultEnum SetVertexLayout(const VertexLayout& layout) override;
    QLResultEnum SetVertexBuffer(BufferId buffer) override;
    QLResultEnum SetIndexBuffer(BufferId buffer, u32 indexSize) override;
    QLResultEnum SetBlend(const BlendState& blend) override;
    QLResultEnum SetScissorEnabled(bool enabled) override;
    QLResultEnum SetScissorRect(i32 x, i32 y, i32 width, i32 height) override;
    QLResultEnum SetDepth(bool test, bool write) override;
    QLResultEnum SetCull(CullMode mode) override;

    QLResultEnum Clear(u32 flags, u32 colour, float depth, u32 stencil) override;
    QLResultEnum Draw(Primitive type, u32 firstVertex, u32 vertexCount) override;
    QLResultEnum DrawIndexed(Primitive type, u32 firstIndex, u32 indexCount, u32 minVertex, u32 vertexCount) override;
    QLResultEnum BeginScene() override { return QL_OK; }
    QLResultEnum EndScene() override { return QL_OK; }
    QLResultEnum Present() override;
    QLResultEnum ReadPixels(TextureId target, i32 x, i32 y, i32 width, i32 height, std::vector<u32>* out) override;

    DeviceStatus TestStatus() override { return mStatus; }
    QLResultEnum Reset() override;
    void ForceStatus(DeviceStatus status) override { mStatus = status; }
    void TextureMemory(size_t& count, size_t& bytes) const override;

private:
    struct Texture
    {
        GLuint name = 0;
        GLuint framebuffer = 0; // render targets
        u32 width = 0, height = 0;
        TextureFormat format = TextureFormat::ARGB8;
    };
    struct Buffer
    {
        GLuint name = 0;
        BufferKind kind = BufferKind::Vertex;
        u32 size = 0;
        bool dynamic = false;
    };
    struct Program
    {
        GLuint name = 0;
        GLint devFix = -1;
        float devFixValue[4] = {0, 0, 0, 0};
        std::map<std::string, i32> samplers;      // name -> stage
        std::map<i32, std::vector<float>> values; // last value sent per constant
    };

    QLResultEnum BindTarget();
    void ApplyTargetState();
    bool PrepareDraw();
    bool UseProgram(GLuint name);
    void BindOnUnitZero(GLuint name);
    // False when the constant already holds these values (nothing to send).
    static bool Remember(Program& program, i32 constant, const float* values, size_t count);
    GLuint Compile(GLenum kind, const std::string& source, std::string* messages);
    bool IsWindowTarget() const { return mTarget == 0; }
    QLResultEnum CheckError(const char* what);

    Context* mContext;
    GlFunctions gl;
    Caps mCaps;
    u32 mWidth = 0, mHeight = 0;
    GLuint mVertexArray = 0;
    GLuint mBackBufferTexture = 0; // headless: the off-screen back buffer
    GLuint mBackBufferFramebuffer = 0;
    DeviceStatus mStatus = DeviceStatus::Ok;
    u32 mNextId = 1;
    std::map<TextureId, Texture> mTextures;
    std::map<BufferId, Buffer> mBuffers;
    std::map<ProgramId, Program> mPrograms;

    // Current state.
    TextureId mTarget = 0;
    u32 mTargetWidth = 0, mTargetHeight = 0;
    ProgramId mProgram = 0;
    GLuint mBoundProgram = 0;
    VertexLayout mLayout;
    BufferId mVertexBuffer = 0;
    u32 mIndexSize = 2;
    bool mVertexSetupDirty = true;
    CullMode mCull = CullMode::None;
    bool mScissorEnabled = false;
    i32 mScissor[4] = {0, 0, 0, 0};
    bool mDepthWrite = true;
    GLuint mBoundTextures[16] = {};
};
} // namespace gpu
