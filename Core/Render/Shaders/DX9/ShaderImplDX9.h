// Shader programs on our device layer: compiled by entry points "vertex_shader" and
// "pixel_shader", constants found by name, samplers by their texture stage.
#pragma once

#include "Core/Render/DX9/DeviceNames.h"
#include "Core/Render/ShaderImpl.h"

#include <string>

namespace render
{
class RenderDX9;

class ShaderImplDX9 : public ShaderImpl
{
public:
    explicit ShaderImplDX9(RenderDX9* render);
    ~ShaderImplDX9() override;

    QLResultEnum Create(const std::string& vertexSource, const std::string& pixelSource);
    ShaderScalarVariableImpl* CreateScalarVariable(const std::string& name, u32 program) override;
    ShaderTextureVariableImpl* CreateTextureVariable(const std::string& name) override;

    gpu::ProgramId GetProgram() const { return mProgram; }
    RenderDX9* GetBackend() const { return mBackend; }
    // The device, or null once the render is gone.
    gpu::Device* GetDevice() const;
    void OnRenderDestroyed() override;

private:
    RenderDX9* mBackend;
    gpu::ProgramId mProgram = 0;
    std::string mVertexSource;
    std::string mPixelSource;
};

class ShaderScalarVariableImplDX9 : public ShaderScalarVariableImpl
{
public:
    ShaderScalarVariableImplDX9(ShaderImplDX9* owner, u32 program, const std::string& name);
    QLResultEnum SetMatrix(const math::Matrix4* matrix) override;
    QLResultEnum SetVector(const math::Point4* vector) override;
    QLResultEnum SetVector3(const float vector[3]) override;
    QLResultEnum SetVector2(const float vector[2]) override;
    QLResultEnum SetFloat(float value) override;
    bool IsFound() const { return mHandle >= 0; }
    // 0 the vertex program, 1 the pixel program (GL links both, so names are shared).
    u32 GetProgramKind() const { return mProgram; }
    const std::string& GetName() const { return mName; }

private:
    ShaderImplDX9* mOwner;
    u32 mProgram;
    std::string mName;
    i32 mHandle;
};

class ShaderTextureVariableImplDX9 : public ShaderTextureVariableImpl
{
public:
    ShaderTextureVariableImplDX9(ShaderImplDX9* owner, const std::string& name, u32 stage);
    QLResultEnum SetTexture(Texture* texture) override;
    u32 GetStage() const { return mStage; }

private:
    ShaderImplDX9* mOwner;
    std::string mName;
    u32 mStage;
};
} // namespace render
