// Openers of the confirmation dialogs: each becomes the root board's one modal window,
// replacing (and deleting) the one before.
#pragma once

#include <memory>

class HUD;
class HUDWindow;
class TDMap;

// Takes the dialog; without a root board (no game running) the dialog is deleted.
void HUDOpenModalDialog(std::unique_ptr<HUDWindow> dialog);
void HUDShowProfileDeletionDialog(HUD* hud, TDMap* map);
void HUDShowProfileResetDialog(HUD* hud, TDMap* map);
void HUDShowTutorialCancelDialog(HUD* hud, TDMap* map);
