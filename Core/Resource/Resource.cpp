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

QLResultEnum Resource::Load()
{
    if (mLoaded)
    {
        QL_LOG(L"Trying to Load already loaded resource '%s'.\n") << base::LogStyle::Block << mName;
        return QL_OK;
    }
    const QLResultEnum result = DoLoad();
    if (result == QL_OK)
        mLoaded = true;
    return result;
}

QLResultEnum Resource::UnLoad()
{
    if (!mLoaded)
    {
        QL_LOG(L"Trying to UnLoad already unloaded resource '%s'.\n") << base::LogStyle::Block << mName;
        return QL_OK;
    }
    const QLResultEnum result = DoUnLoad();
    if (result == QL_OK)
        mLoaded = false;
    return result;
}
} // namespace resource
