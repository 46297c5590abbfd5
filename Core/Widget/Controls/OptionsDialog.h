// The options window: sound and music volume (slider, minus and plus each), windowed or full
// screen (a radio pair of switches), the developer keys, and closing. Volumes apply and are
// saved at once.
#pragma once

#include "Core/Widget/Controls/ButtonListener.h"
#include "Core/Widget/Controls/SliderListener.h"
#include "Core/Widget/Controls/TesselDialog.h"

class TesselButton;
class TesselSlider;
class TesselSwitchButton;

class OptionsDialog : public TesselDialog, public widget::ButtonListener, public widget::SliderListener
{
public:
    static constexpr const wchar_t* kLayout = L"td/options";
    static constexpr float kVolumeStep = 0.25f;

    OptionsDialog();

    QLResultEnum Build() override;
    QLResultEnum OnClick(widget::Button* button) override;
    QLResultEnum OnValueChanged(widget::Slider* slider, float value) override;

    // Each frame: the switches follow the screen mode, also when it changed elsewhere (Alt+Enter).
    QLResultEnum Update(float dt) override;

    // The switches show the current screen mode.
    void ShowScreenMode();

    TesselButton* mMusicMinus = nullptr;
    TesselButton* mMusicPlus = nullptr;
    TesselButton* mSoundMinus = nullptr;
    TesselButton* mSoundPlus = nullptr;
    TesselButton* mMenuButton = nullptr;
    TesselButton* mOkButton = nullptr;
    TesselButton* mCheatButton = nullptr;
    TesselSlider* mSoundSlider = nullptr;
    TesselSlider* mMusicSlider = nullptr;
    TesselSwitchButton* mWindowSwitch = nullptr;
    TesselSwitchButton* mFullScreenSwitch = nullptr;

private:
    QLResultEnum MakeButton(const std::wstring& normal, const std::wstring& highlight, const std::wstring& beneath,
                            TesselButton** out);
    QLResultEnum MakeSlider(const std::wstring& folder, TesselSlider** out);
    QLResultEnum MakeSwitch(const std::wstring& normal, const std::wstring& highlight, const std::wstring& beneath,
                            const std::wstring& on, TesselSwitchButton** out);
    // A localised text attached to a control, centred on it.
    QLResultEnum AddControlText(layer::Layer* control, const std::wstring& key, u32 font, layer::TextLayer** out);
    QLResultEnum StepVolume(TesselSlider* slider, float current, float step);
};
