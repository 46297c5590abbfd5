// Shader programs on our device layer.
#include "Core/Render/Shaders/DX9/ShaderImplDX9.h"

#include "Core/Base/Log.h"
#include "Core/Base/StringConvert.h"
#include "Core/Render/DX9/RenderDX9.h"
#include "Core/Render/DX9/TextureDX9.h"
#include "Platform/Gpu/Device.h"

namespace render
{
ShaderImplDX9::ShaderImplDX9(RenderDX9* render) : ShaderImpl(render), mBackend(render) {}

ShaderImplDX9::~ShaderImplDX9()
{
    // Variables go later (the base destructor), but they hold no device objects.
    if (mProgram && GetDevice())
        GetDevice()->DestroyProgram(mProgram);
}

gpu::Device* ShaderImplDX9::GetDevice() const { return mBackend ? mBackend->GetDevice() : nullptr; }

void ShaderImplDX9::OnRenderDestroyed()
{
    if (mProgram && GetDevice())
        GetDevice()->DestroyProgram(mProgram);
    mProgram = 0;
    mBackend = nullptr;
    ShaderImpl::OnRenderDestroyed();
}

QLResultEnum ShaderImplDX9::Create(const std::string& vertexSource, const std::string& pixelSource)
{
    if (!GetDevice())
        return QL_FAIL;
    mVertexSource = vertexSource;
    mPixelSource = pixelSource;
    std::string messages;
    QLResultEnum result =
        GetDevice()->CreateProgram(vertexSource, "vertex_shader", pixelSource, "pixel_shader", &mProgram, &messages);
    // The compiler's messages are logged also when it fails: they are the only diagnosis.
    if (!messages.empty())
        QL_LOG(L"%s\n") << (result == QL_OK ? base::LogStyle::Default : base::LogStyle::Error)
                        << base::StringToWString(messages, 1);
    if (result != QL_OK)
        mProgram = 0;
    return result;
}

ShaderScalarVariableImpl* ShaderImplDX9::CreateScalarVariable(const std::string& name, u32 program)
{
    // A name the program lacks gives a variable that does nothing.
    return new ShaderScalarVariableImplDX9(this, program, name);
}

ShaderTextureVariableImpl* ShaderImplDX9::CreateTextureVariable(const std::string& name)
{
    i32 stage = GetDevice() ? GetDevice()->FindSampler(mProgram, name) : -1;
    if (stage < 0)
        return nullptr;
    return new ShaderTextureVariableImplDX9(this, name, static_cast<u32>(stage));
}

ShaderScalarVariableImplDX9::ShaderScalarVariableImplDX9(ShaderImplDX9* owner, u32 program, const std::string& name)
    : mOwner(owner), mProgram(program), mName(name),
      mHandle(owner->GetDevice() ? owner->GetDevice()->FindConstant(owner->GetProgram(), name) : -1)
{
}

QLResultEnum ShaderScalarVariableImplDX9::SetMatrix(const math::Matrix4* matrix)
{
    if (!matrix)
        return QL_OK;
    if (!mOwner->GetDevice())
        return QL_FAIL;
    return mOwner->GetDevice()->SetConstantMatrix(mOwner->GetProgram(), mHandle, matrix->m);
}

QLResultEnum ShaderScalarVariableImplDX9::SetVector(const math::Point4* vector)
{
    if (!vector)
        return QL_OK;
    if (!mOwner->GetDevice())
        return QL_FAIL;
    const float v[4] = {vector->x, vector->y, vector->z, vector->w};
    return mOwner->GetDevice()->SetConstantVector(mOwner->GetProgram(), mHandle, v);
}

QLResultEnum ShaderScalarVariableImplDX9::SetVector3(const float vector[3])
{
    if (!mOwner->GetDevice())
        return QL_FAIL;
    const float v[4] = {vector[0], vector[1], vector[2], 1.0f};
    return mOwner->GetDevice()->SetConstantVector(mOwner->GetProgram(), mHandle, v);
}

QLResultEnum ShaderScalarVariableImplDX9::SetVector2(const float vector[2])
{
    if (!mOwner->GetDevice())
        return QL_FAIL;
    const float v[4] = {vector[0], vector[1], 0.0f, 1.0f};
    return mOwner->GetDevice()->SetConstantVector(mOwner->GetProgram(), mHandle, v);
}

QLResultEnum ShaderScalarVariableImplDX9::SetFloat(float value)
{
    if (!mOwner->GetDevice())
        return QL_FAIL;
    return mOwner->GetDevice()->SetConstantFloat(mOwner->GetProgram(), mHandle, value);
}

ShaderTextureVariableImplDX9::ShaderTextureVariableImplDX9(ShaderImplDX9* owner, const std::string& name, u32 stage)
    : mOwner(owner), mName(name), mStage(stage)
{
}

QLResultEnum ShaderTextureVariableImplDX9::SetTexture(Texture* texture)
{
    if (!mOwner->GetDevice())
        return QL_FAIL;
    gpu::TextureId id = texture ? static_cast<TextureDX9*>(texture)->GetDeviceTexture() : 0;
    return mOwner->GetDevice()->SetTexture(mStage, id);
}
} // namespace render
