// Asks before the current profile's progress is wiped; yes wipes it, saves, closes the top
// screen and opens the main menu with no gems held.
#pragma once

#include "Source/TD/Shell/HUDModalDialog.h"

class HUDConfirmProfileResetDialog : public HUDModalDialog
{
public:
    HUDConfirmProfileResetDialog(HUD* hud, TDMap* map);

    void onConfirm() override;
    void onDecline() override;
};
