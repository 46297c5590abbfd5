// Skinned push buttons.
#include "Core/Widget/Controls/TesselButton.h"

#include "Core/Layer/ImageLayer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace gui
{
float MoveToward(float value, float target, float step)
{
    if (std::fabs(target - value) <= step)
        return target;
    return value < target ? value + step : value - step;
}

void SetScaleIfChanged(layer::Layer& layer, float sx, float sy, float sz)
{
    constexpr float kEpsilon = 0.0002f;
    if (std::fabs(layer.mScale.x - sx) > kEpsilon || std::fabs(layer.mScale.y - sy) > kEpsilon ||
        std::fabs(layer.mScale.z - sz) > kEpsilon)
        layer.SetScale(sx, sy, sz);
}
void ShowHitState(layer::Layer* normal, layer::Layer* highlight, u32 state)
{
    if (state > widget::Button::STATE_PRESSED)
        return;
    const bool rest = state == widget::Button::STATE_NORMAL;
    if (normal)
        normal->mHitTestable = rest;
    if (highlight)
        highlight->mHitTestable = !rest;
}

float NormalOpacity(float glow) { return glow > 0.9f ? std::max(0.0f, 1.0f - (glow - 0.9f) * 10.0f) : 1.0f; }
} // namespace gui

TesselButton::TesselButton() : gui::GameControl(2) {}

widget::TypeDescriptor& TesselButton::StaticTypeDescriptor()
{
    static widget::TypeDescriptor descriptor = widget::DeriveTypeDescriptor(widget::Button::StaticTypeDescriptor());
    return descriptor;
}

QLResultEnum TesselButton::Init(file::ImageContainer* container, const std::wstring& normalName,
                                const std::wstring& highlightName, const std::wstring& extraName)
{
    Attach(this, false);
    SetLayer(static_cast<gui::GameControl*>(this), false, false);
    // SetLayer re-applied the listener without draw hooks.
    SetListener(static_cast<widget::WidgetListener*>(this), false);
    if (QLResultEnum r =
            GameControlHelper::Init(container, this, static_cast<widget::WidgetHitTestListener*>(this), nullptr, false))
        return r;
    if (QLResultEnum r = LoadStateLayer(SLOT_NORMAL, normalName, nullptr))
        return r;
    if (QLResultEnum r = LoadStateLayer(SLOT_HIGHLIGHT, highlightName, nullptr))
        return r;
    LayoutStateLayers();
    if (!extraName.empty())
        if (QLResultEnum r = AddImageLayer(extraName, HIT_NONE, this, nullptr))
            return r;
    return SetVisualState(STATE_NORMAL);
}

QLResultEnum TesselButton::SetVisualState(u32 state)
{
    gui::ShowHitState(GetStateLayer(SLOT_NORMAL), GetStateLayer(SLOT_HIGHLIGHT), state);
    return QL_OK;
}

QLResultEnum TesselButton::Update(float dt)
{
    const bool lit = mVisualState == STATE_OVER || mVisualState == STATE_PRESSED;
    mGlow = gui::MoveToward(mGlow, lit ? 1.0f : 0.0f, 3.0f * dt);
    mPress = gui::MoveToward(mPress, mVisualState == STATE_PRESSED ? 1.0f : 0.0f, 5.0f * dt);
    if (layer::Layer* highlight = GetStateLayer(SLOT_HIGHLIGHT))
        highlight->mAlpha = mGlow;
    if (layer::Layer* normal = GetStateLayer(SLOT_NORMAL))
        normal->mAlpha = gui::NormalOpacity(mGlow);
    const float s = 1.0f - (0.5f - std::cos(mPress * std::numbers::pi_v<float>) * 0.5f) * 0.05f;
    // z stays 1: a zero z scale would make point conversion divide by zero.
    gui::SetScaleIfChanged(*this, s, s, 1.0f);
    return QL_OK;
}
