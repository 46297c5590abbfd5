// The singleton registry and its exit routine.
#include "Core/Base/Singletone.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace base
{
namespace
{
struct Registry
{
    std::vector<SingletoneBase*> objects;
    std::vector<std::pair<SingletoneBase*, SingletoneBase*>> pairs;
};

Registry* gRegistry = nullptr;
bool gExitRegistered = false;

void ExitRoutine() { SingletoneBase::DestroyAll(); }

Registry& GetRegistry()
{
    if (!gRegistry)
    {
        gRegistry = new Registry();
        if (!gExitRegistered)
        {
            gExitRegistered = true;
            std::atexit(ExitRoutine);
        }
    }
    return *gRegistry;
}

size_t FindFirst(const std::vector<SingletoneBase*>& v, const SingletoneBase* s)
{
    return static_cast<size_t>(std::find(v.begin(), v.end(), s) - v.begin());
}

// One sweep: true when something was swapped.
bool Sweep(Registry& r)
{
    bool swapped = false;
    auto& v = r.objects;
    for (size_t i = 0; i < v.size() && !swapped; ++i)
    {
        if (!v[i])
            continue;
        for (SingletoneBase* d : v[i]->GetDependencies())
        {
            size_t j = FindFirst(v, d);
            if (j < i)
            {
                std::swap(v[i], v[j]);
                swapped = true;
                break;
            }
        }
    }
    for (auto& [a, b] : r.pairs)
    {
        size_t ia = FindFirst(v, a), ib = FindFirst(v, b);
        if (ia < v.size() && ib < v.size() && ib < ia)
        {
            std::swap(v[ia], v[ib]);
            swapped = true;
        }
    }
    return swapped;
}
} // namespace

SingletoneBase::SingletoneBase() { GetRegistry().objects.push_back(this); }

SingletoneBase::~SingletoneBase() = default;

void SingletoneBase::AddDependency(SingletoneBase* dependent, SingletoneBase* dependency)
{
    GetRegistry().pairs.emplace_back(dependent, dependency);
}

void SingletoneBase::DestroyAll()
{
    if (!gRegistry)
        return;
    Registry* r = gRegistry;
    // A dependency cycle would swap forever: cap the sweeps and delete in the order reached.
    const size_t n = r->objects.size();
    const size_t maxSweeps = n * n + 1;
    size_t sweeps = 0;
    while (Sweep(*r))
    {
        if (++sweeps > maxSweeps)
        {
            std::fputs("singletons: dependency cycle, deleting in registration order\n", stderr);
            break;
        }
    }
    // Singletons created while others are deleted register into the same vector and go last.
    while (!r->objects.empty())
    {
        SingletoneBase* s = r->objects.front();
        r->objects.erase(r->objects.begin());
        delete s;
    }
    gRegistry = nullptr;
    delete r;
}
} // namespace base
