// The main menu in the running game: its layout buttons answered through the frame manager's
// dispatch, the lower band that opens the profiles, options as a modal window, the end of the
// game, the greeting, the language picture, and the notice of damaged or unreadable profiles, or
// of progress that cannot be saved, shown once.
#include "Shell/ShellGame.h"

#include "Core/File/Profiles.h"
#include "Core/Layer/ImageLayer.h"
#include "Core/Layer/TextLayer.h"
#include "Core/Media/Image/Image.h"
#include "Core/Media/Particles/ParticleEmitter.h"
#include "Core/Widget/Controls/GameSettings.h"
#include "Core/Widget/Controls/TMessageBox.h"
#include "Core/Widget/Controls/TesselButton.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/TDProgress.h"
#include "Source/TD/Seams/TDScreen.h"
#include "Source/TD/Shell/HUD.h"
#include "Source/TD/Shell/HUDButtonOver.h"
#include "Source/TD/Shell/HUDMainMenu.h"
#include "Source/TD/Sprites/TDFrameEntry.h"
#include "support/FileAccessChecks.h"
#include "support/TempDir.h"

#include <cstdio>
#include <filesystem>

namespace frontendtest
{
namespace
{
using MainMenu = shelltest::ShellGameTest;

template <class T> int CountModal(widget::FrameManager& frames)
{
    int n = 0;
    for (const auto& entry : frames.GetStack())
        n += dynamic_cast<T*>(entry.frame) != nullptr && entry.mode == widget::FrameManager::MODE_MODAL ? 1 : 0;
    return n;
}
} // namespace

TEST_F(MainMenu, TheMenuBuildsItsButtonsGreetingAndLanguagePictureKeepsTheLowerBandAndEnds)
{
    ASSERT_TRUE(reachMainMenu());
    HUDMainMenu* menu = top<HUDMainMenu>();
    EXPECT_TRUE(menu->mButtons.empty()) << "no picture buttons of the base";
    std::vector<std::wstring> names;
    for (HUDButtonOver* b : menu->mMenuButtons.mButtons)
        names.push_back(b->mName);
    EXPECT_EQ((std::vector<std::wstring>{L"play", L"shop", L"options", L"profile", L"cloze"}), names);
    EXPECT_EQ(L"Play", menu->findMenuButton(L"play")->mLabel);
    EXPECT_EQ(L"Shop", menu->findMenuButton(L"shop")->mLabel);
    EXPECT_EQ(board().mFontMain80.Get(), menu->findMenuButton(L"play")->mFont.Get());
    EXPECT_EQ(board().mFontMain42_3.Get(), menu->findMenuButton(L"cloze")->mFont.Get());
    ASSERT_NE(nullptr, menu->getText(L"greet"));
    EXPECT_EQ(L"Welcome to the moor, wanderer!", *menu->getText(L"greet")) << "no name yet";
    for (TDFrameEntry* image : menu->mImages)
    {
        if (image->mName == L"en" || image->mName == L"ru")
        {
            EXPECT_EQ(image->mName == L"en", image->mVisible != 0) << "the language picture";
        }
    }
    for (render::ParticleEmitter* emitter : menu->mEmitters)
        EXPECT_NE(nullptr, emitter);

    // A named profile shows in the greeting.
    map().mProgress->createProfile(L"Ann");
    menu->Refresh();
    EXPECT_EQ(L"Welcome to the moor, Ann!", *menu->getText(L"greet"));

    // The lower band answers "profile" whatever lies there; buttons answer above it.
    HUDButtonOver* low = menu->findMenuButton(L"options");
    low->mNormal->mY = 700.0f;
    low->mNormal->mHeight = 60.0f;
    EXPECT_EQ(L"profile", menu->ButtonNameAt(static_cast<int>(low->mNormal->mX) + 5, 721));
    EXPECT_EQ(L"options", menu->ButtonNameAt(static_cast<int>(low->mNormal->mX) + 5, 720));
    EXPECT_EQ(L"profile", menu->ButtonNameAt(-100, 1023));
    EXPECT_EQ(L"", menu->ButtonNameAt(-100, 1024));
    EXPECT_EQ(L"", menu->ButtonNameAt(-100, 100));

    // "cloze" ends the game, and the log will say so.
    float x = 0, y = 0;
    EXPECT_FALSE(game().IsStopping());
    ASSERT_TRUE(buttonCentre(L"cloze", x, y));
    tap(x, y);
    EXPECT_TRUE(game().IsStopping());
    EXPECT_STREQ(game().GetEndCause(), "the main menu's close button");
}

TEST_F(MainMenu, DamagedProfilesAreReportedByTheFirstMenuOnlyAndTheDialogsReachTheGameThroughItsSettings)
{
    file::gProfileCorrupt = true;
    ASSERT_TRUE(reachMainMenu());
    EXPECT_FALSE(file::gProfileCorrupt);
    ASSERT_EQ(QL_OK, game().FrameStep(0.04f));
    EXPECT_EQ(1, CountModal<TMessageBox>(frames()));
    hud().closeAllWindows();
    hud().showMainMenu();
    ASSERT_EQ(QL_OK, game().FrameStep(0.04f));
    ASSERT_NE(nullptr, top<HUDMainMenu>());
    EXPECT_EQ(1, CountModal<TMessageBox>(frames())) << "shown once per start";

    // The dialogs reach the game through its settings.
    gui::GameSettings* settings = gui::GameSettings::Get();
    ASSERT_NE(nullptr, settings) << "installed by the root board";
    EXPECT_EQ(L"Play", settings->GetText(L"b2_play")) << "localised texts";
    settings->SetSoundVolume(0.25f);
    settings->SetMusicVolume(0.75f);
    EXPECT_FLOAT_EQ(0.25f, map().mProgress->getSoundVolume());
    EXPECT_FLOAT_EQ(0.75f, settings->GetMusicVolume());
    EXPECT_FALSE(board().mDebugKeys);
    settings->EnableDebugKeys();
    EXPECT_TRUE(board().mDebugKeys);
}

TEST(MainMenuNotice, AProfilesFileThatCannotBeReadIsReportedAndOutlivesTheGameUntouched)
{
    testsupport::FileAccessChecks checks;
    if (!checks.active())
        GTEST_SKIP() << "file permissions do not bind this process";
    const std::string saved =
        "<Profiles currentProfile=\"Ivan\"><Profile name=\"Ivan\"><fs v=\"0\"/></Profile></Profiles>";
    testsupport::GameHarness::Options options;
    options.profiles = saved;
    options.profilesUnreadable = true;
    testsupport::GameHarness game(options);
    ASSERT_TRUE(game.started()) << game.log();
    ASSERT_TRUE(game.reachMainMenu());
    ASSERT_TRUE(game.frame());
    auto* notice = game.dialog<TMessageBox>();
    ASSERT_NE(nullptr, notice);
    EXPECT_EQ(L"profile_unreadable", notice->mMessageKey);
    EXPECT_NE(std::string::npos, game.log().find("cannot be read"));
    EXPECT_FALSE(std::filesystem::exists(game.userDir() / "profiles.xml.bad")) << "left where it is";
    // Read and closed, a new player plays on; the game then ends, saving at exit.
    ASSERT_EQ(QL_OK, notice->OnClick(notice->mCloseButton));
    ASSERT_TRUE(game.runUntil([&] { return game.dialog<TMessageBox>() == nullptr; }, 2.0f));
    ASSERT_NE(nullptr, game.reachEpisodeSelect());
    base::SingletoneBase::DestroyAll();
    const std::filesystem::path file = game.userDir() / "profiles.xml";
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(saved, testsupport::ReadBytes(file)) << "nothing written over it";
}
} // namespace frontendtest

namespace frontendtest
{
// A user-data folder that cannot hold the player's files: the failure is told on the terminal
// (no log can be written there either), the first main menu says that nothing will be saved, once
// per run, and the game plays on; whatever the folder held before is left exactly as it was.
TEST(MainMenuNotice, ProgressThatCannotBeSavedIsToldOnceAndTheGamePlaysOnLosingNothing)
{
    testsupport::FileAccessChecks checks;
    const std::string saved =
        "<Profiles currentProfile=\"Ivan\"><Profile name=\"Ivan\"><fs v=\"1\"/></Profile></Profiles>";
    using Options = testsupport::GameHarness::Options;
    const struct
    {
        const char* what;
        Options::UserData userData;
        std::string profiles;
        const char* reason;
    } cases[] = {
        {"a file where its parent folder would be", Options::BLOCKED, "", "cannot be created ('"},
        {"a read-only folder holding a player", Options::READ_ONLY, saved, "cannot be written (Permission denied)"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        if (c.userData == Options::READ_ONLY && !checks.active())
        {
            std::printf("note: file permissions do not bind this process; the read-only folder is not tried\n");
            continue;
        }
        Options options;
        options.userData = c.userData;
        options.profiles = c.profiles;
        testing::internal::CaptureStderr();
        testsupport::GameHarness game(options);
        const std::string told = testing::internal::GetCapturedStderr();
        ASSERT_TRUE(game.started()) << told;
        const std::string folder = game.userDir().string() + "/";
        EXPECT_NE(std::string::npos,
                  told.find("progress will not be saved: the user-data folder '" + folder + "' " + c.reason))
            << told;
        EXPECT_NE(std::string::npos, told.find("the log '" + folder + "log.html' cannot be written")) << told;

        ASSERT_TRUE(game.reachMainMenu());
        ASSERT_TRUE(game.frame());
        auto* notice = game.dialog<TMessageBox>();
        ASSERT_NE(nullptr, notice);
        EXPECT_EQ(L"profile_unsaved", notice->mMessageKey);
        // Its text stands inside the box's picture.
        std::vector<layer::Layer*> layers{notice->GetLayer()};
        const layer::TextLayer* text = nullptr;
        const layer::ImageLayer* back = nullptr;
        while (!layers.empty())
        {
            layer::Layer* at = layers.back();
            layers.pop_back();
            layers.insert(layers.end(), at->GetChildren().begin(), at->GetChildren().end());
            if (auto* t = dynamic_cast<const layer::TextLayer*>(at); t && t->mText.find(L"saved") != std::wstring::npos)
                text = t;
            if (auto* i = dynamic_cast<const layer::ImageLayer*>(at);
                i && i->GetImage() && (!back || i->GetImage()->GetWidth() > back->GetImage()->GetWidth()))
                back = i;
        }
        ASSERT_TRUE(text && back);
        const math::Box box = text->Measure();
        EXPECT_LT(box.maxX - box.minX, static_cast<float>(back->GetImage()->GetWidth()) - 40.0f);
        ASSERT_EQ(QL_OK, notice->OnClick(notice->mCloseButton));
        ASSERT_TRUE(game.runUntil([&] { return game.dialog<TMessageBox>() == nullptr; }, 2.0f));

        // A level is played and won; this run keeps the result in memory though every save fails.
        ASSERT_TRUE(game.startLevel(0, 0));
        game.map().showVictory();
        ASSERT_TRUE(game.runUntil([&] { return game.screen() == kScreenWon; }, 5.0f));
        ASSERT_TRUE(game.run(10));
        EXPECT_GT(game.map().mProgress->getLevelResult(0, 0, game.map().mMode).stars, 0);
        game.hud().closeAllWindows();
        game.hud().showMainMenu();
        ASSERT_TRUE(game.frame());
        ASSERT_NE(nullptr, game.top<HUDMainMenu>());
        EXPECT_EQ(0, CountModal<TMessageBox>(game.frames())) << "told once per run";

        base::SingletoneBase::DestroyAll(); // the save at exit fails too
        if (c.userData == Options::BLOCKED)
            EXPECT_EQ("not a folder", testsupport::ReadBytes(game.userDir().parent_path()));
        else
        {
            EXPECT_EQ(saved, game.profilesFile()) << "the player's file is untouched";
            std::vector<std::string> names;
            for (const auto& entry : std::filesystem::directory_iterator(game.userDir()))
                names.push_back(entry.path().filename().string());
            EXPECT_EQ(std::vector<std::string>{"profiles.xml"}, names) << "nothing left behind";
        }
    }
}
} // namespace frontendtest
