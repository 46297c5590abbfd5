// The release handlers of the profile screens (the list, the name input of a new profile and
// of a rename) and of the modal message.
#include "Source/TD/Shell/TDScreenCommands.h"

#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/LocalStrings.h"

bool TDScreenCommands::onProfilesRelease(i32 x, i32 y)
{
    std::wstring name = mMap.mHud->buttonNameAt(x, y);
    if (name == L"create")
    {
        if (mMap.mProgress->profileNames().size() < 5)
        {
            mMap.mScreen = kScreenProfileCreate;
            mMap.mHud->showProfileNameInput();
        }
        else
        {
            LocalStrings* strings = LocalStrings::Instance();
            mMap.mHud->showMessage(strings->get(L"profiles_error"), strings->get(L"profiles_maxcount"),
                                   kScreenProfiles);
        }
    }
    else if (name == L"back" || name == L"confirm")
    {
        mMap.mHud->closeTopWindow();
        mMap.mHud->showMainMenu();
    }
    else if (name == L"rename" && !mMap.mProgress->currentName().empty())
    {
        mMap.mScreen = kScreenProfileRename;
        mMap.mHud->showProfileNameInput();
    }
    return true;
}

bool TDScreenCommands::onProfileCreateRelease(i32 x, i32 y)
{
    if (mMap.mHud->buttonNameAt(x, y) == L"cancel")
    {
        mMap.mHud->closeTopWindow();
        const bool fromMainMenu =
            mMap.mAfterProfileInput == kAfterInputPlay || mMap.mAfterProfileInput == kAfterInputShop;
        mMap.mScreen = fromMainMenu ? kScreenMainMenu : kScreenProfiles;
    }
    return true;
}

bool TDScreenCommands::onProfileRenameRelease(i32 x, i32 y)
{
    // The rename input answers its own "ok" and "cancel".
    mMap.mHud->buttonNameAt(x, y);
    return true;
}

bool TDScreenCommands::onMessageRelease(i32 x, i32 y)
{
    if (mMap.mHud->buttonNameAt(x, y) == L"ok")
    {
        mMap.mHud->closeTopWindow();
        mMap.mScreen = mMap.mMessageReturnScreen;
    }
    return true;
}
