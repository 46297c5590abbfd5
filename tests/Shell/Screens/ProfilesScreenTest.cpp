// The profiles screen in the running game: its list and highlight, selection by name line,
// creating (and the cap of five), renaming, deleting with its question, and the way back.
#include "Shell/ShellGame.h"

#include "Source/TD/Shell/HUDConfirmProfileDeletionDialog.h"
#include "Source/TD/Shell/HUDMainMenu.h"
#include "Source/TD/Shell/HUDModalInput.h"
#include "Source/TD/Shell/HUDModalMessage.h"
#include "Source/TD/Shell/HUDProfiles.h"

namespace
{
class ProfilesScreen : public shelltest::ShellGameTest
{
protected:
    ProfilesScreen() : ShellGameTest(bareBoard()) {}
    std::vector<std::wstring> Highlighted(HUDProfiles* screen) const
    {
        std::vector<std::wstring> shown;
        for (int i = 1; i <= 5; ++i)
            if (HUDButtonOver* b = screen->mOwnButtons.find(L"p" + std::to_wstring(i)); b && b->mVisible)
                shown.push_back(b->mLabel);
        return shown;
    }
    void PressLine(HUDProfiles* screen, int line)
    {
        const TDFrameEntry* area = screen->mTextAreas.at(L"profile" + std::to_wstring(line)).get();
        click(area->mX + 10.0f, area->mY + area->mHeight * 0.5f);
    }
};
} // namespace

// One walk over the screen, empty and then with three profiles: each window it opens, and what
// each answer leaves.
TEST_F(ProfilesScreen, LinesSelectAndTheNameDeleteAndConfirmButtonsDoTheirJobs)
{
    hud().showProfiles();
    frame();
    HUDProfiles* screen = top<HUDProfiles>();
    ASSERT_NE(nullptr, screen);
    EXPECT_EQ(kScreenProfiles, map().mScreen);
    EXPECT_EQ(map().mAfterProfileInput, kAfterInputProfiles);
    EXPECT_EQ(localized(L"profiles_caption"), text(screen, L"caption"));
    EXPECT_EQ(localized(L"profiles_select"), text(screen, L"select"));
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(localized(L"empty_profile"), text(screen, L"profile" + std::to_wstring(i)));
    EXPECT_TRUE(Highlighted(screen).empty());
    EXPECT_FALSE(screen->mOwnButtons.find(L"confirm")->mVisible) << "nothing to play as";
    // "delete" and "rename" without a current profile do nothing; nor does an empty line.
    ASSERT_TRUE(click(*screen, L"delete"));
    EXPECT_EQ(nullptr, board().mModalWindow);
    ASSERT_TRUE(click(*screen, L"rename"));
    EXPECT_EQ(kScreenProfiles, map().mScreen);
    EXPECT_EQ(screen, top());
    PressLine(screen, 1);
    EXPECT_TRUE(map().mProgress->currentName().empty());

    for (const wchar_t* name : {L"Ash", L"Birch", L"Cedar"})
        map().mProgress->createProfile(name);
    screen->Refresh();
    EXPECT_EQ(L"Ash", text(screen, L"profile1"));
    EXPECT_EQ(L"Cedar", text(screen, L"profile3"));
    EXPECT_EQ(localized(L"empty_profile"), text(screen, L"profile4"));
    EXPECT_EQ(std::vector<std::wstring>{L"Cedar"}, Highlighted(screen));
    EXPECT_TRUE(screen->mOwnButtons.find(L"confirm")->mVisible);

    // A name line selects its profile, saved at once; an empty line selects nothing.
    PressLine(screen, 2);
    EXPECT_EQ(L"Birch", map().mProgress->currentName());
    EXPECT_EQ(std::vector<std::wstring>{L"Birch"}, Highlighted(screen));
    EXPECT_NE(std::string::npos, profilesFile().find("currentProfile=\"Birch\""));
    PressLine(screen, 5);
    EXPECT_EQ(L"Birch", map().mProgress->currentName());

    // Cancelling either name input changes nothing.
    const std::string before = profilesFile();
    for (const auto& [button, inputScreen] :
         {std::pair{L"create", kScreenProfileCreate}, std::pair{L"rename", kScreenProfileRename}})
    {
        ASSERT_TRUE(click(*screen, button));
        EXPECT_EQ(inputScreen, map().mScreen);
        ASSERT_NE(nullptr, top<HUDModalInput>());
        ASSERT_TRUE(click(*top<HUDModalInput>(), L"cancel"));
        EXPECT_EQ(kScreenProfiles, map().mScreen);
        EXPECT_EQ(screen, top());
    }
    EXPECT_EQ(before, profilesFile());

    // Rename starts from the current name, which is the player's own and no refusal: "ok" keeps
    // it. Another profile's name is refused.
    ASSERT_TRUE(click(*screen, L"rename"));
    auto* input = top<HUDModalInput>();
    ASSERT_NE(nullptr, input);
    EXPECT_EQ(L"Birch", input->mText);
    EXPECT_EQ(L"", text(input, L"message"));
    ASSERT_TRUE(click(*input, L"ok"));
    EXPECT_EQ(screen, top());
    EXPECT_EQ(L"Birch", map().mProgress->currentName());
    EXPECT_EQ(before, profilesFile());
    ASSERT_TRUE(click(*screen, L"rename"));
    input = top<HUDModalInput>();
    ASSERT_NE(nullptr, input);
    while (!input->mText.empty())
        (void)board().OnKeyDown(HUDModalInput::kBackspace);
    type(L"Ash");
    EXPECT_EQ(localized(L"profile_name_taken"), text(input, L"message"));
    ASSERT_TRUE(click(*input, L"ok"));
    EXPECT_EQ(input, top()) << "a name another profile holds";
    for (int i = 0; i < 3; ++i)
        (void)board().OnKeyDown(HUDModalInput::kBackspace);
    type(L"Birchwood");
    ASSERT_TRUE(click(*input, L"ok"));
    EXPECT_EQ(kScreenProfiles, map().mScreen);
    EXPECT_EQ(L"Birchwood", text(screen, L"profile2"));
    EXPECT_EQ((std::vector<std::wstring>{L"Ash", L"Birchwood", L"Cedar"}), map().mProgress->profileNames());
    EXPECT_NE(std::string::npos, profilesFile().find("Birchwood"));

    // Create proposes a name counting the profiles; Cyrillic names are stored as UTF-8.
    ASSERT_TRUE(click(*screen, L"create"));
    input = top<HUDModalInput>();
    ASSERT_NE(nullptr, input);
    EXPECT_EQ(localized(L"default_player") + L"3", input->mText);
    for (size_t i = 0; i < 16; ++i)
        (void)board().OnKeyDown(HUDModalInput::kBackspace);
    type(L"Вереск");
    ASSERT_TRUE(click(*input, L"ok"));
    EXPECT_EQ(screen, top()) << "the input is gone";
    EXPECT_EQ(L"Вереск", text(screen, L"profile4"));
    EXPECT_EQ(std::vector<std::wstring>{L"Вереск"}, Highlighted(screen));
    const std::string utf8 = "name=\"\xD0\x92\xD0\xB5\xD1\x80\xD0\xB5\xD1\x81\xD0\xBA\"";
    EXPECT_NE(std::string::npos, profilesFile().find(utf8));

    // Delete asks first: a press outside both buttons and "cancel" keep the profile.
    ASSERT_TRUE(click(*screen, L"delete"));
    auto* dialog = dynamic_cast<HUDConfirmProfileDeletionDialog*>(board().mModalWindow.get());
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(kScreenProfiles, map().mScreen) << "the question is not a screen of the stack";
    EXPECT_EQ(localized(L"profile_delete_caption"), text(dialog, L"caption"));
    click(20.0f, 20.0f);
    EXPECT_EQ(dialog, board().mModalWindow.get());
    ASSERT_TRUE(click(*dialog, L"cancel"));
    frame();
    EXPECT_EQ(nullptr, board().mModalWindow);
    EXPECT_EQ(4u, map().mProgress->profileNames().size());
    ASSERT_TRUE(click(*screen, L"delete"));
    dialog = dynamic_cast<HUDConfirmProfileDeletionDialog*>(board().mModalWindow.get());
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(click(*dialog, L"ok"));
    frame();
    EXPECT_EQ(nullptr, board().mModalWindow) << "deleted on the update after it closed";
    EXPECT_EQ(L"Ash", map().mProgress->currentName()) << "another profile is current";
    EXPECT_EQ(localized(L"empty_profile"), text(screen, L"profile4")) << "the screen beneath is refreshed";
    EXPECT_EQ(std::vector<std::wstring>{L"Ash"}, Highlighted(screen));
    EXPECT_EQ(std::string::npos, profilesFile().find(utf8));

    // With five profiles "create" only explains, and its message returns here.
    map().mProgress->createProfile(L"Dogwood");
    map().mProgress->createProfile(L"Elm");
    ASSERT_TRUE(click(*screen, L"create"));
    EXPECT_EQ(kScreenMessage, map().mScreen);
    auto* message = top<HUDModalMessage>();
    ASSERT_NE(nullptr, message);
    EXPECT_EQ(localized(L"profiles_error"), text(message, L"caption"));
    EXPECT_EQ(localized(L"profiles_maxcount"), text(message, L"message"));
    ASSERT_TRUE(click(*message, L"ok"));
    EXPECT_EQ(screen, top());
    EXPECT_EQ(5u, map().mProgress->profileNames().size());

    ASSERT_TRUE(click(*screen, L"confirm"));
    EXPECT_EQ(kScreenMainMenu, map().mScreen);
    EXPECT_NE(nullptr, top<HUDMainMenu>());
    EXPECT_EQ(1u, hud().windows().size()) << "the profiles screen closed";
}
