// The game's modal message: a localised message with one closing button, or, with a command,
// a confirming and a cancelling button where the confirming one hands the command to the game.
#pragma once

#include "Core/Widget/Controls/ButtonListener.h"
#include "Core/Widget/Controls/TesselDialog.h"

#include <string>

class TesselButton;

class TMessageBox : public TesselDialog, public widget::ButtonListener
{
public:
    static constexpr const wchar_t* kLayout = L"td/data/mm";

    TMessageBox(const std::wstring& messageKey, const std::wstring& command);

    QLResultEnum Build() override;
    QLResultEnum OnClick(widget::Button* button) override;

    std::wstring mMessageKey;
    std::wstring mCommand;
    TesselButton* mCloseButton = nullptr;
    TesselButton* mConfirmButton = nullptr;

private:
    QLResultEnum MakeButton(float x, float y, TesselButton** out);
    // The label of a button, placed on its own point.
    QLResultEnum AddLabel(const std::wstring& place, const std::wstring& key, float x, float y);
};
