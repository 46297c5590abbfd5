// Test helpers for the renderer.
#include "RenderTestSupport.h"

#include "Core/Render/CommandBuffer.h"
#include "Core/Render/ShaderImpl.h"

#include <cstring>

namespace rendertest
{
namespace
{
// Arguments by opcode: 'u' a u32, 'p' a pointer, 'b' a byte, '?' a byte when the one before is set.
const char* const kLayouts[] = {"uuuuuuu", "",  "",  "",     "p",  "", "p",   "pb",     "u", "p",
                                "p",       "u", "b", "uuuu", "b?", "", "uuu", "uuuuuu", ""};

template <class T> void ReadArg(render::CommandBuffer& buffer, Command& c)
{
    T value = 0;
    buffer.Read(&value, sizeof value);
    c.args.push_back(value);
}
} // namespace

std::vector<Command> Decode(render::CommandBuffer& buffer)
{
    std::vector<Command> result;
    const u32 end = buffer.GetPosition();
    buffer.Rewind();
    while (buffer.GetPosition() < end)
    {
        Command c;
        if (buffer.Read(&c.opcode, sizeof c.opcode) != sizeof c.opcode)
            break;
        for (const char* kind = c.opcode < std::size(kLayouts) ? kLayouts[c.opcode] : ""; *kind; ++kind)
        {
            if (*kind == 'u')
                ReadArg<u32>(buffer, c);
            else if (*kind == 'p')
                ReadArg<u64>(buffer, c);
            else if (*kind == 'b' || c.args.back())
                ReadArg<u8>(buffer, c);
        }
        // Each variable: its index, then a 16-byte vector or a pointer to the value.
        if (c.opcode == render::CMD_SET_VARIABLES)
        {
            auto* shader = reinterpret_cast<render::ShaderImpl*>(static_cast<uintptr_t>(c.args[0]));
            for (u64 i = 0; i < c.args[1]; ++i)
            {
                u8 index = 0;
                buffer.Read(&index, 1);
                c.variables.push_back(index);
                if (dynamic_cast<render::ShaderScalarVariable<math::Point4, 1>*>(shader->GetVariables()[index]))
                    buffer.Seek(16, 1);
                else
                    ReadArg<u64>(buffer, c);
            }
        }
        result.push_back(c);
    }
    buffer.Seek(static_cast<i32>(end), 0);
    return result;
}

std::vector<Command> Only(const std::vector<Command>& commands, u32 opcode)
{
    std::vector<Command> result;
    for (const Command& c : commands)
        if (c.opcode == opcode)
            result.push_back(c);
    return result;
}

std::string Opcodes(const std::vector<Command>& commands)
{
    std::string text;
    for (const Command& c : commands)
        text += (text.empty() ? "" : " ") + std::to_string(c.opcode);
    return text;
}

int WrongPixels(const std::vector<u32>& pixels, i32 size, i32 x, i32 y, i32 w, i32 h, u32 colour, u32 background)
{
    int wrong = 0;
    for (i32 i = 0; i < size * size; ++i)
    {
        const i32 column = i % size, row = i / size;
        const bool inside = column >= x && column < x + w && row >= y && row < y + h;
        wrong += pixels.at(static_cast<size_t>(i)) != (inside ? colour : background);
    }
    return wrong;
}

Harness::Harness(render::HeadlessWindow::Backend backend, u32 width, u32 height)
    : mWindow(backend), mRender(std::make_unique<render::RenderDX9>())
{
    mRender->SetLostSleep(0);
    if (!mWindow.IsAvailable())
        return;
    render::RenderInitParam param;
    param.mWidth = width;
    param.mHeight = height;
    mInitResult = mRender->InitRender(&mWindow, param);
}

QuadDrawer::QuadDrawer(render::Render& render) : mRender(render) {}

template <class V> QLResultEnum QuadDrawer::Submit(const V* vertices, u32 count, render::Shader* shader)
{
    auto* cache = static_cast<render::BufferDoubleCache<render::VertexBuffer<V>>*>(
        mRender.GetVertexCache(render::GetVertexFormat<V>().mId));
    u32 start = 0;
    render::CacheChunk chunk;
    QLResultEnum result = cache->Allocate(count, &start, &chunk);
    if (result != QL_OK)
        return result;
    std::memcpy(chunk.mData, vertices, sizeof(V) * count);
    (void)shader->SetProjection(mProjection ? mProjection : mRender.GetProjectionPointer());
    mState.mShader = shader->GetImpl();
    mState.mVertexBuffer = chunk.mBuffer;
    if ((result = mRender.ApplyState(&mState, true)) != QL_OK)
        return result;
    return mRender.Draw(render::PRIM_TRIANGLELIST, start, count / 3);
}

QLResultEnum QuadDrawer::Fill(float x, float y, float w, float h, u32 argb)
{
    const float x0 = x - 0.5f, y0 = y - 0.5f, x1 = x + w - 0.5f, y1 = y + h - 0.5f;
    // Clockwise on screen, as the engine's quads are.
    const float xy[12] = {x0, y0, x1, y0, x1, y1, x0, y0, x1, y1, x0, y1};
    return Triangles(xy, 6, argb);
}

QLResultEnum QuadDrawer::Triangles(const float* xy, u32 count, u32 argb)
{
    std::vector<render::SVertexGeom> v(count);
    for (u32 i = 0; i < count; ++i)
        v[i] = {xy[2 * i], xy[2 * i + 1], 0, argb};
    render::Shader* shader = nullptr;
    (void)mRender.GetShaderGeom(&shader);
    return Submit(v.data(), count, shader);
}

QLResultEnum QuadDrawer::Image(float x, float y, float w, float h, render::Texture* texture)
{
    const float x0 = x - 0.5f, y0 = y - 0.5f, x1 = x + w - 0.5f, y1 = y + h - 0.5f;
    const u32 white = 0xFFFFFFFF;
    const render::SVertex2D v[6] = {{x0, y0, 0, 1, white, 0, 0, 0}, {x1, y0, 0, 1, white, 0, 1, 0},
                                    {x1, y1, 0, 1, white, 0, 1, 1}, {x0, y0, 0, 1, white, 0, 0, 0},
                                    {x1, y1, 0, 1, white, 0, 1, 1}, {x0, y1, 0, 1, white, 0, 0, 1}};
    render::ShaderTextured* shader = nullptr;
    (void)mRender.GetShaderTexturedMult(&shader);
    (void)shader->SetTexture(texture);
    return Submit(v, 6, shader);
}

PixelImage::PixelImage(u32 width, u32 height, std::vector<u32> pixels) : mPixels(std::move(pixels))
{
    mWidth = static_cast<i32>(width);
    mHeight = static_cast<i32>(height);
    mBytesPerPixel = 4;
}

QLResultEnum PixelImage::CopyPixels(u32 pitch, u8* destination, render::HitMask& mask)
{
    for (i32 y = 0; y < mHeight; ++y)
    {
        std::memcpy(destination + static_cast<size_t>(y) * pitch, &mPixels[static_cast<size_t>(y) * mWidth],
                    static_cast<size_t>(mWidth) * 4);
        for (i32 x = 0; x < mWidth; ++x)
            if ((mPixels[static_cast<size_t>(y) * mWidth + x] >> 24) >= 10)
                mask[static_cast<size_t>(y) * mWidth + x] = true;
    }
    return QL_OK;
}
} // namespace rendertest
