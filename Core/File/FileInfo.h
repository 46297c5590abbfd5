// Description of one file found in a container.
#pragma once

#include <string>

namespace base
{
class Stream;
}

namespace file
{
class Container;

class FileInfo
{
public:
    FileInfo() = default;
    FileInfo(const std::wstring& name, const std::wstring& path, Container* container, bool isPack);
    virtual ~FileInfo() = default;

    // A new stream from the owning container, or null; the caller owns it.
    base::Stream* Open() const;

    std::wstring mName;              // file name as asked, without folders and without a tried extension
    std::wstring mPath;              // path within mContainer, matching extension appended
    Container* mContainer = nullptr; // not owned
    bool mIsPack = false;
};
} // namespace file
