// The options window over the demo layout "td/options": volumes through the minus and plus
// buttons (kept within 0 and 1, applied and saved), the screen-mode radio pair, the message box
// when the window would not fit, the developer keys, closing, and the show effect from the demo
// "data/game.xml" keeping the window inert until it ends.
#include "SkinnedFixture.h"

#include "Core/File/ReadFile.h"
#include "Core/Widget/Controls/DialogEffectsManager.h"
#include "Core/Widget/Controls/OptionsDialog.h"
#include "Core/Widget/Controls/TMessageBox.h"
#include "Core/Widget/Controls/TesselButton.h"
#include "Core/Widget/Controls/TesselSlider.h"
#include "Core/Widget/Controls/TesselSwitchButton.h"

#include <tinyxml2.h>

#include <algorithm>

namespace
{
class OptionsDialogTest : public controlstest::SkinnedFixture
{
protected:
    // Built and shown (without effects unless the demo definitions were loaded).
    OptionsDialog* Open()
    {
        auto* dialog = new OptionsDialog();
        EXPECT_EQ(QL_OK, dialog->Build());
        EXPECT_EQ(QL_OK, mManager.ShowModal(dialog, true));
        Tick(0.0f);
        return dialog;
    }
    void ClickOn(layer::Layer* control) { Click(CentreOf(control)); }
    size_t Count(const std::wstring& tag) const
    {
        return std::count(mHost.sounds.begin(), mHost.sounds.end(), tag);
    }
};

TEST_F(OptionsDialogTest, BuildTakesTheStoredVolumesAndTheScreenMode)
{
    mSettings.sound = 0.5f;
    mSettings.music = 0.75f;
    OptionsDialog* dialog = Open();
    for (auto* control : {static_cast<void*>(dialog->mMenuButton), static_cast<void*>(dialog->mOkButton),
                          static_cast<void*>(dialog->mCheatButton), static_cast<void*>(dialog->mMusicMinus),
                          static_cast<void*>(dialog->mMusicPlus), static_cast<void*>(dialog->mSoundMinus),
                          static_cast<void*>(dialog->mSoundPlus), static_cast<void*>(dialog->mSoundSlider),
                          static_cast<void*>(dialog->mMusicSlider), static_cast<void*>(dialog->mWindowSwitch),
                          static_cast<void*>(dialog->mFullScreenSwitch)})
        EXPECT_NE(control, nullptr);
    EXPECT_EQ(dialog->GetChildren().size(), 11u);
    EXPECT_FLOAT_EQ(SoundSystem::Instance()->GetSoundVolume(), 0.5f);
    EXPECT_FLOAT_EQ(SoundSystem::Instance()->GetMusicVolume(), 0.75f);
    EXPECT_FLOAT_EQ(dialog->mSoundSlider->GetValue(), 0.5f);
    EXPECT_FLOAT_EQ(dialog->mMusicSlider->GetValue(), 0.75f);
    // The thumb shows the value; nothing was saved by showing it.
    EXPECT_FLOAT_EQ(dialog->mSoundSlider->mThumbHolder->mPosition.x, dialog->mSoundSlider->XOfValue(0.5f));
    EXPECT_EQ(mSettings.saves, 0);
    EXPECT_TRUE(dialog->mWindowSwitch->IsOn());
    EXPECT_FALSE(dialog->mFullScreenSwitch->IsOn());
    EXPECT_FALSE(dialog->IsDisabled()); // no effects: enabled at once
    // Each slider asked for its shine.
    EXPECT_EQ(mHost.emitters, (std::vector<std::string>{"blik_1", "blik_1"}));
}

TEST_F(OptionsDialogTest, PlusAndMinusStepAQuarterWithinZeroAndOneAndSave)
{
    mSettings.sound = 1.0f;
    mSettings.music = 0.0f;
    OptionsDialog* dialog = Open();
    ClickOn(dialog->mSoundPlus);
    EXPECT_FLOAT_EQ(SoundSystem::Instance()->GetSoundVolume(), 1.0f);
    for (int i = 0; i < 4; ++i)
        ClickOn(dialog->mSoundMinus);
    EXPECT_FLOAT_EQ(SoundSystem::Instance()->GetSoundVolume(), 0.0f);
    EXPECT_FLOAT_EQ(mSettings.sound, 0.0f);
    EXPECT_FLOAT_EQ(dialog->mSoundSlider->GetValue(), 0.0f);
    ClickOn(dialog->mMusicMinus);
    EXPECT_FLOAT_EQ(mSettings.music, 0.0f);
    ClickOn(dialog->mMusicPlus);
    EXPECT_FLOAT_EQ(SoundSystem::Instance()->GetMusicVolume(), 0.25f);
    EXPECT_FLOAT_EQ(mSettings.music, 0.25f);
    EXPECT_FLOAT_EQ(dialog->mMusicSlider->mThumbHolder->mPosition.x, dialog->mMusicSlider->XOfValue(0.25f));
    EXPECT_EQ(mSettings.saves, 7);
    EXPECT_EQ(Count(L"simple"), 7u); // one per click
}

TEST_F(OptionsDialogTest, WindowThatWouldNotFitOpensTheMessageAndKeepsFullScreen)
{
    mHost.windowed = false;
    mHost.larger = true;
    OptionsDialog* dialog = Open();
    EXPECT_TRUE(dialog->mFullScreenSwitch->IsOn());
    ClickOn(dialog->mWindowSwitch);
    EXPECT_EQ(mHost.switches, 0);
    EXPECT_EQ(mManager.GetPendingAdditions(), 1u);
    Tick(0.0f);
    ASSERT_EQ(mManager.GetStack().size(), 2u);
    auto* box = dynamic_cast<TMessageBox*>(mManager.GetStack().back().frame);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->mMessageKey, L"IllegalResolutionMessage");
    EXPECT_EQ(box->mConfirmButton, nullptr);
}

TEST_F(OptionsDialogTest, CheatButtonEnablesTheDeveloperKeysAndOkCloses)
{
    OptionsDialog* dialog = Open();
    ClickOn(dialog->mCheatButton);
    EXPECT_EQ(mSettings.debugKeys, 1);
    EXPECT_EQ(Count(L"simple"), 1u);
    ClickOn(dialog->mOkButton);
    EXPECT_EQ(Count(L"simple"), 2u);
    Tick(0.0f);
    EXPECT_TRUE(mManager.GetStack().empty()); // removed and deleted (ASan checks the rest)
}

TEST_F(OptionsDialogTest, TheDemoShowEffectKeepsTheWindowInertUntilItEnds)
{
    bool read = false;
    const std::string text = file::ReadFile(L"data/game.xml", nullptr, &read);
    ASSERT_TRUE(read);
    tinyxml2::XMLDocument document;
    ASSERT_EQ(document.Parse(text.c_str(), text.size()), tinyxml2::XML_SUCCESS);
    tinyxml2::XMLElement* effects = document.RootElement()->FirstChildElement("DialogEffects");
    ASSERT_NE(effects, nullptr);
    ASSERT_EQ(QL_OK, widget::DialogEffectsManager::Instance()->Load(effects));

    OptionsDialog* dialog = Open();
    ASSERT_NE(dialog->GetEffects(), nullptr);
    EXPECT_TRUE(dialog->IsDisabled());
    Tick(0.0f);
    Tick(0.05f);
    ClickOn(dialog->mOkButton);
    EXPECT_TRUE(mHost.sounds.empty()); // nothing happens while it shows
    for (int i = 0; i < 10; ++i)
        Tick(0.05f);
    EXPECT_FALSE(dialog->IsDisabled());
    EXPECT_FLOAT_EQ(dialog->GetLayer()->mAlpha, 1.0f);
    EXPECT_FLOAT_EQ(dialog->GetLayer()->mScale.x, 1.0f);
    ClickOn(dialog->mOkButton);
    EXPECT_EQ(mHost.sounds.size(), 1u);
    EXPECT_TRUE(dialog->IsDisabled());
    ClickOn(dialog->mCheatButton); // hiding: inert again
    EXPECT_EQ(mSettings.debugKeys, 0);
    for (int i = 0; i < 10; ++i)
        Tick(0.05f);
    EXPECT_TRUE(mManager.GetStack().empty());
}

TEST_F(OptionsDialogTest, MissingLayoutFailsTheBuild)
{
    std::filesystem::current_path(mOldPath);
    OptionsDialog dialog;
    EXPECT_EQ(QL_FAIL, dialog.Build());
}
} // namespace
