// Folders, deletion, renaming and atomic writes over POSIX.
#include "Core/File/FileSystem.h"

#include "Core/Base/Log.h"
#include "Core/Base/StringConvert.h"
#include "Core/File/FileManager.h"
#include "Core/File/Path.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace file
{
namespace
{
bool WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0)
    {
        ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}
} // namespace

std::string NativePath(const std::wstring& path) { return base::WStringToString(ToForwardSlashes(path), 1); }

QLResultEnum CreateDirectory(const std::wstring& path)
{
    return ::mkdir(NativePath(path).c_str(), 0777) == 0 ? QL_OK : QL_FAIL;
}

QLResultEnum DeleteFile(const std::wstring& path)
{
    return ::unlink(NativePath(path).c_str()) == 0 ? QL_OK : QL_FAIL;
}

QLResultEnum SetCurrentDirectory(const std::wstring& path)
{
    return ::chdir(NativePath(path).c_str()) == 0 ? QL_OK : QL_FAIL;
}

QLResultEnum RenameFile(const std::wstring& from, const std::wstring& to)
{
    return ::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0 ? QL_OK : QL_FAIL;
}

QLResultEnum SyncFile(const std::wstring& path)
{
    int fd = ::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return QL_FAIL;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok ? QL_OK : QL_FAIL;
}

QLResultEnum CopyFile(const std::wstring& from, const std::wstring& to)
{
    int in = ::open(NativePath(from).c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return QL_FAIL;
    int out = ::open(NativePath(to).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (out < 0)
    {
        ::close(in);
        return QL_FAIL;
    }
    bool ok = true;
    char buffer[65536];
    for (;;)
    {
        ssize_t n = ::read(in, buffer, sizeof(buffer));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            ok = false;
        if (n <= 0)
            break;
        if (!WriteAll(out, buffer, static_cast<size_t>(n)))
        {
            ok = false;
            break;
        }
    }
    ok = ::fsync(out) == 0 && ok;
    ok = ::close(out) == 0 && ok;
    ::close(in);
    if (!ok)
        ::unlink(NativePath(to).c_str());
    return ok ? QL_OK : QL_FAIL;
}

QLResultEnum WriteFileAtomically(const std::wstring& path, const std::string& bytes)
{
    const std::wstring temp = path + L".tmp";
    const std::string nativeTemp = NativePath(temp);
    int fd = ::open(nativeTemp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
    {
        QL_LOG(L"Cannot create '%s': %s\n") << base::LogStyle::Error << temp << std::strerror(errno);
        return QL_FAIL;
    }
    bool ok = WriteAll(fd, bytes.data(), bytes.size());
    int error = ok ? 0 : errno;
    if (ok && ::fsync(fd) != 0)
    {
        ok = false;
        error = errno;
    }
    if (::close(fd) != 0 && ok)
    {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(nativeTemp.c_str(), NativePath(path).c_str()) != 0)
    {
        ok = false;
        error = errno;
    }
    if (!ok)
    {
        QL_LOG(L"Cannot write '%s': %s\n") << base::LogStyle::Error << path << std::strerror(error);
        ::unlink(nativeTemp.c_str());
        return QL_FAIL;
    }
    return QL_OK;
}

QLResultEnum CreateFolders(const std::wstring& path)
{
    return CreateFolderChain(StripTrailingSeparators(NormalizeDirectoryPath(path)));
}

QLResultEnum CreateFolderChain(const std::wstring& path)
{
    if (path.empty() || FileManager::Instance()->IsFolder(path))
        return QL_OK;
    std::wstring parent = StripTrailingSeparators(GetDirectory(path));
    if (!parent.empty())
    {
        QLResultEnum result = CreateFolderChain(parent);
        if (result != QL_OK)
            return result;
    }
    return CreateDirectory(path);
}
} // namespace file
