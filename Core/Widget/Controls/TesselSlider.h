// The skinned horizontal slider: a bar filled up to the thumb, a thumb that can be dragged, a
// press on the bar that glides the thumb there (200 pixels per second, cosine ease), a slight
// shrink of the held thumb and a particle shine that follows it.
#pragma once

#include "Core/Widget/Controls/GameControl.h"
#include "Core/Widget/Controls/Slider.h"
#include "Core/Widget/WidgetHitTestListener.h"
#include "Core/Widget/WidgetListener.h"

class SliderLayer;
namespace layer
{
class ImageLayer;
class ParticlesLayer;
} // namespace layer
namespace render
{
class ParticleEmitter;
}

class TesselSlider : public gui::GameControl,
                     public widget::Slider,
                     public widget::WidgetListener,
                     public widget::WidgetHitTestListener
{
public:
    enum Slot : i32
    {
        SLOT_BAR = 0,
        SLOT_THUMB = 1,
    };
    static constexpr float kGlideSpeed = 200.0f; // pixels per second

    TesselSlider();

    const widget::TypeDescriptor& GetTypeDescriptor() const override { return StaticTypeDescriptor(); }
    static widget::TypeDescriptor& StaticTypeDescriptor();

    // frameName is accepted and not drawn: the track beside the bar is the owner's picture (the
    // options panel's groove). Starts at the maximum (reported as a change).
    QLResultEnum Init(file::ImageContainer* container, const std::wstring& barName, const std::wstring& thumbName,
                      const std::wstring& frameName);

    void UpdateView() override;
    void FillCaptureRecord(const math::Point3& point, widget::CaptureRecord& record) override;
    QLResultEnum Update(float dt) override;
    QLResultEnum OnCapturedMouseUp(const widget::CaptureRecord& capture, const math::Point3& point,
                                   u32 button) override;
    QLResultEnum OnCapturedMouseDrag(const widget::CaptureRecord& capture, const math::Point3& point) override;

    // Track x of a value and value of a track x.
    float XOfValue(float value) const;
    float ValueOfX(float x) const;
    float ClampToTrack(float x) const;
    // Holder, bar fill and shine follow x.
    void MoveThumb(float x);
    bool IsGliding() const { return mGlideDuration != 0.0f; }

    layer::ImageLayer* mThumbImage = nullptr;
    SliderLayer* mBar = nullptr;
    layer::Layer* mThumbHolder = nullptr;
    layer::ParticlesLayer* mShine = nullptr;
    render::ParticleEmitter* mShineEmitter = nullptr; // owned by the shine layer
    float mTrackLeft = 0.0f;
    float mTrackRight = 0.0f;
    float mHalfThumbWidth = 0.0f;
    float mHold = 0.0f;
    // What the shine was last told: nothing yet, play (hovered, held or gliding), or finish.
    enum class ShineState : u8
    {
        kShineNone = 0,
        kShinePlaying = 1,
        kShineFinishing = 2,
    };
    using enum ShineState;
    ShineState mShineState = kShineNone;
    bool mGrabbing = false;
    float mGlideStart = 0.0f;
    float mGlideTarget = 0.0f;
    float mGlideDuration = 0.0f;
    float mGlideTime = 0.0f;
};
