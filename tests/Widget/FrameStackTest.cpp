// The frame manager's stack: where frames go, requests that wait for the update, removal,
// updates, activation and the deletions that follow the update.
#include "WidgetProbes.h"

#include <gtest/gtest.h>

using namespace widgettest;

namespace
{
class FrameStack : public ::testing::Test
{
protected:
    ~FrameStack() override { (void)mManager.RemoveAllFrames(false, false); }

    std::vector<widget::Frame*> Order() const
    {
        std::vector<widget::Frame*> frames;
        for (const auto& entry : mManager.GetStack())
            frames.push_back(entry.frame);
        return frames;
    }

    Journal mJournal;
    widget::FrameManager mManager;
    ProbeBoard mA{"a", mJournal}, mB{"b", mJournal}, mC{"c", mJournal}, mD{"d", mJournal};
};
} // namespace

TEST_F(FrameStack, TopMostFramesStayAboveNormalOnesAndModalOnesAboveAll)
{
    EXPECT_EQ(QL_OK, mManager.ShowModal(&mA, false));
    EXPECT_EQ(QL_OK, mManager.Add(&mB, true, false, false));
    EXPECT_EQ((std::vector<widget::Frame*>{&mB, &mA}), Order()) << "a top-most frame goes below the modal one";
    EXPECT_EQ(QL_OK, mManager.Add(&mC, false, false, false));
    EXPECT_EQ((std::vector<widget::Frame*>{&mC, &mB, &mA}), Order()) << "a normal frame goes below the others";
    EXPECT_EQ(QL_OK, mManager.Add(&mD, false, false, false));
    EXPECT_EQ((std::vector<widget::Frame*>{&mC, &mD, &mB, &mA}), Order());
    EXPECT_EQ(widget::FrameManager::MODE_MODAL, mManager.FindEntry(&mA)->mode);
    EXPECT_EQ(widget::FrameManager::MODE_TOP_MOST, mManager.FindEntry(&mB)->mode);
    EXPECT_EQ(&mManager, mD.GetManager());
    EXPECT_EQ(QL_OK, mManager.Add(&mD, false, false, false));
    EXPECT_EQ(4u, Order().size()) << "a frame stands in the stack once";

    // Without a modal frame a top-most frame goes on top of the top-most ones.
    EXPECT_EQ(QL_OK, mManager.RemoveAllFrames(false, false));
    EXPECT_EQ(QL_OK, mManager.Add(&mA, false, false, false));
    EXPECT_EQ(QL_OK, mManager.Add(&mB, true, false, false));
    EXPECT_EQ(QL_OK, mManager.Add(&mC, true, false, false));
    EXPECT_EQ((std::vector<widget::Frame*>{&mA, &mB, &mC}), Order());
}

TEST_F(FrameStack, AddingTellsTheFrameAndItsSubtreeAndActivatesRemovingDoesNot)
{
    ProbeWidget child("child", mJournal);
    EXPECT_EQ(QL_OK, mA.AddChild(&child));
    mJournal.clear();
    EXPECT_EQ(QL_OK, mManager.Add(&mA, false, true, false));
    EXPECT_EQ((Journal{"a:manager+", "child:manager+", "a:activate"}), mJournal);
    EXPECT_EQ(&mA, mManager.GetActiveFrame());
    EXPECT_TRUE(mA.IsActive());

    mJournal.clear();
    EXPECT_EQ(QL_OK, mManager.ShowModal(&mB, false));
    EXPECT_EQ((Journal{"b:manager+", "a:deactivate", "b:activate"}), mJournal);
    EXPECT_FALSE(mA.IsActive());
    mJournal.clear();
    EXPECT_EQ(QL_OK, mManager.Activate(&mB));
    EXPECT_TRUE(mJournal.empty()) << "already active";

    // The active frame leaves without OnDeactivate; a frame not there cannot be removed.
    EXPECT_EQ(QL_OK, mManager.Remove(&mB, false, false));
    EXPECT_EQ(nullptr, mManager.GetActiveFrame());
    EXPECT_TRUE(Filter(mJournal, "b:deactivate").empty());
    EXPECT_EQ(QL_FAIL, mManager.Remove(&mB, false, false));
}

TEST_F(FrameStack, DeferredRequestsWaitForTheUpdateThoseMadeMeanwhileRunInItAndAFailingUpdateEndsIt)
{
    EXPECT_EQ(QL_OK, mManager.Add(&mA, false, false, false));
    mJournal.clear();
    EXPECT_EQ(QL_OK, mManager.Add(&mB, false, true, true));
    EXPECT_EQ(QL_OK, mManager.Remove(&mA, false, true));
    EXPECT_EQ((std::vector<widget::Frame*>{&mA}), Order());
    EXPECT_EQ(1u, mManager.GetPendingAdditions());
    EXPECT_EQ(1u, mManager.GetPendingRemovals());
    ASSERT_EQ(QL_OK, mManager.Update(0.1f));
    EXPECT_EQ((Journal{"a:update", "b:manager+", "b:activate", "a:manager-"}), mJournal);
    EXPECT_EQ((std::vector<widget::Frame*>{&mB}), Order());
    EXPECT_EQ(nullptr, mA.GetManager());
    EXPECT_EQ(0u, mManager.GetPendingAdditions());

    // Requests made while requests are handled run in the same update.
    EXPECT_EQ(QL_OK, mManager.RemoveAllFrames(false, false));
    mB.mOnEvent = [this](const std::string& e)
    {
        if (e == "manager+")
            (void)mManager.ShowModal(&mC, true);
        if (e == "manager-")
            (void)mManager.Remove(&mD, false, true);
        return QL_OK;
    };
    EXPECT_EQ(QL_OK, mManager.Add(&mD, false, false, false));
    EXPECT_EQ(QL_OK, mManager.Add(&mB, false, false, true));
    ASSERT_EQ(QL_OK, mManager.Update(0.0f));
    EXPECT_EQ((std::vector<widget::Frame*>{&mD, &mB, &mC}), Order());
    EXPECT_EQ(QL_OK, mManager.Remove(&mB, false, true));
    ASSERT_EQ(QL_OK, mManager.Update(0.0f));
    EXPECT_EQ((std::vector<widget::Frame*>{&mC}), Order());

    // A failing update ends the step.
    EXPECT_EQ(QL_OK, mManager.RemoveAllFrames(false, false));
    mB.mOnEvent = nullptr;
    EXPECT_EQ(QL_OK, mManager.Add(&mA, false, false, false));
    EXPECT_EQ(QL_OK, mManager.Add(&mB, false, false, false));
    mA.mOnEvent = [](const std::string& e) { return e == "update" ? QL_FAIL : QL_OK; };
    mJournal.clear();
    EXPECT_EQ(QL_FAIL, mManager.Update(0.0f));
    EXPECT_EQ((Journal{"a:update"}), mJournal);

    // A frame removing itself during its update is deleted after the update.
    EXPECT_EQ(QL_OK, mManager.RemoveAllFrames(false, false));
    mA.mOnEvent = nullptr;
    mJournal.clear();
    int deaths = 0;
    auto* doomed = new ProbeBoard("doomed", mJournal);
    doomed->mDeaths = &deaths;
    doomed->mOnEvent = [this, doomed](const std::string& e)
    {
        if (e == "update")
            (void)mManager.Remove(doomed, true, false);
        return QL_OK;
    };
    EXPECT_EQ(QL_OK, mManager.Add(doomed, false, false, false));
    EXPECT_EQ(QL_OK, mManager.Add(&mA, false, false, false));
    ASSERT_EQ(QL_OK, mManager.Update(0.0f));
    EXPECT_EQ(1, deaths);
    EXPECT_EQ((std::vector<widget::Frame*>{&mA}), Order());
    EXPECT_EQ(1u, Filter(mJournal, "a:update").size()) << "the frames above still updated";
}

TEST_F(FrameStack, RemoveAllFramesCanDeleteEverythingTheManagerDeletesWhatIsQueuedDestroyedFramesLeave)
{
    int deaths = 0;
    auto* first = new ProbeBoard("first", mJournal);
    auto* second = new ProbeBoard("second", mJournal);
    auto* child = new ProbeWidget("child", mJournal);
    first->mDeaths = second->mDeaths = child->mDeaths = &deaths;
    EXPECT_EQ(QL_OK, first->AddChild(child));
    EXPECT_EQ(QL_OK, mManager.Add(first, false, false, false));
    EXPECT_EQ(QL_OK, mManager.Add(second, false, true, false));
    ASSERT_EQ(second, mManager.GetActiveFrame());
    mJournal.clear();
    EXPECT_EQ(QL_OK, mManager.RemoveAllFrames(true, true));
    EXPECT_EQ(nullptr, mManager.GetActiveFrame()) << "a deleted frame is not kept as the active one";
    EXPECT_EQ((Journal{"first:manager-", "child:manager-", "second:manager-"}), mJournal);
    EXPECT_EQ(3, deaths);
    EXPECT_TRUE(mManager.GetStack().empty());

    EXPECT_EQ(QL_OK, mManager.Add(&mA, false, false, false));
    mJournal.clear();
    EXPECT_EQ(QL_OK, mManager.RemoveAllFrames(false, false));
    EXPECT_TRUE(mManager.GetStack().empty());
    EXPECT_TRUE(mJournal.empty()) << "emptied without notifications";

    // The manager deletes what is still queued, but not its frames.
    deaths = 0;
    auto* queued = new ProbeWidget("queued", mJournal);
    queued->mDeaths = &deaths;
    {
        widget::FrameManager manager;
        EXPECT_EQ(QL_OK, manager.Add(&mA, false, false, false));
        manager.QueueDelete(queued);
    }
    EXPECT_EQ(1, deaths);
    EXPECT_EQ(nullptr, mA.GetManager());

    // A destroyed frame leaves the stack and its pending requests.
    auto* gone = new ProbeBoard("gone", mJournal);
    auto* waiting = new ProbeBoard("waiting", mJournal);
    EXPECT_EQ(QL_OK, mManager.Add(gone, false, true, false));
    EXPECT_EQ(QL_OK, mManager.Add(waiting, false, false, true));
    delete gone;
    delete waiting;
    EXPECT_TRUE(mManager.GetStack().empty());
    EXPECT_EQ(nullptr, mManager.GetActiveFrame());
    EXPECT_EQ(QL_OK, mManager.Update(0.0f));
    EXPECT_TRUE(mManager.GetStack().empty());

    // A manager that goes with such a request still pending ends cleanly (checked under ASan).
    auto* manager = new widget::FrameManager();
    auto* orphan = new ProbeBoard("orphan", mJournal);
    EXPECT_EQ(QL_OK, manager->Add(orphan, false, false, true));
    delete orphan;
    delete manager;
}
