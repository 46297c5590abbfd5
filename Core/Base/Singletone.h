// Process-wide singletons, deleted at exit in dependency order.
#pragma once

#include <vector>

namespace base
{
class NoCopy
{
protected:
    NoCopy() = default;
    ~NoCopy() = default;

public:
    NoCopy(const NoCopy&) = delete;
    NoCopy& operator=(const NoCopy&) = delete;
};

class SingletoneBase : private NoCopy
{
public:
    SingletoneBase(); // registers this object (and the exit routine, on first use)
    virtual ~SingletoneBase();
    // Singletons this one uses: it is deleted before them.
    virtual std::vector<SingletoneBase*> GetDependencies() { return {}; }

    static void AddDependency(SingletoneBase* dependent, SingletoneBase* dependency);
    // Deletes every registered singleton in dependency order and empties the registry.
    // Runs at exit; tests call it to start from a clean slate.
    static void DestroyAll();
};

template <class T> class Singletone : public SingletoneBase
{
public:
    static T* Instance()
    {
        if (!sInstance)
            sInstance = new T();
        return sInstance;
    }
    static bool Exists() { return sInstance != nullptr; }

protected:
    Singletone() = default;
    ~Singletone() override
    {
        if (sInstance == this)
            sInstance = nullptr;
    }

private:
    static inline T* sInstance = nullptr;
};
} // namespace base
