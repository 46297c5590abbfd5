// The release handlers of the profile screens (the list, the name input of a new profile and
// of a rename) and of the modal message.
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/LocalStrings.h"

bool TDMap::onProfilesRelease(i32 x, i32 y)
{
    std::wstring name = mHud->buttonNameAt(x, y);
    if (name == L"create")
    {
        if (mProgress->profileNames().size() < 5)
        {
            mScreen = kScreenProfileCreate;
            mHud->showProfileNameInput();
        }
        else
        {
            LocalStrings* strings = LocalStrings::Instance();
            mHud->showMessage(strings->get(L"profiles_error"), strings->get(L"profiles_maxcount"), kScreenProfiles);
        }
    }
    else if (name == L"back" || name == L"confirm")
    {
        mHud->closeTopWindow();
        mHud->showMainMenu();
    }
    else if (name == L"rename" && !mProgress->currentName().empty())
    {
        mScreen = kScreenProfileRename;
        mHud->showProfileNameInput();
    }
    return true;
}

bool TDMap::onProfileCreateRelease(i32 x, i32 y)
{
    if (mHud->buttonNameAt(x, y) == L"cancel")
    {
        mHud->closeTopWindow();
        const bool fromMainMenu = mAfterProfileInput == L"mmenu" || mAfterProfileInput == L"shop";
        mScreen = fromMainMenu ? kScreenMainMenu : kScreenProfiles;
    }
    return true;
}

bool TDMap::onProfileRenameRelease(i32 x, i32 y)
{
    // The rename input answers its own "ok" and "cancel".
    mHud->buttonNameAt(x, y);
    return true;
}

bool TDMap::onMessageRelease(i32 x, i32 y)
{
    if (mHud->buttonNameAt(x, y) == L"ok")
    {
        mHud->closeTopWindow();
        mScreen = mMessageReturnScreen;
    }
    return true;
}
