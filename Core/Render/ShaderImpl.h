// The backend shader program and its variables. Variables never touch the device when set: the
// renderer records the changed ones into the command stream and the player replays them.
#pragma once

#include "Core/Base/OwnedList.h"
#include "Core/Base/Types.h"
#include "Core/Render/Matrix4.h"

#include <memory>
#include <string>
#include <vector>

namespace render
{
class Render;
class Texture;
class CommandBuffer;
class ShaderImpl;

// Backend side of a scalar constant.
class ShaderScalarVariableImpl
{
public:
    virtual ~ShaderScalarVariableImpl() = default;
    virtual QLResultEnum SetMatrix(const math::Matrix4* matrix) = 0;
    virtual QLResultEnum SetVector(const math::Point4* vector) = 0;
    virtual QLResultEnum SetVector3(const float vector[3]) = 0;
    virtual QLResultEnum SetVector2(const float vector[2]) = 0;
    virtual QLResultEnum SetFloat(float value) = 0;
};

// Backend side of a sampler.
class ShaderTextureVariableImpl
{
public:
    virtual ~ShaderTextureVariableImpl() = default;
    virtual QLResultEnum SetTexture(Texture* texture) = 0;
};

class ShaderVariable
{
public:
    explicit ShaderVariable(ShaderImpl* owner) : mOwner(owner) {}
    virtual ~ShaderVariable() = default;
    virtual QLResultEnum Record(CommandBuffer& stream) = 0;
    virtual QLResultEnum Replay(CommandBuffer& stream) = 0;
    // The texture is being deleted: a variable holding it lets go.
    virtual void ForgetTexture(const Texture*) {}
    // Sets this variable's flag and, whatever the value, its shader's variables-changed flag.
    void SetChanged(bool changed);
    bool IsChanged() const { return mChanged; }

protected:
    ShaderImpl* mOwner;
    bool mChanged = true;
};

// A constant whose value is read through a pointer when the stream is played.
template <class T, int N> class ShaderScalarPointer;
template <> class ShaderScalarPointer<math::Matrix4, 1> : public ShaderVariable
{
public:
    // Takes the backend side over.
    ShaderScalarPointer(ShaderImpl* owner, ShaderScalarVariableImpl* impl) : ShaderVariable(owner), mImpl(impl) {}
    QLResultEnum Record(CommandBuffer& stream) override;
    QLResultEnum Replay(CommandBuffer& stream) override;
    // Flags the variable only when the pointer differs.
    void Set(const math::Matrix4* value);
    const math::Matrix4* Get() const { return mValue; }

private:
    std::unique_ptr<ShaderScalarVariableImpl> mImpl;
    const math::Matrix4* mValue = nullptr;
};

// A constant recorded by value.
template <class T, int N> class ShaderScalarVariable;
template <> class ShaderScalarVariable<math::Point4, 1> : public ShaderVariable
{
public:
    // Takes the backend side over.
    ShaderScalarVariable(ShaderImpl* owner, ShaderScalarVariableImpl* impl) : ShaderVariable(owner), mImpl(impl) {}
    QLResultEnum Record(CommandBuffer& stream) override;
    QLResultEnum Replay(CommandBuffer& stream) override;
    void Set(const math::Point4& value);
    const math::Point4& Get() const { return mValue; }

private:
    std::unique_ptr<ShaderScalarVariableImpl> mImpl;
    math::Point4 mValue;
};

template <int N> class ShaderTextureVariable;
template <> class ShaderTextureVariable<1> : public ShaderVariable
{
public:
    // Takes the backend side over.
    ShaderTextureVariable(ShaderImpl* owner, ShaderTextureVariableImpl* impl) : ShaderVariable(owner), mImpl(impl) {}
    QLResultEnum Record(CommandBuffer& stream) override;
    QLResultEnum Replay(CommandBuffer& stream) override;
    // Flags the variable only when the texture differs.
    void Set(Texture* texture);
    void ForgetTexture(const Texture* texture) override
    {
        if (mTexture == texture)
            mTexture = nullptr;
    }
    Texture* Get() const { return mTexture; }

private:
    std::unique_ptr<ShaderTextureVariableImpl> mImpl;
    Texture* mTexture = nullptr;
};

class ShaderImpl
{
public:
    explicit ShaderImpl(Render* render); // registers with the render
    virtual ~ShaderImpl();               // deletes the variables, unregisters
    ShaderImpl(const ShaderImpl&) = delete;
    ShaderImpl& operator=(const ShaderImpl&) = delete;

    virtual QLResultEnum OnResetDevice();
    virtual QLResultEnum OnLostDevice() { return QL_OK; }
    virtual QLResultEnum OnBind() { return QL_OK; }
    virtual QLResultEnum OnUnbind();
    // program 0: the vertex program, 1: the pixel program. Null when the backend cannot make one.
    virtual ShaderScalarVariableImpl* CreateScalarVariable(const std::string& name, u32 program) = 0;
    virtual ShaderTextureVariableImpl* CreateTextureVariable(const std::string& name) = 0;
    // The render is going away: release device objects now; later calls fail.
    virtual void OnRenderDestroyed() { mRender = nullptr; }

    // Takes ownership; the position is the variable's index in the stream. At most 255
    // variables, so that the count of changed ones fits its byte.
    QLResultEnum AddVariable(ShaderVariable* variable);
    QLResultEnum AddVariable(std::unique_ptr<ShaderVariable> variable);
    const base::OwnedList<ShaderVariable>& GetVariables() const { return mVariables; }
    QLResultEnum RecordVariables(CommandBuffer& stream);
    void ForgetTexture(const Texture* texture)
    {
        for (ShaderVariable* variable : mVariables)
            variable->ForgetTexture(texture);
    }
    QLResultEnum ReplayVariables(CommandBuffer& stream);
    bool AreVariablesChanged() const { return mVariablesChanged; }
    void SetVariablesChanged(bool changed) { mVariablesChanged = changed; }
    Render* GetRender() const { return mRender; }

protected:
    base::OwnedList<ShaderVariable> mVariables;
    Render* mRender;
    bool mVariablesChanged = true;
};
} // namespace render
