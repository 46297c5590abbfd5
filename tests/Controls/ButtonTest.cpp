// Buttons driven by synthetic mouse events through the frame manager: states, clicks on release
// inside only, capture, disabled buttons and failing hooks.
#include "Core/Widget/Controls/Button.h"
#include "Core/Base/Delegate.h"
#include "Core/Layer/RectHitLayer.h"
#include "Core/Widget/Controls/ButtonMediator.h"
#include "SkinnedFixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
// Records every state it is asked for and can refuse them.
struct RecordingMediator : widget::ButtonMediator
{
    QLResultEnum SetVisualState(u32 state) override
    {
        asked.push_back(state);
        return refuse ? QL_FAIL : QL_OK;
    }
    std::vector<u32> asked;
    bool refuse = false;
};

// A plain button on the skinned controls' counting board.
class Buttons : public controlstest::SkinnedFixture
{
protected:
    void SetUp() override
    {
        SkinnedFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        mButton = new widget::Button();
        mButton->SetLayer(new layer::RectHitLayer(math::Rect(0, 0, 100, 40)), true, false);
        mButton->GetLayer()->SetPosition(50, 50);
        mMediator = new RecordingMediator();
        mMediator->Attach(mButton, true);
        mButton->GetLayer()->SetHitListener(static_cast<widget::WidgetHitTestListener*>(mMediator));
        mButton->SetButtonListener(&mLog);
        EXPECT_EQ(QL_OK, mBoard->AddChild(mButton));
    }

    void Move(float x, float y) { EXPECT_EQ(QL_OK, mManager.OnMouseMove({x, y})); }
    void Drag(float x, float y) { EXPECT_EQ(QL_OK, mManager.OnMouseDrag({x, y})); }
    void Press(float x, float y) { EXPECT_EQ(QL_OK, mManager.OnMouseDown({x, y}, 1)); }
    void Release(float x, float y) { EXPECT_EQ(QL_OK, mManager.OnMouseUp({x, y}, 1)); }

    widget::Button* mButton = nullptr;
    RecordingMediator* mMediator = nullptr;
    controlstest::ClickLog mLog;
};

TEST_F(Buttons, HoverPressAndReleaseInsideClickOnceAndOnlyAReleaseInsideClicks)
{
    Move(60, 60);
    EXPECT_EQ(mButton->GetVisualState(), widget::Button::STATE_OVER);
    Press(60, 60);
    EXPECT_EQ(mButton->GetVisualState(), widget::Button::STATE_PRESSED);
    EXPECT_EQ(mManager.GetCapture().widget, mButton);
    EXPECT_TRUE(mLog.clicks.empty()); // nothing on press
    Release(62, 61);
    ASSERT_EQ(mLog.clicks.size(), 1u);
    EXPECT_EQ(mLog.clicks[0], mButton);
    EXPECT_EQ(mButton->GetVisualState(), widget::Button::STATE_OVER);
    EXPECT_EQ(mManager.GetCapture().widget, nullptr);
    EXPECT_EQ(mBoard->presses, 0);
    // Each state was applied once, in order.
    EXPECT_EQ(mMediator->asked, (std::vector<u32>{1, 2, 1}));
    Move(300, 250);
    EXPECT_EQ(mButton->GetVisualState(), widget::Button::STATE_NORMAL);

    // Only a release inside clicks, wherever the press and the drag went.
    mLog.clicks.clear();
    Move(60, 60);
    Press(60, 60);
    Drag(300, 250);
    EXPECT_EQ(mButton->GetVisualState(), widget::Button::STATE_NORMAL);
    Release(300, 250);
    EXPECT_TRUE(mLog.clicks.empty());
    EXPECT_EQ(mButton->GetVisualState(), widget::Button::STATE_NORMAL);
    EXPECT_EQ(mManager.GetCapture().widget, nullptr);

    Press(140, 80); // without a hover first
    EXPECT_EQ(mButton->GetVisualState(), widget::Button::STATE_PRESSED);
    Release(140, 80);
    EXPECT_EQ(mLog.clicks.size(), 1u);
    EXPECT_EQ(mButton->GetVisualState(), widget::Button::STATE_OVER);

    Press(60, 60);
    Drag(10, 10);
    EXPECT_EQ(mButton->GetVisualState(), widget::Button::STATE_NORMAL);
    Drag(70, 70);
    EXPECT_EQ(mButton->GetVisualState(), widget::Button::STATE_PRESSED);
    Release(70, 70);
    EXPECT_EQ(mLog.clicks.size(), 2u);
    EXPECT_EQ(mButton->GetVisualState(), widget::Button::STATE_OVER);
}

TEST_F(Buttons, DisabledButtonOrAncestorStaysNormalNeverClicksButEndsTheWalk)
{
    EXPECT_EQ(QL_OK, mButton->SetDisabled(true));
    Press(2000, 2000); // outside: the board is no longer active
    ASSERT_EQ(mManager.GetActiveFrame(), nullptr);
    Move(61, 61);
    EXPECT_EQ(mButton->GetVisualState(), widget::Button::STATE_NORMAL);
    Press(61, 61);
    EXPECT_EQ(mManager.GetCapture().widget, nullptr);
    EXPECT_EQ(mManager.GetActiveFrame(), mBoard) << "the press still activates its frame";
    Release(61, 61);
    EXPECT_EQ(mButton->GetVisualState(), widget::Button::STATE_NORMAL);
    EXPECT_TRUE(mLog.clicks.empty());
    EXPECT_EQ(mBoard->presses, 0); // the board below never saw it
    EXPECT_EQ(QL_OK, mButton->SetDisabled(false));
    // Its own change tells no one: the next hover shows it.
    Move(300, 250);
    Move(62, 62);
    EXPECT_EQ(mButton->GetVisualState(), widget::Button::STATE_OVER);

    // Disabling an ancestor resets the state; enabling it restores the hover.
    EXPECT_EQ(QL_OK, mBoard->SetDisabled(true));
    EXPECT_EQ(mButton->GetVisualState(), widget::Button::STATE_NORMAL);
    Press(60, 60);
    Release(60, 60);
    EXPECT_TRUE(mLog.clicks.empty());
    EXPECT_EQ(QL_OK, mBoard->SetDisabled(false));
    EXPECT_EQ(mButton->GetVisualState(), widget::Button::STATE_OVER);
}

TEST_F(Buttons, CallbackRunsFirstFailuresOfCallbackOrListenerComeBackAndARefusedStateIsNotStored)
{
    controlstest::ClickLog callback;
    using Callback = base::MemberDelegate1<controlstest::ClickLog, widget::Button*, QLResultEnum>;
    mButton->SetClickCallback(
        base::CountedPtr<widget::Button::ClickDelegate>(new Callback(&callback, &controlstest::ClickLog::OnClick)));
    EXPECT_EQ(QL_OK, mButton->Click());
    EXPECT_EQ(callback.clicks.size(), 1u);
    EXPECT_EQ(mLog.clicks.size(), 1u);
    callback.result = QL_FAIL;
    EXPECT_EQ(QL_FAIL, mButton->Click());
    EXPECT_EQ(callback.clicks.size(), 2u);
    EXPECT_EQ(mLog.clicks.size(), 1u);

    // The listener's failure comes back from the release.
    callback.result = QL_OK;
    mLog.result = QL_FAIL;
    Press(60, 60);
    EXPECT_EQ(QL_FAIL, mManager.OnMouseUp({60, 60}, 1));
    EXPECT_EQ(mLog.clicks.size(), 2u);

    // A state the mediator refuses is not stored.
    mMediator->refuse = true;
    (void)mManager.OnMouseMove({300, 250}); // the refusal may come back as a failure: the state is what counts
    EXPECT_EQ(mButton->GetVisualState(), widget::Button::STATE_OVER);

    // A stranger mediator leaves its button when it goes (an owned one goes with the button: the fixture's, under the
    // leak check).
    widget::Button kept;
    {
        widget::ButtonMediator shortLived;
        shortLived.Attach(&kept, false);
    }
    EXPECT_EQ(kept.mMediator, nullptr);
    EXPECT_EQ(kept.GetListener(), nullptr);
}
} // namespace
