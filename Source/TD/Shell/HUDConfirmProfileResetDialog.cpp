// The profile reset question.
#include "Source/TD/Shell/HUDConfirmProfileResetDialog.h"

#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Data/TDProgress.h"
#include "Source/TD/Shell/HUD.h"

HUDConfirmProfileResetDialog::HUDConfirmProfileResetDialog(HUD* hud, TDMap* map)
    : HUDModalDialog(hud, map, LocalStrings::Instance()->get(L"profile_reset_caption"),
                     LocalStrings::Instance()->get(L"profile_reset_message"))
{
}

void HUDConfirmProfileResetDialog::onConfirm()
{
    if (mHud)
        mHud->closeTopWindow();
    if (mMap && mMap->mProgress)
    {
        mMap->mProgress->resetCurrentProfile();
        // The reset itself only rebuilds the profile in memory.
        mMap->mProgress->flush();
    }
    if (mHud)
        mHud->showMainMenu();
    if (mMap)
    {
        mMap->mStats.reset();
        mMap->mStats.mGems = 0;
        mMap->mStats.mGemsWon = 0;
    }
    mOpen = false;
}

void HUDConfirmProfileResetDialog::onDecline() { mOpen = false; }
