// The profiles screen.
#include "Source/TD/Shell/HUDProfiles.h"

#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Data/TDProgress.h"
#include "Source/TD/Shell/GameWindow.h"
#include "Source/TD/Shell/HUDModalOpeners.h"

namespace
{
std::wstring localised(const wchar_t* key) { return LocalStrings::Instance()->get(key); }
} // namespace

HUDProfiles::HUDProfiles(HUD* hud, TDMap* map) : HUDButtonWindow(kLayout), mHud(hud), mMap(map)
{
    setText(L"caption", localised(L"profiles_caption"));
    Refresh();
    const GameWindow* board = HUDRootBoard();
    setFont(board && board->mFontMain32_2 ? board->mFontMain32_2 : HUDWindowContext::Get().windowFont);
    setText(L"hint", localised(L"profiles_hint"));
    setText(L"select", localised(L"profiles_select"));
}

HUDProfiles::~HUDProfiles() = default;

void HUDProfiles::Refresh()
{
    TDProgress* progress = mMap ? mMap->mProgress.get() : nullptr;
    const std::vector<std::wstring> names = progress ? progress->profileNames() : std::vector<std::wstring>();
    const std::wstring current = progress ? progress->currentName() : std::wstring();
    const std::wstring empty = localised(L"empty_profile");
    const auto& font = HUDWindowContext::Get().windowFont;
    for (int i = 1; i <= kMaxProfiles; ++i)
    {
        const size_t at = static_cast<size_t>(i - 1);
        const std::wstring& line = at < names.size() ? names[at] : empty;
        setText(L"profile" + std::to_wstring(i), line);
        if (HUDButtonOver* button = mOwnButtons.find(L"p" + std::to_wstring(i)))
        {
            button->mLabel = line;
            button->mFont = font;
            // Only the current profile's line is highlighted; the others cannot be hit.
            button->mVisible = !current.empty() && button->mLabel == current;
        }
    }
    if (HUDButtonOver* confirm = mOwnButtons.find(L"confirm"))
        confirm->mVisible = !names.empty();
}

int HUDProfiles::lineIndexAt(int x, int y) const
{
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    int index = -2;
    for (const auto& [name, area] : mTextAreas)
    {
        if (fx > area->mX && fx < area->mX + area->mWidth && fy > area->mY && fy < area->mY + area->mHeight &&
            index >= 0)
            return index;
        ++index;
    }
    return -1;
}

void HUDProfiles::Press(int x, int y)
{
    mOwnButtons.press(x, y);
    TDProgress* progress = mMap ? mMap->mProgress.get() : nullptr;
    if (!progress)
        return;
    const int index = lineIndexAt(x, y);
    const std::vector<std::wstring> names = progress->profileNames();
    if (index < 0 || static_cast<size_t>(index) >= names.size())
        return;
    progress->selectProfile(names[static_cast<size_t>(index)]);
    Refresh();
}

std::wstring HUDProfiles::ButtonNameAt(int x, int y)
{
    const std::wstring name = mOwnButtons.nameAt(x, y);
    if (name == L"delete" && mMap && mMap->mProgress && !mMap->mProgress->currentName().empty())
        HUDShowProfileDeletionDialog(mHud, mMap);
    return name;
}
