// Shader variables: recorded into the command stream, replayed into the backend.
#include "Core/Render/ShaderImpl.h"

#include "Core/Render/CommandBuffer.h"
#include "Core/Render/Render.h"

#include <memory>
#include <utility>

namespace render
{
void ShaderVariable::SetChanged(bool changed)
{
    mChanged = changed;
    mOwner->SetVariablesChanged(true);
}

QLResultEnum ShaderScalarPointer<math::Matrix4, 1>::Record(CommandBuffer& stream)
{
    return stream.WritePointer(mValue) ? QL_OK : QL_FAIL;
}

QLResultEnum ShaderScalarPointer<math::Matrix4, 1>::Replay(CommandBuffer& stream)
{
    const math::Matrix4* value = nullptr;
    if (!stream.ReadPointer(value))
        return QL_FAIL;
    // The matrix is read now, at playback, not when it was recorded.
    return mImpl->SetMatrix(value);
}

void ShaderScalarPointer<math::Matrix4, 1>::Set(const math::Matrix4* value)
{
    if (value == mValue)
        return;
    mValue = value;
    SetChanged(true);
}

QLResultEnum ShaderScalarVariable<math::Point4, 1>::Record(CommandBuffer& stream)
{
    return stream.Write(&mValue, sizeof mValue) == sizeof mValue ? QL_OK : QL_FAIL;
}

QLResultEnum ShaderScalarVariable<math::Point4, 1>::Replay(CommandBuffer& stream)
{
    math::Point4 value;
    if (stream.Read(&value, sizeof value) != sizeof value)
        return QL_FAIL;
    return mImpl->SetVector(&value);
}

void ShaderScalarVariable<math::Point4, 1>::Set(const math::Point4& value)
{
    mValue = value;
    SetChanged(true);
}

QLResultEnum ShaderTextureVariable<1>::Record(CommandBuffer& stream)
{
    return stream.WritePointer(mTexture) ? QL_OK : QL_FAIL;
}

QLResultEnum ShaderTextureVariable<1>::Replay(CommandBuffer& stream)
{
    Texture* texture = nullptr;
    if (!stream.ReadPointer(texture))
        return QL_FAIL;
    return mImpl->SetTexture(texture);
}

void ShaderTextureVariable<1>::Set(Texture* texture)
{
    if (texture == mTexture)
        return;
    mTexture = texture;
    SetChanged(true);
}

ShaderImpl::ShaderImpl(Render* render) : mRender(render) { mRender->RegisterShaderImpl(this); }

ShaderImpl::~ShaderImpl()
{
    mVariables.clear();
    if (mRender)
        mRender->UnregisterShaderImpl(this);
}

QLResultEnum ShaderImpl::OnResetDevice()
{
    for (ShaderVariable* variable : mVariables)
        variable->SetChanged(true);
    return QL_OK;
}

QLResultEnum ShaderImpl::OnUnbind()
{
    for (ShaderVariable* variable : mVariables)
        variable->SetChanged(true);
    return QL_OK;
}

QLResultEnum ShaderImpl::AddVariable(ShaderVariable* variable)
{
    return AddVariable(std::unique_ptr<ShaderVariable>(variable));
}

QLResultEnum ShaderImpl::AddVariable(std::unique_ptr<ShaderVariable> variable)
{
    if (mVariables.size() >= 255)
        return QL_FAIL;
    mVariables.push_back(std::move(variable));
    return QL_OK;
}

QLResultEnum ShaderImpl::RecordVariables(CommandBuffer& stream)
{
    u8 count = 0;
    for (ShaderVariable* variable : mVariables)
        if (variable->IsChanged())
            ++count;
    if (!stream.WriteU8(count))
        return QL_FAIL;
    for (size_t i = 0; i < mVariables.size(); ++i)
    {
        if (!mVariables[i]->IsChanged())
            continue;
        if (!stream.WriteU8(static_cast<u8>(i)))
            return QL_FAIL;
        QLResultEnum result = mVariables[i]->Record(stream);
        if (result != QL_OK)
            return result;
    }
    // The variables keep their own flags: once changed, a variable goes with every later record.
    mVariablesChanged = false;
    return QL_OK;
}

QLResultEnum ShaderImpl::ReplayVariables(CommandBuffer& stream)
{
    u8 count = 0;
    if (!stream.ReadU8(count))
        return QL_FAIL;
    for (u8 i = 0; i < count; ++i)
    {
        u8 index = 0;
        if (!stream.ReadU8(index))
            return QL_FAIL;
        if (index >= mVariables.size())
            return QL_FAIL; // the value's size is unknown: the rest cannot be read
        QLResultEnum result = mVariables[index]->Replay(stream);
        if (result != QL_OK)
            return result;
    }
    return QL_OK;
}
} // namespace render
