// Layer naming by group path.
#include "Core/Media/Container/PsdLayerNames.h"

#include "Core/File/Utf16.h"
#include "Core/Psd/Document.h"

namespace file
{
std::wstring PsdLayerName(const psd::LayerRecord& layer)
{
    if (!layer.mUnicodeName.empty())
    {
        std::u16string units;
        for (u16 unit : layer.mUnicodeName)
            if (unit != 0) // some writers store the terminator too
                units.push_back(static_cast<char16_t>(unit));
        return FromUtf16(units);
    }
    std::wstring name;
    for (const char* c = layer.mName; c < layer.mName + sizeof layer.mName && *c; ++c)
        name.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*c)));
    return name;
}

std::vector<PsdNamedLayer> NamePsdLayers(const psd::Document& document)
{
    std::vector<PsdNamedLayer> out;
    std::vector<std::wstring> groups;
    std::wstring prefix;
    for (i32 i = document.LayerCount() - 1; i >= 1; --i)
    {
        const psd::LayerRecord& layer = document.mLayers[static_cast<size_t>(i)];
        if (layer.mType == psd::kLayerGroupStart || layer.mType == psd::kLayerGroupEnd)
        {
            if (layer.mType == psd::kLayerGroupStart)
                groups.push_back(PsdLayerName(layer));
            else if (!groups.empty())
                groups.pop_back();
            prefix.clear();
            for (const std::wstring& group : groups)
                prefix += group + L"/";
            continue;
        }
        out.push_back({prefix + PsdLayerName(layer), i});
    }
    return out;
}
} // namespace file
