// The game's modal message: a localised message with one closing button, or, with a command,
// a confirming and a cancelling button where the confirming one hands the command to the game.
// It looks like the game's other boxes: a caption in the large font, the message's lines centred
// in the bold one, and the buttons labelled in it too.
#pragma once

#include "Core/Widget/Controls/ButtonListener.h"
#include "Core/Widget/Controls/TesselDialog.h"

#include <string>

class TesselButton;
namespace layer
{
class TextLayer;
}

class TMessageBox : public TesselDialog, public widget::ButtonListener
{
public:
    static constexpr const wchar_t* kLayout = L"td/data/mm";
    static constexpr const wchar_t* kCaptionPlace = L"text/caption";

    // With a caption key the box has a caption over its message, where the layout has a place for
    // it; without that place the box opens without its caption (the caller may tell).
    TMessageBox(const std::wstring& messageKey, const std::wstring& command, const std::wstring& captionKey = L"");

    QLResultEnum Build() override;
    QLResultEnum OnClick(widget::Button* button) override;

    std::wstring mMessageKey;
    std::wstring mCommand;
    std::wstring mCaptionKey;
    layer::TextLayer* mCaption = nullptr;
    layer::TextLayer* mMessage = nullptr;
    TesselButton* mCloseButton = nullptr;
    TesselButton* mConfirmButton = nullptr;

private:
    QLResultEnum MakeButton(float x, float y, TesselButton** out);
    // The label of a button, placed on its own point.
    QLResultEnum AddLabel(const std::wstring& place, const std::wstring& key, float x, float y);
};
