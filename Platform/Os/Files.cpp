// Raw file access over POSIX.
#include "Platform/Os/Files.h"

#include "Platform/Os/OpenFile.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace os
{
namespace
{
bool WriteAll(int fd, const char* data, size_t size)
{
    size_t done = 0;
    return WriteFile(fd, data, size, done) && done == size;
}

// Hands every chunk read from fd to `take` until the end; false on a read error or when `take`
// refuses a chunk.
template <class Take> bool ReadChunks(int fd, Take take)
{
    char buffer[65536];
    for (;;)
    {
        size_t got = 0;
        if (!ReadFile(fd, buffer, sizeof(buffer), got))
            return false;
        if (got > 0 && !take(buffer, got))
            return false;
        if (got < sizeof(buffer))
            return true;
    }
}

constexpr int kNewFileFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;

int CreateExclusively(const std::string& path)
{
    int fd;
    do
        fd = ::open(path.c_str(), kNewFileFlags, 0666);
    while (fd == -1 && errno == EINTR);
    return fd;
}

// A plain file of this user with no other name: what an earlier save cut short leaves behind.
bool IsOwnLeftover(const struct stat& info)
{
    return S_ISREG(info.st_mode) && info.st_uid == ::geteuid() && info.st_nlink == 1;
}

bool IsOwnLeftover(const std::string& path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0 && IsOwnLeftover(info);
}

const char kFallbackInfix[] = ".tmp.";

std::string FallbackName(const std::string& path, unsigned count)
{
    return path + kFallbackInfix + std::to_string(::getpid()) + "." + std::to_string(count);
}

// Digits, then "." and digits again, and nothing more: a count or id of FallbackName.
bool IsFallbackSuffix(const std::string& text)
{
    const size_t dot = text.find('.');
    const auto digits = [&](size_t from, size_t to)
    { return from < to && text.find_first_not_of("0123456789", from) >= to; };
    return dot != std::string::npos && digits(0, dot) && digits(dot + 1, text.size());
}

} // namespace

int CreateTemporaryFile(const std::string& path, std::string& name)
{
    name = path + ".tmp";
    int fd = CreateExclusively(name);
    if (fd >= 0 || errno != EEXIST)
        return fd;
    if (IsOwnLeftover(name) && ::unlink(name.c_str()) == 0)
    {
        fd = CreateExclusively(name);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    // Something else stands there: left as it is, the file goes to a fresh name beside it. The
    // exclusive create is what guards the name; the process id and a count only keep it new.
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        name = FallbackName(path, ++counter);
        fd = CreateExclusively(name);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool RemoveTemporaryLeftovers(const std::string& path, std::vector<std::string>& removed)
{
    removed.clear();
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string prefix = path.substr(slash == std::string::npos ? 0 : slash + 1) + kFallbackInfix;
    // Names are looked at and removed within the folder as opened: a folder swapped under the
    // path meanwhile is not reached.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        return false;
    DIR* dir = ::fdopendir(folderFd);
    if (!dir)
    {
        ::close(folderFd);
        return false;
    }
    while (dirent* entry = ::readdir(dir))
    {
        const std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0 || !IsFallbackSuffix(name.substr(prefix.size())))
            continue;
        struct stat info;
        if (::fstatat(folderFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && IsOwnLeftover(info) &&
            ::unlinkat(folderFd, name.c_str(), 0) == 0)
            removed.push_back(name);
    }
    ::closedir(dir);
    return true;
}

bool Stat(const std::string& path, PathInfo& out)
{
    struct stat info;
    if (::stat(path.empty() ? "." : path.c_str(), &info) != 0)
        return false;
    out.isFolder = S_ISDIR(info.st_mode);
    out.size = info.st_size < 0 ? 0 : static_cast<uint64_t>(info.st_size);
    out.device = static_cast<uint64_t>(info.st_dev);
    out.inode = static_cast<uint64_t>(info.st_ino);
    return true;
}

bool IsFile(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool ListFolder(const std::string& path, std::vector<FolderEntry>& out)
{
    out.clear();
    const std::string folder = path.empty() ? "." : path;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return false;
    while (dirent* entry = ::readdir(dir))
    {
        const std::string name = entry->d_name;
        if (name.empty() || name == "." || name == "..")
            continue;
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK)
        {
            struct stat info;
            const std::string full = folder + (folder.back() == '/' ? "" : "/") + name;
            isFolder = ::stat(full.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        }
        out.push_back({name, isFolder});
    }
    ::closedir(dir);
    return true;
}

bool MakeFolder(const std::string& path) { return ::mkdir(path.c_str(), 0777) == 0; }

bool CanCreateFileIn(const std::string& folder)
{
    std::string name = (folder.empty() || folder.back() == '/' ? folder : folder + "/") + ".probe.XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return false;
    ::close(fd);
    ::unlink(name.c_str());
    return true;
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool ChangeDirectory(const std::string& path) { return ::chdir(path.c_str()) == 0; }

bool Rename(const std::string& from, const std::string& to) { return ::rename(from.c_str(), to.c_str()) == 0; }

bool Sync(const std::string& path)
{
    int fd = OpenPlainFile(path, O_RDONLY);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool Copy(const std::string& from, const std::string& to)
{
    int in = OpenPlainFile(from, O_RDONLY);
    if (in < 0)
        return false;
    // Never through a link or into another name of a file, never waiting on a FIFO.
    int out = OpenFreshFile(to);
    if (out < 0)
    {
        ::close(in);
        return false;
    }
    bool ok = ReadChunks(in, [out](const char* data, size_t size) { return WriteAll(out, data, size); });
    ok = ::fsync(out) == 0 && ok;
    ok = ::close(out) == 0 && ok;
    ::close(in);
    if (!ok)
        ::unlink(to.c_str());
    return ok;
}

bool ReadAll(const std::string& path, std::string& out)
{
    out.clear();
    int fd = OpenPlainFile(path, O_RDONLY);
    if (fd < 0)
        return false;
    const bool ok = ReadChunks(fd,
                               [&out](const char* data, size_t size)
                               {
                                   out.append(data, size);
                                   return true;
                               });
    ::close(fd);
    return ok;
}

bool Append(const std::string& path, const std::string& bytes)
{
    int fd = OpenPlainFile(path, O_WRONLY | O_APPEND);
    if (fd < 0)
        return false;
    const bool ok = WriteAll(fd, bytes.data(), bytes.size());
    return ::close(fd) == 0 && ok;
}

bool WriteAtomically(const std::string& path, const std::string& bytes, bool& created)
{
    std::string temp;
    const int fd = CreateTemporaryFile(path, temp);
    created = fd >= 0;
    if (fd < 0)
        return false;
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
    if (ok && ::rename(temp.c_str(), path.c_str()) != 0)
    {
        ok = false;
        error = errno;
    }
    if (!ok)
    {
        ::unlink(temp.c_str());
        errno = error;
    }
    return ok;
}
} // namespace os
