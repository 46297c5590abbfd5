// The hit-test walk inside a layer tree: declining layers and groups, the listener's space, edges,
// what is skipped, and linked ancestors (the plain walk is driven through the frame manager).
#include "Core/Layer/HitTestWalk.h"
#include "Core/Layer/Layer.h"
#include "Core/Layer/RectHitLayer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
struct Call
{
    std::string listener;
    std::string kind;
    layer::Layer* hitLayer;
    layer::Layer* notifiedLayer;
    math::Point3 point;
    u32 value;
};

// Logs every notification and leaves a chosen state (or a chosen result).
class Probe : public layer::HitTestListener
{
public:
    Probe(std::string name, std::vector<Call>& log) : mName(std::move(name)), mLog(log) {}
    QLResultEnum OnDown(const math::Point3& p, u32 b) override { return Note("down", p, b); }
    QLResultEnum OnUp(const math::Point3& p, u32 b) override { return Note("up", p, b); }
    QLResultEnum OnMove(const math::Point3& p) override { return Note("move", p, 0); }
    QLResultEnum OnDrag(const math::Point3& p) override { return Note("drag", p, 0); }
    QLResultEnum OnWheel(const math::Point3& p, u32 v) override { return Note("wheel", p, v); }
    QLResultEnum OnLinkedDown(const math::Point3& p, u32 b) override
    {
        mLog.push_back({mName, mHandledBelow ? "linked-down-handled" : "linked-down", mHitLayer, mNotifiedLayer, p, b});
        mState = layer::HIT_CONTINUE; // ignored: linked listeners only listen
        return mResult;
    }

    QLResultEnum Note(const char* kind, const math::Point3& p, u32 value)
    {
        EXPECT_EQ(layer::HIT_HANDLED, mState) << "a hit arrives as handled";
        mLog.push_back({mName, kind, mHitLayer, mNotifiedLayer, p, value});
        mState = mLeave;
        return mResult;
    }

    std::string mName;
    std::vector<Call>& mLog;
    layer::HitTestState mLeave = layer::HIT_HANDLED;
    QLResultEnum mResult = QL_OK;
};

class HitTestWalk : public ::testing::Test
{
protected:
    // root (frame area 0..100) with two overlapping rectangles: low (0..50) and high (25..75) on top.
    HitTestWalk() : mRoot(math::Rect(0, 0, 100, 100)), mLow(math::Rect(0, 0, 50, 50)), mHigh(math::Rect(25, 25, 50, 50))
    {
        mRoot.AddChild(&mLow);
        mRoot.AddChild(&mHigh);
        mRoot.SetHitListener(&mRootProbe);
        mLow.SetHitListener(&mLowProbe);
        mHigh.SetHitListener(&mHighProbe);
    }

    // A press at (x, y) with a fresh log.
    layer::HitTestResult Down(float x, float y)
    {
        mLog.clear();
        mRoot.UpdateTreeBounds();
        return layer::WalkHitTest(&mRoot, {x, y, 0.0f}, layer::OnMouseDown{1});
    }
    std::vector<std::string> Who() const
    {
        std::vector<std::string> names;
        for (const Call& c : mLog)
            names.push_back(c.listener);
        return names;
    }

    std::vector<Call> mLog;
    Probe mRootProbe{"root", mLog}, mLowProbe{"low", mLog}, mHighProbe{"high", mLog};
    layer::RectHitLayer mRoot, mLow, mHigh;
};
} // namespace

TEST_F(HitTestWalk, ADecliningHitLayerLeavesTheTreeAGroupItsSubtreeAndAnAncestorIsTestedItself)
{
    mHighProbe.mLeave = layer::HIT_DECLINED;
    EXPECT_EQ(layer::HIT_DECLINED, Down(30.0f, 30.0f).state);
    EXPECT_EQ((std::vector<std::string>{"high"}), Who()) << "neither the sibling below nor the root";

    // A declining group resumes with its lower siblings.
    Probe groupProbe("group", mLog);
    layer::RectHitLayer group(math::Rect(0, 0, 0, 0)); // no area of its own
    layer::RectHitLayer leaf(math::Rect(5, 5, 10, 10));
    group.SetHitListener(&groupProbe);
    group.AddChild(&leaf);
    mRoot.AddChild(&group);
    groupProbe.mLeave = layer::HIT_DECLINED;
    const layer::HitTestResult r = Down(10.0f, 10.0f);
    EXPECT_EQ((std::vector<std::string>{"group", "low"}), Who());
    EXPECT_EQ(&mLow, r.hitLayer);
    EXPECT_EQ(layer::HIT_HANDLED, r.state);

    // A layer without a listener of its own under the root, holding a listener-less leaf: the
    // leaf's hit goes to the nearest listener, here the root's probe.
    layer::Layer holder;
    layer::RectHitLayer inner(math::Rect(60, 60, 10, 10));
    holder.AddChild(&inner);
    mRoot.AddChild(&holder);
    const layer::HitTestResult below = Down(65.0f, 65.0f);
    ASSERT_EQ((std::vector<std::string>{"root"}), Who());
    EXPECT_EQ(&inner, mLog[0].hitLayer);
    EXPECT_EQ(&mRoot, mLog[0].notifiedLayer);
    EXPECT_EQ(&inner, below.hitLayer);

    // The root declines: its subtree is left, the root's own rectangle is tested and hit again.
    mRootProbe.mLeave = layer::HIT_DECLINED;
    holder.SetHitListener(nullptr);
    Down(65.0f, 65.0f);
    EXPECT_EQ((std::vector<std::string>{"root", "root"}), Who());
    EXPECT_EQ(&inner, mLog[0].hitLayer);
    EXPECT_EQ(&mRoot, mLog[1].hitLayer);
}

TEST_F(HitTestWalk, RightAndBottomEdgesAreOutsideAndHiddenUntestableOrTiltedLayersAreSkipped)
{
    // Left and top edges are inside.
    const struct
    {
        float x, y;
        std::vector<std::string> heard;
    } edges[] = {{74.999f, 50.0f, {"high"}}, {75.0f, 50.0f, {"root"}}, {25.0f, 25.0f, {"high"}}, {100.0f, 10.0f, {}}};
    for (const auto& edge : edges)
    {
        SCOPED_TRACE(edge.x);
        Down(edge.x, edge.y);
        EXPECT_EQ(edge.heard, Who());
    }
    EXPECT_EQ(74.999f, Down(74.999f, 50.0f).hitPoint.x);
    mLog.clear();
    // The wheel's notches are widened without their sign.
    layer::WalkHitTest(&mRoot, {30, 30, 0}, layer::OnMouseWheel{0xFF88});
    ASSERT_EQ(1u, mLog.size());
    EXPECT_EQ("wheel", mLog[0].kind);
    EXPECT_EQ(0xFF88u, mLog[0].value);

    // Hidden and untestable layers are skipped unless walked through.
    mHigh.mVisible = false;
    Down(30.0f, 30.0f);
    EXPECT_EQ((std::vector<std::string>{"low"}), Who());

    mHigh.mVisible = true;
    layer::RectHitLayer inner(math::Rect(30, 30, 5, 5));
    Probe innerProbe("inner", mLog);
    inner.SetHitListener(&innerProbe);
    mHigh.AddChild(&inner);
    mHigh.mHitTestable = false;
    Down(31.0f, 31.0f);
    EXPECT_EQ((std::vector<std::string>{"low"}), Who()) << "the untestable layer's subtree is not entered";

    mHigh.mWalkThrough = true;
    Down(31.0f, 31.0f);
    EXPECT_EQ((std::vector<std::string>{"inner"}), Who());
    Down(40.0f, 40.0f);
    EXPECT_EQ((std::vector<std::string>{"low"}), Who()) << "walked through, but not hit itself";

    // A tilted layer is tested whole without its children: its own test uses the point (0, 0, 0),
    // outside its rectangle.
    mHigh.mHitTestable = true;
    mHigh.mWalkThrough = false;
    mHigh.SetRotation(0.0f, 0.5f, 0.0f);
    Down(31.0f, 31.0f);
    EXPECT_EQ((std::vector<std::string>{"low"}), Who());
}

TEST_F(HitTestWalk, TheNotifiedPointIsInTheListenersSpaceAndAncestorsWithTheLinkBitHearOfHitsBelowThem)
{
    layer::Layer group;
    layer::RectHitLayer leaf(math::Rect(0, 0, 10, 10));
    Probe groupProbe("group", mLog), leafProbe("leaf", mLog);
    group.SetHitListener(&groupProbe);
    group.SetPosition(60.0f, 60.0f);
    leaf.SetPosition(5.0f, 5.0f);
    group.AddChild(&leaf);
    mRoot.AddChild(&group);
    layer::HitTestResult r = Down(67.0f, 68.0f);
    ASSERT_EQ((std::vector<std::string>{"group"}), Who());
    EXPECT_EQ(math::Point3(7.0f, 8.0f, 0.0f), mLog[0].point);
    EXPECT_EQ(math::Point3(2.0f, 3.0f, 0.0f), r.hitPoint) << "the hit point is in the leaf's space";

    leaf.SetHitListener(&leafProbe);
    mRootProbe.mLinkMask = layer::LINK_DOWN;
    groupProbe.mLinkMask = layer::LINK_UP; // another kind: not told of presses
    r = Down(67.0f, 68.0f);
    ASSERT_EQ((std::vector<std::string>{"leaf", "root"}), Who());
    EXPECT_EQ("linked-down-handled", mLog[1].kind);
    EXPECT_EQ(&leaf, mLog[1].hitLayer);
    EXPECT_EQ(&mRoot, mLog[1].notifiedLayer);
    EXPECT_EQ(67.0f, mLog[1].point.x) << "in the root's own space";
    EXPECT_EQ(layer::HIT_HANDLED, r.state) << "the linked listener does not steer the walk";

    mRootProbe.mResult = static_cast<QLResultEnum>(6);
    EXPECT_EQ(6, Down(67.0f, 68.0f).result);
}
