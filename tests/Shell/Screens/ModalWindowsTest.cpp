// The small windows in the running game: the message with its lone "ok", the two-button
// dialog, the reset question, and the name input's rules for what may be typed.
#include "Shell/ShellGame.h"

#include "Source/TD/Shell/HUDButtonWindow.h"
#include "Source/TD/Shell/HUDConfirmProfileResetDialog.h"
#include "Source/TD/Shell/HUDMainMenu.h"
#include "Source/TD/Shell/HUDModalDialog.h"
#include "Source/TD/Shell/HUDModalInput.h"
#include "Source/TD/Shell/HUDModalMessage.h"
#include "Source/TD/Shell/HUDModalOpeners.h"

namespace
{
class ModalWindows : public shelltest::ShellGameTest
{
protected:
    ModalWindows() : ShellGameTest(bareBoard()) {}
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

TEST_F(ModalWindows, AMessageADialogTheResetQuestionAndAWindowWithoutLayoutAnswerAsTheyShould)
{
    map().mScreen = kScreenLevels;
    hud().showMessage(L"Heads up", L"The road is closed.", kScreenLevels);
    frame();
    EXPECT_EQ(kScreenMessage, map().mScreen);
    auto* message = top<HUDModalMessage>();
    ASSERT_NE(nullptr, message);
    EXPECT_EQ(1, message->mDrawLayer);
    EXPECT_EQ(L"Heads up", text(message, L"caption"));
    EXPECT_EQ(L"The road is closed.", text(message, L"message"));
    HUDButtonOver* cancel = message->mOwnButtons.at(0);
    HUDButtonOver* ok = message->mOwnButtons.at(1);
    ASSERT_TRUE(cancel && ok);
    EXPECT_EQ(L"cancel", cancel->mName);
    EXPECT_EQ(L"ok", ok->mName);
    EXPECT_FALSE(cancel->mVisible);
    EXPECT_EQ(HUDModalMessage::kOkShift, ok->mOffsetX);
    // Nothing answers at cancel's place, nor at ok's unshifted left edge.
    float cx = 0, cy = 0;
    ASSERT_TRUE(message->mOwnButtons.centre(L"cancel", cx, cy));
    EXPECT_EQ(L"", message->ButtonNameAt(static_cast<int>(ok->mNormal->mX + 5), static_cast<int>(cy)));
    click(cx, cy);
    EXPECT_EQ(message, top());
    ASSERT_TRUE(click(*message, L"ok"));
    EXPECT_EQ(kScreenLevels, map().mScreen);
    EXPECT_EQ(nullptr, top());

    // The HUD's dialog opener: both buttons on the stack, screen 16 and the value kept; its "ok"
    // goes on to that screen as a message's does.
    map().mScreen = kScreenProfiles;
    hud().showModalDialog(L"Sure?", L"Really?", kScreenEpisodes);
    EXPECT_EQ(kScreenMessage, map().mScreen);
    EXPECT_EQ(kScreenEpisodes, map().mMessageReturnScreen);
    frame();
    auto* asked = top<HUDModalDialog>();
    ASSERT_NE(nullptr, asked);
    EXPECT_EQ(L"Sure?", text(asked, L"caption"));
    EXPECT_EQ(L"Really?", text(asked, L"message"));
    EXPECT_TRUE(asked->mOwnButtons.at(0)->mVisible);
    EXPECT_EQ(0.0f, asked->mOwnButtons.at(1)->mOffsetX);
    ASSERT_TRUE(click(*asked, L"ok"));
    frame();
    EXPECT_EQ(kScreenEpisodes, map().mScreen);
    EXPECT_EQ(nullptr, top());
    map().mScreen = kScreenLevels;

    // A dialog shows both buttons, answers by them and ignores other releases.
    int confirms = 0, declines = 0;
    auto* dialog = new CountingDialog(&confirms, &declines);
    HUDOpenModalDialog(std::unique_ptr<HUDWindow>(dialog));
    ASSERT_EQ(dialog, board().mModalWindow.get());
    EXPECT_TRUE(dialog->mOwnButtons.at(0)->mVisible);
    EXPECT_EQ(0.0f, dialog->mOwnButtons.at(1)->mOffsetX);
    click(5.0f, 5.0f);
    EXPECT_EQ(0, confirms + declines);
    EXPECT_TRUE(dialog->mOpen);
    ASSERT_TRUE(click(*dialog, L"ok"));
    EXPECT_EQ(1, confirms);
    EXPECT_EQ(nullptr, board().mModalWindow) << "closed and deleted by the board's update";

    dialog = new CountingDialog(&confirms, &declines);
    HUDOpenModalDialog(std::unique_ptr<HUDWindow>(dialog));
    ASSERT_TRUE(click(*dialog, L"cancel"));
    EXPECT_EQ(1, declines);
    EXPECT_EQ(1, confirms);
    EXPECT_EQ(nullptr, board().mModalWindow);
    EXPECT_EQ(kScreenLevels, map().mScreen) << "a dialog leaves the screen number alone";

    // The reset question: declined changes nothing; confirmed wipes the profile, opens the menu.
    map().mProgress->createProfile(L"Ash");
    map().mProgress->setGems(40);
    map().mStats.mGems = 40;
    hud().showProfiles();
    frame();
    HUDShowProfileResetDialog(&hud(), &map());
    auto* reset = dynamic_cast<HUDConfirmProfileResetDialog*>(board().mModalWindow.get());
    ASSERT_NE(nullptr, reset);
    EXPECT_EQ(localized(L"profile_reset_message"), text(reset, L"message"));
    ASSERT_TRUE(click(*reset, L"cancel"));
    EXPECT_EQ(40, map().mProgress->getGems()) << "declined: nothing changes";
    HUDShowProfileResetDialog(&hud(), &map());
    ASSERT_TRUE(click(*board().mModalWindow, L"ok"));
    EXPECT_EQ(nullptr, board().mModalWindow);
    EXPECT_EQ(0, map().mStats.mGems);
    EXPECT_EQ(0, map().mStats.mGemsWon);
    EXPECT_NE(40, map().mProgress->getGems());
    EXPECT_EQ(L"Ash", map().mProgress->currentName()) << "the profile stays, emptied";
    ASSERT_EQ(1u, hud().windows().size());
    EXPECT_NE(nullptr, top<HUDMainMenu>());
    EXPECT_EQ(std::string::npos, profilesFile().find("amount=\"40\"")) << "the wiped profile is saved";

    // A missing layout leaves an empty window that answers nothing.
    auto* window = new HUDButtonWindow(L"td/data/no_such_layout");
    EXPECT_EQ(nullptr, window->mLayout);
    EXPECT_EQ(0u, window->mOwnButtons.size());
    EXPECT_TRUE(window->mImages.empty() && window->mButtons.empty());
    hud().pushWindow(window);
    map().mScreen = kScreenProfiles;
    frame();
    ASSERT_EQ(window, top());
    click(500.0f, 500.0f);
    EXPECT_EQ(L"", window->ButtonNameAt(500, 500));
    EXPECT_EQ(kScreenProfiles, map().mScreen);
}

TEST_F(ModalWindows, TheMenusPlayAsksForANameWhichTakesLettersDigitsAndCyrillicUpToSixteen)
{
    // Play without a profile asks for one; cancel goes back to the menu.
    hud().showMainMenu();
    frame();
    auto* menu = top<HUDMainMenu>();
    ASSERT_NE(nullptr, menu);
    ASSERT_TRUE(click(L"play"));
    EXPECT_EQ(kScreenProfileCreate, map().mScreen);
    ASSERT_NE(nullptr, top<HUDModalInput>());
    ASSERT_TRUE(click(*top<HUDModalInput>(), L"cancel"));
    EXPECT_EQ(kScreenMainMenu, map().mScreen) << "back to the main menu";
    EXPECT_EQ(menu, top());
    EXPECT_TRUE(map().mProgress->profileNames().empty());

    map().mProgress->createProfile(L"Ash");
    map().mProgress->createProfile(L"Birch");
    map().mScreen = kScreenProfileCreate;
    hud().showProfileNameInput();
    frame();
    HUDModalInput* input = top<HUDModalInput>();
    ASSERT_NE(nullptr, input);
    EXPECT_EQ(localized(L"default_player") + L"2", input->mText);
    EXPECT_EQ(localized(L"profile_edit_caption"), text(input, L"caption"));
    while (!input->mText.empty())
        (void)board().OnKeyDown(HUDModalInput::kBackspace);
    EXPECT_FALSE(OkShown(input));
    EXPECT_EQ(localized(L"profile_name_empty"), text(input, L"message"));
    EXPECT_EQ(QL_OK, board().OnKeyDown(HUDModalInput::kBackspace));
    EXPECT_TRUE(input->mText.empty()) << "backspace on nothing changes nothing";
    EXPECT_FALSE(OkShown(input));

    // Refused: space, punctuation, Ё and ё, Latin letters with marks, anything outside the list.
    type(L" .-_!Ёёé");
    EXPECT_EQ(L"", input->mText);
    // And every control character: a saved name could not keep it.
    type(std::wstring(L"\t\r\n\x01\x1F\x7F\0", 7));
    EXPECT_EQ(L"", input->mText);
    type(L"Zz09Яа");
    EXPECT_EQ(L"Zz09Яа", input->mText);
    EXPECT_TRUE(OkShown(input));
    type(L"abcdefghijklmnop");
    EXPECT_EQ(16u, input->mText.size()) << "the 17th character is refused";
    EXPECT_EQ(L"Zz09Яаabcdefghij", input->mText);
    // Other keys do not edit.
    EXPECT_EQ(QL_OK, board().OnKeyDown(37));
    EXPECT_EQ(16u, input->mText.size());

    // A name that exists hides "ok" until it changes.
    while (!input->mText.empty())
        (void)board().OnKeyDown(HUDModalInput::kBackspace);
    type(L"Birch");
    EXPECT_FALSE(OkShown(input));
    EXPECT_EQ(localized(L"profile_name_taken"), text(input, L"message"));
    type(L"2");
    EXPECT_TRUE(OkShown(input));
    EXPECT_EQ(L"", text(input, L"message"));
    type(L"");
    EXPECT_EQ(QL_OK, board().OnKeyDown(HUDModalInput::kBackspace));
    EXPECT_FALSE(OkShown(input));
    // A press where the hidden "ok" sits does nothing.
    ASSERT_TRUE(click(*input, L"ok"));
    EXPECT_EQ(input, top());
    EXPECT_EQ(2u, map().mProgress->profileNames().size());
}
