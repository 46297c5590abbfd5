// The modal message box.
#include "Core/Widget/Controls/TMessageBox.h"

#include "Core/Layer/TextLayer.h"
#include "Core/Media/Graphics/Font.h"
#include "Core/Media/Image/ImageInfo.h"
#include "Core/Widget/Controls/ControlHost.h"
#include "Core/Widget/Controls/GameSettings.h"
#include "Core/Widget/Controls/TesselButton.h"

#include <memory>

namespace
{
// The root board's fonts: "main_42_3" for the message and the labels, "main_80" for the caption.
constexpr u32 kFont = 4;
constexpr u32 kCaptionFont = 5;
// Button centres in the box's own space.
constexpr float kButtonY = 535.0f;
constexpr float kSingleX = 516.0f;
constexpr float kCancelX = 642.0f;
constexpr float kConfirmX = 390.0f;
} // namespace

TMessageBox::TMessageBox(const std::wstring& messageKey, const std::wstring& command, const std::wstring& captionKey)
    : mMessageKey(messageKey), mCommand(command), mCaptionKey(captionKey)
{
}

QLResultEnum TMessageBox::MakeButton(float x, float y, TesselButton** out)
{
    auto button = std::make_unique<TesselButton>();
    if (QLResultEnum r = button->Init(GetContainer(), L"button/b1_normal", L"button/b1_over", L"button/b1_ok/label"))
        return r;
    button->SetButtonListener(this);
    (void)AddChild(static_cast<widget::Button*>(button.get()));
    button->SetPosition(x, y, 0.0f);
    *out = button.release(); // the box's child from now on
    return QL_OK;
}

QLResultEnum TMessageBox::AddLabel(const std::wstring& place, const std::wstring& key, float x, float y)
{
    layer::TextLayer* label = nullptr;
    if (QLResultEnum r = AddText(place, key, gui::ControlHost::Get()->GetFont(kFont), &label))
        return r;
    label->SetPosition(x, y, 0.0f);
    label->AlignToPixels();
    return QL_OK;
}

QLResultEnum TMessageBox::Build()
{
    if (QLResultEnum r =
            GameControlHelper::Init(kLayout, this, static_cast<widget::WidgetHitTestListener*>(this), nullptr, true))
        return r;
    if (QLResultEnum r = AppendImageLayer(L"back", HIT_NONE, nullptr, nullptr))
        return r;
    gui::ControlHost* host = gui::ControlHost::Get();
    // A layout without a caption place still shows the box, without its caption (mCaption null).
    if (!mCaptionKey.empty() && FindLayoutLayer(kCaptionPlace))
    {
        if (QLResultEnum r = AddText(kCaptionPlace, mCaptionKey, host->GetFont(kCaptionFont), &mCaption))
            return r;
        FitToPlace(mCaption, kCaptionPlace);
    }
    if (QLResultEnum r = AddText(L"text/message", mMessageKey, host->GetFont(kFont), &mMessage))
        return r;
    // Wrapped to its place, each line centred.
    if (const base::ImageInfo* place = FindLayoutLayer(L"text/message"))
    {
        render::TextFormat format = mMessage->mFormat;
        format.mWrapWidth = place->mWidth;
        format.mAlignment = 2;
        mMessage->SetFormat(format);
        mMessage->SetPosition(place->mX + place->mWidth * 0.5f, place->mY + place->mHeight * 0.5f, 0.0f);
        mMessage->AlignToPixels();
    }
    if (mCommand.empty())
    {
        if (QLResultEnum r = MakeButton(kSingleX, kButtonY, &mCloseButton))
            return r;
        return AddLabel(L"button/b1_cancel/label", L"b1_ok", kSingleX, kButtonY);
    }
    if (QLResultEnum r = MakeButton(kCancelX, kButtonY, &mCloseButton))
        return r;
    if (QLResultEnum r = AddLabel(L"button/b1_cancel/label", L"b1_cancel", kCancelX, kButtonY))
        return r;
    if (QLResultEnum r = MakeButton(kConfirmX, kButtonY, &mConfirmButton))
        return r;
    return AddLabel(L"button/b1_ok/label", L"b1_ok", kConfirmX, kButtonY);
}

QLResultEnum TMessageBox::OnClick(widget::Button* button)
{
    gui::ControlHost::Get()->PlaySound(L"simple");
    if (button == mCloseButton)
        return Hide(true);
    if (button == mConfirmButton)
    {
        // Copied: the box may be gone once the game has acted.
        const std::wstring command = mCommand;
        if (QLResultEnum r = Hide(true))
            return r;
        if (gui::GameSettings* settings = gui::GameSettings::Get())
            settings->OnMessageBoxResult(command);
    }
    return QL_OK;
}
