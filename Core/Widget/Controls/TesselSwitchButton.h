// A skinned two-state switch: while on it shows its on image and ignores presses (switches are
// used as radio pairs); while off it behaves as a push button with a hover zoom.
#pragma once

#include "Core/Widget/Controls/Button.h"
#include "Core/Widget/Controls/ButtonMediator.h"
#include "Core/Widget/Controls/GameControl.h"

class TesselSwitchButton : public gui::GameControl, public widget::Button, public widget::ButtonMediator
{
public:
    enum Slot : i32
    {
        SLOT_ON = 0,
        SLOT_NORMAL = 1,
        SLOT_HIGHLIGHT = 2,
    };

    TesselSwitchButton();

    const widget::TypeDescriptor& GetTypeDescriptor() const override { return StaticTypeDescriptor(); }
    static widget::TypeDescriptor& StaticTypeDescriptor();

    QLResultEnum Init(file::ImageContainer* container, const std::wstring& normalName,
                      const std::wstring& highlightName, const std::wstring& onName, const std::wstring& extraName);
    void SetOn(bool on);
    bool IsOn() const { return mOn; }
    QLResultEnum SetVisualState(u32 state) override;
    QLResultEnum Update(float dt) override;

    bool mOn = false;
    float mGlow = 0.0f;
    float mPress = 0.0f;
    float mOnness = 0.0f;
};
