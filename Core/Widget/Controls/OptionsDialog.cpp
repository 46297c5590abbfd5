// The options window.
#include "Core/Widget/Controls/OptionsDialog.h"

#include "Core/Layer/ImageLayer.h"
#include "Core/Layer/TextLayer.h"
#include "Core/Media/Graphics/Font.h"
#include "Core/Media/Sound/SoundSystem.h"
#include "Core/Widget/Controls/ControlHost.h"
#include "Core/Widget/Controls/GameSettings.h"
#include "Core/Widget/Controls/TMessageBox.h"
#include "Core/Widget/Controls/TesselButton.h"
#include "Core/Widget/Controls/TesselSlider.h"
#include "Core/Widget/Controls/TesselSwitchButton.h"
#include "Core/Widget/FrameManager.h"

#include <algorithm>
#include <memory>

namespace
{
// Fonts of the root board used here.
constexpr u32 kTitleFont = 2;
constexpr u32 kTextFont = 0;
} // namespace

OptionsDialog::OptionsDialog() { mEffectsName = "Options"; }

QLResultEnum OptionsDialog::MakeButton(const std::wstring& normal, const std::wstring& highlight,
                                       const std::wstring& beneath, TesselButton** out)
{
    auto button = std::make_unique<TesselButton>();
    if (QLResultEnum r = button->Init(GetContainer(), normal, highlight, beneath))
        return r;
    button->SetButtonListener(this);
    (void)AddChild(static_cast<widget::Button*>(button.get()));
    *out = button.release(); // the dialog's child from now on
    return QL_OK;
}

QLResultEnum OptionsDialog::MakeSlider(const std::wstring& folder, TesselSlider** out)
{
    auto slider = std::make_unique<TesselSlider>();
    const std::wstring base = L"main_options/" + folder + L"/" + folder;
    if (QLResultEnum r = slider->Init(GetContainer(), base + L"_bar", base + L"_begunok", base + L"_frame"))
        return r;
    slider->SetSliderListener(this);
    (void)AddChild(static_cast<widget::Slider*>(slider.get()));
    *out = slider.release(); // the dialog's child from now on
    // The back goes beneath everything and traps the pointer around the slider.
    return AddImageLayer(base + L"_back", HIT_TRAP, nullptr, nullptr);
}

QLResultEnum OptionsDialog::MakeSwitch(const std::wstring& normal, const std::wstring& highlight,
                                       const std::wstring& beneath, const std::wstring& on, TesselSwitchButton** out)
{
    auto button = std::make_unique<TesselSwitchButton>();
    if (QLResultEnum r = button->Init(GetContainer(), normal, highlight, on, beneath))
        return r;
    button->SetButtonListener(this);
    (void)AddChild(static_cast<widget::Button*>(button.get()));
    *out = button.release(); // the dialog's child from now on
    return QL_OK;
}

QLResultEnum OptionsDialog::AddControlText(layer::Layer* control, const std::wstring& key, u32 font,
                                           layer::TextLayer** out)
{
    auto text = std::make_unique<layer::TextLayer>(gui::ControlHost::Get()->GetFont(font), gui::Localize(key));
    text->SetAlignment(2, 2);
    *out = text.get();
    (void)AttachLast(std::move(text), HIT_NONE, control);
    return QL_OK;
}

QLResultEnum OptionsDialog::Build()
{
    if (QLResultEnum r =
            GameControlHelper::Init(kLayout, this, static_cast<widget::WidgetHitTestListener*>(this), nullptr, true))
        return r;
    gui::ControlHost* host = gui::ControlHost::Get();
    if (QLResultEnum r = AppendImageLayer(L"title", HIT_NONE, nullptr, nullptr))
        return r;
    const std::pair<const wchar_t*, const wchar_t*> texts[] = {
        {L"main_options/options_title", L"options_OptionsTitle"},
        {L"main_options/sounds_and_music", L"options_OptionsSounds"},
        {L"main_options/game_type", L"options_OptionsGameType"},
        {L"main_options/window_type", L"options_OptionsWindowType"},
    };
    for (const auto& [place, key] : texts)
    {
        layer::TextLayer* text = nullptr;
        if (QLResultEnum r =
                AddText(place, key, host->GetFont(place == texts[0].first ? kTitleFont : kTextFont), &text))
            return r;
        FitToPlace(text, place);
    }

    const std::wstring shadow = L"buttons/menu/menu_sh";
    if (QLResultEnum r = MakeButton(L"buttons/menu/menu_in", L"buttons/menu/menu_ac", shadow, &mMenuButton))
        return r;
    if (QLResultEnum r = MakeButton(L"buttons/close/ok_in", L"buttons/close/ok_ac", shadow, &mOkButton))
        return r;
    if (QLResultEnum r = MakeButton(L"buttons/cheat/cheat_in", L"buttons/cheat/cheat_ac", shadow, &mCheatButton))
        return r;
    if (QLResultEnum r =
            AddText(L"buttons/close/close_caption", L"options_OptionsOk", host->GetFont(kTextFont), nullptr))
        return r;
    if (QLResultEnum r = MakeSlider(L"sound", &mSoundSlider))
        return r;
    if (QLResultEnum r = MakeSlider(L"music", &mMusicSlider))
        return r;
    if (QLResultEnum r = MakeButton(L"buttons/music_dec/b_in", L"buttons/music_dec/b_ac", shadow, &mMusicMinus))
        return r;
    if (QLResultEnum r = MakeButton(L"buttons/music_inc/b_in", L"buttons/music_inc/b_ac", shadow, &mMusicPlus))
        return r;
    if (QLResultEnum r = MakeButton(L"buttons/sound_dec/b_in", L"buttons/sound_dec/b_ac", shadow, &mSoundMinus))
        return r;
    if (QLResultEnum r = MakeButton(L"buttons/sound_inc/b_in", L"buttons/sound_inc/b_ac", shadow, &mSoundPlus))
        return r;
    if (QLResultEnum r = MakeSwitch(L"main_options/window/window_nonselected", L"main_options/window/window_ac",
                                    L"main_options/window/window_sh", L"main_options/window/window_in", &mWindowSwitch))
        return r;
    layer::TextLayer* caption = nullptr;
    layer::TextLayer* addition = nullptr;
    (void)AddControlText(mWindowSwitch, L"options_caption", kTextFont, &caption);
    const render::Font* font = caption->mFont.Get();
    caption->SetY(-((font ? font->GetLineAdvance() : 0.0f) - 2.0f) * 0.5f);
    caption->AlignToPixels();
    (void)AddControlText(mWindowSwitch, L"options_window_add", kTextFont, &addition);
    addition->SetScale(0.6f, 0.6f, 1.0f);
    // The caption sits above the centre line; the size line hangs below it, clear of the caption.
    addition->SetAlignment(2, 0);
    addition->SetY(2.0f);
    addition->AlignToPixels();
    if (QLResultEnum r = MakeSwitch(L"main_options/fullscreen/fullscreen_nonselected",
                                    L"main_options/fullscreen/fullscreen_ac", L"main_options/fullscreen/main_menu_sh",
                                    L"main_options/fullscreen/main_menu_in", &mFullScreenSwitch))
        return r;
    layer::TextLayer* fullScreen = nullptr;
    (void)AddControlText(mFullScreenSwitch, L"options_fs", kTextFont, &fullScreen);
    fullScreen->AlignToPixels();

    // The stored volumes go to the sound system; the sliders show them without telling anyone.
    gui::GameSettings* settings = gui::GameSettings::Get();
    SoundSystem* sound = SoundSystem::Instance();
    sound->SetMusicVolume(settings ? settings->GetMusicVolume() : 1.0f);
    sound->SetSoundVolume(settings ? settings->GetSoundVolume() : 1.0f);
    mSoundSlider->SetValue(sound->GetSoundVolume(), true);
    mMusicSlider->SetValue(sound->GetMusicVolume(), true);
    ShowScreenMode();
    return QL_OK;
}

void OptionsDialog::ShowScreenMode()
{
    const bool windowed = gui::ControlHost::Get()->IsWindowed();
    if (mWindowSwitch)
        mWindowSwitch->SetOn(windowed);
    if (mFullScreenSwitch)
        mFullScreenSwitch->SetOn(!windowed);
}

QLResultEnum OptionsDialog::Update(float)
{
    if (mWindowSwitch && mWindowSwitch->IsOn() != gui::ControlHost::Get()->IsWindowed())
        ShowScreenMode();
    return QL_OK;
}

QLResultEnum OptionsDialog::StepVolume(TesselSlider* slider, float current, float step)
{
    const float value = std::clamp(current + step, 0.0f, 1.0f);
    if (QLResultEnum r = slider->SetValueChanged(value, true))
        return r;
    return QL_OK;
}

QLResultEnum OptionsDialog::OnClick(widget::Button* button)
{
    gui::ControlHost* host = gui::ControlHost::Get();
    host->PlaySound(L"simple");
    SoundSystem* sound = SoundSystem::Instance();
    if (button == mMenuButton || button == mOkButton)
        return Hide(true);
    // A radio pair: the switch of the mode already current does nothing, whatever it showed.
    if (auto* choice = widget::WidgetCast<TesselSwitchButton>(button))
    {
        const bool wantWindow = choice == mWindowSwitch;
        if (host->IsWindowed() == wantWindow)
        {
            ShowScreenMode();
            return QL_OK;
        }
    }
    if (button == mFullScreenSwitch)
    {
        const QLResultEnum r = host->SwitchScreenMode();
        ShowScreenMode();
        return r;
    }
    if (button == mWindowSwitch)
    {
        if (host->IsWindowLargerThanScreen())
        {
            auto box = std::make_unique<TMessageBox>(L"IllegalResolutionMessage", L"");
            if (QLResultEnum r = box->Build(); r || !GetManager())
                return r;
            return GetManager()->ShowModal(box.release(), true);
        }
        const QLResultEnum r = host->SwitchScreenMode();
        ShowScreenMode();
        return r;
    }
    if (button == mMusicMinus)
        return StepVolume(mMusicSlider, sound->GetMusicVolume(), -kVolumeStep);
    if (button == mMusicPlus)
        return StepVolume(mMusicSlider, sound->GetMusicVolume(), kVolumeStep);
    if (button == mSoundMinus)
        return StepVolume(mSoundSlider, sound->GetSoundVolume(), -kVolumeStep);
    if (button == mSoundPlus)
        return StepVolume(mSoundSlider, sound->GetSoundVolume(), kVolumeStep);
    if (button == mCheatButton)
    {
        if (gui::GameSettings* settings = gui::GameSettings::Get())
            settings->EnableDebugKeys();
    }
    return QL_OK;
}

QLResultEnum OptionsDialog::OnValueChanged(widget::Slider* slider, float value)
{
    gui::GameSettings* settings = gui::GameSettings::Get();
    if (slider == mSoundSlider)
    {
        SoundSystem::Instance()->SetSoundVolume(value);
        if (settings)
            settings->SetSoundVolume(value);
    }
    else if (slider == mMusicSlider)
    {
        SoundSystem::Instance()->SetMusicVolume(value);
        if (settings)
            settings->SetMusicVolume(value);
    }
    return QL_OK;
}
