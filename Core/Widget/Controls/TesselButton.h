// A skinned push button: a normal and a highlight image from a layout, cross-faded by the hover
// glow, shrinking slightly while pressed.
#pragma once

#include "Core/Widget/Controls/Button.h"
#include "Core/Widget/Controls/ButtonMediator.h"
#include "Core/Widget/Controls/GameControl.h"

class TesselButton : public gui::GameControl, public widget::Button, public widget::ButtonMediator
{
public:
    enum Slot : i32
    {
        SLOT_NORMAL = 0,
        SLOT_HIGHLIGHT = 1,
    };

    TesselButton();

    const widget::TypeDescriptor& GetTypeDescriptor() const override { return StaticTypeDescriptor(); }
    static widget::TypeDescriptor& StaticTypeDescriptor();

    // An empty name leaves that image out; extraName goes beneath, not hit-testable.
    QLResultEnum Init(file::ImageContainer* container, const std::wstring& normalName,
                      const std::wstring& highlightName, const std::wstring& extraName);
    QLResultEnum SetVisualState(u32 state) override;
    QLResultEnum Update(float dt) override;

    float mGlow = 0.0f;
    float mPress = 0.0f;
};

namespace gui
{
// Moves value toward target by at most step; within one step it arrives.
float MoveToward(float value, float target, float step);
// Sets the layer's scale when it differs by more than a hair in any component.
void SetScaleIfChanged(layer::Layer& layer, float sx, float sy, float sz);
// At rest the normal image takes the hits, over or pressed the highlight; other states change nothing.
void ShowHitState(layer::Layer* normal, layer::Layer* highlight, u32 state);
// The normal image fades out over the last tenth of the glow.
float NormalOpacity(float glow);
} // namespace gui
