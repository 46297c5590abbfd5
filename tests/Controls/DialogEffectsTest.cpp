// Dialogs shown modally through the frame manager, with and without effects: definitions read
// from "DialogEffects", animated show and hide timing, hide requested during the show, closing
// through deferred deletion, and the animation's mesh drawn beneath the dialog.
#include "SkinnedFixture.h"

#include "Core/Base/Singletone.h"
#include "Core/Layer/Layer.h"
#include "Core/Layer/MeshLayer.h"
#include "Core/Media/Mesh/Mesh.h"
#include "Core/Widget/Controls/Dialog.h"
#include "Core/Widget/Controls/DialogAnimEffects.h"
#include "Core/Widget/Controls/DialogEffectsManager.h"
#include "Core/Widget/FrameManager.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <cstring>
#include <filesystem>
#include <string>

namespace
{
// A demo animation of the dialogs: a zoom whose dissolve runs linearly (show: 1 to 0 over 0.25 s,
// hide: 0 to 1 over 0.2 s), whose layer draws the mesh "shadow" of "dialog.lib" beside it.
std::string DemoAnim(const char* name)
{
    return testsupport::ReadBytes(std::string(QL_CONTENT_DIR "/td/data/anim/") + name);
}

// The animation with its one layer given twice.
std::string TwoLayers(std::string anim)
{
    u32 nameSize = 0;
    std::memcpy(&nameSize, anim.data(), 4);
    const size_t count = 4 + nameSize + 8; // after the name, the start and the end
    const std::string layer = anim.substr(count + 4);
    anim[count] = 2;
    return anim + layer;
}

// Counts what the effects tell it and whether it still lives.
struct ProbeDialog : widget::Dialog
{
    explicit ProbeDialog(bool* alive = nullptr) : mAlive(alive)
    {
        if (mAlive)
            *mAlive = true;
    }
    ~ProbeDialog() override
    {
        if (mAlive)
            *mAlive = false;
    }
    QLResultEnum OnShown() override
    {
        ++shown;
        alphaWhenShown = GetLayer()->mAlpha;
        return QL_OK;
    }
    QLResultEnum Close() override
    {
        ++closes;
        return widget::Dialog::Close();
    }
    bool* mAlive;
    int shown = 0;
    int closes = 0;
    float alphaWhenShown = -1.0f;
};

class DialogEffectsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        base::SingletoneBase::DestroyAll();
        ASSERT_TRUE(mHarness.Ok());
        mHost.render = mHarness.mRender.get(); // the mesh library's texture is made there
        gui::ControlHost::Set(&mHost);
        mOldPath = std::filesystem::current_path();
        std::filesystem::current_path(mDir.Path());
        mDir.Write("show.anim", DemoAnim("dialog_show.anim"));
        mDir.Write("hide.anim", DemoAnim("dialog_hide.anim"));
        mDir.Write("double.anim", TwoLayers(DemoAnim("dialog_show.anim")));
        mDir.Write("dialog.lib", DemoAnim("dialog.lib"));
        std::filesystem::create_directories(mDir.Path() / "images");
        mDir.Write("images/shadow.png", DemoAnim("images/shadow.png"));
    }
    void TearDown() override
    {
        EXPECT_EQ(QL_OK, mManager.RemoveAllFrames(true, false));
        mManager.DeleteQueued();
        base::SingletoneBase::DestroyAll();
        gui::ControlHost::Set(nullptr);
        if (!mOldPath.empty())
            std::filesystem::current_path(mOldPath);
    }

    // Loads a "DialogEffects" element with the given inner XML.
    QLResultEnum Load(const std::string& inner)
    {
        tinyxml2::XMLDocument document;
        EXPECT_EQ(document.Parse(("<DialogEffects>" + inner + "</DialogEffects>").c_str()), tinyxml2::XML_SUCCESS);
        return widget::DialogEffectsManager::Instance()->Load(document.RootElement());
    }
    // A probe under the effects of "Options", shown modally and through its first frame.
    ProbeDialog* ShowOptions(bool* alive = nullptr)
    {
        auto* dialog = new ProbeDialog(alive);
        dialog->mEffectsName = "Options";
        EXPECT_EQ(QL_OK, mManager.ShowModal(dialog, true));
        Tick(0.0f);
        return dialog;
    }
    // One frame: the effects (child tasks), then the manager's update.
    void Tick(float dt) { EXPECT_EQ(QL_OK, mManager.Tick(dt)); }

    rendertest::Harness mHarness{render::HeadlessWindow::Backend::Recording};
    controlstest::HostOnTestRender mHost;
    testsupport::TempDir mDir;
    std::filesystem::path mOldPath;
    widget::FrameManager mManager;
};

TEST_F(DialogEffectsTest, DefinitionsNeedAKnownTypeANameUniqueKeysAndAnimationsAndWithoutThemADialogShowsAtOnce)
{
    auto* manager = widget::DialogEffectsManager::Instance();
    EXPECT_EQ(QL_OK, Load("<Data><Anim name='a' show_anim_data='show.anim' hide_anim_data='hide.anim'/></Data>"
                          "<Dialogs><Options effects='a'/></Dialogs>"));
    EXPECT_TRUE(manager->HasSet("a"));
    EXPECT_EQ(manager->GetAssignment("Options"), "a");

    EXPECT_EQ(QL_FAIL, Load("<Data><Anim name='b' show_anim_data='show.anim' hide_anim_data='hide.anim'/>"
                            "<Sparkle name='c'/><Anim name='d' show_anim_data='x' hide_anim_data='y'/></Data>"));
    EXPECT_TRUE(manager->HasSet("b")); // read before the failure: kept
    EXPECT_FALSE(manager->HasSet("d"));
    EXPECT_EQ(QL_FAIL, Load("<Data><Anim show_anim_data='show.anim' hide_anim_data='hide.anim'/></Data>"));
    EXPECT_EQ(QL_FAIL, Load("<Data><Anim name='a' show_anim_data='show.anim' hide_anim_data='hide.anim'/></Data>"));
    EXPECT_EQ(QL_FAIL, Load("<Data><Anim name='e' show_anim_data='show.anim'/></Data>"));
    EXPECT_EQ(QL_FAIL, Load("<Dialogs><Box/></Dialogs>"));
    EXPECT_EQ(QL_FAIL, Load("<Dialogs><Options effects='b'/></Dialogs>"));
    EXPECT_EQ(manager->GetAssignment("Options"), "a");

    // Preload with any value loads both animations; a missing one fails.
    EXPECT_EQ(QL_OK, Load("<Data><Anim name='p' show_anim_data='show.anim' hide_anim_data='hide.anim' "
                          "preload='0'/></Data>"));
    widget::DialogAnimEffectsData data;
    tinyxml2::XMLDocument document;
    document.Parse("<Anim show_anim_data='show.anim' hide_anim_data='hide.anim' preload='no'/>");
    EXPECT_EQ(QL_OK, data.ReadXml(document.RootElement()));
    ASSERT_TRUE(data.mShow);
    EXPECT_TRUE(data.mShow->IsLoaded());
    EXPECT_TRUE(data.mHide->IsLoaded());
    EXPECT_NE(QL_OK, Load("<Data><Anim name='m' show_anim_data='nowhere.anim' hide_anim_data='hide.anim' "
                          "preload=''/></Data>"));

    // Without usable effects a dialog is shown at once; hidden without deletion it is kept.
    // No assignment, an assignment to a missing set, a set whose animation has two layers.
    ASSERT_EQ(QL_OK, Load("<Data><Anim name='two' show_anim_data='double.anim' hide_anim_data='hide.anim' "
                          "preload='1'/></Data><Dialogs><Gone effects='gone'/><Double effects='two'/></Dialogs>"));
    for (const char* name : {"Nobody", "Gone", "Double"})
    {
        SCOPED_TRACE(name);
        ProbeDialog probe;
        probe.mEffectsName = name;
        widget::DialogEffects* effects = nullptr;
        EXPECT_EQ(std::string(name) == "Nobody" ? QL_OK : QL_FAIL,
                  widget::DialogEffectsManager::Instance()->CreateEffects(&probe, &effects));
        EXPECT_EQ(effects, nullptr);
        auto* dialog = new ProbeDialog();
        dialog->mEffectsName = name;
        ASSERT_EQ(QL_OK, mManager.ShowModal(dialog, true));
        EXPECT_EQ(dialog->shown, 0); // deferred
        Tick(0.0f);
        EXPECT_EQ(dialog->shown, 1);
        EXPECT_EQ(dialog->GetEffects(), nullptr);
        EXPECT_EQ(QL_OK, dialog->Hide(true));
        Tick(0.0f);
    }

    // A hide without deletion only leaves the stack.
    bool alive = false;
    auto* dialog = new ProbeDialog(&alive);
    EXPECT_EQ(QL_OK, mManager.ShowModal(dialog, true));
    Tick(0.0f);
    ASSERT_EQ(QL_OK, dialog->Hide(false));
    Tick(0.0f);
    EXPECT_TRUE(alive);
    EXPECT_TRUE(mManager.GetStack().empty());
    EXPECT_EQ(dialog->GetManager(), nullptr);
    EXPECT_EQ(QL_FAIL, dialog->Close()); // no manager any more
    delete dialog;
}

TEST_F(DialogEffectsTest, ShowRunsItsAnimationThenTellsTheDialogAndHideWaitsForItThenClosesAndDeletes)
{
    // The fade set assigned to the options dialog.
    ASSERT_EQ(QL_OK, Load("<Data><Anim name='fade' show_anim_data='show.anim' hide_anim_data='hide.anim'/></Data>"
                          "<Dialogs><Options effects='fade'/></Dialogs>"));
    bool alive = false;
    auto* dialog = ShowOptions(&alive); // enters the stack; its effects start
    auto* effects = dynamic_cast<widget::DialogAnimEffects*>(dialog->GetEffects());
    ASSERT_NE(effects, nullptr);
    EXPECT_EQ(effects->GetState(), widget::DialogAnimEffects::SHOWING);
    EXPECT_FLOAT_EQ(dialog->GetLayer()->mAlpha, 0.0f); // the start pose at once
    // The animation's mesh lies beneath everything the dialog shows, and takes no hits.
    const animation::MeshLayer* mesh = effects->GetMeshLayer();
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ("shadow", mesh->GetMesh()->name);
    ASSERT_FALSE(dialog->GetLayer()->GetChildren().empty());
    EXPECT_EQ(mesh, dialog->GetLayer()->GetChildren().front());
    EXPECT_FALSE(mesh->mHitTestable);
    Tick(0.0f); // the effects join the manager's tasks
    Tick(0.125f);
    EXPECT_NEAR(dialog->GetLayer()->mAlpha, 0.5f, 1e-5f);
    EXPECT_EQ(dialog->shown, 0);
    Tick(10.0f); // overshoots: the end pose once, then shown
    EXPECT_EQ(dialog->shown, 1);
    EXPECT_FLOAT_EQ(dialog->alphaWhenShown, 1.0f);
    EXPECT_FLOAT_EQ(effects->GetClock(), 0.25f);
    EXPECT_EQ(effects->GetState(), widget::DialogAnimEffects::SHOWN);
    Tick(1.0f);
    EXPECT_EQ(dialog->shown, 1);
    EXPECT_EQ(mesh, effects->GetMeshLayer()) << "it stays with the end pose";

    ASSERT_EQ(QL_OK, dialog->Hide(true));
    EXPECT_EQ(effects->GetState(), widget::DialogAnimEffects::HIDING);
    EXPECT_EQ(mesh, effects->GetMeshLayer()) << "the hide names the same mesh";
    Tick(0.05f);
    EXPECT_NEAR(dialog->GetLayer()->mAlpha, 0.75f, 1e-5f);
    EXPECT_EQ(dialog->closes, 0);
    Tick(0.16f); // the effects run before the manager's update, which then removes and deletes it
    EXPECT_FALSE(alive);
    EXPECT_TRUE(mManager.GetStack().empty());
    Tick(0.0f);
    EXPECT_TRUE(mManager.Children().empty()); // the finished effects task is gone too

    // A hide during the show waits for its end.
    dialog = ShowOptions(&alive);
    Tick(0.05f);
    ASSERT_EQ(QL_OK, dialog->Hide(true));
    effects = dynamic_cast<widget::DialogAnimEffects*>(dialog->GetEffects());
    ASSERT_NE(effects, nullptr);
    EXPECT_EQ(effects->GetState(), widget::DialogAnimEffects::SHOWING);
    Tick(0.1f);
    EXPECT_EQ(dialog->shown, 0);
    Tick(0.15f); // the show ends and the hide starts right away
    EXPECT_EQ(dialog->shown, 1);
    EXPECT_EQ(effects->GetState(), widget::DialogAnimEffects::HIDING);
    EXPECT_FLOAT_EQ(dialog->GetLayer()->mAlpha, 1.0f);
    Tick(0.21f); // closed and deleted in the same frame
    EXPECT_FALSE(alive);

    // One kept on a hide without deletion shows through its whole effect again, and hides again.
    dialog = ShowOptions(&alive);
    Tick(0.0f);
    Tick(0.3f);
    ASSERT_EQ(dialog->shown, 1);
    ASSERT_EQ(QL_OK, dialog->Hide(false));
    Tick(0.25f);
    ASSERT_TRUE(mManager.GetStack().empty());
    ASSERT_TRUE(alive);
    ASSERT_EQ(QL_OK, mManager.ShowModal(dialog, true));
    Tick(0.0f);
    effects = dynamic_cast<widget::DialogAnimEffects*>(dialog->GetEffects());
    ASSERT_NE(effects, nullptr);
    EXPECT_EQ(effects->GetState(), widget::DialogAnimEffects::SHOWING);
    EXPECT_FLOAT_EQ(dialog->GetLayer()->mAlpha, 0.0f);
    Tick(0.0f);
    Tick(0.125f);
    EXPECT_NEAR(dialog->GetLayer()->mAlpha, 0.5f, 1e-5f);
    EXPECT_EQ(dialog->shown, 1);
    Tick(0.13f);
    EXPECT_EQ(dialog->shown, 2);
    EXPECT_FLOAT_EQ(dialog->alphaWhenShown, 1.0f);
    ASSERT_EQ(QL_OK, dialog->Hide(true));
    Tick(0.05f);
    EXPECT_NEAR(dialog->GetLayer()->mAlpha, 0.75f, 1e-5f);
    Tick(0.16f);
    EXPECT_FALSE(alive);

    // A dialog deleted while its effects run leaves nothing behind.
    dialog = ShowOptions();
    Tick(0.1f);
    ASSERT_NE(dialog->GetEffects(), nullptr);
    EXPECT_EQ(QL_OK, mManager.Remove(dialog, true, false));
    Tick(0.1f); // the released effects finish without touching the dialog (ASan checks it)
    EXPECT_TRUE(mManager.Children().empty());
}

} // namespace
