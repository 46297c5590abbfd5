// Building a graphic's frame lists from a sheet.
#include "Source/TD/Sprites/TDGraphic.h"

#include "Core/Base/StringConvert.h"

#include <algorithm>

const std::vector<std::string>& TDGraphic::listNames()
{
    static const std::vector<std::string> names = []
    {
        std::vector<std::string> out{"rotate"};
        for (int i = 0; i < 16; ++i)
            out.push_back(std::string("f_") + char('0' + i / 10) + char('0' + i % 10));
        for (const char* n :
             {"blast", "idle", "shot", "pivot", "fire", "s_point", "", "base_point", "walk", "death", "special"})
            out.push_back(n);
        return out;
    }();
    return names;
}

void TDGraphic::fill(const std::shared_ptr<TDImageSheet>& sheet, const std::wstring& group, TDTextureLoader& loader)
{
    mContainer = sheet;
    mFrames.clear();
    mOwned.clear();
    mPictures.clear();
    for (const std::string& name : listNames())
    {
        std::vector<TDFrameEntry*>& list = mFrames[name];
        if (!sheet)
            continue;
        std::wstring wide = base::StringToWString(name, 1);
        std::wstring key = group.empty() ? wide : group + L"/" + wide;
        bool pointsOnly = name == "s_point" || name == "base_point" || name == "pivot";
        for (size_t index : sheet->list(key))
        {
            const TDSheetImage& image = sheet->image(index);
            auto entry = std::make_unique<TDFrameEntry>();
            entry->mName = image.mName;
            entry->mX = image.mX;
            entry->mY = image.mY;
            entry->mWidth = image.mWidth;
            entry->mHeight = image.mHeight;
            entry->mOrder = static_cast<i32>(image.mIndex);
            if (!pointsOnly)
                entry->setOwnedImage(loader.load(*sheet, index));
            list.push_back(entry.get());
            mOwned.push_back(std::move(entry));
        }
    }
}

const std::vector<TDFrameEntry*>& TDGraphic::frames(const std::string& list) const
{
    static const std::vector<TDFrameEntry*> kEmpty;
    auto it = mFrames.find(list);
    return it == mFrames.end() ? kEmpty : it->second;
}

bool TDGraphic::point(const std::string& list, i32 index, float& x, float& y) const
{
    const std::vector<TDFrameEntry*>& entries = frames(list);
    if (index < 0 || static_cast<size_t>(index) >= entries.size())
        return false;
    x = entries[index]->mX;
    y = entries[index]->mY;
    return true;
}

void TDGraphic::size(float& width, float& height) const
{
    width = height = 0.0f;
    for (const auto& [name, entries] : mFrames)
        for (const TDFrameEntry* e : entries)
        {
            width = std::max(width, e->mX + e->mWidth);
            height = std::max(height, e->mY + e->mHeight);
        }
}

const TDFrameEntry* TDGraphic::picture(const std::wstring& name, TDTextureLoader& loader)
{
    auto it = mPictures.find(name);
    if (it != mPictures.end())
        return it->second.get();
    if (!mContainer)
        return nullptr;
    std::unique_ptr<TDFrameEntry> entry = TDFrameEntry::create(*mContainer, name, 0, loader);
    if (!entry)
        return nullptr;
    return (mPictures[name] = std::move(entry)).get();
}
