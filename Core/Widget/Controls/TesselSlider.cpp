// Skinned sliders.
#include "Core/Widget/Controls/TesselSlider.h"

#include "Core/Layer/ImageLayer.h"
#include "Core/Layer/ParticlesLayer.h"
#include "Core/Media/Image/Image.h"
#include "Core/Media/Image/ImageFactory.h"
#include "Core/Media/Image/ImageInfo.h"
#include "Core/Media/Particles/ParticleEmitter.h"
#include "Core/Widget/CaptureRecord.h"
#include "Core/Widget/Controls/ControlHost.h"
#include "Core/Widget/Controls/SliderLayer.h"
#include "Core/Widget/Controls/TesselButton.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <utility>

TesselSlider::TesselSlider() : gui::GameControl(2), widget::WidgetHitTestListener(this) {}

widget::TypeDescriptor& TesselSlider::StaticTypeDescriptor()
{
    static widget::TypeDescriptor descriptor = widget::DeriveTypeDescriptor(widget::Slider::StaticTypeDescriptor());
    return descriptor;
}

QLResultEnum TesselSlider::Init(file::ImageContainer* container, const std::wstring& barName,
                                const std::wstring& thumbName, const std::wstring& /*frameName*/)
{
    SetLayer(static_cast<gui::GameControl*>(this), false, false);
    SetListener(static_cast<widget::WidgetListener*>(this), false);
    auto* hit = static_cast<widget::WidgetHitTestListener*>(this);
    if (QLResultEnum r = GameControlHelper::Init(container, this, hit, nullptr, false))
        return r;
    SetHitListener(hit);
    render::Render* render = gui::ControlHost::Get()->GetRender();
    i32 barWidth = 0;
    if (!barName.empty())
    {
        render::Image* image = nullptr;
        base::ImageInfo info;
        if (QLResultEnum r = render::LoadImage(render, barName, container, &image, &info))
            return r;
        auto bar = std::make_unique<SliderLayer>(std::unique_ptr<render::Image>(image));
        mBar = bar.get();
        mBar->SetHitListener(hit);
        mBar->SetPosition(info.mX, info.mY, 0.0f);
        barWidth = image->GetWidth();
        SetStateLayer(SLOT_BAR, std::move(bar), math::Rect(info.mX, info.mY, info.mWidth, info.mHeight));
    }
    i32 thumbWidth = 0;
    if (!thumbName.empty())
    {
        render::Image* image = nullptr;
        base::ImageInfo info;
        if (QLResultEnum r = render::LoadImage(render, thumbName, container, &image, &info))
            return r;
        thumbWidth = image->GetWidth();
        auto thumb = std::make_unique<layer::ImageLayer>(std::unique_ptr<render::Image>(image));
        mThumbImage = thumb.get();
        mThumbImage->SetHitListener(hit);
        mThumbImage->SetPosition(2.0f - static_cast<float>(image->GetWidth()) * 0.5f,
                                 -static_cast<float>(image->GetHeight()) * 0.5f, 0.0f);
        auto holder = std::make_unique<layer::Layer>();
        mThumbHolder = holder.get();
        mThumbHolder->AddChild(mThumbImage);
        (void)AttachLast(std::move(thumb), HIT_KEEP, mThumbHolder);
        mThumbHolder->SetPosition(info.mX, info.mY, 0.0f);
        SetStateLayer(SLOT_THUMB, std::move(holder), math::Rect(info.mX, info.mY, info.mWidth, info.mHeight));
    }
    LayoutStateLayers();
    mHalfThumbWidth = static_cast<float>(thumbWidth / 2);
    mTrackLeft = (mBar ? mBar->mPosition.x : 0.0f) + mHalfThumbWidth;
    mTrackRight = mTrackLeft + static_cast<float>(barWidth - thumbWidth - 2);
    mShineEmitter = gui::ControlHost::Get()->CreateEmitter("blik_1");
    if (mShineEmitter)
        mShineEmitter->SetState(render::ParticleEmitter::PLAYING);
    auto shine = std::make_unique<layer::ParticlesLayer>(std::unique_ptr<render::ParticleEmitter>(mShineEmitter));
    mShine = shine.get();
    (void)AttachLast(std::move(shine), HIT_NONE, this);
    return SetValueChanged(mMaximum, true);
}

float TesselSlider::XOfValue(float value) const
{
    const float range = mMaximum - mMinimum;
    const float fraction = range == 0.0f ? 0.0f : (value - mMinimum) / range;
    return mTrackLeft + (mTrackRight - mTrackLeft) * fraction;
}

float TesselSlider::ValueOfX(float x) const
{
    const float track = mTrackRight - mTrackLeft;
    if (track == 0.0f)
        return mMinimum;
    return (mMaximum - mMinimum) * (x - mTrackLeft) / track + mMinimum;
}

float TesselSlider::ClampToTrack(float x) const { return std::clamp(x, mTrackLeft, std::max(mTrackLeft, mTrackRight)); }

void TesselSlider::MoveThumb(float x)
{
    if (mThumbHolder)
        mThumbHolder->SetX(x);
    if (mBar)
        mBar->SetVisibleWidth(x - mBar->mPosition.x);
    if (mShineEmitter)
        mShineEmitter->SetPosition(x, 0.0f, 0);
}

void TesselSlider::UpdateView() { MoveThumb(XOfValue(mValue)); }

void TesselSlider::FillCaptureRecord(const math::Point3& hitPoint, widget::CaptureRecord& record)
{
    // The walk hands the point in the hit layer's space; the glide and grab work in the control's.
    math::Point3 point = hitPoint;
    for (layer::Layer* l = mNotifiedLayer; l && l != static_cast<gui::GameControl*>(this); l = l->GetParent())
    {
        point.x = point.x * l->mScale.x + l->mPosition.x;
        point.y = point.y * l->mScale.y + l->mPosition.y;
    }
    record.widget = this;
    record.layer = static_cast<gui::GameControl*>(this);
    record.grabPoint = point;
    record.convertInParentSpace = false;
    const float holderX = mThumbHolder ? mThumbHolder->mPosition.x : 0.0f;
    if (mBar && mNotifiedLayer == mBar)
    {
        mGrabbing = true;
        mGlideStart = holderX;
        mGlideTarget = ClampToTrack(point.x);
        mGlideDuration = std::fabs(mGlideTarget - mGlideStart) / kGlideSpeed;
        mGlideTime = 0.0f;
        record.grabPoint.x = 0.0f;
    }
    else if (mThumbImage && mNotifiedLayer == mThumbImage)
    {
        mGrabbing = true;
        mGlideDuration = 0.0f;
        mGlideStart = mGlideTarget = holderX;
        record.grabPoint.x = point.x - holderX;
    }
}

QLResultEnum TesselSlider::OnCapturedMouseDrag(const widget::CaptureRecord& capture, const math::Point3& point)
{
    if (QLResultEnum r = widget::WidgetListener::OnCapturedMouseDrag(capture, point))
        return r;
    if (!mGrabbing)
        return QL_OK;
    const float x = ClampToTrack(point.x - capture.grabPoint.x);
    if (IsGliding())
    {
        mGlideTarget = x;
        return QL_OK;
    }
    MoveThumb(x);
    return SetValueChanging(ValueOfX(x), false);
}

QLResultEnum TesselSlider::OnCapturedMouseUp(const widget::CaptureRecord& capture, const math::Point3& point,
                                             u32 button)
{
    if (QLResultEnum r = widget::WidgetListener::OnCapturedMouseUp(capture, point, button))
        return r;
    if (!mGrabbing)
        return QL_OK;
    mGrabbing = false;
    if (IsGliding())
        return QL_OK;
    const float x = ClampToTrack(point.x - capture.grabPoint.x);
    MoveThumb(x);
    return SetValueChanged(ValueOfX(x), false);
}

QLResultEnum TesselSlider::Update(float dt)
{
    if (mShineEmitter)
    {
        mShineEmitter->Update(dt);
        const ShineState state = (mHovered || mCaptured || IsGliding()) ? kShinePlaying : kShineFinishing;
        if (state != mShineState)
        {
            mShineState = state;
            mShineEmitter->SetState(state == kShinePlaying ? render::ParticleEmitter::PLAYING
                                                           : render::ParticleEmitter::FINISHING);
        }
    }
    mHold = gui::MoveToward(mHold, mGrabbing && !IsGliding() ? 1.0f : 0.0f, 10.0f * dt);
    if (mThumbHolder)
    {
        const float s = 1.0f - mHold * 0.05f;
        if (mThumbHolder->mScale.x != s || mThumbHolder->mScale.y != s)
            mThumbHolder->SetScale(s, s, mThumbHolder->mScale.z);
    }
    if (!IsGliding())
        return QL_OK;
    mGlideTime = gui::MoveToward(mGlideTime, mGlideDuration, dt);
    if (mGlideTime >= mGlideDuration)
    {
        const float x = mGlideTarget;
        mGlideDuration = 0.0f;
        mGlideTime = 0.0f;
        MoveThumb(x);
        return mGrabbing ? SetValueChanging(ValueOfX(x), false) : SetValueChanged(ValueOfX(x), false);
    }
    const float eased = 0.5f - std::cos(mGlideTime * std::numbers::pi_v<float> / mGlideDuration) * 0.5f;
    const float x = mGlideStart + (mGlideTarget - mGlideStart) * eased;
    MoveThumb(x);
    return SetValueChanging(ValueOfX(x), false);
}
