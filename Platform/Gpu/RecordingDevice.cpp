// The recording device: one text line per call, the last frame's or all of them.
#include "Platform/Gpu/RecordingDevice.h"

#include "Platform/Gpu/Dxt.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace gpu
{
namespace
{
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...)
{
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}
} // namespace

const char* ToString(Primitive type)
{
    static const char* const names[] = {"Points", "Lines", "LineStrip", "Triangles", "TriangleStrip", "TriangleFan"};
    return names[static_cast<u32>(type) % 6];
}

const char* ToString(BlendFactor factor)
{
    static const char* const names[] = {"Zero", "One", "SrcAlpha", "InvSrcAlpha"};
    return names[static_cast<u32>(factor) % 4];
}

const char* ToString(CullMode mode)
{
    static const char* const names[] = {"None", "Clockwise", "CounterClockwise"};
    return names[static_cast<u32>(mode) % 3];
}

RecordingDevice::RecordingDevice()
{
    mCaps.maxTextureWidth = mCaps.maxTextureHeight = 4096;
    mCaps.maxPrimitiveCount = 0x00FFFFFF;
    mCaps.maxVertexIndex = 0xFFFFFFFF;
    mCaps.textureBlendStages = 8;
    mCaps.vertexShaderVersion = 0x300;
    mCaps.pixelShaderVersion = 0x300;
    mCaps.dxt[0] = mCaps.dxt[2] = mCaps.dxt[4] = true;
    mCaps.scissorTest = true;
}

std::vector<std::string> RecordingDevice::CallsStartingWith(const std::string& prefix) const
{
    std::vector<std::string> result;
    for (const std::string& call : mCalls)
        if (call.compare(0, prefix.size(), prefix) == 0)
            result.push_back(call);
    return result;
}

const std::vector<u8>* RecordingDevice::TextureData(TextureId id) const
{
    auto it = mTextures.find(id);
    return it == mTextures.end() ? nullptr : &it->second.data;
}

const std::vector<u8>* RecordingDevice::BufferData(BufferId id) const
{
    auto it = mBuffers.find(id);
    return it == mBuffers.end() ? nullptr : &it->second;
}

void RecordingDevice::ClearCalls()
{
    mCalls.clear();
    mFrameStart = 0;
}

void RecordingDevice::Forget(size_t count)
{
    count = std::min(count, mCalls.size());
    mCalls.erase(mCalls.begin(), mCalls.begin() + static_cast<std::ptrdiff_t>(count));
    mFrameStart = mFrameStart > count ? mFrameStart - count : 0;
}

QLResultEnum RecordingDevice::Note(const std::string& line)
{
    // A frame that never presents (a long load) still stays within the bound: its oldest half goes.
    if (mKeep == Keep::LastFrame && mCalls.size() >= kMaxKeptCalls)
        Forget(mCalls.size() / 2);
    mCalls.push_back(line);
    for (auto it = mFailures.begin(); it != mFailures.end(); ++it)
    {
        if (line.compare(0, it->size(), *it) == 0)
        {
            mFailures.erase(it);
            return QL_FAIL;
        }
    }
    return QL_OK;
}

QLResultEnum RecordingDevice::Init(u32 width, u32 height)
{
    mWidth = width;
    mHeight = height;
    return Note(Format("Init %u %u", width, height));
}

QLResultEnum RecordingDevice::ResizeBackBuffer(u32 width, u32 height)
{
    if (width == 0 || height == 0)
        return QL_FAIL;
    mWidth = width;
    mHeight = height;
    return Note(Format("ResizeBackBuffer %u %u", width, height));
}

QLResultEnum RecordingDevice::CreateTexture(u32 width, u32 height, TextureFormat format, TextureUsage usage,
                                            TextureId* out)
{
    QLResultEnum result =
        Note(Format("CreateTexture %u %u %u %u", width, height, static_cast<u32>(format), static_cast<u32>(usage)));
    if (result != QL_OK || width == 0 || height == 0 || width > mCaps.maxTextureWidth ||
        height > mCaps.maxTextureHeight)
        return QL_FAIL;
    *out = mNextId++;
    mTextures[*out] = Texture{width, height, format, {}};
    return QL_OK;
}

QLResultEnum RecordingDevice::UpdateTexture(TextureId id, const void* data, u32 pitch)
{
    QLResultEnum result = Note(Format("UpdateTexture %u %u", id, pitch));
    auto it = mTextures.find(id);
    if (result != QL_OK || it == mTextures.end() || !data)
        return QL_FAIL;
    Texture& texture = it->second;
    // Kept as ARGB pixels, rows packed, whatever the format.
    std::vector<u32> pixels;
    if (texture.format == TextureFormat::ARGB8)
    {
        if (pitch < texture.width * 4)
            return QL_FAIL;
        pixels.resize(static_cast<size_t>(texture.width) * texture.height);
        for (u32 y = 0; y < texture.height; ++y)
            std::memcpy(&pixels[static_cast<size_t>(y) * texture.width], static_cast<const u8*>(data) + y * pitch,
                        texture.width * 4);
    }
    else
        DecodeDxt(texture.format, texture.width, texture.height, static_cast<const u8*>(data), pitch, &pixels);
    texture.data.resize(pixels.size() * 4);
    std::memcpy(texture.data.data(), pixels.data(), texture.data.size());
    return QL_OK;
}

void RecordingDevice::DestroyTexture(TextureId id)
{
    (void)Note(Format("DestroyTexture %u", id));
    mTextures.erase(id);
}

QLResultEnum RecordingDevice::CreateBuffer(BufferKind kind, u32 size, bool dynamic, BufferId* out)
{
    QLResultEnum result =
        Note(Format("CreateBuffer %s %u %d", kind == BufferKind::Vertex ? "Vertex" : "Index", size, dynamic ? 1 : 0));
    if (result != QL_OK || size == 0)
        return QL_FAIL;
    *out = mNextId++;
    mBuffers[*out].assign(size, 0);
    return QL_OK;
}

QLResultEnum RecordingDevice::UpdateBuffer(BufferId id, const void* data, u32 offset, u32 size)
{
    QLResultEnum result = Note(Format("UpdateBuffer %u %u %u", id, offset, size));
    auto it = mBuffers.find(id);
    if (result != QL_OK || it == mBuffers.end() || offset > it->second.size() || size > it->second.size() - offset)
        return QL_FAIL;
    if (size)
        std::memcpy(it->second.data() + offset, data, size);
    return QL_OK;
}

void RecordingDevice::DestroyBuffer(BufferId id)
{
    (void)Note(Format("DestroyBuffer %u", id));
    mBuffers.erase(id);
}

QLResultEnum RecordingDevice::CreateProgram(const std::string& vertexSource, const std::string& vertexEntry,
                                            const std::string& pixelSource, const std::string& pixelEntry,
                                            ProgramId* out, std::string* messages)
{
    QLResultEnum result = Note("CreateProgram " + vertexEntry + " " + pixelEntry);
    // Stands in for the compiler: a program must define both entry points.
    if (result != QL_OK || vertexSource.find(vertexEntry) == std::string::npos ||
        pixelSource.find(pixelEntry) == std::string::npos)
    {
        if (messages)
            messages->append("entry point not found\n");
        return QL_FAIL;
    }
    *out = mNextId++;
    mPrograms[*out] = Program{vertexSource, pixelSource, {}};
    return QL_OK;
}

void RecordingDevice::DestroyProgram(ProgramId id)
{
    (void)Note(Format("DestroyProgram %u", id));
    mPrograms.erase(id);
}

i32 RecordingDevice::FindConstant(ProgramId id, const std::string& name)
{
    // A constant exists when its name appears as a word in either source.
    auto it = mPrograms.find(id);
    if (it == mPrograms.end())
        return -1;
    auto hasWord = [&name](const std::string& text)
    {
        for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1))
        {
            auto isWord = [](char c) { return c == '_' || std::isalnum(static_cast<unsigned char>(c)); };
            bool before = at == 0 || !isWord(text[at - 1]);
            bool after = at + name.size() >= text.size() || !isWord(text[at + name.size()]);
            if (before && after)
                return true;
        }
        return false;
    };
    Program& program = it->second;
    if (!hasWord(program.vertexSource) && !hasWord(program.pixelSource))
        return -1;
    auto found = std::find(program.constants.begin(), program.constants.end(), name);
    if (found != program.constants.end())
        return static_cast<i32>(found - program.constants.begin());
    program.constants.push_back(name);
    return static_cast<i32>(program.constants.size() - 1);
}

i32 RecordingDevice::FindSampler(ProgramId id, const std::string& name)
{
    auto it = mPrograms.find(id);
    if (it == mPrograms.end() || it->second.pixelSource.find("sampler2D " + name) == std::string::npos)
        return -1;
    return 0;
}

QLResultEnum RecordingDevice::SetConstantMatrix(ProgramId program, i32 constant, const float m[16])
{
    return Note(Format("SetConstantMatrix %u %d %g %g %g %g", program, constant, m[0], m[5], m[12], m[13]));
}

QLResultEnum RecordingDevice::SetConstantVector(ProgramId program, i32 constant, const float v[4])
{
    return Note(Format("SetConstantVector %u %d %g %g %g %g", program, constant, v[0], v[1], v[2], v[3]));
}

QLResultEnum RecordingDevice::SetConstantFloat(ProgramId program, i32 constant, float value)
{
    return Note(Format("SetConstantFloat %u %d %g", program, constant, value));
}

QLResultEnum RecordingDevice::SetRenderTarget(TextureId target) { return Note(Format("SetRenderTarget %u", target)); }

QLResultEnum RecordingDevice::SetProgram(ProgramId program) { return Note(Format("SetProgram %u", program)); }

QLResultEnum RecordingDevice::SetTexture(u32 stage, TextureId texture)
{
    return Note(Format("SetTexture %u %u", stage, texture));
}

QLResultEnum RecordingDevice::SetVertexLayout(const VertexLayout& layout)
{
    return Note(Format("SetVertexLayout %u %zu", layout.stride, layout.attributes.size()));
}

QLResultEnum RecordingDevice::SetVertexBuffer(BufferId buffer) { return Note(Format("SetVertexBuffer %u", buffer)); }

QLResultEnum RecordingDevice::SetIndexBuffer(BufferId buffer, u32 indexSize)
{
    return Note(Format("SetIndexBuffer %u %u", buffer, indexSize));
}

QLResultEnum RecordingDevice::SetBlend(const BlendState& blend)
{
    if (!blend.enabled)
        return Note("SetBlend Off");
    return Note(Format("SetBlend %s %s %s %s", ToString(blend.src), ToString(blend.dst), ToString(blend.srcAlpha),
                       ToString(blend.dstAlpha)));
}

QLResultEnum RecordingDevice::SetScissorEnabled(bool enabled)
{
    return Note(Format("SetScissorEnabled %d", enabled ? 1 : 0));
}

QLResultEnum RecordingDevice::SetScissorRect(i32 x, i32 y, i32 width, i32 height)
{
    return Note(Format("SetScissorRect %d %d %d %d", x, y, width, height));
}

QLResultEnum RecordingDevice::SetDepth(bool test, bool write)
{
    return Note(Format("SetDepth %d %d", test ? 1 : 0, write ? 1 : 0));
}

QLResultEnum RecordingDevice::SetCull(CullMode mode) { return Note(std::string("SetCull ") + ToString(mode)); }

QLResultEnum RecordingDevice::Clear(u32 flags, u32 colour, float depth, u32 stencil)
{
    return Note(Format("Clear %u %08X %g %u", flags, colour, depth, stencil));
}

QLResultEnum RecordingDevice::Draw(Primitive type, u32 firstVertex, u32 vertexCount)
{
    return Note(Format("Draw %s %u %u", ToString(type), firstVertex, vertexCount));
}

QLResultEnum RecordingDevice::DrawIndexed(Primitive type, u32 firstIndex, u32 indexCount, u32 minVertex,
                                          u32 vertexCount)
{
    return Note(Format("DrawIndexed %s %u %u %u %u", ToString(type), firstIndex, indexCount, minVertex, vertexCount));
}

QLResultEnum RecordingDevice::BeginScene() { return Note("BeginScene"); }
QLResultEnum RecordingDevice::EndScene() { return Note("EndScene"); }
QLResultEnum RecordingDevice::Present()
{
    const QLResultEnum result = Note("Present");
    // The frame before the one just presented is no longer needed.
    if (mKeep == Keep::LastFrame)
    {
        Forget(mFrameStart);
        mFrameStart = mCalls.size();
    }
    return result;
}

QLResultEnum RecordingDevice::ReadPixels(TextureId target, i32 x, i32 y, i32 width, i32 height, std::vector<u32>* out)
{
    // Nothing is drawn here: only the contents last uploaded to a texture can be read.
    auto it = mTextures.find(target);
    if (it == mTextures.end() || x < 0 || y < 0 || width <= 0 || height <= 0 ||
        static_cast<u32>(x + width) > it->second.width || static_cast<u32>(y + height) > it->second.height ||
        it->second.data.empty())
        return QL_FAIL;
    out->assign(static_cast<size_t>(width) * height, 0);
    const u32* pixels = reinterpret_cast<const u32*>(it->second.data.data());
    for (i32 row = 0; row < height; ++row)
        for (i32 column = 0; column < width; ++column)
            (*out)[static_cast<size_t>(row) * width + column] =
                pixels[static_cast<size_t>(y + row) * it->second.width + x + column];
    return QL_OK;
}

QLResultEnum RecordingDevice::Reset()
{
    QLResultEnum result = Note("Reset");
    if (result != QL_OK || mStatus == DeviceStatus::Lost)
        return QL_FAIL;
    mStatus = DeviceStatus::Ok;
    return QL_OK;
}
} // namespace gpu
