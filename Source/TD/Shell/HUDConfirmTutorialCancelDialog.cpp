// The tutorial skip question.
#include "Source/TD/Shell/HUDConfirmTutorialCancelDialog.h"

#include "Source/TD/LocalStrings.h"
#include "Source/TD/TDMap.h"
#include "Source/TD/TDProgress.h"

HUDConfirmTutorialCancelDialog::HUDConfirmTutorialCancelDialog(HUD* hud, TDMap* map)
    : HUDModalDialog(hud, map, LocalStrings::Instance()->get(L"tutorial_skip_caption"),
                     LocalStrings::Instance()->get(L"tutorial_skip_message"))
{
}

void HUDConfirmTutorialCancelDialog::onConfirm()
{
    mOpen = false;
    if (!mMap)
        return;
    if (mMap->mProgress)
        mMap->mProgress->setTutorialAvailable(false);
    mMap->setTutorialActive(false);
    mMap->mTutorial->hide();
}

void HUDConfirmTutorialCancelDialog::onDecline()
{
    mOpen = false;
    if (mMap)
        mMap->mTutorial->show();
}
