// Test helpers: a renderer over a headless window, a decoder of the recorded command stream and
// a quad drawer that fills the frame caches the way the drawing context does.
#pragma once

#include "Core/Render/BufferDoubleCache.h"
#include "Core/Render/DX9/RenderDX9.h"
#include "Core/Render/ImageData.h"
#include "Core/Render/Shader.h"
#include "Platform/Gpu/RecordingDevice.h"
#include "support/HeadlessWindow.h"

#include <memory>
#include <string>
#include <vector>

namespace rendertest
{
// One decoded command: its opcode, its plain arguments (pointers as integers) and, for opcode 7,
// the indices of the variables it carries.
struct Command
{
    u32 opcode = 0;
    std::vector<u64> args;
    std::vector<u32> variables;
};

// Decodes the recording from position 0 up to the current write position.
std::vector<Command> Decode(render::CommandBuffer& buffer);
std::vector<Command> Only(const std::vector<Command>& commands, u32 opcode);
std::string Opcodes(const std::vector<Command>& commands);
// Pixels of a size x size frame that are not `colour` inside the rectangle or not `background`
// outside it.
int WrongPixels(const std::vector<u32>& pixels, i32 size, i32 x, i32 y, i32 w, i32 h, u32 colour, u32 background);

struct Harness
{
    explicit Harness(render::HeadlessWindow::Backend backend, u32 width = 64, u32 height = 64);
    bool Ok() const { return mInitResult == QL_OK; }

    render::HeadlessWindow mWindow;
    std::unique_ptr<render::RenderDX9> mRender;
    QLResultEnum mInitResult = QL_FAIL;
    gpu::RecordingDevice* Recording() const { return mWindow.GetRecordingDevice(); }
};

// Draws axis-aligned quads (two triangles each) through the caches, shaders and state records.
class QuadDrawer
{
public:
    explicit QuadDrawer(render::Render& render);
    // A solid quad with the geometry shader; coordinates are pixels of the target (y down), moved
    // by -0.5 as the drawing code does.
    QLResultEnum Fill(float x, float y, float w, float h, u32 argb);
    // A textured quad with the textured-multiply shader; uv 0..1 over the rectangle.
    QLResultEnum Image(float x, float y, float w, float h, render::Texture* texture);
    // Triangles with the geometry shader (pixel coordinates, no offset), `count` vertices.
    QLResultEnum Triangles(const float* xy, u32 count, u32 argb);

    render::RenderState mState;
    const math::Matrix4* mProjection = nullptr; // null: the render's

private:
    template <class V> QLResultEnum Submit(const V* vertices, u32 count, render::Shader* shader);
    render::Render& mRender;
};

// Texels as the decoder hands them: width x height ARGB values.
class PixelImage : public render::ImageData
{
public:
    PixelImage(u32 width, u32 height, std::vector<u32> pixels);
    QLResultEnum Load(base::Stream*, const std::wstring&) override { return QL_OK; }
    QLResultEnum CopyPixels(u32 pitch, u8* destination, render::HitMask& mask) override;
    std::vector<u32> mPixels; // alpha 10 and up is hit
};
} // namespace rendertest
