// The openers of the profile screens, the message window and the modal and confirmation dialogs.
#include "Source/TD/Shell/HUDModalOpeners.h"

#include "Core/Base/Log.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Shell/GameWindow.h"
#include "Source/TD/Shell/HUD.h"
#include "Source/TD/Shell/HUDButtonList.h"
#include "Source/TD/Shell/HUDConfirmProfileDeletionDialog.h"
#include "Source/TD/Shell/HUDConfirmProfileResetDialog.h"
#include "Source/TD/Shell/HUDConfirmTutorialCancelDialog.h"
#include "Source/TD/Shell/HUDModalDialog.h"
#include "Source/TD/Shell/HUDModalInput.h"
#include "Source/TD/Shell/HUDModalMessage.h"
#include "Source/TD/Shell/HUDProfiles.h"

void HUD::showMessage(const std::wstring& title, const std::wstring& text, TDScreen returnScreen)
{
    if (mMap)
    {
        mMap->mMessageReturnScreen = returnScreen;
        mMap->mScreen = kScreenMessage;
    }
    pushWindow(std::make_unique<HUDModalMessage>(this, mMap, title, text, returnScreen));
}

void HUD::showModalDialog(const std::wstring& caption, const std::wstring& text, TDScreen value)
{
    pushWindow(std::make_unique<HUDModalDialog>(this, mMap, caption, text));
    if (mMap)
    {
        mMap->mScreen = kScreenMessage;
        mMap->mMessageReturnScreen = value;
    }
}

void HUD::showProfiles()
{
    if (mMap)
    {
        mMap->mScreen = kScreenProfiles;
        mMap->mAfterProfileInput = kAfterInputProfiles;
    }
    pushWindow(std::make_unique<HUDProfiles>(this, mMap));
}

void HUD::showProfileNameInput() { pushWindow(std::make_unique<HUDModalInput>(this, mMap)); }

void HUDOpenModalDialog(std::unique_ptr<HUDWindow> dialog)
{
    GameWindow* board = HUDRootBoard();
    if (!board)
    {
        QL_LOG(L"A confirmation dialog needs the game's root board\n") << base::LogStyle::Error;
        return;
    }
    // The one before is never the caller: dialogs do not open dialogs.
    board->mModalWindow = std::move(dialog);
}

void HUDShowProfileDeletionDialog(HUD* hud, TDMap* map)
{
    HUDOpenModalDialog(std::make_unique<HUDConfirmProfileDeletionDialog>(hud, map));
}

void HUDShowProfileResetDialog(HUD* hud, TDMap* map)
{
    HUDOpenModalDialog(std::make_unique<HUDConfirmProfileResetDialog>(hud, map));
}

void HUDShowTutorialCancelDialog(HUD* hud, TDMap* map)
{
    HUDOpenModalDialog(std::make_unique<HUDConfirmTutorialCancelDialog>(hud, map));
}
