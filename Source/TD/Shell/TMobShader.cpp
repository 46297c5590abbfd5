// The mob shader's extra colour variable.
#include "Source/TD/Shell/TMobShader.h"

#include "Core/Base/Log.h"
#include "Core/Resource/ResourceManager.h"

void TMobShader::Destroy() { resource::ResourceManager::ReleaseResource<TMobShader>(this); }

QLResultEnum TMobShader::BindVariables()
{
    if (!mImpl)
        return QL_FAIL;
    render::ShaderScalarVariableImpl* impl = mImpl->CreateScalarVariable("color2", 1);
    if (!impl)
    {
        QL_LOG(L"Shader '%s' has no variable 'color2'\n") << base::LogStyle::Error << mName;
        return QL_FAIL;
    }
    auto* variable = new render::ShaderScalarVariable<math::Point4, 1>(mImpl, impl);
    // A refused variable is deleted by the implementation.
    if (QLResultEnum r = mImpl->AddVariable(variable))
        return r;
    mColor2 = variable;
    return ShaderTextured::BindVariables();
}

void TMobShader::SetColor2(const math::Point4& color)
{
    if (mColor2)
        mColor2->Set(color);
}
