// Listing the pictures of a layered image by group path.
#include "Source/TD/Sprites/TDImageSheet.h"

#include <algorithm>

const TDSheetImage* TDImageSheet::findImage(const std::wstring& name) const
{
    for (const TDSheetImage& image : mImages)
        if (image.mName == name)
            return &image;
    return nullptr;
}

std::vector<size_t> TDImageSheet::list(const std::wstring& key) const
{
    std::wstring prefix = key;
    if (!prefix.empty() && prefix.back() != L'/')
        prefix += L'/';
    std::vector<size_t> out;
    for (size_t i = 0; i < mImages.size(); ++i)
    {
        const std::wstring& name = mImages[i].mName;
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        if (name.find(L'/', prefix.size()) == std::wstring::npos)
            out.push_back(i);
    }
    return out;
}

std::vector<std::wstring> TDImageSheet::groups() const
{
    std::vector<std::wstring> out;
    for (const TDSheetImage& image : mImages)
    {
        size_t slash = image.mName.find(L'/');
        if (slash != std::wstring::npos && slash > 0)
            out.push_back(image.mName.substr(0, slash));
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}
