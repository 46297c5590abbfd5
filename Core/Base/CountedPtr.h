// A shared reference with a use count. The last release hands the object back: objects that
// derive from base::Destroyable (resources) go to their owner through Destroy, which also frees
// the count; anything else is deleted here together with its count.
#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

namespace base
{
// An object whose owner keeps its use count and decides its end (resources and their manager).
class Destroyable
{
public:
    virtual ~Destroyable() = default;
    // Called when the last counted reference goes.
    virtual void Destroy() = 0;
};

template <class T> class CountedPtr
{
public:
    CountedPtr() = default;
    CountedPtr(std::nullptr_t) {}
    // Takes ownership with a fresh count of 1 (no count for null).
    explicit CountedPtr(T* object) { Adopt(object); }
    // Joins an existing count (the owner's table entry) and increments it.
    CountedPtr(T* object, int* count) : mObject(object), mCount(object ? count : nullptr)
    {
        if (mCount)
            ++*mCount;
    }

    CountedPtr(const CountedPtr& other) : CountedPtr(other.mObject, other.mCount) {}
    CountedPtr(CountedPtr&& other) noexcept
        : mObject(std::exchange(other.mObject, nullptr)), mCount(std::exchange(other.mCount, nullptr))
    {
    }
    template <class U>
    requires std::is_convertible_v<U*, T*> CountedPtr(const CountedPtr<U>& other)
        : CountedPtr(other.Get(), other.GetCountPointer())
    {
        static_assert(std::is_base_of_v<Destroyable, U> == std::is_base_of_v<Destroyable, T>,
                      "a counted reference cannot change how its object is released");
    }

    ~CountedPtr() { Release(); }

    CountedPtr& operator=(const CountedPtr& other)
    {
        CountedPtr copy(other);
        Swap(copy);
        return *this;
    }
    CountedPtr& operator=(CountedPtr&& other) noexcept
    {
        CountedPtr moved(std::move(other));
        Swap(moved);
        return *this;
    }
    // Releases the old object and takes the new one with a fresh count.
    CountedPtr& operator=(T* object)
    {
        if (object != mObject)
        {
            Release();
            Adopt(object);
        }
        return *this;
    }
    CountedPtr& operator=(std::nullptr_t)
    {
        Release();
        return *this;
    }

    // Drops this reference; the last one releases the object. Leaves this reference empty.
    void Release()
    {
        T* object = std::exchange(mObject, nullptr);
        int* count = std::exchange(mCount, nullptr);
        if (!count)
            return;
        if (--*count < 1)
            Dispose(object, count);
    }

    void Swap(CountedPtr& other) noexcept
    {
        std::swap(mObject, other.mObject);
        std::swap(mCount, other.mCount);
    }

    T* Get() const { return mObject; }
    T* operator->() const { return mObject; }
    T& operator*() const { return *mObject; }
    explicit operator bool() const { return mObject != nullptr; }
    int UseCount() const { return mCount ? *mCount : 0; }
    int* GetCountPointer() const { return mCount; }

    friend bool operator==(const CountedPtr& a, const CountedPtr& b) { return a.mObject == b.mObject; }
    friend bool operator==(const CountedPtr& a, std::nullptr_t) { return a.mObject == nullptr; }

private:
    // Out of line: inlined, the delete misleads -Wuse-after-free about counts still shared.
    [[gnu::noinline]] static void Dispose(T* object, int* count)
    {
        if constexpr (std::is_base_of_v<Destroyable, T>)
            static_cast<Destroyable*>(object)->Destroy(); // the owner frees the count
        else
        {
            delete count;
            delete object;
        }
    }

    void Adopt(T* object)
    {
        static_assert(!std::is_base_of_v<Destroyable, T>,
                      "objects released through Destroy get their count from their owner");
        mObject = object;
        mCount = object ? new int(1) : nullptr;
    }

    T* mObject = nullptr;
    int* mCount = nullptr;
};
} // namespace base
