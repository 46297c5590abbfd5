// Path string helpers.
#include "Core/File/Path.h"

namespace file
{
namespace
{
bool IsSeparator(wchar_t c) { return c == L'/' || c == L'\\'; }

// Index of the last "/" or "\", or npos.
size_t LastSeparator(const std::wstring& path) { return path.find_last_of(L"/\\"); }
} // namespace

std::wstring ToForwardSlashes(const std::wstring& path)
{
    std::wstring result = path;
    for (wchar_t& c : result)
        if (c == L'\\')
            c = L'/';
    return result;
}

std::wstring NormalizeDirectoryPath(const std::wstring& path)
{
    std::wstring result = ToForwardSlashes(path);
    while (!result.empty() && result.back() == L'/')
        result.pop_back();
    if (result.empty())
        return result;
    result.push_back(L'/');
    return result;
}

std::wstring StripTrailingSeparators(const std::wstring& path)
{
    size_t end = path.size();
    while (end > 0 && IsSeparator(path[end - 1]))
        --end;
    return path.substr(0, end);
}

std::wstring GetDirectory(const std::wstring& path)
{
    size_t pos = LastSeparator(path);
    if (pos == std::wstring::npos)
        return std::wstring();
    return path.substr(0, pos + 1);
}

std::wstring GetDirectoryWithoutDrive(const std::wstring& path)
{
    size_t colon = path.find(L':');
    if (colon == std::wstring::npos)
        return GetDirectory(path);
    if (colon + 1 >= path.size() || !IsSeparator(path[colon + 1]))
        return std::wstring();
    return GetDirectory(path.substr(colon + 1));
}

std::wstring GetFileName(const std::wstring& path)
{
    size_t pos = LastSeparator(path);
    if (pos == std::wstring::npos)
        return path;
    return path.substr(pos + 1);
}

std::wstring GetBaseName(const std::wstring& path)
{
    std::wstring name = GetFileName(path);
    size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos || dot == 0)
        return name;
    return name.substr(0, dot);
}

std::wstring GetExtension(const std::wstring& path)
{
    size_t dot = path.rfind(L'.');
    if (dot == std::wstring::npos)
        return std::wstring();
    size_t sep = LastSeparator(path);
    if (sep != std::wstring::npos && sep > dot)
        return std::wstring();
    return path.substr(dot);
}
} // namespace file
