// The profile deletion question.
#include "Source/TD/Shell/HUDConfirmProfileDeletionDialog.h"

#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Data/TDProgress.h"
#include "Source/TD/Shell/HUD.h"

HUDConfirmProfileDeletionDialog::HUDConfirmProfileDeletionDialog(HUD* hud, TDMap* map)
    : HUDModalDialog(hud, map, LocalStrings::Instance()->get(L"profile_delete_caption"),
                     LocalStrings::Instance()->get(L"profile_delete_message"))
{
}

void HUDConfirmProfileDeletionDialog::onConfirm()
{
    mOpen = false;
    if (mMap && mMap->mProgress)
    {
        mMap->mProgress->deleteCurrentProfile();
        mMap->mProgress->flush();
    }
    if (mHud && !mHud->windows().empty())
        mHud->windows().back()->Refresh();
}

void HUDConfirmProfileDeletionDialog::onDecline() { mOpen = false; }
