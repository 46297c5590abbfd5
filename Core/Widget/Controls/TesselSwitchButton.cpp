// Skinned switches.
#include "Core/Widget/Controls/TesselSwitchButton.h"

#include "Core/Layer/ImageLayer.h"
#include "Core/Widget/Controls/TesselButton.h"
#include "Core/Widget/Controls/TrapHitTestListener.h"

#include <algorithm>
#include <cmath>
#include <numbers>

TesselSwitchButton::TesselSwitchButton() : gui::GameControl(3) {}

widget::TypeDescriptor& TesselSwitchButton::StaticTypeDescriptor()
{
    static widget::TypeDescriptor descriptor = widget::DeriveTypeDescriptor(widget::Button::StaticTypeDescriptor());
    return descriptor;
}

QLResultEnum TesselSwitchButton::Init(file::ImageContainer* container, const std::wstring& normalName,
                                      const std::wstring& highlightName, const std::wstring& onName,
                                      const std::wstring& extraName)
{
    Attach(this, false);
    SetLayer(static_cast<gui::GameControl*>(this), false, false);
    if (QLResultEnum r =
            GameControlHelper::Init(container, this, static_cast<widget::WidgetHitTestListener*>(this), nullptr, false))
        return r;
    layer::ImageLayer* on = nullptr;
    if (QLResultEnum r = LoadStateLayer(SLOT_ON, onName, &on))
        return r;
    if (on)
        on->SetHitListener(GetTrapListener());
    if (QLResultEnum r = LoadStateLayer(SLOT_NORMAL, normalName, nullptr))
        return r;
    if (QLResultEnum r = LoadStateLayer(SLOT_HIGHLIGHT, highlightName, nullptr))
        return r;
    LayoutStateLayers();
    if (!extraName.empty())
        if (QLResultEnum r = AddImageLayer(extraName, HIT_NONE, this, nullptr))
            return r;
    if (QLResultEnum r = SetVisualState(STATE_NORMAL))
        return r;
    return Update(0.0f);
}

void TesselSwitchButton::SetOn(bool on)
{
    mOn = on;
    layer::HitTestListener* listener = on ? nullptr : static_cast<widget::WidgetHitTestListener*>(this);
    for (i32 slot : {SLOT_NORMAL, SLOT_HIGHLIGHT})
        if (layer::Layer* layer = GetStateLayer(slot))
            layer->SetHitListener(listener);
}

QLResultEnum TesselSwitchButton::SetVisualState(u32 state)
{
    gui::ShowHitState(GetStateLayer(SLOT_NORMAL), GetStateLayer(SLOT_HIGHLIGHT), state);
    return QL_OK;
}

QLResultEnum TesselSwitchButton::Update(float dt)
{
    const bool lit = mVisualState == STATE_OVER || mVisualState == STATE_PRESSED;
    mGlow = gui::MoveToward(mGlow, lit ? 1.0f : 0.0f, 3.0f * dt);
    mPress = gui::MoveToward(mPress, mVisualState == STATE_PRESSED ? 1.0f : 0.0f, 5.0f * dt);
    mOnness = gui::MoveToward(mOnness, mOn ? 1.0f : 0.0f, 5.0f * dt);
    if (layer::Layer* highlight = GetStateLayer(SLOT_HIGHLIGHT))
        highlight->mAlpha = (1.0f - mOnness) * mGlow;
    if (layer::Layer* normal = GetStateLayer(SLOT_NORMAL))
        normal->mAlpha = (1.0f - mOnness) * gui::NormalOpacity(mGlow);
    if (layer::Layer* on = GetStateLayer(SLOT_ON))
        on->mAlpha = mOnness < 0.1f ? mOnness * 10.0f : 1.0f;
    const float s = 1.0f + (0.5f - std::cos(mGlow * std::numbers::pi_v<float>) * 0.5f) * 0.1f;
    gui::SetScaleIfChanged(*this, s, s, 1.0f);
    return QL_OK;
}
