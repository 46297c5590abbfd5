// Shader resources: file loading and variable binding.
#include "Core/Render/Shader.h"

#include "Core/Base/Log.h"
#include "Core/File/ReadFile.h"
#include "Core/Render/Render.h"
#include "Core/Resource/ResourceManager.h"

#include <memory>
#include <utility>

namespace render
{
Shader::Shader() = default;

Shader::~Shader() = default;

void Shader::SetImpl(ShaderImpl* impl)
{
    mOwnedImpl.reset(impl);
    mImpl = impl;
}

void Shader::Destroy() { resource::ResourceManager::ReleaseResource<Shader>(this); }

QLResultEnum Shader::SetRender(Render* render)
{
    if (!render)
        return QL_FAIL;
    mRender = render;
    return QL_OK;
}

QLResultEnum Shader::DoLoad()
{
    if (!mRender)
    {
        QL_LOG(L"Shader '%s' has no renderer\n") << base::LogStyle::Error << mName;
        return QL_FAIL;
    }
    // A missing file gives empty text, and the compilation then fails.
    std::string vertex = file::ReadFile(mName + L"VS.hlsl");
    std::string pixel = file::ReadFile(mName + L"PS.hlsl");
    ShaderImpl* impl = nullptr;
    QLResultEnum result = mRender->CreateShader(vertex, pixel, &impl);
    if (result != QL_OK)
    {
        QL_LOG(L"Cannot create shader '%s'\n") << base::LogStyle::Error << mName;
        return result;
    }
    ReleaseImpl();
    SetImpl(impl);
    result = BindVariables();
    if (result != QL_OK)
    {
        SetImpl(nullptr);
        ForgetVariables();
    }
    return result;
}

QLResultEnum Shader::DoUnLoad()
{
    ReleaseImpl();
    return QL_OK;
}

void Shader::ReleaseImpl()
{
    // The frame being recorded may name the program and its variables: they go after its playback.
    // The implementation knows whether its render still exists.
    Render* render = mImpl ? mImpl->GetRender() : nullptr;
    if (render)
        render->DeleteAfterPlayback(mOwnedImpl.release());
    SetImpl(nullptr);
    ForgetVariables();
}

QLResultEnum Shader::BindVariables()
{
    if (!mImpl)
        return QL_FAIL;
    ShaderScalarVariableImpl* impl = mImpl->CreateScalarVariable(mProjectionName, 0);
    if (!impl)
        return QL_FAIL;
    auto variable = std::make_unique<ShaderScalarPointer<math::Matrix4, 1>>(mImpl, impl);
    ShaderScalarPointer<math::Matrix4, 1>* projection = variable.get();
    QLResultEnum result = mImpl->AddVariable(std::move(variable));
    if (result != QL_OK)
        return result;
    mProjection = projection;
    return QL_OK;
}

QLResultEnum Shader::SetProjection(const math::Matrix4* projection)
{
    if (mProjection)
        mProjection->Set(projection);
    return QL_OK;
}

void ShaderTextured::Destroy() { resource::ResourceManager::ReleaseResource<ShaderTextured>(this); }

QLResultEnum ShaderTextured::BindVariables()
{
    QLResultEnum result = Shader::BindVariables();
    if (result != QL_OK)
        return result;
    ShaderTextureVariableImpl* impl = mImpl->CreateTextureVariable(mSamplerName);
    if (!impl)
    {
        QL_LOG(L"Shader '%s' has no sampler 'TextureSampler'\n") << base::LogStyle::Error << mName;
        return QL_FAIL;
    }
    auto variable = std::make_unique<ShaderTextureVariable<1>>(mImpl, impl);
    ShaderTextureVariable<1>* sampler = variable.get();
    result = mImpl->AddVariable(std::move(variable));
    if (result != QL_OK)
        return result;
    mSampler = sampler;
    return QL_OK;
}

QLResultEnum ShaderTextured::SetTexture(Texture* texture)
{
    if (mSampler)
        mSampler->Set(texture);
    return QL_OK;
}
} // namespace render
