// A named, shared media object that is loaded and unloaded explicitly.
#pragma once

#include "Core/Base/CountedPtr.h"
#include "Core/Base/Types.h"

#include <string>

namespace resource
{
// Kinds implement Destroy as ResourceManager::ReleaseResource<Kind>(this), which hands the
// object back to its table when the last counted reference goes.
class Resource : public base::Destroyable
{
public:
    Resource() = default;
    ~Resource() override = default;
    Resource(const Resource&) = delete;
    Resource& operator=(const Resource&) = delete;

    // Stores the name, then runs the kind's init hook.
    QLResultEnum Init(const std::wstring& name);
    // Loading twice (or unloading twice) only logs and returns 0. A failure of the kind's
    // DoLoad or DoUnLoad is returned unchanged and leaves the loaded flag as it was.
    QLResultEnum Load();
    QLResultEnum UnLoad();

    const std::wstring& GetName() const { return mName; }
    bool IsLoaded() const { return mLoaded; }

    virtual QLResultEnum DoLoad() = 0;
    virtual QLResultEnum DoUnLoad() = 0;

protected:
    // Init hook: no kind needs one yet.
    virtual QLResultEnum OnInit() { return QL_OK; }

    std::wstring mName;
    bool mLoaded = false;

private:
    QLResultEnum ChangeLoaded(bool load);
};
} // namespace resource
