// The widget tree: frames and managers down the branches, layers, the enabled state, hover,
// draw hooks and safe destruction.
#include "WidgetProbes.h"

#include "Core/Layer/Layer.h"

#include <gtest/gtest.h>

#include <utility>

using namespace widgettest;

namespace
{
class WidgetTree : public ::testing::Test
{
protected:
    // The journal so far, emptied.
    Journal Take() { return std::exchange(mJournal, {}); }

    Journal mJournal;
};
} // namespace

TEST_F(WidgetTree, AttachingASubtreeToAManagedFrameTellsFrameThenManagerInPreOrderAndAddingMovesIt)
{
    widget::FrameManager manager;
    ProbeBoard board("board", mJournal);
    EXPECT_EQ(QL_OK, manager.Add(&board, false, false, false));
    ProbeWidget a("a", mJournal), a1("a1", mJournal), b("b", mJournal);
    EXPECT_EQ(QL_OK, a.AddChild(&a1));
    EXPECT_EQ(QL_OK, a.AddChild(&b));
    EXPECT_TRUE(Filter(mJournal, "a").empty()) << "no frame yet, nothing to tell";
    mJournal.clear();
    ASSERT_EQ(QL_OK, board.AddChild(&a));
    EXPECT_EQ((Journal{"a:frame+", "a1:frame+", "b:frame+", "a:manager+", "a1:manager+", "b:manager+"}), Take());
    EXPECT_EQ(&board, b.GetFrame());
    EXPECT_EQ(&a, a1.GetParent());
    EXPECT_EQ(board.GetLayer(), a.GetLayer()->GetParent()) << "the layer hangs under the parent's layer";
    EXPECT_EQ(a.GetLayer(), a1.GetLayer()->GetParent());

    ASSERT_EQ(QL_OK, board.RemoveChild(&a));
    EXPECT_EQ((Journal{"a:manager-", "a1:manager-", "b:manager-", "a:frame-", "a1:frame-", "b:frame-"}), Take());
    EXPECT_EQ(nullptr, a1.GetFrame());
    EXPECT_EQ(nullptr, a.GetParent());
    EXPECT_EQ(nullptr, a.GetLayer()->GetParent());
    EXPECT_EQ(QL_FAIL, board.RemoveChild(&a)) << "no longer a child";

    // A widget of another frame: removing it fails quietly, adding it moves it over.
    ProbeBoard other("other", mJournal);
    EXPECT_EQ(QL_OK, other.AddChild(&a));
    mJournal.clear();
    EXPECT_EQ(QL_FAIL, board.RemoveChild(&a));
    EXPECT_EQ(&other, a.GetFrame()) << "a widget of another frame keeps its frame";
    EXPECT_EQ(QL_OK, board.AddChild(&a));
    EXPECT_TRUE(other.GetChildren().empty());
    EXPECT_EQ(&board, a1.GetFrame());
    EXPECT_EQ((Journal{"a:frame-", "a1:frame-", "b:frame-", "a:frame+", "a1:frame+", "b:frame+", "a:manager+",
                       "a1:manager+", "b:manager+"}),
              mJournal);
    EXPECT_EQ(QL_OK, manager.RemoveAllFrames(false, false));
}

TEST_F(WidgetTree, ADisabledParentDisablesTheSubtreeAndChangesSkipWhatAlreadyMatches)
{
    ProbeWidget parent("p", mJournal), child("c", mJournal), grandchild("g", mJournal);
    EXPECT_EQ(QL_OK, child.AddChild(&grandchild));
    EXPECT_EQ(QL_OK, parent.SetDisabled(true));
    ASSERT_EQ(QL_OK, parent.AddChild(&child));
    EXPECT_EQ((Journal{"c:disabled", "g:disabled"}), Take());
    EXPECT_TRUE(grandchild.IsDisabled());
    EXPECT_TRUE(grandchild.mDisabledByAncestor);

    EXPECT_EQ(QL_OK, parent.RemoveChild(&child));
    EXPECT_EQ((Journal{"c:enabled", "g:enabled"}), Take());
    EXPECT_FALSE(grandchild.IsDisabled());

    // Changes skip the subtrees that already match; a widget is not told of its own flag.
    ProbeWidget sibling("s", mJournal);
    EXPECT_EQ(QL_OK, parent.SetDisabled(false));
    EXPECT_EQ(QL_OK, parent.AddChild(&child));
    EXPECT_EQ(QL_OK, parent.AddChild(&sibling));
    sibling.mAltDisabledNotification = 1;
    mJournal.clear();
    EXPECT_EQ(QL_OK, child.SetDisabled(true));
    EXPECT_EQ((Journal{"g:disabled"}), Take());
    EXPECT_EQ(QL_OK, parent.SetDisabled(true));
    EXPECT_EQ((Journal{"c:disabled", "s:alt-disabled"}), Take()) << "g already inherits it";
    EXPECT_EQ(QL_OK, parent.SetDisabled(false));
    EXPECT_EQ((Journal{"c:enabled", "s:alt-enabled"}), Take());
    EXPECT_TRUE(grandchild.IsDisabled()) << "c's own flag still holds below it";
}

TEST_F(WidgetTree, HoverMovesTellOnlyTheBranchesThatChangeRemovalOrDeletionClearsThemAndRemoveAllChildrenEmpties)
{
    ProbeBoard board("board", mJournal);
    ProbeWidget a("a", mJournal), a1("a1", mJournal), a2("a2", mJournal), b("b", mJournal);
    EXPECT_EQ(QL_OK, board.AddChild(&a));
    EXPECT_EQ(QL_OK, a.AddChild(&a1));
    EXPECT_EQ(QL_OK, a.AddChild(&a2));
    EXPECT_EQ(QL_OK, board.AddChild(&b));
    mJournal.clear();
    EXPECT_EQ(QL_OK, board.SetHover(&a1));
    EXPECT_EQ((Journal{"a1:hover+", "a:inside+"}), Take()) << "the board's listener hears only its own hover";
    EXPECT_TRUE(a.mHoverInside);
    EXPECT_EQ(QL_OK, board.SetHover(&a2));
    EXPECT_EQ((Journal{"a1:hover-", "a2:hover+"}), Take()) << "shared ancestors are not told";
    EXPECT_EQ(QL_OK, board.SetHover(&b));
    EXPECT_EQ((Journal{"a2:hover-", "a:inside-", "b:hover+"}), Take());
    EXPECT_EQ(QL_OK, board.SetHover(nullptr));
    EXPECT_EQ((Journal{"b:hover-"}), Take());
    EXPECT_EQ(nullptr, board.GetHoverWidget());
    EXPECT_EQ(QL_OK, board.SetHover(nullptr));

    // From a widget to its child: the old one hovers inside.
    EXPECT_EQ(QL_OK, board.SetHover(&a));
    mJournal.clear();
    EXPECT_EQ(QL_OK, board.SetHover(&a1));
    EXPECT_EQ((Journal{"a:hover-", "a1:hover+", "a:inside+"}), Take());
    EXPECT_FALSE(a.mHovered);

    // Removing the hovered or focused branch clears the frame.
    board.SetFocusWidget(&a1);
    EXPECT_EQ(QL_OK, board.RemoveChild(&a));
    EXPECT_EQ(nullptr, board.GetHoverWidget());
    EXPECT_EQ(nullptr, board.GetFocusWidget());
    EXPECT_FALSE(a1.mHovered);

    // A deleted widget leaves its parent, the frame's hover and focus, and the layers.
    ProbeWidget keeper("k", mJournal);
    auto* doomed = new ProbeWidget("d", mJournal);
    EXPECT_EQ(QL_OK, board.AddChild(doomed));
    EXPECT_EQ(QL_OK, doomed->AddChild(&keeper));
    EXPECT_EQ(QL_OK, board.SetHover(doomed));
    board.SetFocusWidget(doomed);
    delete doomed;
    EXPECT_EQ(nullptr, board.GetHoverWidget());
    EXPECT_EQ(nullptr, board.GetFocusWidget());
    EXPECT_EQ(nullptr, keeper.GetParent());
    EXPECT_EQ(nullptr, keeper.GetLayer()->GetParent());
    EXPECT_EQ(1u, board.GetChildren().size()) << "only b is left";
    EXPECT_EQ(1u, board.GetLayer()->GetChildren().size());

    // RemoveAllChildren empties the list, or with the flags deletes the whole subtree.
    ProbeWidget parent("p", mJournal), child("c", mJournal);
    EXPECT_EQ(QL_OK, parent.AddChild(&child));
    EXPECT_EQ(QL_OK, parent.RemoveAllChildren(false, false, false));
    EXPECT_TRUE(parent.GetChildren().empty());
    EXPECT_EQ(parent.GetLayer(), child.GetLayer()->GetParent()) << "layers stay attached";
    // A child's layer can hang under another layer of the parent.
    layer::Layer slot;
    parent.GetLayer()->AddChild(&slot);
    ProbeWidget slotted("s", mJournal);
    EXPECT_EQ(QL_OK, parent.AddChild(&slotted, &slot));
    EXPECT_EQ(&slot, slotted.GetLayer()->GetParent());
    EXPECT_EQ(QL_OK, parent.RemoveChild(&slotted));
    EXPECT_TRUE(slot.GetChildren().empty());

    // With the flags it deletes the whole subtree.
    int deaths = 0;
    ProbeWidget root("r", mJournal);
    auto* da = new ProbeWidget("da", mJournal);
    auto* da1 = new ProbeWidget("da1", mJournal);
    auto* db = new ProbeWidget("db", mJournal);
    da->mDeaths = da1->mDeaths = db->mDeaths = &deaths;
    EXPECT_EQ(QL_OK, root.AddChild(da));
    EXPECT_EQ(QL_OK, da->AddChild(da1));
    EXPECT_EQ(QL_OK, root.AddChild(db));
    mJournal.clear();
    EXPECT_EQ(QL_OK, root.RemoveAllChildren(true, true, false));
    EXPECT_EQ(3, deaths);
    EXPECT_TRUE(root.GetChildren().empty());
    EXPECT_TRUE(root.GetLayer()->GetChildren().empty()) << "deleted layers left the tree";
    EXPECT_TRUE(mJournal.empty());
}

TEST_F(WidgetTree, ListenersHearTheirLayerDrawAndUpdatesRunListenerThenChildren)
{
    struct Hooks : widget::WidgetListener
    {
        QLResultEnum OnPreDraw(render::Graphics*, layer::Layer* l) override
        {
            log.push_back("pre");
            seen = l;
            return QL_OK;
        }
        QLResultEnum OnPostDraw(render::Graphics*, layer::Layer*) override
        {
            log.push_back("post");
            return QL_OK;
        }
        Journal log;
        layer::Layer* seen = nullptr;
    } hooks;
    widget::Widget w;
    auto* first = new layer::Layer();
    w.SetLayer(first, true, false);
    w.SetListener(&hooks, true);
    EXPECT_EQ(QL_OK, first->Render(nullptr));
    EXPECT_EQ((Journal{"pre", "post"}), hooks.log);
    EXPECT_EQ(first, hooks.seen);

    // A new layer gets the listener again; without hooks nothing is heard.
    auto* second = new layer::Layer();
    w.SetLayer(second, true, false);
    hooks.log.clear();
    EXPECT_EQ(QL_OK, second->Render(nullptr));
    EXPECT_TRUE(hooks.log.empty());
    w.SetLayer(second, true, true);
    EXPECT_EQ(QL_OK, second->Render(nullptr));
    EXPECT_EQ((Journal{"pre", "post"}), hooks.log);

    // Updates run the listener, then the children, and stop at a failure.
    ProbeWidget root("r", mJournal), a("a", mJournal), b("b", mJournal);
    EXPECT_EQ(QL_OK, root.AddChild(&a));
    EXPECT_EQ(QL_OK, root.AddChild(&b));
    mJournal.clear();
    EXPECT_EQ(QL_OK, root.widget::Widget::Update(0.1f));
    EXPECT_EQ((Journal{"r:update", "a:update", "b:update"}), Take());
    a.mOnEvent = [](const std::string&) { return QL_FAIL; };
    EXPECT_EQ(QL_FAIL, root.widget::Widget::Update(0.1f));
    EXPECT_EQ((Journal{"r:update", "a:update"}), Take());
}
