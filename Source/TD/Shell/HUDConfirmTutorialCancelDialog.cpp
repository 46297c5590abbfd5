// The tutorial skip question.
#include "Source/TD/Shell/HUDConfirmTutorialCancelDialog.h"

#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Shell/TDTutorial.h"
#include "Source/TD/Shell/TDTutorialScript.h"

namespace
{
// The tutorial that runs on this battle, or null.
TDTutorial* tutorialOf(const TDMap* map)
{
    if (!map || !base::Singletone<TDTutorial>::Exists() || !TDTutorial::Instance()->attachedTo(map))
        return nullptr;
    return TDTutorial::Instance();
}
} // namespace

HUDConfirmTutorialCancelDialog::HUDConfirmTutorialCancelDialog(HUD* hud, TDMap* map)
    : HUDModalDialog(hud, map, LocalStrings::Instance()->get(L"tutorial_skip_caption"),
                     LocalStrings::Instance()->get(L"tutorial_skip_message"))
{
}

void HUDConfirmTutorialCancelDialog::onConfirm()
{
    mOpen = false;
    if (TDTutorial* tutorial = tutorialOf(mMap))
        tutorial->cancel();
    else if (mMap && mMap->mProgress)
        TDTutorialScript::cancel(*mMap);
}

void HUDConfirmTutorialCancelDialog::onDecline()
{
    mOpen = false;
    if (TDTutorial* tutorial = tutorialOf(mMap))
        tutorial->skipDeclined();
}
