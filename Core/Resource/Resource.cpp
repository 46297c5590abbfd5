// Load and unload bookkeeping shared by every resource kind.
#include "Core/Resource/Resource.h"

#include "Core/Base/Log.h"

namespace resource
{
QLResultEnum Resource::Init(const std::wstring& name)
{
    mName = name;
    return OnInit();
}

QLResultEnum Resource::Load() { return ChangeLoaded(true); }

QLResultEnum Resource::UnLoad() { return ChangeLoaded(false); }

QLResultEnum Resource::ChangeLoaded(bool load)
{
    if (mLoaded == load)
    {
        QL_LOG(load ? L"Trying to Load already loaded resource '%s'.\n"
                    : L"Trying to UnLoad already unloaded resource '%s'.\n")
            << base::LogStyle::Block << mName;
        return QL_OK;
    }
    const QLResultEnum result = load ? DoLoad() : DoUnLoad();
    if (result == QL_OK)
        mLoaded = load;
    return result;
}
} // namespace resource
