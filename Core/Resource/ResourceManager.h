// Resources shared by name: one table per kind from name to (object, use count).
#pragma once

#include "Core/Base/CountedPtr.h"
#include "Core/Base/Log.h"
#include "Core/Base/OwnedList.h"
#include "Core/Base/Singletone.h"
#include "Core/Resource/Resource.h"

#include <map>
#include <memory>
#include <string>
#include <typeindex>
#include <unordered_map>
#include <utility>
#include <vector>

namespace resource
{
class Destroyer
{
public:
    virtual ~Destroyer() = default;
};

// Owns one kind's table. Destroying it frees the entries, not the objects: objects still
// referenced at exit are left alone, since their references may still be released later.
template <class T> class MapDestroyer : public Destroyer
{
public:
    // Name (exact comparison) -> (object, count shared by its counted references).
    using Map = std::map<std::wstring, std::pair<T*, int*>>;
    Map& GetMap() { return mMap; }

private:
    Map mMap;
};

class ResourceManager : public base::Singletone<ResourceManager>
{
public:
    ResourceManager() = default;
    ~ResourceManager() override; // deletes the destroyers in creation order

    // The kind's table, created (with its destroyer) on first use.
    template <class T> typename MapDestroyer<T>::Map& GetMap();

    // A counted reference to the named object, created and initialised (not loaded) when the
    // name is new; empty when its init fails.
    template <class T> base::CountedPtr<T> Get(const std::wstring& name);

    // Hands an object back: unloads it when loaded (a failure is returned and the entry stays),
    // then deletes it and its count and drops the name. 0 also when the object is not listed.
    template <class T> QLResultEnum Destroy(T* object);

    // What a kind's Destroy calls. Once the manager is gone (at exit) the object is left alone.
    template <class T> static void ReleaseResource(T* object)
    {
        if (Exists())
            (void)Instance()->Destroy<T>(object);
    }

private:
    base::OwnedList<Destroyer> mDestroyers; // emptied front to back
    std::unordered_map<std::type_index, Destroyer*> mByKind;
};

template <class T> typename MapDestroyer<T>::Map& ResourceManager::GetMap()
{
    auto found = mByKind.find(std::type_index(typeid(T)));
    if (found != mByKind.end())
        return static_cast<MapDestroyer<T>*>(found->second)->GetMap();
    auto owned = std::make_unique<MapDestroyer<T>>();
    MapDestroyer<T>* destroyer = owned.get();
    mDestroyers.push_back(std::move(owned));
    mByKind.emplace(std::type_index(typeid(T)), destroyer);
    return destroyer->GetMap();
}

template <class T> base::CountedPtr<T> ResourceManager::Get(const std::wstring& name)
{
    auto& map = GetMap<T>();
    auto found = map.find(name);
    if (found != map.end())
        return base::CountedPtr<T>(found->second.first, found->second.second);

    auto object = std::make_unique<T>();
    const QLResultEnum result = object->Init(name);
    if (result != QL_OK)
    {
        QL_LOG(L"Cannot init resource '%s' (%d)\n") << base::LogStyle::Error << name << static_cast<int>(result);
        return base::CountedPtr<T>();
    }
    T* raw = object.release();
    int* count = new int(0);
    map.emplace(name, std::make_pair(raw, count));
    return base::CountedPtr<T>(raw, count);
}

template <class T> QLResultEnum ResourceManager::Destroy(T* object)
{
    auto& map = GetMap<T>();
    for (auto it = map.begin(); it != map.end(); ++it)
    {
        if (it->second.first != object)
            continue;
        if (object->IsLoaded())
        {
            const QLResultEnum result = object->UnLoad();
            if (result != QL_OK)
                return result;
        }
        int* count = it->second.second;
        map.erase(it);
        delete object;
        delete count;
        return QL_OK;
    }
    return QL_OK;
}
} // namespace resource
