// The profiles screen in the running game: its list and highlight, selection by name line,
// creating (and the cap of five), renaming, deleting with its question, and the way back.
#include "ScreenFixture.h"

#include "Source/TD/Shell/HUDConfirmProfileDeletionDialog.h"
#include "Source/TD/Shell/HUDMainMenu.h"
#include "Source/TD/Shell/HUDModalInput.h"
#include "Source/TD/Shell/HUDModalMessage.h"
#include "Source/TD/Shell/HUDProfiles.h"

namespace
{
class ProfilesScreen : public ScreenFixture
{
protected:
    HUDProfiles* Open()
    {
        mHud->showProfiles();
        Frame();
        return TopAs<HUDProfiles>();
    }
    void Make(const std::vector<std::wstring>& names)
    {
        for (const std::wstring& name : names)
            mMap->mProgress->createProfile(name);
    }
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
        Click(area->mX + 10.0f, area->mY + area->mHeight * 0.5f);
    }
};
} // namespace

TEST_F(ProfilesScreen, WithoutProfilesEveryLineIsEmptyAndNothingIsHighlighted)
{
    HUDProfiles* screen = Open();
    ASSERT_NE(nullptr, screen);
    EXPECT_EQ(13, mMap->mScreen);
    EXPECT_TRUE(mMap->mAfterProfileInput.empty());
    EXPECT_EQ(L10n(L"profiles_caption"), Text(screen, L"caption"));
    EXPECT_EQ(L10n(L"profiles_select"), Text(screen, L"select"));
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(L10n(L"empty_profile"), Text(screen, L"profile" + std::to_wstring(i)));
    EXPECT_TRUE(Highlighted(screen).empty());
    EXPECT_FALSE(screen->mOwnButtons.find(L"confirm")->mVisible) << "nothing to play as";
    // "delete" and "rename" without a current profile do nothing.
    ClickButton(screen->mOwnButtons, L"delete");
    EXPECT_EQ(nullptr, mBoard->mModalWindow);
    ClickButton(screen->mOwnButtons, L"rename");
    EXPECT_EQ(13, mMap->mScreen);
    EXPECT_EQ(screen, Top());
    // A press on an empty line selects nothing.
    PressLine(screen, 1);
    EXPECT_TRUE(mMap->mProgress->currentName().empty());
}

TEST_F(ProfilesScreen, ANameLineSelectsItsProfileAndMovesTheHighlight)
{
    Make({L"Ash", L"Birch", L"Cedar"});
    HUDProfiles* screen = Open();
    ASSERT_NE(nullptr, screen);
    EXPECT_EQ(L"Ash", Text(screen, L"profile1"));
    EXPECT_EQ(L"Cedar", Text(screen, L"profile3"));
    EXPECT_EQ(L10n(L"empty_profile"), Text(screen, L"profile4"));
    EXPECT_EQ(std::vector<std::wstring>{L"Cedar"}, Highlighted(screen));
    EXPECT_TRUE(screen->mOwnButtons.find(L"confirm")->mVisible);

    PressLine(screen, 2);
    EXPECT_EQ(L"Birch", mMap->mProgress->currentName());
    EXPECT_EQ(std::vector<std::wstring>{L"Birch"}, Highlighted(screen));
    EXPECT_NE(std::string::npos, ProfilesFile().find("currentProfile=\"Birch\"")) << "saved at once";
    PressLine(screen, 5);
    EXPECT_EQ(L"Birch", mMap->mProgress->currentName()) << "an empty line selects nothing";
}

TEST_F(ProfilesScreen, CreateAsksForANameAndListsTheNewProfile)
{
    Make({L"Ash"});
    HUDProfiles* screen = Open();
    ASSERT_NE(nullptr, screen);
    ClickButton(screen->mOwnButtons, L"create");
    EXPECT_EQ(14, mMap->mScreen);
    auto* input = TopAs<HUDModalInput>();
    ASSERT_NE(nullptr, input);
    EXPECT_EQ(L10n(L"default_player") + L"1", input->mText) << "the default name counts the profiles";
    // Cyrillic names are allowed and stored as UTF-8.
    for (size_t i = 0; i < 16; ++i)
        (void)mBoard->OnKeyDown(HUDModalInput::kBackspace);
    Type(L"Вереск");
    ClickButton(input->mOwnButtons, L"ok");
    EXPECT_EQ(13, mMap->mScreen);
    EXPECT_EQ(screen, Top()) << "the input is gone";
    EXPECT_EQ(L"Вереск", mMap->mProgress->currentName());
    EXPECT_EQ(L"Вереск", Text(screen, L"profile2"));
    EXPECT_EQ(std::vector<std::wstring>{L"Вереск"}, Highlighted(screen));
    EXPECT_NE(std::string::npos, ProfilesFile().find("name=\"\xD0\x92\xD0\xB5\xD1\x80\xD0\xB5\xD1\x81\xD0\xBA\""));
}

TEST_F(ProfilesScreen, CancellingTheNameInputChangesNothing)
{
    Make({L"Ash"});
    HUDProfiles* screen = Open();
    ASSERT_NE(nullptr, screen);
    const std::string before = ProfilesFile();
    ClickButton(screen->mOwnButtons, L"create");
    ASSERT_NE(nullptr, TopAs<HUDModalInput>());
    ClickButton(TopAs<HUDModalInput>()->mOwnButtons, L"cancel");
    EXPECT_EQ(13, mMap->mScreen);
    EXPECT_EQ(screen, Top());
    EXPECT_EQ(before, ProfilesFile());

    ClickButton(screen->mOwnButtons, L"rename");
    EXPECT_EQ(15, mMap->mScreen);
    ASSERT_NE(nullptr, TopAs<HUDModalInput>());
    ClickButton(TopAs<HUDModalInput>()->mOwnButtons, L"cancel");
    EXPECT_EQ(13, mMap->mScreen);
    EXPECT_EQ(screen, Top());
    EXPECT_EQ(L"Ash", mMap->mProgress->currentName());
}

TEST_F(ProfilesScreen, RenameStartsFromTheCurrentNameAndRefusesIt)
{
    Make({L"Ash", L"Birch"});
    HUDProfiles* screen = Open();
    ASSERT_NE(nullptr, screen);
    ClickButton(screen->mOwnButtons, L"rename");
    auto* input = TopAs<HUDModalInput>();
    ASSERT_NE(nullptr, input);
    EXPECT_EQ(L"Birch", input->mText);
    EXPECT_FALSE(input->mOwnButtons.find(L"ok")->mVisible) << "the name exists";
    EXPECT_EQ(L10n(L"profile_name_taken"), Text(input, L"message"));
    Type(L"wood");
    ASSERT_TRUE(input->mOwnButtons.find(L"ok")->mVisible);
    ClickButton(input->mOwnButtons, L"ok");
    EXPECT_EQ(13, mMap->mScreen);
    EXPECT_EQ(L"Birchwood", mMap->mProgress->currentName());
    EXPECT_EQ(L"Birchwood", Text(screen, L"profile2"));
    EXPECT_EQ((std::vector<std::wstring>{L"Ash", L"Birchwood"}), mMap->mProgress->profileNames());
    EXPECT_NE(std::string::npos, ProfilesFile().find("Birchwood"));
}

TEST_F(ProfilesScreen, ASixthProfileIsRefusedWithAMessageThatReturnsHere)
{
    Make({L"A", L"B", L"C", L"D", L"E"});
    HUDProfiles* screen = Open();
    ASSERT_NE(nullptr, screen);
    ClickButton(screen->mOwnButtons, L"create");
    EXPECT_EQ(16, mMap->mScreen);
    auto* message = TopAs<HUDModalMessage>();
    ASSERT_NE(nullptr, message);
    EXPECT_EQ(L10n(L"profiles_error"), Text(message, L"caption"));
    EXPECT_EQ(L10n(L"profiles_maxcount"), Text(message, L"message"));
    ClickButton(message->mOwnButtons, L"ok");
    EXPECT_EQ(13, mMap->mScreen);
    EXPECT_EQ(screen, Top());
    EXPECT_EQ(5u, mMap->mProgress->profileNames().size());
}

TEST_F(ProfilesScreen, DeleteAsksFirstAndThenSelectsAnotherProfile)
{
    Make({L"Ash", L"Birch"});
    HUDProfiles* screen = Open();
    ASSERT_NE(nullptr, screen);
    ClickButton(screen->mOwnButtons, L"delete");
    auto* dialog = dynamic_cast<HUDConfirmProfileDeletionDialog*>(mBoard->mModalWindow);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(13, mMap->mScreen) << "the question is not a screen of the stack";
    EXPECT_EQ(L10n(L"profile_delete_caption"), Text(dialog, L"caption"));

    // A press outside both buttons leaves the question open; "cancel" keeps the profile.
    Click(20.0f, 20.0f);
    EXPECT_EQ(dialog, mBoard->mModalWindow);
    ClickButton(dialog->mOwnButtons, L"cancel");
    Frame();
    EXPECT_EQ(nullptr, mBoard->mModalWindow) << "deleted on the update after it closed";
    EXPECT_EQ(2u, mMap->mProgress->profileNames().size());

    ClickButton(screen->mOwnButtons, L"delete");
    dialog = dynamic_cast<HUDConfirmProfileDeletionDialog*>(mBoard->mModalWindow);
    ASSERT_NE(nullptr, dialog);
    ClickButton(dialog->mOwnButtons, L"ok");
    Frame();
    EXPECT_EQ(nullptr, mBoard->mModalWindow);
    EXPECT_EQ(std::vector<std::wstring>{L"Ash"}, mMap->mProgress->profileNames());
    EXPECT_EQ(L"Ash", mMap->mProgress->currentName()) << "another profile is current";
    EXPECT_EQ(L10n(L"empty_profile"), Text(screen, L"profile2")) << "the screen beneath is refreshed";
    EXPECT_EQ(std::vector<std::wstring>{L"Ash"}, Highlighted(screen));
    EXPECT_EQ(std::string::npos, ProfilesFile().find("Birch"));
}

TEST_F(ProfilesScreen, BackAndConfirmReturnToTheMainMenu)
{
    Make({L"Ash"});
    for (const wchar_t* name : {L"back", L"confirm"})
    {
        HUDProfiles* screen = Open();
        ASSERT_NE(nullptr, screen);
        ClickButton(screen->mOwnButtons, name);
        EXPECT_EQ(7, mMap->mScreen);
        EXPECT_NE(nullptr, TopAs<HUDMainMenu>());
        EXPECT_EQ(1u, mHud->windows().size()) << "the profiles screen closed";
        mHud->closeAllWindows();
    }
}
