// Shaders as named resources over a backend program: the projection constant "Proj" and, for
// textured shaders, the sampler "TextureSampler".
#pragma once

#include "Core/Render/Render.h"
#include "Core/Render/ShaderImpl.h"
#include "Core/Resource/Resource.h"
#include "Core/Resource/ResourceManager.h"

#include <memory>
#include <string>

namespace render
{
class Render;
class Image;

class Shader : public resource::Resource
{
public:
    Shader();
    ~Shader() override;

    // Hands the shader back to the resource manager's shader table.
    void Destroy() override;
    // Reads name + "VS.hlsl" and name + "PS.hlsl", compiles them and binds the variables.
    QLResultEnum DoLoad() override;
    QLResultEnum DoUnLoad() override;
    virtual QLResultEnum BindVariables();

    QLResultEnum SetRender(Render* render);
    // Takes over an implementation (the built-in shaders).
    void SetImpl(ShaderImpl* impl);
    void SetLoaded(bool loaded) { mLoaded = loaded; }
    QLResultEnum SetProjection(const math::Matrix4* projection);
    ShaderImpl* GetImpl() const { return mImpl; }
    ShaderScalarPointer<math::Matrix4, 1>* GetProjectionVariable() const { return mProjection; }

protected:
    // Forgets the variables (owned by the implementation, which is going away).
    virtual void ForgetVariables() { mProjection = nullptr; }
    // Lets the implementation go once the recorded frame no longer needs it.
    void ReleaseImpl();

    Render* mRender = nullptr;
    ShaderImpl* mImpl = nullptr; // owned (below); shaders of the game read it
    std::string mProjectionName = "Proj";
    ShaderScalarPointer<math::Matrix4, 1>* mProjection = nullptr;

private:
    std::unique_ptr<ShaderImpl> mOwnedImpl;
};

class ShaderTextured : public Shader
{
public:
    // Its table is the textured shaders', not the shaders'.
    void Destroy() override;
    QLResultEnum BindVariables() override;
    // Flags the sampler only when the texture differs.
    QLResultEnum SetTexture(Texture* texture);
    ShaderTextureVariable<1>* GetSamplerVariable() const { return mSampler; }

protected:
    void ForgetVariables() override
    {
        Shader::ForgetVariables();
        mSampler = nullptr;
    }

    std::string mSamplerName = "TextureSampler";
    ShaderTextureVariable<1>* mSampler = nullptr;
};

template <class T> QLResultEnum Render::LoadShader(const std::wstring& name, base::CountedPtr<T>* out)
{
    base::CountedPtr<T> shader = resource::ResourceManager::Instance()->Get<T>(name);
    if (!shader)
        return QL_FAIL;
    QLResultEnum result = shader->SetRender(this);
    if (result == QL_OK)
        result = shader->Load();
    if (result == QL_OK)
        *out = shader;
    return result;
}
} // namespace render
