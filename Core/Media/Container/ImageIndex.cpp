// Image descriptions by name and in document order.
#include "Core/Media/Container/ImageIndex.h"

#include <set>

namespace file
{
namespace
{
std::wstring NormalizePrefix(const std::wstring& prefix)
{
    std::wstring out = prefix;
    for (wchar_t& c : out)
        if (c == L'\\')
            c = L'/';
    if (!out.empty() && out.back() != L'/')
        out.push_back(L'/');
    return out;
}

// A-Z case-insensitive: layout names are lower case but editors' layer names need not be.
bool StartsWithFolded(const std::wstring& text, const std::wstring& loweredPrefix)
{
    if (text.size() < loweredPrefix.size())
        return false;
    for (size_t i = 0; i < loweredPrefix.size(); ++i)
    {
        wchar_t c = text[i];
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != loweredPrefix[i])
            return false;
    }
    return true;
}
} // namespace

std::wstring LowerAscii(std::wstring text)
{
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

std::pair<base::ImageInfo*, bool> ImageIndex::Insert(std::unique_ptr<base::ImageInfo> info)
{
    auto [it, inserted] = mByName.try_emplace(info->mName);
    if (inserted)
        it->second = std::move(info);
    return {it->second.get(), inserted};
}

base::ImageInfo* ImageIndex::Find(const std::wstring& name) const
{
    auto it = mByName.find(name);
    return it == mByName.end() ? nullptr : it->second.get();
}

void ImageIndex::ListImages(const std::wstring& prefix, bool recursive, std::vector<std::wstring>& out,
                            bool relative) const
{
    const std::wstring folder = LowerAscii(NormalizePrefix(prefix));
    std::set<const base::ImageInfo*> listed;
    for (const base::ImageInfo* info : mOrder)
    {
        const std::wstring& name = info->mName;
        if (!StartsWithFolded(name, folder) || name.size() == folder.size())
            continue;
        if (!recursive && name.find(L'/', folder.size()) != std::wstring::npos)
            continue;
        if (listed.insert(info).second)
            out.push_back(relative ? name.substr(folder.size()) : name);
    }
}

void ImageIndex::ListFolders(const std::wstring& prefix, std::vector<std::wstring>& out, bool relative) const
{
    const std::wstring folder = LowerAscii(NormalizePrefix(prefix));
    std::set<std::wstring> listed;
    for (const auto& entry : mByName)
    {
        const std::wstring& name = entry.first;
        if (!StartsWithFolded(name, folder))
            continue;
        const size_t slash = name.find(L'/', folder.size());
        if (slash == std::wstring::npos || slash == folder.size())
            continue;
        std::wstring found = relative ? name.substr(folder.size(), slash - folder.size()) : name.substr(0, slash);
        if (listed.insert(found).second)
            out.push_back(std::move(found));
    }
}

bool ImageIndex::HasFolder(const std::wstring& prefix) const
{
    const std::wstring folder = LowerAscii(NormalizePrefix(prefix));
    for (const auto& entry : mByName)
    {
        const size_t slash = entry.first.find(L'/', folder.size());
        if (StartsWithFolded(entry.first, folder) && slash != std::wstring::npos && slash > folder.size())
            return true;
    }
    return false;
}

bool ImageIndex::HasName(const std::wstring& name) const
{
    return mByName.count(name) > 0 || mByName.count(LowerAscii(name)) > 0;
}
} // namespace file
