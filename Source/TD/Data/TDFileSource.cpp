// Where the game data is read from.
#include "Source/TD/Data/TDFileSource.h"

#include "Core/File/FileSystem.h"
#include "Source/TD/Data/TDFileManagerSource.h"

namespace
{
TDFileSource* gCurrent = nullptr;
} // namespace

TDFileSource& TDFileSource::current()
{
    static TDFileManagerSource fileManager;
    return gCurrent ? *gCurrent : fileManager;
}

void TDFileSource::setCurrent(TDFileSource* source) { gCurrent = source; }

std::string tdDropBom(std::string bytes)
{
    if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
        static_cast<unsigned char>(bytes[1]) == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF)
        bytes.erase(0, 3);
    return bytes;
}

std::string TDFolderFileSource::readFile(const std::wstring& path)
{
    std::string bytes;
    if (file::ReadRawFile(mRoot + path, bytes) != QL_OK)
        return {};
    return tdDropBom(std::move(bytes));
}

std::string TDMemoryFileSource::readFile(const std::wstring& path)
{
    auto found = mFiles.find(path);
    return found == mFiles.end() ? std::string() : tdDropBom(found->second);
}
