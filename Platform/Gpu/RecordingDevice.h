// The headless twin of the GL device: keeps its calls as lines of text, hands out ids and can be
// told to fail a call, so the layers above are tested without a GPU. It also stands in for the GPU
// in a headless run of the whole program, so by default it keeps only what a frame needs.
#pragma once

#include "Platform/Gpu/Device.h"

#include <map>
#include <string>
#include <vector>

namespace gpu
{
class RecordingDevice : public Device
{
public:
    // What the device keeps of its calls. LastFrame: the frame presented last (up to and with its
    // Present) and the one being recorded, at most kMaxKeptCalls lines (the oldest go first), so
    // that a long run's memory stays flat. All: every call since the last ClearCalls, for tests
    // that count over many frames.
    enum class Keep
    {
        LastFrame,
        All,
    };
    static constexpr size_t kMaxKeptCalls = 1u << 16;

    RecordingDevice();
    explicit RecordingDevice(Keep keep) : RecordingDevice() { mKeep = keep; }

    void SetKeep(Keep keep) { mKeep = keep; }
    Keep GetKeep() const { return mKeep; }
    // The calls kept, one line each, e.g. "Draw Triangles 0 6"; oldest first.
    const std::vector<std::string>& Calls() const { return mCalls; }
    void ClearCalls();
    // Lines that start with the given prefix.
    std::vector<std::string> CallsStartingWith(const std::string& prefix) const;
    // The next call whose line starts with the prefix returns 1 (and is still recorded).
    void FailNext(const std::string& prefix) { mFailures.push_back(prefix); }
    Caps& MutableCaps() { return mCaps; }

    // Contents last given to a texture or buffer.
    const std::vector<u8>* TextureData(TextureId id) const;
    const std::vector<u8>* BufferData(BufferId id) const;
    size_t LiveTextures() const { return mTextures.size(); }
    void TextureMemory(size_t& count, size_t& bytes) const override
    {
        count = mTextures.size();
        bytes = 0;
        for (const auto& [id, texture] : mTextures)
            bytes += static_cast<size_t>(texture.width) * texture.height * 4;
    }
    size_t LiveBuffers() const { return mBuffers.size(); }
    size_t LivePrograms() const { return mPrograms.size(); }

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
    QLResultEnum BeginScene() override;
    QLResultEnum EndScene() override;
    QLResultEnum Present() override;
    QLResultEnum ReadPixels(TextureId target, i32 x, i32 y, i32 width, i32 height, std::vector<u32>* out) override;

    DeviceStatus TestStatus() override { return mStatus; }
    QLResultEnum Reset() override;
    void ForceStatus(DeviceStatus status) override { mStatus = status; }

private:
    struct Texture
    {
        u32 width, height;
        TextureFormat format;
        std::vector<u8> data;
    };
    struct Program
    {
        std::string vertexSource, pixelSource;
        std::vector<std::string> constants; // handle = index
    };
    QLResultEnum Note(const std::string& line);
    // Drops the calls before `count` (LastFrame keeping).
    void Forget(size_t count);

    Caps mCaps;
    u32 mWidth = 0;
    u32 mHeight = 0;
    u32 mNextId = 1;
    DeviceStatus mStatus = DeviceStatus::Ok;
    Keep mKeep = Keep::LastFrame;
    std::vector<std::string> mCalls;
    size_t mFrameStart = 0; // first kept call of the frame being recorded
    std::vector<std::string> mFailures;
    std::map<TextureId, Texture> mTextures;
    std::map<BufferId, std::vector<u8>> mBuffers;
    std::map<ProgramId, Program> mPrograms;
};

const char* ToString(Primitive type);
const char* ToString(BlendFactor factor);
const char* ToString(CullMode mode);
} // namespace gpu
