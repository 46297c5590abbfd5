// Mouse dispatch through the frame manager: top-down hit-testing, modal frames, activation,
// pointer capture, hover, keys, drawing order, and objects deleted from their own handlers.
#include "WidgetProbes.h"

#include "Core/Layer/Layer.h"
#include "Core/Media/Graphics/Graphics.h"

#include <gtest/gtest.h>

using namespace widgettest;

namespace
{
class MouseDispatch : public ::testing::Test
{
protected:
    MouseDispatch()
    {
        EXPECT_EQ(QL_OK, mManager.Add(&mLow, false, false, false));
        EXPECT_EQ(QL_OK, mManager.Add(&mHigh, false, false, false));
        mJournal.clear();
    }
    ~MouseDispatch() override { (void)mManager.RemoveAllFrames(false, false); }

    QLResultEnum Press(float x, float y, u32 button = 1) { return mManager.OnMouseDown({x, y}, button); }
    QLResultEnum Release(float x, float y, u32 button = 1) { return mManager.OnMouseUp({x, y}, button); }
    QLResultEnum Move(float x, float y) { return mManager.OnMouseMove({x, y}); }
    Journal Take()
    {
        Journal out;
        out.swap(mJournal);
        return out;
    }

    Journal mJournal;
    widget::FrameManager mManager;
    ProbeBoard mLow{"low", mJournal, math::Rect(0, 0, 100, 100)};
    ProbeBoard mHigh{"high", mJournal, math::Rect(50, 50, 100, 100)};
};
} // namespace

TEST_F(MouseDispatch, TheTopFrameUnderThePointTakesThePressUnlessItLetsItThroughAndTheKeys)
{
    EXPECT_EQ(nullptr, mManager.GetKeyTarget()) << "no active frame, no key target";
    EXPECT_EQ(QL_OK, Press(60, 60));
    EXPECT_EQ((Journal{"high:activate", "high:press"}), Take());
    EXPECT_EQ(&mHigh, mManager.GetActiveFrame());
    EXPECT_EQ(QL_OK, Press(10, 10));
    EXPECT_EQ((Journal{"high:deactivate", "low:activate", "low:press"}), Take());
    EXPECT_EQ(QL_OK, Release(10, 10));
    EXPECT_EQ((Journal{"low:release"}), Take());
    EXPECT_EQ(QL_OK, mManager.OnMouseWheel({70, 70}, 120));
    EXPECT_EQ((Journal{"high:wheel120"}), Take());
    EXPECT_EQ(QL_OK, mManager.OnMouseDoubleClick({60, 60}, 1));
    EXPECT_EQ((Journal{"low:deactivate", "high:activate", "high:press"}), Take()) << "a double click walks as a press";

    // A press on empty space deactivates the active frame, once.
    EXPECT_EQ(QL_OK, Press(500, 500));
    EXPECT_EQ((Journal{"high:deactivate"}), Take());
    EXPECT_EQ(nullptr, mManager.GetActiveFrame());
    EXPECT_EQ(QL_OK, Press(500, 500));
    EXPECT_TRUE(Take().empty());

    // Continue and decline let the press through to the frame below.
    for (layer::HitTestState leave : {layer::HIT_CONTINUE, layer::HIT_DECLINED})
    {
        mHigh.mLeave = leave;
        EXPECT_EQ(QL_OK, Press(60, 60));
        const Journal seen = Take();
        EXPECT_EQ((Journal{"high:press", "high:deactivate", "low:activate", "low:press"}),
                  Journal(seen.end() - 4, seen.end()));
        EXPECT_EQ(QL_OK, Press(500, 500));
        Take();
    }

    // A listener's error comes back unchanged; the state reached so far stays.
    mHigh.mOnEvent = [](const std::string& e) { return e == "press" ? static_cast<QLResultEnum>(9) : QL_OK; };
    mHigh.mLeave = layer::HIT_CONTINUE;
    EXPECT_EQ(9, Press(60, 60));
    EXPECT_TRUE(Filter(Take(), "low").empty());
    EXPECT_EQ(&mHigh, mManager.GetActiveFrame());

    // Keys go to the active frame, or to its focus widget.
    EXPECT_EQ(QL_OK, Press(10, 10));
    Take();
    app::KeyTarget* target = mManager.GetKeyTarget();
    ASSERT_NE(nullptr, target);
    EXPECT_EQ(QL_OK, target->OnKeyDown('a'));
    EXPECT_EQ(QL_OK, target->OnChar(0x44D));
    EXPECT_EQ((Journal{"low:key97", "low:char1101"}), Take());

    ProbeWidget field("field", mJournal);
    EXPECT_EQ(QL_OK, mLow.AddChild(&field));
    mLow.SetFocusWidget(&field);
    Take();
    EXPECT_EQ(QL_OK, mManager.GetKeyTarget()->OnKeyUp(13));
    EXPECT_EQ((Journal{"field:keyup13"}), Take());
    mLow.SetFocusWidget(nullptr);
    EXPECT_EQ(nullptr, mManager.GetKeyTarget());
}

TEST_F(MouseDispatch, TheCaptureHolderGetsEverythingUntilTheReleaseAndMovesSetTheHover)
{
    ProbeWidget button("button", mJournal, math::Rect(10, 10, 20, 20));
    button.mCapturesOnPress = true;
    button.mWithPoints = true;
    EXPECT_EQ(QL_OK, mLow.AddChild(&button));
    mLow.GetLayer()->SetPosition(5.0f, 0.0f);
    Take();
    EXPECT_EQ(QL_OK, Press(20, 20));
    EXPECT_EQ((Journal{"low:activate", "button:press(15,20)"}), Take());
    EXPECT_EQ(&button, mManager.GetCapture().widget);
    EXPECT_EQ(button.GetLayer(), mManager.GetCapture().layer);
    EXPECT_TRUE(button.mCaptured);

    // Far outside, over the other frame: still the button's, in its parent's space.
    EXPECT_EQ(QL_OK, Move(300, 70));
    EXPECT_EQ(QL_OK, mManager.OnMouseDrag({300, 80}));
    EXPECT_EQ((Journal{"button:cmove(295,70)", "button:cdrag(295,80)"}), Take());
    EXPECT_EQ(QL_OK, Press(60, 60, 3));
    EXPECT_EQ((Journal{"button:cdown(55,60)"}), Take());

    EXPECT_EQ(QL_OK, Release(60, 60));
    const Journal after = Take();
    ASSERT_FALSE(after.empty());
    EXPECT_EQ("button:cup(55,60)", after[0]);
    EXPECT_EQ(nullptr, mManager.GetCapture().widget);
    EXPECT_FALSE(button.mCaptured);
    // The hover is recomputed where the pointer was released: over the upper board.
    EXPECT_EQ(&mHigh, mManager.GetHoverFrame());
    EXPECT_EQ(&mHigh, mHigh.GetHoverWidget());
    EXPECT_EQ(1u, Filter(after, "high:move").size());

    EXPECT_EQ(QL_OK, Press(20, 20));
    EXPECT_EQ(QL_OK, Release(20, 20));
    EXPECT_EQ(1u, Filter(Take(), "button:press").size()) << "a new press captures again";

    // Moves set the hover frame and widget; empty space clears them.
    EXPECT_EQ(QL_OK, Move(500, 500));
    EXPECT_EQ(nullptr, mManager.GetHoverFrame());
    EXPECT_EQ(nullptr, mLow.GetHoverWidget());
    EXPECT_EQ(500.0f, mManager.GetLastPointer().x);
    Take();
    EXPECT_EQ(QL_OK, Move(20, 20));
    EXPECT_EQ((Journal{"button:hover+", "button:move(15,20)"}), Take());
    EXPECT_EQ(&mLow, mManager.GetHoverFrame());
    EXPECT_EQ(QL_OK, Move(70, 70));
    EXPECT_EQ((Journal{"button:hover-", "high:move"}), Take()) << "the hover frame changes";
    EXPECT_EQ(&mHigh, mManager.GetHoverFrame());
    EXPECT_EQ(nullptr, mLow.GetHoverWidget());
    EXPECT_EQ(QL_OK, Move(500, 500));
    EXPECT_EQ(nullptr, mHigh.GetHoverWidget());
}

TEST_F(MouseDispatch, CapturedMovesWalkTheHoldersOwnSubtree)
{
    ProbeWidget slider("slider", mJournal, math::Rect(0, 0, 80, 20));
    ProbeWidget thumb("thumb", mJournal, math::Rect(0, 0, 10, 20));
    slider.mCapturesOnPress = true;
    EXPECT_EQ(QL_OK, mLow.AddChild(&slider));
    EXPECT_EQ(QL_OK, slider.AddChild(&thumb));
    Take();
    EXPECT_EQ(QL_OK, Press(40, 10));
    EXPECT_EQ(QL_OK, Move(5, 10));
    Journal seen = Take();
    EXPECT_EQ(1u, Filter(seen, "thumb:move").size());
    EXPECT_EQ(&thumb, mLow.GetHoverWidget());

    EXPECT_EQ(QL_OK, mManager.OnMouseDrag({300, 300}));
    seen = Take();
    EXPECT_EQ((Journal{"slider:cdrag", "thumb:hover-", "slider:inside-"}), seen);
    EXPECT_EQ(nullptr, mLow.GetHoverWidget()) << "a drag nothing took clears the hover";

    slider.mFollowsCapturedMovement = false;
    EXPECT_EQ(QL_OK, Move(5, 10));
    EXPECT_EQ((Journal{"slider:cmove"}), Take());
    EXPECT_EQ(nullptr, mLow.GetHoverWidget());
    EXPECT_EQ(QL_OK, Release(5, 10));
}

TEST_F(MouseDispatch, FramesAndWidgetsRemovedFromTheirOwnHandlersGoAfterTheUpdate)
{
    int deaths = 0;
    auto* dialog = new ProbeBoard("dialog", mJournal, math::Rect(0, 0, 40, 40));
    dialog->mDeaths = &deaths;
    dialog->mOnEvent = [this, dialog](const std::string& e)
    {
        if (e == "press")
            (void)mManager.Remove(dialog, true, false);
        return QL_OK;
    };
    EXPECT_EQ(QL_OK, mManager.ShowModal(dialog, false));
    Take();
    EXPECT_EQ(QL_OK, Press(10, 10));
    EXPECT_EQ(0, deaths) << "not while its handler runs";
    EXPECT_EQ(nullptr, mManager.FindEntry(dialog));
    EXPECT_EQ(nullptr, mManager.GetActiveFrame());
    EXPECT_EQ(QL_OK, Press(10, 10));
    EXPECT_EQ(1u, Filter(Take(), "low:press").size()) << "the frame below takes input again";
    EXPECT_EQ(QL_OK, mManager.Update(0.0f));
    EXPECT_EQ(1, deaths);

    // One that asks its removal (twice before the update) is gone at the next update.
    auto* popup = new ProbeBoard("popup", mJournal, math::Rect(0, 0, 40, 40));
    popup->mDeaths = &deaths;
    popup->mOnEvent = [this, popup](const std::string& e)
    {
        if (e == "release")
            (void)mManager.Remove(popup, true, true);
        return QL_OK;
    };
    EXPECT_EQ(QL_OK, mManager.Add(popup, true, true, false));
    EXPECT_EQ(QL_OK, Release(10, 10));
    (void)Release(10, 10);
    EXPECT_NE(nullptr, mManager.FindEntry(popup));
    EXPECT_EQ(QL_OK, mManager.Update(0.0f));
    EXPECT_EQ(2, deaths);
    EXPECT_EQ(nullptr, mManager.FindEntry(popup));

    // A widget its handler takes out and queues for deletion goes after the update too.
    auto* item = new ProbeWidget("item", mJournal, math::Rect(10, 10, 20, 20));
    item->mDeaths = &deaths;
    item->mOnEvent = [this, item](const std::string& e)
    {
        if (e == "press")
        {
            EXPECT_EQ(QL_OK, item->GetParent()->RemoveChild(item));
            mManager.QueueDelete(item);
        }
        return QL_OK;
    };
    EXPECT_EQ(QL_OK, mLow.AddChild(item));
    EXPECT_EQ(QL_OK, Press(15, 15));
    EXPECT_EQ(2, deaths);
    EXPECT_EQ(QL_OK, mManager.Update(0.0f));
    EXPECT_EQ(3, deaths);
    EXPECT_TRUE(mLow.GetChildren().empty());
}

TEST_F(MouseDispatch, DeletedCaptureHoldersAndHoverFramesAreForgottenAndNothingBelowAModalFrameSeesInput)
{
    int deaths = 0;
    auto* button = new ProbeWidget("button", mJournal, math::Rect(10, 10, 20, 20));
    button->mDeaths = &deaths;
    button->mCapturesOnPress = true;
    EXPECT_EQ(QL_OK, mLow.AddChild(button));
    EXPECT_EQ(QL_OK, Press(15, 15));
    ASSERT_EQ(button, mManager.GetCapture().widget);
    delete button;
    EXPECT_EQ(nullptr, mManager.GetCapture().widget);
    Take();
    EXPECT_EQ(QL_OK, Release(15, 15));
    EXPECT_EQ((Journal{"low:release"}), Take());

    // A frame deleted while one of its widgets holds the capture.
    auto* dialog = new ProbeBoard("dialog", mJournal, math::Rect(0, 0, 40, 40));
    ProbeWidget knob("knob", mJournal, math::Rect(0, 0, 10, 10));
    knob.mCapturesOnPress = true;
    EXPECT_EQ(QL_OK, dialog->AddChild(&knob));
    EXPECT_EQ(QL_OK, mManager.ShowModal(dialog, false));
    EXPECT_EQ(QL_OK, Press(5, 5));
    ASSERT_EQ(&knob, mManager.GetCapture().widget);
    delete dialog;
    EXPECT_EQ(nullptr, mManager.GetCapture().widget);
    EXPECT_FALSE(knob.mCaptured);
    EXPECT_EQ(nullptr, knob.GetFrame());
    EXPECT_EQ(QL_OK, Move(5, 5));

    // A hover frame deleted by its owner is forgotten.
    auto* popup = new ProbeBoard("popup", mJournal, math::Rect(0, 0, 40, 40));
    ProbeWidget item("item", mJournal, math::Rect(0, 0, 10, 10));
    EXPECT_EQ(QL_OK, popup->AddChild(&item));
    EXPECT_EQ(QL_OK, mManager.Add(popup, true, true, false));
    EXPECT_EQ(QL_OK, Move(5, 5));
    ASSERT_EQ(popup, mManager.GetHoverFrame());
    delete popup;
    EXPECT_EQ(nullptr, mManager.GetHoverFrame());
    EXPECT_EQ(nullptr, mManager.GetActiveFrame());
    EXPECT_EQ(QL_OK, Move(60, 60));

    // Nothing below a modal frame sees input, not even a top-most frame.
    ProbeBoard modal("modal", mJournal, math::Rect(150, 150, 10, 10));
    ProbeBoard top("top", mJournal, math::Rect(0, 0, 10, 10));
    EXPECT_EQ(QL_OK, mManager.ShowModal(&modal, false));
    EXPECT_EQ(QL_OK, mManager.Add(&top, true, false, false));
    Take();
    EXPECT_EQ(QL_OK, Press(5, 5));
    Journal seen = Take();
    EXPECT_EQ(Filter(seen, "low").size(), 0u) << "frames below the modal one never hear it";
    EXPECT_EQ(Filter(seen, "top").size(), 0u) << "the top-most frame sits below the modal one";
    EXPECT_EQ(&modal, mManager.GetActiveFrame()) << "an unhandled press leaves the modal frame active";
    EXPECT_TRUE(modal.IsActive());
    EXPECT_EQ(QL_OK, Press(155, 155));
    EXPECT_EQ((Journal{"modal:press"}), Take());
    EXPECT_EQ(QL_OK, mManager.RemoveAllFrames(false, false));
}

TEST_F(MouseDispatch, FramesDrawBottomToTopWithTheCursorLast)
{
    struct Mark : layer::Layer
    {
        Mark(std::string n, Journal& j) : name(std::move(n)), journal(j) {}
        QLResultEnum DrawSelf(render::Graphics*) override
        {
            journal.push_back(name);
            return QL_OK;
        }
        std::string name;
        Journal& journal;
    };
    Mark lowMark("low-layer", mJournal), highMark("high-layer", mJournal);
    mLow.GetLayer()->AddChild(&lowMark);
    mHigh.GetLayer()->AddChild(&highMark);
    auto* cursor = new widget::Widget();
    cursor->SetLayer(new Mark("cursor", mJournal), true, false);
    mManager.SetCursorWidget(cursor, true);
    render::Graphics graphics(static_cast<render::Render*>(nullptr));
    EXPECT_EQ(QL_OK, mManager.Draw(graphics));
    EXPECT_EQ((Journal{"low-layer", "high-layer", "cursor"}), Take());

    EXPECT_EQ(QL_OK, Move(33, 44));
    EXPECT_EQ(33.0f, cursor->GetLayer()->mPosition.x);
    EXPECT_EQ(44.0f, cursor->GetLayer()->mPosition.y);
    EXPECT_TRUE(cursor->GetLayer()->mTransformChanged);
}
