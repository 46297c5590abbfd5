// The options window and the message box in the running game (a bare board): volumes through the
// minus and plus buttons (kept within 0 and 1, applied and stored) and by dragging a slider's
// thumb, the developer keys, closing, the show effect of the demo "data/game.xml" keeping the
// window inert, and the plain message when a window would not fit. The confirmation box is
// answered in the battle playthroughs.
#include "support/GameHarness.h"

#include "App/Game.h"
#include "Core/Media/Sound/Sound.h"
#include "Core/Media/Sound/SoundSystem.h"
#include "Core/Media/Sound/SoundTags.h"
#include "Core/Widget/Controls/ControlHost.h"
#include "Core/Widget/Controls/OptionsDialog.h"
#include "Core/Widget/Controls/SliderLayer.h"
#include "Core/Widget/Controls/TMessageBox.h"
#include "Core/Widget/Controls/TesselButton.h"
#include "Core/Widget/Controls/TesselSlider.h"
#include "Core/Widget/Controls/TesselSwitchButton.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/TDProgress.h"
#include "Source/TD/Shell/GameWindow.h"

#include <gtest/gtest.h>

using testsupport::GameHarness;

namespace
{
class OptionsDialogTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(mGame.started()) << mGame.log(); }

    // Built and shown; frames run until its show effect has ended.
    OptionsDialog* Open()
    {
        auto* dialog = new OptionsDialog();
        EXPECT_EQ(QL_OK, dialog->Build());
        EXPECT_EQ(QL_OK, mGame.frames().ShowModal(dialog, true));
        EXPECT_TRUE(mGame.runUntil([&] { return !dialog->IsDisabled(); }, 2.0f));
        return dialog;
    }
    // Frames of 1/30 s until its show effect has ended (at most two seconds' worth).
    int FramesUntilShown(OptionsDialog* dialog)
    {
        int frames = 0;
        while (dialog->IsDisabled() && frames < 60 && mGame.frame())
            ++frames;
        return frames;
    }
    // Where a layer's origin is in game coordinates (the shown dialog is not scaled).
    static void ScreenOf(layer::Layer* control, float& x, float& y)
    {
        x = y = 0;
        for (layer::Layer* l = control; l; l = l->GetParent())
        {
            x += l->mPosition.x;
            y += l->mPosition.y;
        }
    }
    void ClickOn(layer::Layer* control)
    {
        float x = 0, y = 0;
        ScreenOf(control, x, y);
        mGame.click(x, y);
    }
    // Whether the click sound plays; stopped for the next check.
    static bool ClickSounded()
    {
        for (k2::SoundTagEntry* entry : k2::SoundTags::Instance()->GetEntries())
            if (entry->tag == L"simple" && entry->sound)
            {
                const bool playing = entry->sound->IsPlaying();
                entry->sound->Stop();
                return playing;
            }
        return false;
    }
    TDProgress& Progress() { return *mGame.map().mProgress; }

    GameHarness mGame{GameHarness::bareBoard()};
};

TEST_F(OptionsDialogTest, VolumesStepAQuarterWithinZeroAndOneAndAreStored)
{
    Progress().setSoundVolume(1.0f);
    Progress().setMusicVolume(0.25f);
    OptionsDialog* dialog = Open();
    SoundSystem::Instance()->Pause(); // a click's sound keeps playing until asked, however slow the run
    EXPECT_EQ(dialog->GetChildren().size(), 11u);
    EXPECT_NE(dialog->mSoundSlider->mShineEmitter, nullptr) << "each slider shines with the game's effect";
    EXPECT_NE(dialog->mMusicSlider->mShineEmitter, nullptr);
    EXPECT_FLOAT_EQ(SoundSystem::Instance()->GetMusicVolume(), 0.25f);
    EXPECT_FLOAT_EQ(dialog->mMusicSlider->GetValue(), 0.25f);
    EXPECT_FLOAT_EQ(dialog->mMusicSlider->mThumbHolder->mPosition.x, dialog->mMusicSlider->XOfValue(0.25f));

    ClickOn(dialog->mSoundPlus);
    EXPECT_TRUE(ClickSounded());
    EXPECT_FLOAT_EQ(SoundSystem::Instance()->GetSoundVolume(), 1.0f);
    ClickOn(dialog->mSoundMinus);
    EXPECT_FLOAT_EQ(SoundSystem::Instance()->GetSoundVolume(), 0.75f) << "one quarter down";
    EXPECT_FLOAT_EQ(Progress().getSoundVolume(), 0.75f);
    EXPECT_FLOAT_EQ(dialog->mSoundSlider->mThumbHolder->mPosition.x, dialog->mSoundSlider->XOfValue(0.75f));
    for (int i = 0; i < 3; ++i)
        ClickOn(dialog->mSoundMinus);
    EXPECT_FLOAT_EQ(SoundSystem::Instance()->GetSoundVolume(), 0.0f);
    EXPECT_FLOAT_EQ(Progress().getSoundVolume(), 0.0f);
    EXPECT_FLOAT_EQ(dialog->mSoundSlider->GetValue(), 0.0f);
    ClickOn(dialog->mMusicMinus);
    ClickOn(dialog->mMusicMinus);
    EXPECT_FLOAT_EQ(Progress().getMusicVolume(), 0.0f);
    ClickOn(dialog->mMusicPlus);
    EXPECT_FLOAT_EQ(SoundSystem::Instance()->GetMusicVolume(), 0.25f);
    EXPECT_FLOAT_EQ(Progress().getMusicVolume(), 0.25f);
    EXPECT_FLOAT_EQ(dialog->mMusicSlider->mThumbHolder->mPosition.x, dialog->mMusicSlider->XOfValue(0.25f));
    SoundSystem::Instance()->Resume();
}

TEST_F(OptionsDialogTest, AThumbGrabbedOffItsCentreEndsWhereThePointerLeftItLessTheGrabOffsetAndTheVolumeIsStored)
{
    Progress().setSoundVolume(0.75f);
    OptionsDialog* dialog = Open();
    TesselSlider& slider = *dialog->mSoundSlider;
    // The track: from the bar's x plus half the thumb's width, the bar's width less the thumb's
    // and 2 long; a value is its fraction of the way along.
    const float left = slider.mBar->mPosition.x + 14.0f;
    const float track = 420.0f - 28.0f - 2.0f;
    auto valueAt = [&](float x) { return (x - left) / track; };
    ASSERT_FLOAT_EQ(slider.mThumbHolder->mPosition.x, left + 0.75f * track);

    // Two grabs in a row, each off the thumb's centre (one left of it, one right), each dragged
    // and let go inside the track at a point other than the last drag's.
    struct Grab
    {
        float off, drag, release;
    };
    for (const Grab& g : {Grab{-7.0f, -60.0f, -100.0f}, Grab{9.0f, 40.0f, 131.0f}})
    {
        SCOPED_TRACE(g.off);
        const float start = slider.mThumbHolder->mPosition.x;
        float hx = 0, hy = 0;
        ScreenOf(slider.mThumbHolder, hx, hy);
        mGame.press(hx + g.off, hy);
        ASSERT_TRUE(slider.mGrabbing) << "the press took the thumb";
        ASSERT_FALSE(slider.IsGliding()) << "not the bar under it";
        mGame.frame();
        mGame.drag(hx + g.off + g.drag, hy + 6.0f);
        EXPECT_FLOAT_EQ(slider.mThumbHolder->mPosition.x, start + g.drag);
        mGame.frame();
        mGame.release(hx + g.off + g.release, hy - 4.0f);
        mGame.frame();
        const float end = start + g.release;
        ASSERT_GT(end, left);
        ASSERT_LT(end, left + track);
        EXPECT_FALSE(slider.mGrabbing);
        EXPECT_FLOAT_EQ(slider.mThumbHolder->mPosition.x, end);
        EXPECT_FLOAT_EQ(slider.mBar->GetVisibleWidth(), end - slider.mBar->mPosition.x) << "the fill ends at it";
        EXPECT_NEAR(slider.GetValue(), valueAt(end), 1e-6f);
        EXPECT_NEAR(SoundSystem::Instance()->GetSoundVolume(), valueAt(end), 1e-6f);
        EXPECT_NEAR(Progress().getSoundVolume(), valueAt(end), 1e-6f);
    }
    // Both moves at their numbers: 0.75 less 100 pixels, then 131 more.
    EXPECT_NEAR(Progress().getSoundVolume(), 0.75f + 31.0f / track, 1e-6f);
    EXPECT_FLOAT_EQ(SoundSystem::Instance()->GetMusicVolume(), dialog->mMusicSlider->GetValue()) << "untouched";
}

TEST_F(OptionsDialogTest, TheScreenModeSwitchesWorkAsARadioPair)
{
    gui::ControlHost& host = *gui::ControlHost::Get();
    ASSERT_FALSE(host.IsWindowed());
    ASSERT_FALSE(host.IsWindowLargerThanScreen());
    OptionsDialog* dialog = Open();
    // Output held, so that a click's sound is still playing when asked, however long a switch takes.
    SoundSystem::Instance()->Pause();
    ClickOn(dialog->mFullScreenSwitch); // on already: ignores the press
    EXPECT_FALSE(host.IsWindowed());
    EXPECT_FALSE(ClickSounded());

    ClickOn(dialog->mWindowSwitch);
    EXPECT_TRUE(host.IsWindowed());
    EXPECT_TRUE(ClickSounded());
    EXPECT_TRUE(dialog->mWindowSwitch->IsOn());
    EXPECT_FALSE(dialog->mFullScreenSwitch->IsOn());
    ClickOn(dialog->mWindowSwitch);
    EXPECT_TRUE(host.IsWindowed());

    ClickOn(dialog->mFullScreenSwitch);
    EXPECT_FALSE(host.IsWindowed());
    EXPECT_TRUE(dialog->mFullScreenSwitch->IsOn());
    EXPECT_FALSE(dialog->mWindowSwitch->IsOn());
    EXPECT_EQ(mGame.dialog<TMessageBox>(), nullptr);
    SoundSystem::Instance()->Resume();
}

TEST_F(OptionsDialogTest, TheShowEffectKeepsTheWindowInertOkHidesItAndAWindowThatWouldNotFitKeepsFullScreen)
{
    auto* dialog = new OptionsDialog();
    ASSERT_EQ(QL_OK, dialog->Build());
    ASSERT_EQ(QL_OK, mGame.frames().ShowModal(dialog, true));
    mGame.frame();
    ASSERT_NE(dialog->GetEffects(), nullptr) << "the demo's effect set for the options";
    EXPECT_TRUE(dialog->IsDisabled());
    const float firstAlpha = dialog->GetLayer()->mAlpha;
    EXPECT_LT(firstAlpha, 1.0f) << "it starts from the effect's first pose";
    ClickOn(dialog->mCheatButton);
    EXPECT_FALSE(mGame.board().mDebugKeys) << "nothing happens while it shows";
    EXPECT_FALSE(ClickSounded());
    const int firstShow = FramesUntilShown(dialog);
    ASSERT_GT(firstShow, 2);
    EXPECT_FLOAT_EQ(dialog->GetLayer()->mAlpha, 1.0f);
    EXPECT_FLOAT_EQ(dialog->GetLayer()->mScale.x, 1.0f);

    // Closed and opened again, it runs its whole show effect once more, inert until its end.
    ClickOn(dialog->mOkButton);
    ASSERT_TRUE(mGame.runUntil([&] { return mGame.dialog<OptionsDialog>() == nullptr; }, 2.0f));
    (void)ClickSounded();
    dialog = new OptionsDialog();
    ASSERT_EQ(QL_OK, dialog->Build());
    ASSERT_EQ(QL_OK, mGame.frames().ShowModal(dialog, true));
    mGame.frame();
    ASSERT_NE(dialog->GetEffects(), nullptr);
    EXPECT_TRUE(dialog->IsDisabled());
    EXPECT_FLOAT_EQ(firstAlpha, dialog->GetLayer()->mAlpha);
    ClickOn(dialog->mCheatButton);
    EXPECT_FALSE(mGame.board().mDebugKeys) << "nothing happens while it shows again";
    EXPECT_EQ(firstShow, FramesUntilShown(dialog));
    EXPECT_FLOAT_EQ(dialog->GetLayer()->mAlpha, 1.0f);

    ClickOn(dialog->mCheatButton);
    EXPECT_TRUE(mGame.board().mDebugKeys);
    mGame.board().mDebugKeys = false;
    ClickOn(dialog->mOkButton);
    EXPECT_TRUE(ClickSounded());
    EXPECT_TRUE(dialog->IsDisabled());
    ClickOn(dialog->mCheatButton); // hiding: inert again
    EXPECT_FALSE(mGame.board().mDebugKeys);
    EXPECT_TRUE(mGame.runUntil([&] { return mGame.dialog<OptionsDialog>() == nullptr; }, 2.0f));

    // Opened again in full screen (where a new player starts), a window that would not fit opens
    // a plain message instead.
    ASSERT_FALSE(gui::ControlHost::Get()->IsWindowed());
    mGame.game().mMonitors[0].workHeight = 740;
    ASSERT_TRUE(gui::ControlHost::Get()->IsWindowLargerThanScreen());
    dialog = Open();
    EXPECT_TRUE(dialog->mFullScreenSwitch->IsOn());
    ClickOn(dialog->mWindowSwitch);
    EXPECT_FALSE(gui::ControlHost::Get()->IsWindowed());
    auto* box = mGame.dialog<TMessageBox>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->mMessageKey, L"IllegalResolutionMessage");
    // One centred button that only closes.
    EXPECT_EQ(box->mConfirmButton, nullptr);
    ASSERT_NE(box->mCloseButton, nullptr);
    EXPECT_FLOAT_EQ(box->mCloseButton->mPosition.x, 516.0f);
    EXPECT_FLOAT_EQ(box->mCloseButton->mPosition.y, 535.0f);
    (void)ClickSounded();
    mGame.click(516.0f, 535.0f);
    EXPECT_TRUE(ClickSounded());
    mGame.frame();
    EXPECT_EQ(mGame.dialog<TMessageBox>(), nullptr);
    EXPECT_NE(mGame.dialog<OptionsDialog>(), nullptr);
    EXPECT_EQ(kScreenMainMenu, mGame.screen());
}
} // namespace
