// Callbacks behind an abstract interface: free functions or member functions of an object.
// A member delegate whose object has been destroyed (the object derives from base::Trackable)
// or that was Reset does nothing and returns R().
#pragma once

#include "Core/Base/Trackable.h"

#include <memory>
#include <type_traits>
#include <utility>

namespace base
{
namespace detail
{
template <class R> R DefaultResult()
{
    if constexpr (!std::is_void_v<R>)
        return R();
}

// Watches the object's lifetime when it can be watched; otherwise only Reset stops the calls.
template <class T> class ObjectRef
{
public:
    explicit ObjectRef(T* object) : mObject(object)
    {
        if constexpr (std::is_base_of_v<Trackable, T>)
        {
            if (object)
            {
                mAlive = static_cast<const Trackable*>(object)->GetAliveToken();
                mTracked = true;
            }
        }
    }
    T* Get() const
    {
        if (!mObject || (mTracked && mAlive.expired()))
            return nullptr;
        return mObject;
    }
    T* Raw() const { return mObject; }
    void Reset()
    {
        mObject = nullptr;
        mAlive.reset();
    }

private:
    T* mObject;
    std::weak_ptr<const void> mAlive;
    bool mTracked = false;
};
} // namespace detail

// Common part of every delegate: what it calls.
class DelegateBase
{
public:
    virtual ~DelegateBase() = default;
    // The function of a static delegate, the object of a member delegate.
    virtual const void* GetTarget() const = 0;
    // The stored member function of a member delegate (its address); null for a static delegate.
    virtual const void* GetMethod() const = 0;
    // False once Reset, or when the object of a member delegate is gone.
    virtual bool IsValid() const = 0;
};

template <class R> class Delegate0 : public DelegateBase
{
public:
    virtual R Invoke() = 0;
};

template <class A, class R> class Delegate1 : public DelegateBase
{
public:
    virtual R Invoke(A a) = 0;
};

template <class A, class B, class R> class Delegate2 : public DelegateBase
{
public:
    virtual R Invoke(A a, B b) = 0;
};

// Free functions.
template <class Base, class R, class... Args> class StaticDelegateImpl : public Base
{
public:
    using Function = R (*)(Args...);
    explicit StaticDelegateImpl(Function function) : mFunction(function) {}
    const void* GetTarget() const override { return reinterpret_cast<const void*>(mFunction); }
    const void* GetMethod() const override { return nullptr; }
    bool IsValid() const override { return mFunction != nullptr; }
    void Reset() { mFunction = nullptr; }
    R Invoke(Args... args) override
    {
        if (!mFunction)
            return detail::DefaultResult<R>();
        return mFunction(std::forward<Args>(args)...);
    }

protected:
    Function mFunction;
};

template <class R> class StaticDelegate0 : public StaticDelegateImpl<Delegate0<R>, R>
{
public:
    using StaticDelegateImpl<Delegate0<R>, R>::StaticDelegateImpl;
};

template <class A, class R> class StaticDelegate1 : public StaticDelegateImpl<Delegate1<A, R>, R, A>
{
public:
    using StaticDelegateImpl<Delegate1<A, R>, R, A>::StaticDelegateImpl;
};

template <class A, class B, class R> class StaticDelegate2 : public StaticDelegateImpl<Delegate2<A, B, R>, R, A, B>
{
public:
    using StaticDelegateImpl<Delegate2<A, B, R>, R, A, B>::StaticDelegateImpl;
};

// Member functions, including those T inherits: the call goes through the class that declares
// the method, so a method of a secondary base runs on that base's subobject.
template <class T, class Base, class R, class... Args> class MemberDelegateImpl : public Base
{
public:
    using Method = R (T::*)(Args...);

    MemberDelegateImpl(T* object, Method method) : mObject(object), mMethod(method), mCall(&CallAs<T>) {}
    template <class U>
    requires(std::is_base_of_v<U, T> && !std::is_same_v<U, T>) MemberDelegateImpl(T* object, R (U::*method)(Args...))
        : mObject(object), mMethod(static_cast<Method>(method)), mCall(&CallAs<U>)
    {
    }

    const void* GetTarget() const override { return mObject.Raw(); }
    const void* GetMethod() const override { return mMethod ? &mMethod : nullptr; }
    bool IsValid() const override { return mMethod && mObject.Get(); }
    // Detaches from the object: later calls do nothing.
    void Reset() { mObject.Reset(); }

    R Invoke(Args... args) override
    {
        T* object = mObject.Get();
        if (!object || !mMethod)
            return detail::DefaultResult<R>();
        return mCall(object, mMethod, std::forward<Args>(args)...);
    }

private:
    template <class U> static R CallAs(T* object, Method method, Args... args)
    {
        U* self = object;
        return (self->*static_cast<R (U::*)(Args...)>(method))(std::forward<Args>(args)...);
    }

    detail::ObjectRef<T> mObject;
    Method mMethod;
    R (*mCall)(T*, Method, Args...);
};

template <class T, class R> class MemberDelegate0 : public MemberDelegateImpl<T, Delegate0<R>, R>
{
public:
    using MemberDelegateImpl<T, Delegate0<R>, R>::MemberDelegateImpl;
};

template <class T, class A, class R> class MemberDelegate1 : public MemberDelegateImpl<T, Delegate1<A, R>, R, A>
{
public:
    using MemberDelegateImpl<T, Delegate1<A, R>, R, A>::MemberDelegateImpl;
};

template <class T, class A, class B, class R>
class MemberDelegate2 : public MemberDelegateImpl<T, Delegate2<A, B, R>, R, A, B>
{
public:
    using MemberDelegateImpl<T, Delegate2<A, B, R>, R, A, B>::MemberDelegateImpl;
};
} // namespace base
