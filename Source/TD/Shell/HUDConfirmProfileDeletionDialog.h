// Asks before the current profile is deleted; yes deletes it (another profile becomes current)
// and refreshes the profiles screen beneath.
#pragma once

#include "Source/TD/Shell/HUDModalDialog.h"

class HUDConfirmProfileDeletionDialog : public HUDModalDialog
{
public:
    HUDConfirmProfileDeletionDialog(HUD* hud, TDMap* map);

    void onConfirm() override;
    void onDecline() override;
};
