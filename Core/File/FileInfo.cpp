// File descriptions handed out by containers.
#include "Core/File/FileInfo.h"

#include "Core/File/Container.h"

namespace file
{
FileInfo::FileInfo(const std::wstring& name, const std::wstring& path, Container* container, bool isPack)
    : mName(name), mPath(path), mContainer(container), mIsPack(isPack)
{
}

base::Stream* FileInfo::Open() const { return mContainer ? mContainer->OpenStream(mPath) : nullptr; }
} // namespace file
