// Asks before the tutorial is skipped; yes switches it off for the profile, no brings its
// page back.
#pragma once

#include "Source/TD/Shell/HUDModalDialog.h"

class HUDConfirmTutorialCancelDialog : public HUDModalDialog
{
public:
    HUDConfirmTutorialCancelDialog(HUD* hud, TDMap* map);

    void onConfirm() override;
    void onDecline() override;
};
