// The skinned slider over the demo options layout: dragging the thumb, gliding after a press on
// the bar, values kept on the track, the final value on release, and the value arithmetic.
#include "SkinnedFixture.h"

#include "Core/File/FileManager.h"
#include "Core/Layer/ParticlesLayer.h"
#include "Core/Widget/Controls/SliderLayer.h"
#include "Core/Widget/Controls/TesselSlider.h"

#include <cmath>
#include <numbers>

namespace
{
struct ValueLog : widget::SliderListener
{
    QLResultEnum OnValueChanged(widget::Slider*, float value) override
    {
        changed.push_back(value);
        return result;
    }
    QLResultEnum OnValueChanging(widget::Slider*, float value) override
    {
        changing.push_back(value);
        return QL_OK;
    }
    std::vector<float> changed;
    std::vector<float> changing;
    QLResultEnum result = QL_OK;
};

class SliderTest : public controlstest::SkinnedFixture
{
protected:
    void SetUp() override
    {
        SkinnedFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        mSlider = new TesselSlider();
        ASSERT_EQ(QL_OK, mSlider->Init(mLayout.get(), L"main_options/sound/sound_bar",
                                       L"main_options/sound/sound_begunok", L"main_options/sound/sound_frame"));
        mSlider->SetSliderListener(&mLog);
        EXPECT_EQ(QL_OK, mBoard->AddChild(static_cast<widget::Slider*>(mSlider)));
    }
    // A point of the control's space on the screen.
    math::Point2 Screen(float x, float y) const { return {mSlider->mPosition.x + x, mSlider->mPosition.y + y}; }
    // The bar's vertical middle in the control's space.
    float BarY() const { return mSlider->mBar->mPosition.y + 10.0f; }
    float ThumbX() const { return mSlider->mThumbHolder->mPosition.x; }
    // The track's length: the bar's 420 pixels less the thumb's 28 and the frame's 2.
    static constexpr float kTrack = 390.0f;

    TesselSlider* mSlider = nullptr;
    ValueLog mLog;
};

TEST_F(SliderTest, StartsAtItsMaximumWithTheTrackInsideTheBarAndAFailedListenerLeavesTheValue)
{
    // The thumb sits on the bar's middle line.
    EXPECT_FLOAT_EQ(mSlider->mThumbHolder->mPosition.y, BarY());
    EXPECT_FLOAT_EQ(mSlider->GetValue(), 1.0f);
    EXPECT_FLOAT_EQ(mSlider->mHalfThumbWidth, 14.0f);
    EXPECT_FLOAT_EQ(mSlider->mTrackLeft, mSlider->mBar->mPosition.x + 14.0f);
    EXPECT_FLOAT_EQ(mSlider->mTrackRight - mSlider->mTrackLeft, kTrack);
    EXPECT_FLOAT_EQ(ThumbX(), mSlider->mTrackRight);
    EXPECT_FLOAT_EQ(mSlider->mBar->GetVisibleWidth(), mSlider->mTrackRight - mSlider->mBar->mPosition.x);
    EXPECT_FLOAT_EQ(mSlider->XOfValue(0.3f), mSlider->mTrackLeft + 0.3f * kTrack);
    EXPECT_FLOAT_EQ(mSlider->ValueOfX(mSlider->mTrackLeft + 117.0f), 0.3f);

    // The frame's name is taken and nothing of it drawn: the slider is its bar, its thumb holder
    // and its shine.
    const auto& children = static_cast<gui::GameControl*>(mSlider)->GetChildren();
    EXPECT_EQ(3u, children.size());
    for (const layer::Layer* child : children)
        EXPECT_TRUE(child == mSlider->mBar || child == mSlider->mThumbHolder || child == mSlider->mShine);

    // Another range spreads over the same track.
    mSlider->SetRange(10.0f, 30.0f);
    mSlider->SetValue(15.0f, true);
    EXPECT_FLOAT_EQ(ThumbX(), mSlider->mTrackLeft + kTrack / 4.0f);
    EXPECT_FLOAT_EQ(mSlider->ValueOfX(mSlider->mTrackRight), 30.0f);
    // Equal minimum and maximum put the thumb at the left end.
    mSlider->SetRange(0.5f, 0.5f);
    mSlider->SetValue(0.5f, true);
    EXPECT_FLOAT_EQ(ThumbX(), mSlider->mTrackLeft);
    EXPECT_FLOAT_EQ(mSlider->ValueOfX(mSlider->mTrackRight), 0.5f);

    // A listener's failure leaves the value; a slider's own listener forwards to the callbacks.
    ValueLog refuse;
    refuse.result = QL_FAIL;
    widget::Slider slider;
    slider.SetValue(0.25f, false);
    slider.SetSliderListener(&refuse);
    EXPECT_EQ(QL_FAIL, slider.SetValueChanged(0.75f, false));
    EXPECT_FLOAT_EQ(slider.GetValue(), 0.25f);
    EXPECT_EQ(QL_OK, slider.SetValueChanging(0.75f, false));
    EXPECT_FLOAT_EQ(slider.GetValue(), 0.75f);

    // Its own listener forwards to the callbacks.
    ValueLog sink;
    using Callback = base::MemberDelegate2<ValueLog, widget::Slider*, float, QLResultEnum>;
    widget::Slider forwarding;
    forwarding.mValueChanged =
        base::CountedPtr<widget::Slider::ValueDelegate>(new Callback(&sink, &ValueLog::OnValueChanged));
    EXPECT_EQ(QL_OK, forwarding.SetValueChanged(0.5f, false));
    EXPECT_EQ(QL_OK, forwarding.SetValueChanging(0.6f, false)); // no changing callback: nothing
    EXPECT_EQ(sink.changed, (std::vector<float>{0.5f}));
}

TEST_F(SliderTest, DraggingTheThumbReportsChangingValuesThenTheFinalOneAndShrinksItWhileHeld)
{
    const float start = ThumbX();
    const float y = mSlider->mThumbHolder->mPosition.y;
    const math::Point2 grab = Screen(start + 3.0f, y); // off the thumb's centre: it keeps its place
    EXPECT_EQ(QL_OK, mManager.OnMouseMove(grab));
    EXPECT_EQ(QL_OK, mManager.OnMouseDown(grab, 1));
    EXPECT_EQ(mManager.GetCapture().widget, static_cast<widget::Widget*>(mSlider));
    EXPECT_TRUE(mSlider->mGrabbing);
    EXPECT_FALSE(mSlider->IsGliding());
    EXPECT_EQ(QL_OK, mManager.OnMouseDrag(Screen(start + 3.0f - 100.0f, y + 5.0f)));
    EXPECT_FLOAT_EQ(ThumbX(), start - 100.0f);
    ASSERT_EQ(mLog.changing.size(), 1u);
    EXPECT_FLOAT_EQ(mLog.changing[0], 1.0f - 100.0f / kTrack);
    EXPECT_TRUE(mLog.changed.empty());
    (void)mManager.OnMouseDrag(Screen(-500.0f, 0.0f)); // beyond the left end
    EXPECT_FLOAT_EQ(ThumbX(), mSlider->mTrackLeft);
    EXPECT_FLOAT_EQ(mLog.changing.back(), 0.0f);
    EXPECT_EQ(QL_OK, mManager.OnMouseUp(Screen(-500.0f, 0.0f), 1));
    ASSERT_EQ(mLog.changed.size(), 1u);
    EXPECT_FLOAT_EQ(mLog.changed[0], 0.0f);
    EXPECT_FLOAT_EQ(mSlider->GetValue(), 0.0f);
    EXPECT_FALSE(mSlider->mGrabbing);
    EXPECT_EQ(mManager.GetCapture().widget, nullptr);

    // A held thumb shrinks and comes back.
    const math::Point2 grab2 = Screen(ThumbX(), y);
    EXPECT_EQ(QL_OK, mManager.OnMouseDown(grab2, 1));
    ASSERT_TRUE(mSlider->mGrabbing);
    Tick(1.0f);
    EXPECT_FLOAT_EQ(mSlider->mThumbHolder->mScale.x, 0.95f);
    EXPECT_EQ(QL_OK, mManager.OnMouseUp(grab2, 1));
    Tick(0.05f);
    EXPECT_NEAR(mSlider->mThumbHolder->mScale.x, 0.975f, 1e-5f);
    Tick(1.0f);
    EXPECT_FLOAT_EQ(mSlider->mThumbHolder->mScale.x, 1.0f);
}

TEST_F(SliderTest, PressOnTheBarGlidesEasedAtTwoHundredPixelsPerSecondAndAnEarlyReleaseStillEndsIt)
{
    const float start = ThumbX();
    const float target = mSlider->mTrackLeft + 100.0f;
    const math::Point2 press = Screen(target, BarY());
    EXPECT_EQ(QL_OK, mManager.OnMouseMove(press));
    EXPECT_EQ(QL_OK, mManager.OnMouseDown(press, 1));
    ASSERT_TRUE(mSlider->IsGliding());
    const float duration = (start - target) / 200.0f;
    EXPECT_FLOAT_EQ(mSlider->mGlideDuration, duration);
    Tick(duration * 0.5f);
    EXPECT_NEAR(ThumbX(), start + (target - start) * 0.5f, 1e-3f); // half-way in time is half-way
    Tick(duration * 0.25f);
    const float eased = 0.5f - std::cos(0.75f * std::numbers::pi_v<float>) * 0.5f;
    EXPECT_NEAR(ThumbX(), start + (target - start) * eased, 1e-3f);
    EXPECT_TRUE(mLog.changed.empty());
    Tick(duration); // arrives while still held: a changing value
    EXPECT_FLOAT_EQ(ThumbX(), target);
    EXPECT_FALSE(mSlider->IsGliding());
    EXPECT_TRUE(mLog.changed.empty());
    EXPECT_FLOAT_EQ(mLog.changing.back(), 100.0f / kTrack);
    EXPECT_EQ(QL_OK, mManager.OnMouseUp(press, 1));
    ASSERT_EQ(mLog.changed.size(), 1u);
    EXPECT_FLOAT_EQ(mLog.changed[0], 100.0f / kTrack);

    // An early release still ends the glide with a final value.
    mLog.changed.clear();
    const float early = mSlider->mTrackLeft + 40.0f;
    EXPECT_EQ(QL_OK, mManager.OnMouseDown(Screen(early, BarY()), 1));
    Tick(0.01f);
    EXPECT_EQ(QL_OK, mManager.OnMouseUp(Screen(early, BarY()), 1));
    EXPECT_TRUE(mLog.changed.empty());
    EXPECT_TRUE(mSlider->IsGliding());
    for (int i = 0; i < 200 && mSlider->IsGliding(); ++i)
        Tick(0.02f);
    ASSERT_EQ(mLog.changed.size(), 1u);
    EXPECT_FLOAT_EQ(mLog.changed[0], 40.0f / kTrack);
    EXPECT_FLOAT_EQ(mSlider->GetValue(), 40.0f / kTrack);

    // A press while a glide still runs starts a new one from where the thumb is, on its own clock.
    mLog.changed.clear();
    EXPECT_EQ(QL_OK, mManager.OnMouseDown(Screen(mSlider->mTrackLeft + 240.0f, BarY()), 1));
    EXPECT_EQ(QL_OK, mManager.OnMouseUp(Screen(mSlider->mTrackLeft + 240.0f, BarY()), 1));
    Tick(0.5f); // 200 pixels in one second: half-way
    EXPECT_NEAR(ThumbX(), mSlider->mTrackLeft + 140.0f, 1e-3f);
    ASSERT_TRUE(mSlider->IsGliding());
    const float from = ThumbX();
    const float to = mSlider->mTrackLeft + 20.0f;
    EXPECT_EQ(QL_OK, mManager.OnMouseDown(Screen(to, BarY()), 1));
    EXPECT_FLOAT_EQ(mSlider->mGlideDuration, (from - to) / 200.0f);
    Tick(0.3f); // half its 0.6 s
    EXPECT_NEAR(ThumbX(), from + (to - from) * 0.5f, 1e-3f);
    Tick(0.5f);
    EXPECT_FLOAT_EQ(ThumbX(), to);
    EXPECT_EQ(QL_OK, mManager.OnMouseUp(Screen(to, BarY()), 1));
    ASSERT_EQ(mLog.changed.size(), 1u) << "only the glide that arrived gives a final value";
    EXPECT_FLOAT_EQ(mLog.changed[0], 20.0f / kTrack);

    // Dragging during a glide only moves its end, kept on the track.
    EXPECT_EQ(QL_OK, mManager.OnMouseDown(Screen(mSlider->mTrackRight - 80.0f, BarY()), 1));
    ASSERT_TRUE(mSlider->IsGliding());
    mLog.changing.clear();
    EXPECT_EQ(QL_OK, mManager.OnMouseDrag(Screen(mSlider->mTrackRight - 50.0f, BarY())));
    EXPECT_FLOAT_EQ(mSlider->mGlideTarget, mSlider->mTrackRight - 50.0f);
    EXPECT_TRUE(mLog.changing.empty());
    EXPECT_EQ(QL_OK, mManager.OnMouseDrag(Screen(2000.0f, BarY())));
    EXPECT_FLOAT_EQ(mSlider->mGlideTarget, mSlider->mTrackRight);
}

} // namespace
