// The unlock message window.
#include "Source/TD/Shell/HUDUnlockMessage.h"

#include "Core/Base/Log.h"
#include "Core/Media/Image/Image.h"
#include "Core/Media/Image/ImageContainer.h"
#include "Core/Resource/ResourceManager.h"
#include "Source/TD/Data/LocalStrings.h"

#include <algorithm>

namespace
{
std::wstring iconName(i32 id) { return L"icons/id" + std::to_wstring(id); }
} // namespace

HUDUnlockMessage::HUDUnlockMessage(const std::vector<i32>& ids, const std::wstring& layout)
{
    if (!buildFromLayout(layout))
        QL_LOG(L"Unlock layout '%s' not opened: the window shows nothing\n") << base::LogStyle::Error << layout;
    std::vector<const base::ImageInfo*> entries;
    const u32 count = mLayout ? mLayout->GetImageCount() : 0;
    for (u32 i = 0; i < count; ++i)
        if (const base::ImageInfo* info = mLayout->GetImage(i); info && info->mName.rfind(L"icons/", 0) == 0)
            entries.push_back(info);
    for (i32 id : ids)
        for (const base::ImageInfo* info : entries)
        {
            if (info->mName != iconName(id))
                continue;
            auto icon = std::make_unique<TDFrameEntry>();
            icon->mName = info->mName;
            icon->mX = info->mX;
            icon->mY = info->mY;
            icon->mWidth = info->mWidth;
            icon->mHeight = info->mHeight;
            icon->mOrder = static_cast<i32>(info->mIndex);
            icon->mVisible = 0;
            giveImage(*icon, loadLayoutImage(mLayout.get(), info->mName));
            icons.push_back(icon.get());
            mImages.push_back(std::move(icon));
            shownIds.push_back(id);
        }
    mImages.stableSort(TDFrameEntry::lessByOrder);
    base::CountedPtr<render::BMFont> font =
        resource::ResourceManager::Instance()->Get<render::BMFont>(L"td/data/fonts/main_32_2");
    if (font && font->IsLoaded())
        setFont(font);
    LocalStrings* strings = LocalStrings::Instance();
    setText(L"caption", strings->get(L"unlock_caption"));
    setText(L"button", strings->get(L"unlock_button"));
    if (!shownIds.empty())
        show(shownIds.front());
}

void HUDUnlockMessage::show(i32 id)
{
    const std::wstring name = iconName(id);
    for (TDFrameEntry* icon : icons)
    {
        icon->mVisible = icon->mName == name ? 1 : 0;
        if (icon->mVisible)
            setText(L"message", LocalStrings::Instance()->get(L"unlock_" + std::to_wstring(id)));
    }
}

std::wstring HUDUnlockMessage::ButtonNameAt(int x, int y)
{
    if (HUDWindow::ButtonNameAt(x, y) != L"ok")
        return L"";
    current += 1;
    if (current >= static_cast<i32>(shownIds.size()))
        return L"ok";
    show(shownIds[static_cast<size_t>(current)]);
    return L"";
}
