// Dialogs shown modally through the frame manager, with and without effects: definitions read
// from "DialogEffects", animated show and hide timing, hide requested during the show, closing
// through deferred deletion.
#include "Core/Base/Singletone.h"
#include "Core/Layer/Layer.h"
#include "Core/Widget/Controls/Dialog.h"
#include "Core/Widget/Controls/DialogAnimEffects.h"
#include "Core/Widget/Controls/DialogEffectsManager.h"
#include "Core/Widget/FrameManager.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <cstring>
#include <string>

namespace
{
void Put(std::string& out, const void* data, size_t size)
{
    out.append(static_cast<const char*>(data), size);
}
void PutU32(std::string& out, u32 v)
{
    Put(out, &v, 4);
}
void PutF32(std::string& out, float v)
{
    Put(out, &v, 4);
}
void PutText(std::string& out, const std::string& text)
{
    PutU32(out, static_cast<u32>(text.size()));
    out += text;
}
// Two linear keys (0, a) and (end, b), constant outside.
void PutEnvelope(std::string& out, float end, float a, float b)
{
    PutU32(out, 2);
    PutU32(out, 1);
    PutU32(out, 1);
    for (const auto& [time, value] : {std::pair{0.0f, a}, std::pair{end, b}})
    {
        PutF32(out, value);
        PutF32(out, time);
        PutU32(out, 3);
        for (int i = 0; i < 4; ++i)
            PutF32(out, 0.0f);
        out.append(8, '\0');
    }
}

// An animation of `layers` layers that fades from dissolve a to b over `end` seconds.
std::string FadeAnim(float end, float a, float b, int layers = 1)
{
    std::string out;
    PutText(out, "fade");
    PutF32(out, 0.0f);
    PutF32(out, end);
    PutU32(out, static_cast<u32>(layers));
    for (int l = 0; l < layers; ++l)
    {
        PutText(out, "layer");
        PutText(out, "null");
        PutText(out, "null");
        for (int i = 0; i < 4; ++i)
            PutU32(out, 0);
        for (int channel = 0; channel < 10; ++channel)
        {
            const bool scale = channel >= 6 && channel <= 8;
            if (channel == 9)
                PutEnvelope(out, end, a, b);
            else
                PutEnvelope(out, end, scale ? 1.0f : 0.0f, scale ? 1.0f : 0.0f);
        }
    }
    return out;
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
        mDir.Write("show.anim", FadeAnim(0.5f, 1.0f, 0.0f));
        mDir.Write("hide.anim", FadeAnim(0.25f, 0.0f, 1.0f));
        mDir.Write("double.anim", FadeAnim(0.5f, 1.0f, 0.0f, 2));
    }
    void TearDown() override
    {
        mManager.RemoveAllFrames(true, false);
        mManager.DeleteQueued();
        base::SingletoneBase::DestroyAll();
    }

    // Loads a "DialogEffects" element with the given inner XML.
    QLResultEnum Load(const std::string& inner)
    {
        std::string text = "<DialogEffects>" + inner + "</DialogEffects>";
        for (const char* name : {"show.anim", "hide.anim", "double.anim"})
            for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1))
            {
                const std::string full = mDir.Path().string() + "/" + name;
                text.replace(at, std::strlen(name), full);
                at += full.size() - 1;
            }
        tinyxml2::XMLDocument document;
        EXPECT_EQ(document.Parse(text.c_str()), tinyxml2::XML_SUCCESS);
        return widget::DialogEffectsManager::Instance()->Load(document.RootElement());
    }
    // One frame: the effects (child tasks), then the manager's update.
    void Tick(float dt) { EXPECT_EQ(QL_OK, mManager.Tick(dt)); }

    testsupport::TempDir mDir;
    widget::FrameManager mManager;
};

TEST_F(DialogEffectsTest, DefinitionsNeedAKnownTypeANameAndUniqueKeys)
{
    auto* manager = widget::DialogEffectsManager::Instance();
    EXPECT_EQ(QL_OK,
              Load("<Data><Anim name='a' show_anim_data='show.anim' hide_anim_data='hide.anim'/></Data>"
                   "<Dialogs><Options effects='a'/></Dialogs>"));
    EXPECT_TRUE(manager->HasSet("a"));
    EXPECT_EQ(manager->GetAssignment("Options"), "a");

    EXPECT_EQ(QL_FAIL,
              Load("<Data><Anim name='b' show_anim_data='show.anim' hide_anim_data='hide.anim'/>"
                   "<Sparkle name='c'/><Anim name='d' show_anim_data='x' hide_anim_data='y'/></Data>"));
    EXPECT_TRUE(manager->HasSet("b")); // read before the failure: kept
    EXPECT_FALSE(manager->HasSet("d"));
    EXPECT_EQ(QL_FAIL, Load("<Data><Anim show_anim_data='show.anim' hide_anim_data='hide.anim'/></Data>"));
    EXPECT_EQ(QL_FAIL,
              Load("<Data><Anim name='a' show_anim_data='show.anim' hide_anim_data='hide.anim'/></Data>"));
    EXPECT_EQ(QL_FAIL, Load("<Data><Anim name='e' show_anim_data='show.anim'/></Data>"));
    EXPECT_EQ(QL_FAIL, Load("<Dialogs><Box/></Dialogs>"));
    EXPECT_EQ(QL_FAIL, Load("<Dialogs><Options effects='b'/></Dialogs>"));
    EXPECT_EQ(manager->GetAssignment("Options"), "a");
}

TEST_F(DialogEffectsTest, PreloadWithAnyValueLoadsBothAnimationsAndAMissingOneFails)
{
    EXPECT_EQ(QL_OK, Load("<Data><Anim name='p' show_anim_data='show.anim' hide_anim_data='hide.anim' "
                          "preload='0'/></Data>"));
    widget::DialogAnimEffectsData data;
    tinyxml2::XMLDocument document;
    const std::string xml = "<Anim show_anim_data='" + mDir.Path().string() + "/show.anim' hide_anim_data='" +
                            mDir.Path().string() + "/hide.anim' preload='no'/>";
    document.Parse(xml.c_str());
    EXPECT_EQ(QL_OK, data.ReadXml(document.RootElement()));
    ASSERT_TRUE(data.mShow);
    EXPECT_TRUE(data.mShow->IsLoaded());
    EXPECT_TRUE(data.mHide->IsLoaded());
    EXPECT_NE(QL_OK, Load("<Data><Anim name='m' show_anim_data='nowhere.anim' hide_anim_data='hide.anim' "
                          "preload=''/></Data>"));
}

TEST_F(DialogEffectsTest, DialogWithoutAssignmentIsShownAtOnce)
{
    auto* dialog = new ProbeDialog();
    dialog->mEffectsName = "Nobody";
    ASSERT_EQ(QL_OK, mManager.ShowModal(dialog, true));
    EXPECT_EQ(dialog->shown, 0); // deferred
    Tick(0.0f);
    EXPECT_EQ(dialog->shown, 1);
    EXPECT_EQ(dialog->GetEffects(), nullptr);
}

TEST_F(DialogEffectsTest, AssignedToAMissingSetTheDialogStillShows)
{
    ASSERT_EQ(QL_OK, Load("<Dialogs><Options effects='gone'/></Dialogs>"));
    widget::DialogEffects* effects = nullptr;
    ProbeDialog probe;
    probe.mEffectsName = "Options";
    EXPECT_EQ(QL_FAIL, widget::DialogEffectsManager::Instance()->CreateEffects(&probe, &effects));
    auto* dialog = new ProbeDialog();
    dialog->mEffectsName = "Options";
    mManager.ShowModal(dialog, true);
    Tick(0.0f);
    EXPECT_EQ(dialog->shown, 1);
}

TEST_F(DialogEffectsTest, MultiLayerAnimationGivesNoEffects)
{
    ASSERT_EQ(QL_OK,
              Load("<Data><Anim name='two' show_anim_data='double.anim' hide_anim_data='hide.anim'/></Data>"
                   "<Dialogs><Options effects='two'/></Dialogs>"));
    ProbeDialog probe;
    probe.mEffectsName = "Options";
    widget::DialogEffects* effects = nullptr;
    EXPECT_EQ(QL_FAIL, widget::DialogEffectsManager::Instance()->CreateEffects(&probe, &effects));
    EXPECT_EQ(effects, nullptr);
}

TEST_F(DialogEffectsTest, ShowRunsItsAnimationThenTellsTheDialogAndHideClosesAndDeletesIt)
{
    ASSERT_EQ(QL_OK,
              Load("<Data><Anim name='fade' show_anim_data='show.anim' hide_anim_data='hide.anim'/></Data>"
                   "<Dialogs><Options effects='fade'/></Dialogs>"));
    bool alive = false;
    auto* dialog = new ProbeDialog(&alive);
    dialog->mEffectsName = "Options";
    ASSERT_EQ(QL_OK, mManager.ShowModal(dialog, true));
    Tick(0.0f); // enters the stack; its effects start
    auto* effects = dynamic_cast<widget::DialogAnimEffects*>(dialog->GetEffects());
    ASSERT_NE(effects, nullptr);
    EXPECT_EQ(effects->GetState(), widget::DialogAnimEffects::SHOWING);
    EXPECT_FLOAT_EQ(dialog->GetLayer()->mAlpha, 0.0f); // the start pose at once
    Tick(0.0f);                                        // the effects join the manager's tasks
    Tick(0.25f);
    EXPECT_NEAR(dialog->GetLayer()->mAlpha, 0.5f, 1e-5f);
    EXPECT_EQ(dialog->shown, 0);
    Tick(10.0f); // overshoots: the end pose once, then shown
    EXPECT_EQ(dialog->shown, 1);
    EXPECT_FLOAT_EQ(dialog->alphaWhenShown, 1.0f);
    EXPECT_FLOAT_EQ(effects->GetClock(), 0.5f);
    EXPECT_EQ(effects->GetState(), widget::DialogAnimEffects::SHOWN);
    Tick(1.0f);
    EXPECT_EQ(dialog->shown, 1);

    ASSERT_EQ(QL_OK, dialog->Hide(true));
    EXPECT_EQ(effects->GetState(), widget::DialogAnimEffects::HIDING);
    Tick(0.1f);
    EXPECT_NEAR(dialog->GetLayer()->mAlpha, 0.6f, 1e-5f);
    EXPECT_EQ(dialog->closes, 0);
    Tick(0.2f); // the effects run before the manager's update, which then removes and deletes it
    EXPECT_FALSE(alive);
    EXPECT_TRUE(mManager.GetStack().empty());
    Tick(0.0f);
    EXPECT_TRUE(mManager.Children().empty()); // the finished effects task is gone too
}

TEST_F(DialogEffectsTest, HideDuringTheShowWaitsForItsEnd)
{
    ASSERT_EQ(QL_OK,
              Load("<Data><Anim name='fade' show_anim_data='show.anim' hide_anim_data='hide.anim'/></Data>"
                   "<Dialogs><Options effects='fade'/></Dialogs>"));
    bool alive = false;
    auto* dialog = new ProbeDialog(&alive);
    dialog->mEffectsName = "Options";
    mManager.ShowModal(dialog, true);
    Tick(0.0f);
    Tick(0.1f);
    ASSERT_EQ(QL_OK, dialog->Hide(true));
    auto* effects = dynamic_cast<widget::DialogAnimEffects*>(dialog->GetEffects());
    ASSERT_NE(effects, nullptr);
    EXPECT_EQ(effects->GetState(), widget::DialogAnimEffects::SHOWING);
    Tick(0.2f);
    EXPECT_EQ(dialog->shown, 0);
    Tick(0.3f); // the show ends and the hide starts right away
    EXPECT_EQ(dialog->shown, 1);
    EXPECT_EQ(effects->GetState(), widget::DialogAnimEffects::HIDING);
    EXPECT_FLOAT_EQ(dialog->GetLayer()->mAlpha, 1.0f);
    Tick(0.25f); // closed and deleted in the same frame
    EXPECT_FALSE(alive);
}

TEST_F(DialogEffectsTest, HideWithoutDeletionOnlyLeavesTheStack)
{
    bool alive = false;
    auto* dialog = new ProbeDialog(&alive);
    mManager.ShowModal(dialog, true);
    Tick(0.0f);
    EXPECT_EQ(dialog->shown, 1);
    ASSERT_EQ(QL_OK, dialog->Hide(false));
    Tick(0.0f);
    EXPECT_TRUE(alive);
    EXPECT_TRUE(mManager.GetStack().empty());
    EXPECT_EQ(dialog->GetManager(), nullptr);
    EXPECT_EQ(QL_FAIL, dialog->Close()); // no manager any more
    delete dialog;
}

TEST_F(DialogEffectsTest, DeletingADialogWhileItsEffectsRunLeavesNothingBehind)
{
    ASSERT_EQ(QL_OK,
              Load("<Data><Anim name='fade' show_anim_data='show.anim' hide_anim_data='hide.anim'/></Data>"
                   "<Dialogs><Options effects='fade'/></Dialogs>"));
    auto* dialog = new ProbeDialog();
    dialog->mEffectsName = "Options";
    mManager.ShowModal(dialog, true);
    Tick(0.0f);
    Tick(0.1f);
    ASSERT_NE(dialog->GetEffects(), nullptr);
    mManager.Remove(dialog, true, false);
    Tick(0.1f); // the released effects finish without touching the dialog (ASan checks it)
    EXPECT_TRUE(mManager.Children().empty());
}
} // namespace
