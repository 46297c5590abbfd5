// The small windows in the running game: the message with its lone "ok", the two-button
// dialog, the reset and tutorial questions, and the name input's rules for what may be typed.
#include "ScreenFixture.h"

#include "Source/TD/Shell/HUDButtonWindow.h"
#include "Source/TD/Shell/HUDConfirmProfileResetDialog.h"
#include "Source/TD/Shell/HUDConfirmTutorialCancelDialog.h"
#include "Source/TD/Shell/HUDMainMenu.h"
#include "Source/TD/Shell/HUDModalDialog.h"
#include "Source/TD/Shell/HUDModalInput.h"
#include "Source/TD/Shell/HUDModalMessage.h"
#include "Source/TD/Shell/HUDModalOpeners.h"

namespace
{
class ModalWindows : public ScreenFixture
{
protected:
    HUDModalInput* OpenInput(i32 screen)
    {
        mMap->mScreen = screen;
        mHud->showProfileNameInput();
        Frame();
        return TopAs<HUDModalInput>();
    }
    bool OkShown(HUDModalInput* input) { return input->mOwnButtons.find(L"ok")->mVisible; }
};

// A dialog that counts its answers.
class CountingDialog : public HUDModalDialog
{
public:
    CountingDialog(int* confirms, int* declines)
        : HUDModalDialog(nullptr, nullptr, L"caption", L"message"), mConfirms(confirms), mDeclines(declines)
    {
    }
    void onConfirm() override
    {
        ++*mConfirms;
        HUDModalDialog::onConfirm();
    }
    void onDecline() override
    {
        ++*mDeclines;
        HUDModalDialog::onDecline();
    }
    int* mConfirms;
    int* mDeclines;
};
} // namespace

TEST_F(ModalWindows, AMessageShowsOnlyItsOkMovedRightAndGivesTheScreenBack)
{
    mMap->mScreen = 6;
    mHud->showMessage(L"Heads up", L"The road is closed.", 6);
    Frame();
    EXPECT_EQ(16, mMap->mScreen);
    auto* message = TopAs<HUDModalMessage>();
    ASSERT_NE(nullptr, message);
    EXPECT_EQ(1, message->mDrawLayer);
    EXPECT_EQ(L"Heads up", Text(message, L"caption"));
    EXPECT_EQ(L"The road is closed.", Text(message, L"message"));
    HUDButtonOver* cancel = message->mOwnButtons.at(0);
    HUDButtonOver* ok = message->mOwnButtons.at(1);
    ASSERT_TRUE(cancel && ok);
    EXPECT_EQ(L"cancel", cancel->mName);
    EXPECT_EQ(L"ok", ok->mName);
    EXPECT_FALSE(cancel->mVisible);
    EXPECT_EQ(HUDModalMessage::kOkShift, ok->mOffsetX);
    // Nothing answers at cancel's place, nor at ok's unshifted left edge.
    float cx = 0, cy = 0;
    ASSERT_TRUE(Centre(message->mOwnButtons, L"cancel", cx, cy));
    EXPECT_EQ(L"", message->ButtonNameAt(static_cast<int>(ok->mNormal->mX + 5), static_cast<int>(cy)));
    Click(cx, cy);
    EXPECT_EQ(message, Top());
    ClickButton(message->mOwnButtons, L"ok");
    EXPECT_EQ(6, mMap->mScreen);
    EXPECT_EQ(nullptr, Top());
}

TEST_F(ModalWindows, ADialogAnswersByItsButtonsAndIgnoresOtherReleases)
{
    int confirms = 0, declines = 0;
    auto* dialog = new CountingDialog(&confirms, &declines);
    HUDOpenModalDialog(dialog);
    ASSERT_EQ(dialog, mBoard->mModalWindow);
    EXPECT_TRUE(dialog->mOwnButtons.at(0)->mVisible);
    EXPECT_EQ(0.0f, dialog->mOwnButtons.at(1)->mOffsetX);
    Click(5.0f, 5.0f);
    EXPECT_EQ(0, confirms + declines);
    EXPECT_TRUE(dialog->mOpen);
    ClickButton(dialog->mOwnButtons, L"ok");
    EXPECT_EQ(1, confirms);
    EXPECT_EQ(nullptr, mBoard->mModalWindow) << "closed and deleted by the board's update";

    dialog = new CountingDialog(&confirms, &declines);
    HUDOpenModalDialog(dialog);
    ClickButton(dialog->mOwnButtons, L"cancel");
    EXPECT_EQ(1, declines);
    EXPECT_EQ(1, confirms);
    EXPECT_EQ(nullptr, mBoard->mModalWindow);
    EXPECT_EQ(7, mMap->mScreen) << "a dialog leaves the screen number alone";
}

TEST_F(ModalWindows, ConfirmingTheResetWipesTheProfileAndOpensTheMainMenu)
{
    mMap->mProgress->createProfile(L"Ash");
    mMap->mProgress->setGems(40);
    mMap->mStats.mGems = 40;
    mHud->showProfiles();
    Frame();
    HUDShowProfileResetDialog(mHud, mMap);
    auto* dialog = dynamic_cast<HUDConfirmProfileResetDialog*>(mBoard->mModalWindow);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(L10n(L"profile_reset_message"), Text(dialog, L"message"));
    ClickButton(dialog->mOwnButtons, L"cancel");
    EXPECT_EQ(40, mMap->mProgress->getGems()) << "declined: nothing changes";

    HUDShowProfileResetDialog(mHud, mMap);
    ClickButton(dynamic_cast<HUDModalDialog*>(mBoard->mModalWindow)->mOwnButtons, L"ok");
    EXPECT_EQ(nullptr, mBoard->mModalWindow);
    EXPECT_EQ(0, mMap->mStats.mGems);
    EXPECT_EQ(0, mMap->mStats.mGemsWon);
    EXPECT_NE(40, mMap->mProgress->getGems());
    EXPECT_EQ(L"Ash", mMap->mProgress->currentName()) << "the profile stays, emptied";
    ASSERT_EQ(1u, mHud->windows().size());
    EXPECT_NE(nullptr, TopAs<HUDMainMenu>());
    EXPECT_EQ(std::string::npos, ProfilesFile().find("amount=\"40\"")) << "the wiped profile is saved";
}

TEST_F(ModalWindows, ConfirmingTheTutorialSkipSwitchesItOffForTheProfile)
{
    mMap->mProgress->createProfile(L"Ash");
    HUDShowTutorialCancelDialog(mHud, mMap);
    ClickButton(dynamic_cast<HUDModalDialog*>(mBoard->mModalWindow)->mOwnButtons, L"cancel");
    EXPECT_TRUE(mMap->mProgress->isTutorialAvailable());
    HUDShowTutorialCancelDialog(mHud, mMap);
    auto* dialog = dynamic_cast<HUDConfirmTutorialCancelDialog*>(mBoard->mModalWindow);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(L10n(L"tutorial_skip_caption"), Text(dialog, L"caption"));
    ClickButton(dialog->mOwnButtons, L"ok");
    EXPECT_FALSE(mMap->mProgress->isTutorialAvailable());
    EXPECT_FALSE(mMap->mTutorialActive);
}

TEST_F(ModalWindows, TheNameTakesLettersDigitsAndCyrillicUpToSixteen)
{
    mMap->mProgress->createProfile(L"Ash");
    mMap->mProgress->createProfile(L"Birch");
    HUDModalInput* input = OpenInput(14);
    ASSERT_NE(nullptr, input);
    EXPECT_EQ(L10n(L"default_player") + L"2", input->mText);
    EXPECT_EQ(L10n(L"profile_edit_caption"), Text(input, L"caption"));
    while (!input->mText.empty())
        (void)mBoard->OnKeyDown(HUDModalInput::kBackspace);
    EXPECT_FALSE(OkShown(input));
    EXPECT_EQ(L10n(L"profile_name_empty"), Text(input, L"message"));
    EXPECT_EQ(QL_OK, mBoard->OnKeyDown(HUDModalInput::kBackspace));
    EXPECT_TRUE(input->mText.empty()) << "backspace on nothing changes nothing";
    EXPECT_FALSE(OkShown(input));

    // Refused: space, punctuation, Ё and ё, Latin letters with marks, anything outside the list.
    Type(L" .-_!Ёёé");
    EXPECT_EQ(L"", input->mText);
    Type(L"Zz09Яа");
    EXPECT_EQ(L"Zz09Яа", input->mText);
    EXPECT_TRUE(OkShown(input));
    Type(L"abcdefghijklmnop");
    EXPECT_EQ(16u, input->mText.size()) << "the 17th character is refused";
    EXPECT_EQ(L"Zz09Яаabcdefghij", input->mText);
    // Other keys do not edit.
    EXPECT_EQ(QL_OK, mBoard->OnKeyDown(37));
    EXPECT_EQ(16u, input->mText.size());

    // A name that exists hides "ok" until it changes.
    while (!input->mText.empty())
        (void)mBoard->OnKeyDown(HUDModalInput::kBackspace);
    Type(L"Birch");
    EXPECT_FALSE(OkShown(input));
    EXPECT_EQ(L10n(L"profile_name_taken"), Text(input, L"message"));
    Type(L"2");
    EXPECT_TRUE(OkShown(input));
    EXPECT_EQ(L"", Text(input, L"message"));
    Type(L"");
    EXPECT_EQ(QL_OK, mBoard->OnKeyDown(HUDModalInput::kBackspace));
    EXPECT_FALSE(OkShown(input));
    // A press where the hidden "ok" sits does nothing.
    ClickButton(input->mOwnButtons, L"ok");
    EXPECT_EQ(input, Top());
    EXPECT_EQ(2u, mMap->mProgress->profileNames().size());
}

TEST_F(ModalWindows, TheMainMenusPlayWithoutAProfileAsksForOneFirst)
{
    mHud->showMainMenu();
    Frame();
    auto* menu = TopAs<HUDMainMenu>();
    ASSERT_NE(nullptr, menu);
    HUDButtonOver* play = menu->findMenuButton(L"play");
    ASSERT_NE(nullptr, play);
    const float px = play->mNormal->mX + play->mNormal->mWidth * 0.5f;
    const float py = play->mNormal->mY + play->mNormal->mHeight * 0.5f;
    Click(px, py);
    EXPECT_EQ(14, mMap->mScreen);
    auto* input = TopAs<HUDModalInput>();
    ASSERT_NE(nullptr, input);
    ClickButton(input->mOwnButtons, L"cancel");
    EXPECT_EQ(7, mMap->mScreen) << "back to the main menu";
    EXPECT_EQ(menu, Top());
    EXPECT_TRUE(mMap->mProgress->profileNames().empty());

    Click(px, py);
    input = TopAs<HUDModalInput>();
    ASSERT_NE(nullptr, input);
    ClickButton(input->mOwnButtons, L"ok");
    EXPECT_EQ(L10n(L"default_player") + L"0", mMap->mProgress->currentName());
    EXPECT_EQ(1u, mMap->mProgress->profileNames().size());
    for (HUDWindow* window : mHud->windows())
    {
        EXPECT_EQ(nullptr, dynamic_cast<HUDMainMenu*>(window)) << "the main menu closed";
        EXPECT_EQ(nullptr, dynamic_cast<HUDModalInput*>(window)) << "the input closed";
    }
    EXPECT_FALSE(mHud->windows().empty()) << "the episode selection opened";
    EXPECT_NE(std::string::npos, ProfilesFile().find(std::string("Wanderer0")));
}

TEST_F(ModalWindows, AMissingLayoutLeavesAnEmptyWindowThatAnswersNothing)
{
    auto* window = new HUDButtonWindow(L"td/data/no_such_layout");
    EXPECT_EQ(nullptr, window->mLayout);
    EXPECT_EQ(0u, window->mOwnButtons.size());
    mHud->pushWindow(window);
    mMap->mScreen = 13;
    Frame();
    ASSERT_EQ(window, Top());
    Click(500.0f, 500.0f);
    EXPECT_EQ(L"", window->ButtonNameAt(500, 500));
    EXPECT_EQ(13, mMap->mScreen);
    mHud->closeTopWindow();
    Frame();
}
