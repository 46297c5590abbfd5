// The graphics device the renderer draws through: our stand-in for a Direct3D 9 device and the
// shader compiler, in our own names. Coordinates follow the engine's convention (pixels, y down,
// pixel centres at integer coordinates); each backend maps them onto its own API.
#pragma once

#include "Platform/Base/Types.h"

#include <memory>
#include <string>
#include <vector>

namespace gpu
{
class Context;

// Object handles; 0 is "none".
typedef u32 TextureId;
typedef u32 BufferId;
typedef u32 ProgramId;

struct Caps
{
    u32 maxTextureWidth = 0;
    u32 maxTextureHeight = 0;
    u32 maxPrimitiveCount = 0;
    u32 maxVertexIndex = 0;
    u32 textureBlendStages = 0;
    u32 vertexShaderVersion = 0; // major << 8 | minor
    u32 pixelShaderVersion = 0;  // major << 8 | minor
    bool dxt[5] = {};            // DXT1 .. DXT5
    bool scissorTest = false;
    bool anisotropicMin = false;
    bool anisotropicMag = false;
};

enum class TextureFormat : u32
{
    ARGB8, // 32-bit pixels 0xAARRGGBB (memory B, G, R, A), top row first
    DXT1,  // 4x4 blocks as stored in DDS files
    DXT3,
    DXT5,
};

enum class TextureUsage : u32
{
    Static,       // filled once
    RenderTarget, // drawn into
    Dynamic,      // refilled every frame
};

enum class BufferKind : u32
{
    Vertex,
    Index,
};

enum class Primitive : u32
{
    Points,
    Lines,
    LineStrip,
    Triangles,
    TriangleStrip,
    TriangleFan,
};

enum class BlendFactor : u32
{
    Zero,
    One,
    SrcAlpha,
    InvSrcAlpha,
};

struct BlendState
{
    bool enabled = false;
    BlendFactor src = BlendFactor::One;
    BlendFactor dst = BlendFactor::Zero;
    BlendFactor srcAlpha = BlendFactor::One;
    BlendFactor dstAlpha = BlendFactor::Zero;
    bool operator==(const BlendState&) const = default;
};

// Which triangles are dropped, by their winding as seen on the target (y down).
enum class CullMode : u32
{
    None,
    Clockwise,
    CounterClockwise,
};

enum class AttributeType : u32
{
    Float,     // components x f32
    ColorBGRA, // one u32 0xAARRGGBB, read as normalised (r, g, b, a)
};

// Attribute locations the programs are linked with.
enum AttributeLocation : u32
{
    kAttribPosition = 0,
    kAttribColor0 = 1,
    kAttribColor1 = 2,
    kAttribTexCoord0 = 3,
};

struct VertexAttribute
{
    u32 location = 0;
    u32 components = 0;
    AttributeType type = AttributeType::Float;
    u32 offset = 0;
};

struct VertexLayout
{
    u32 stride = 0;
    std::vector<VertexAttribute> attributes;
};

// Clear flags, as the engine passes them.
enum ClearFlags : u32
{
    kClearTarget = 1,
    kClearDepth = 2,
    kClearStencil = 4,
};

enum class DeviceStatus : u32
{
    Ok,
    Lost,     // cannot be reset yet
    NotReset, // ready to be reset
};

class Device
{
public:
    virtual ~Device() = default;

    // Prepares the device for a back buffer of this size; 1 when it cannot draw at all.
    virtual QLResultEnum Init(u32 width, u32 height) = 0;
    virtual const Caps& GetCaps() const = 0;
    virtual QLResultEnum ResizeBackBuffer(u32 width, u32 height) = 0;
    virtual u32 GetBackBufferWidth() const = 0;
    virtual u32 GetBackBufferHeight() const = 0;

    // Textures: level 0 only. Zero sizes fail.
    virtual QLResultEnum CreateTexture(u32 width, u32 height, TextureFormat format, TextureUsage usage,
                                       TextureId* out) = 0;
    // Replaces the whole level; data holds rows of `pitch` bytes (block rows for DXT formats).
    virtual QLResultEnum UpdateTexture(TextureId texture, const void* data, u32 pitch) = 0;
    // Destroying the current render target makes the back buffer the target.
    virtual void DestroyTexture(TextureId texture) = 0;

    // Buffers keep no copy of their contents; Update replaces [offset, offset + size).
    virtual QLResultEnum CreateBuffer(BufferKind kind, u32 size, bool dynamic, BufferId* out) = 0;
    virtual QLResultEnum UpdateBuffer(BufferId buffer, const void* data, u32 offset, u32 size) = 0;
    virtual void DestroyBuffer(BufferId buffer) = 0;

    // Compiles and links two programs given by their entry points. The compiler's messages go to
    // `messages` (also on success, when it has any).
    virtual QLResultEnum CreateProgram(const std::string& vertexSource, const std::string& vertexEntry,
                                       const std::string& pixelSource, const std::string& pixelEntry, ProgramId* out,
                                       std::string* messages) = 0;
    virtual void DestroyProgram(ProgramId program) = 0;
    // Constant handle by name: -1 when the program has no such constant (setting it then does nothing).
    virtual i32 FindConstant(ProgramId program, const std::string& name) = 0;
    // Texture stage of a sampler: -1 when the program has no such sampler.
    virtual i32 FindSampler(ProgramId program, const std::string& name) = 0;
    // Row-major matrix used with row vectors (p' = p x M).
    virtual QLResultEnum SetConstantMatrix(ProgramId program, i32 constant, const float matrix[16]) = 0;
    virtual QLResultEnum SetConstantVector(ProgramId program, i32 constant, const float vector[4]) = 0;
    virtual QLResultEnum SetConstantFloat(ProgramId program, i32 constant, float value) = 0;

    // Target 0 is the back buffer; the viewport becomes the whole target.
    virtual QLResultEnum SetRenderTarget(TextureId target) = 0;
    virtual QLResultEnum SetProgram(ProgramId program) = 0;
    virtual QLResultEnum SetTexture(u32 stage, TextureId texture) = 0;
    virtual QLResultEnum SetVertexLayout(const VertexLayout& layout) = 0;
    virtual QLResultEnum SetVertexBuffer(BufferId buffer) = 0;
    virtual QLResultEnum SetIndexBuffer(BufferId buffer, u32 indexSize) = 0;
    virtual QLResultEnum SetBlend(const BlendState& blend) = 0;
    virtual QLResultEnum SetScissorEnabled(bool enabled) = 0;
    virtual QLResultEnum SetScissorRect(i32 x, i32 y, i32 width, i32 height) = 0;
    virtual QLResultEnum SetDepth(bool test, bool write) = 0;
    virtual QLResultEnum SetCull(CullMode mode) = 0;

    // colour is 0xAARRGGBB.
    virtual QLResultEnum Clear(u32 flags, u32 colour, float depth, u32 stencil) = 0;
    virtual QLResultEnum Draw(Primitive type, u32 firstVertex, u32 vertexCount) = 0;
    virtual QLResultEnum DrawIndexed(Primitive type, u32 firstIndex, u32 indexCount, u32 minVertex,
                                     u32 vertexCount) = 0;
    virtual QLResultEnum BeginScene() = 0;
    virtual QLResultEnum EndScene() = 0;
    virtual QLResultEnum Present() = 0;

    // Pixels of a target (0: back buffer) as 0xAARRGGBB, top row first.
    virtual QLResultEnum ReadPixels(TextureId target, i32 x, i32 y, i32 width, i32 height, std::vector<u32>* out) = 0;

    // Device loss: reported only after a test asked for it (ForceStatus).
    virtual DeviceStatus TestStatus() = 0;
    virtual QLResultEnum Reset() = 0;
    virtual void ForceStatus(DeviceStatus status) = 0;

    // The textures alive and the bytes of their pixels (4 a pixel), for memory figures.
    virtual void TextureMemory(size_t& count, size_t& bytes) const = 0;
};

// The OpenGL 3.3 core device over a context (not owned). Null when the context cannot give one.
std::unique_ptr<Device> CreateGlDevice(Context* context);
} // namespace gpu
