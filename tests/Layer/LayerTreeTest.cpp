// The layer tree: draw order, visibility, listeners, alpha, world transforms, boxes and points.
#include "Core/Layer/Layer.h"
#include "Core/Layer/RectHitLayer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace
{
// Writes its name and effective alpha into a shared log when drawn.
class LoggingLayer : public layer::Layer
{
public:
    LoggingLayer(std::string name, std::vector<std::string>& log) : mName(std::move(name)), mLog(log) {}
    QLResultEnum DrawSelf(render::Graphics*) override
    {
        mLog.push_back(mName);
        mDrawnAlpha = GetEffectiveAlpha();
        return mResult;
    }
    std::string mName;
    std::vector<std::string>& mLog;
    float mDrawnAlpha = -1.0f;
    QLResultEnum mResult = QL_OK;
};

// A draw listener that logs and returns a chosen result.
struct DrawHook
{
    std::vector<std::string>* log;
    std::string name;
    QLResultEnum result = QL_OK;
    QLResultEnum Call(render::Graphics*, layer::Layer*)
    {
        log->push_back(name);
        return result;
    }
};

layer::DrawListener Hook(DrawHook& hook)
{
    using Delegate = base::MemberDelegate2<DrawHook, render::Graphics*, layer::Layer*, QLResultEnum>;
    return layer::DrawListener(new Delegate(&hook, &DrawHook::Call));
}

math::Point3 World(layer::Layer& layer, float x, float y)
{
    math::Point3 p(x, y, 0.0f);
    layer.mWorldTransform.GetMatrix().TransformPoint(p);
    return p;
}

class LayerTree : public ::testing::Test
{
protected:
    std::vector<std::string> mLog;
};
} // namespace

TEST_F(LayerTree, DrawsParentThenChildrenWithListenersAroundAndMultipliedAlphaAndStopsAtAFailure)
{
    LoggingLayer root("root", mLog), a("a", mLog), b("b", mLog), a1("a1", mLog);
    root.AddChild(&a);
    root.AddChild(&b);
    a.AddChild(&a1);
    DrawHook pre{&mLog, "pre"}, post{&mLog, "post"};
    a.SetPreDrawListener(Hook(pre));
    a.SetPostDrawListener(Hook(post));
    EXPECT_EQ(QL_OK, root.Render(nullptr));
    EXPECT_EQ((std::vector<std::string>{"root", "pre", "a", "a1", "post", "b"}), mLog);

    // Alpha multiplies down the tree; without the flag a layer takes its parent's passed alpha (its
    // own 0.5 x the parent's own 0.5), not the effective one.
    root.mAlpha = 0.5f;
    a.mAlpha = 0.5f;
    EXPECT_EQ(QL_OK, root.Render(nullptr));
    EXPECT_FLOAT_EQ(0.5f, root.mDrawnAlpha);
    EXPECT_FLOAT_EQ(0.25f, a.mDrawnAlpha);
    EXPECT_FLOAT_EQ(0.25f, a1.mDrawnAlpha);
    a1.mAlpha = 0.5f;
    a1.mAlphaFromParentEffective = false;
    EXPECT_EQ(QL_OK, root.Render(nullptr));
    EXPECT_FLOAT_EQ(0.25f, a1.mDrawnAlpha);

    mLog.clear();
    a.mVisible = false;
    EXPECT_EQ(QL_OK, root.Render(nullptr));
    EXPECT_EQ((std::vector<std::string>{"root", "b"}), mLog) << "a hidden layer's subtree and listeners are skipped";

    mLog.clear();
    a.mVisible = true;
    pre.result = QL_FAIL;
    EXPECT_EQ(QL_FAIL, root.Render(nullptr));
    EXPECT_EQ((std::vector<std::string>{"root", "pre"}), mLog) << "neither a nor the later sibling drawn";

    mLog.clear();
    a.SetPreDrawListener(nullptr);
    a.SetPostDrawListener(nullptr);
    a.mResult = static_cast<QLResultEnum>(7);
    EXPECT_EQ(7, root.Render(nullptr));
    EXPECT_EQ((std::vector<std::string>{"root", "a"}), mLog);

    a.mResult = QL_OK;
    post.result = static_cast<QLResultEnum>(3);
    root.SetPostDrawListener(Hook(post));
    EXPECT_EQ(3, root.Render(nullptr));
}

TEST_F(LayerTree, WorldTransformsBoxesAndPointsFollowTheTreeAndItsMoves)
{
    layer::Layer root, child;
    root.AddChild(&child);
    root.SetScale(2.0f, 2.0f);
    root.SetPosition(5.0f, 5.0f);
    child.SetPosition(10.0f, 0.0f);
    EXPECT_EQ(QL_OK, root.Render(nullptr));
    EXPECT_EQ(math::Point3(27.0f, 5.0f, 0.0f), World(child, 1.0f, 0.0f));

    root.SetPosition(0.0f, 0.0f);
    EXPECT_EQ(QL_OK, root.Render(nullptr));
    EXPECT_EQ(math::Point3(22.0f, 0.0f, 0.0f), World(child, 1.0f, 0.0f))
        << "a parent's move reaches an untouched child";

    // A child added under a moved parent is placed under it at its first draw.
    layer::Layer late;
    root.AddChild(&late);
    EXPECT_TRUE(late.mRebuildRequested);
    EXPECT_EQ(QL_OK, root.Render(nullptr));
    EXPECT_EQ(math::Point3(2.0f, 2.0f, 0.0f), World(late, 1.0f, 1.0f));

    // Adding moves a child; removing a stranger changes nothing; the destroyed leave.
    layer::Layer a, b, moved, stranger;
    a.AddChild(&moved);
    b.AddChild(&moved);
    EXPECT_TRUE(a.GetChildren().empty());
    ASSERT_EQ(1u, b.GetChildren().size());
    EXPECT_EQ(&b, moved.GetParent());

    layer::Layer other;
    b.AddChild(&other);
    b.RemoveChild(&stranger);
    EXPECT_EQ((layer::Layer::Children{&moved, &other}), b.GetChildren());
    b.RemoveChild(&moved);
    EXPECT_EQ((layer::Layer::Children{&other}), b.GetChildren());
    EXPECT_EQ(nullptr, moved.GetParent());

    // Re-adding a moved already on top keeps a single entry.
    b.AddChild(&other);
    EXPECT_EQ(1u, b.GetChildren().size());

    // A destroyed layer leaves its parent and lets go of its children.
    {
        layer::Layer middle;
        b.AddChild(&middle);
        middle.AddChild(&moved);
    }
    EXPECT_EQ((layer::Layer::Children{&other}), b.GetChildren());
    EXPECT_EQ(nullptr, moved.GetParent());
    EXPECT_EQ(QL_OK, b.Render(nullptr));

    // The parent-space box carries scale and position; an empty tree keeps none.
    layer::Layer boxRoot;
    layer::RectHitLayer box(math::Rect(0.0f, 0.0f, 5.0f, 5.0f));
    boxRoot.AddChild(&box);
    box.SetScale(2.0f, 2.0f);
    box.SetPosition(10.0f, 0.0f);
    EXPECT_TRUE(boxRoot.UpdateTreeBounds());
    EXPECT_EQ((math::Box{10.0f, 0.0f, 0.0f, 20.0f, 10.0f, 0.0f}), box.mParentBox);
    EXPECT_EQ(box.mParentBox, boxRoot.mCombinedBox);

    EXPECT_FALSE(boxRoot.UpdateTreeBounds()) << "nothing changed";
    box.SetX(0.0f);
    EXPECT_TRUE(boxRoot.UpdateTreeBounds());
    EXPECT_FLOAT_EQ(0.0f, boxRoot.mCombinedBox.minX);
    box.SetRect(math::Rect(0.0f, 0.0f, 1.0f, 1.0f));
    EXPECT_TRUE(boxRoot.UpdateTreeBounds());
    EXPECT_FLOAT_EQ(2.0f, boxRoot.mCombinedBox.maxX);

    layer::Layer empty, emptyChild;
    empty.AddChild(&emptyChild);
    empty.SetPosition(5.0f, 5.0f);
    empty.UpdateTreeBounds();
    EXPECT_EQ(math::Box(), empty.mParentBox) << "the position is not added to an empty box";

    // Points convert level by level; a z rotation turns boxes and points.
    layer::RectHitLayer turned(math::Rect(0.0f, 0.0f, 4.0f, 2.0f));
    turned.SetRotation(0.0f, 0.0f, 0.0001f);
    turned.UpdateTreeBounds();
    EXPECT_EQ(0.0f, turned.mParentBox.minY);
    EXPECT_EQ(4.0f, turned.mParentBox.maxX);
    EXPECT_EQ(math::Point3(3.0f, 1.0f, 0.0f), turned.PointToLocal({3.0f, 1.0f, 0.0f}));

    const float quarter = static_cast<float>(M_PI / 2.0);
    turned.SetRotation(0.0f, 0.0f, quarter);
    turned.UpdateTreeBounds();
    EXPECT_NEAR(-2.0f, turned.mParentBox.minX, 1e-5f);
    EXPECT_NEAR(0.0f, turned.mParentBox.maxX, 1e-5f);
    EXPECT_NEAR(0.0f, turned.mParentBox.minY, 1e-5f);
    EXPECT_NEAR(4.0f, turned.mParentBox.maxY, 1e-5f);
    // (3, 1) turned a quarter is (-1, 3): back again.
    const math::Point3 back = turned.PointToLocal({-1.0f, 3.0f, 0.0f});
    EXPECT_NEAR(3.0f, back.x, 1e-5f);
    EXPECT_NEAR(1.0f, back.y, 1e-5f);

    // Points convert level by level from the top.
    layer::Layer top, middle, leaf;
    top.AddChild(&middle);
    middle.AddChild(&leaf);
    top.SetPosition(100.0f, 50.0f);
    middle.SetScale(2.0f, 4.0f);
    leaf.SetPosition(10.0f, 5.0f);
    // (130, 90) - (100, 50) = (30, 40); / (2, 4) = (15, 10); - (10, 5) = (5, 5).
    EXPECT_EQ(math::Point3(5.0f, 5.0f, 0.0f), leaf.RootPointToLocal({130.0f, 90.0f, 0.0f}));
    EXPECT_EQ(math::Point3(15.0f, 10.0f, 0.0f), middle.PointToLocal({30.0f, 40.0f, 0.0f}));

    // A layer tilted about x passes the point on unchanged.
    middle.SetRotation(0.5f, 0.0f, 0.0f);
    EXPECT_EQ(math::Point3(20.0f, 35.0f, 0.0f), leaf.RootPointToLocal({130.0f, 90.0f, 0.0f}));
}
