// The named image descriptions of one container: a map by name, the document order, and the
// folder-like listings over the names ("menu/play" lies in the folder "menu").
#pragma once

#include "Core/Media/Image/ImageInfo.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace file
{
class ImageIndex
{
public:
    // Stores the description under its name unless the name is taken; returns the entry kept
    // under the name (the earlier one when taken) and whether the new one was stored.
    std::pair<base::ImageInfo*, bool> Insert(std::unique_ptr<base::ImageInfo> info);
    void AppendToOrder(base::ImageInfo* info) { mOrder.push_back(info); }

    base::ImageInfo* Find(const std::wstring& name) const;
    u32 Count() const { return static_cast<u32>(mOrder.size()); }
    // Null past the end.
    const base::ImageInfo* At(u32 index) const { return index < mOrder.size() ? mOrder[index] : nullptr; }
    u32 NameCount() const { return static_cast<u32>(mByName.size()); }

    // Prefixes are folder paths ("\" read as "/", a trailing "/" added; "" is the top) matched
    // without regard to A-Z case. Names come in document order, each once; relative gives the
    // part after the prefix. Recursive also takes names in sub-folders.
    void ListImages(const std::wstring& prefix, bool recursive, std::vector<std::wstring>& out, bool relative) const;
    // The sub-folders directly below the prefix, in name order, each once, without a trailing "/".
    void ListFolders(const std::wstring& prefix, std::vector<std::wstring>& out, bool relative) const;
    bool HasFolder(const std::wstring& prefix) const;
    // The name as given, or lowered (A-Z), is a key.
    bool HasName(const std::wstring& name) const;

private:
    std::map<std::wstring, std::unique_ptr<base::ImageInfo>> mByName;
    std::vector<base::ImageInfo*> mOrder; // into mByName; a repeated name appears again
};

std::wstring LowerAscii(std::wstring text);
} // namespace file
