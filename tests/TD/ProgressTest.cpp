// Progress: level results and stars, open levels, upgrade levels, owned spots, settings and profiles.
#include "Audio/LogCapture.h"
#include "Core/File/Profiles.h"
#include "Core/File/UserDataFileContainer.h"
#include "Source/TD/Data/TDEpisodeTable.h"
#include "Source/TD/Data/TDProfileStore.h"
#include "Source/TD/Data/TDProfilesFileStore.h"
#include "Source/TD/Data/TDProgress.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <limits>
#include <tuple>

namespace
{
struct FakeHost : TDProgressHost
{
    TDDifficulty mode = kDifficultyNormal;
    i32 gemsStart = 0;
    TDEpisodeTable table;
    std::vector<i32> ids{7, 8, 9};
    bool fullscreen = false;
    int switches = 0, reloads = 0;
    TDProfileValues selected{-1, kDifficultyEasy, -1.0f, -1.0f};
    bool tutorialActive = false;
    // Set: the switch stores the new mode there, as the game's switch does.
    TDProgress* progress = nullptr;

    TDDifficulty currentMode() const override { return mode; }
    i32 startGems() const override { return gemsStart; }
    const TDEpisodeTable& episodeTable() const override { return table; }
    std::vector<i32> upgradeIds() const override { return ids; }
    i32 upgradeStepCount(i32 id) const override { return id == 42 ? 0 : 3; }
    bool isEpisodeUnlocked(i32 episode) override { return table.getLevelCount(episode) >= 1 && episode == 0; }
    void onProfileSelected(const TDProfileValues& values) override { selected = values; }
    void reloadTutorial() override { ++reloads; }
    void setTutorialActive(bool active) override { tutorialActive = active; }
    bool isFullscreen() const override { return fullscreen; }
    void switchScreenMode() override
    {
        ++switches;
        fullscreen = !fullscreen;
        if (progress)
            progress->setFullscreen(fullscreen);
    }
};

struct ProgressFixture : ::testing::Test
{
    TDDocumentProfileStore store;
    FakeHost host;
    std::unique_ptr<TDProgress> progress;
    void SetUp() override
    {
        host.table.readText("0;3;2;0;0\n1;2;1;6;0\n2;0;0;0;0\n");
        progress = std::make_unique<TDProgress>(store, host);
    }
    tinyxml2::XMLElement* element(const char* name) { return progress->profile()->FirstChildElement(name); }
    TDLevelResult result(i32 kills, i32 health, i32 stars, i32 gems)
    {
        TDLevelResult r;
        r.kills = kills;
        r.healthBonus = health;
        r.stars = stars;
        r.gems = gems;
        r.combo = 3;
        return r;
    }
};
} // namespace

TEST_F(ProgressFixture, ANewProfileIsVersionFourWithItsListsAndAnUnplayedLevelReadsZeroWithoutASave)
{
    EXPECT_EQ(progress->profile()->IntAttribute("version"), 4);
    EXPECT_NE(element("levels"), nullptr);
    EXPECT_NE(element("towers"), nullptr);

    const int saves = store.saveCount();
    const TDLevelResult r = progress->getLevelResult(0, 2, kDifficultyNormal);
    EXPECT_EQ(std::tie(r.kills, r.stars, r.high, r.gems), std::tuple(0, 0, 0, 0));
    EXPECT_EQ(store.saveCount(), saves) << "reading stores nothing";
}

TEST_F(ProgressFixture, WorseResultKeepsStarsAndHighButOverwritesTheRestAndTotalsCountBothModes)
{
    progress->saveLevelResult(0, 0, kDifficultyNormal, result(100, 50, 3, 13));
    progress->saveLevelResult(0, 0, kDifficultyNormal, result(10, 5, 1, 0));
    TDLevelResult r = progress->getLevelResult(0, 0, kDifficultyNormal);
    EXPECT_EQ(std::tie(r.stars, r.high, r.kills, r.healthBonus, r.gems), std::tuple(3, 150, 10, 5, 0));
    EXPECT_EQ(progress->getGems(), 13);

    progress->saveLevelResult(1, 0, kDifficultyNormal, result(1, 1, 1, 2));
    EXPECT_EQ(progress->getLastEpisode(), 1);
    EXPECT_EQ(progress->getGems(), 15);
    // Star totals count both modes.
    progress->saveLevelResult(0, 0, kDifficultyHardcore, result(1, 1, 2, 0));
    EXPECT_EQ(progress->getStarTotal(0), 5);
    EXPECT_EQ(progress->getStarTotal(-1), 6);
    i32 episode = -1, level = -1;
    progress->getFurthestLevel(episode, level);
    EXPECT_EQ(episode, 0);
    EXPECT_EQ(level, 0);

    // Numbers as large as a profile may hold: the score stops at the largest, it never wraps.
    const i32 top = std::numeric_limits<i32>::max();
    progress->saveLevelResult(0, 1, kDifficultyNormal, result(top, top, 1, 0));
    EXPECT_EQ(progress->getLevelResult(0, 1, kDifficultyNormal).high, top);
    progress->saveLevelResult(0, 2, kDifficultyNormal, result(top - 9, 4, 1, 0));
    EXPECT_EQ(progress->getLevelResult(0, 2, kDifficultyNormal).high, top - 5);
}

TEST_F(ProgressFixture, NextLevelOpenLevelsUpgradeLevelsCacheAndHardcore)
{
    EXPECT_EQ(progress->getNextLevel(2, kDifficultyNormal), -1);
    EXPECT_FALSE(progress->isLevelOpen(2, 0, kDifficultyNormal));
    EXPECT_EQ(progress->getNextLevel(7, kDifficultyNormal), -2);
    EXPECT_EQ(progress->getNextLevel(0, kDifficultyNormal), 0);
    EXPECT_TRUE(progress->isLevelOpen(0, 0, kDifficultyNormal));
    EXPECT_FALSE(progress->isLevelOpen(0, 1, kDifficultyNormal));
    progress->saveLevelResult(0, 0, kDifficultyNormal, result(1, 1, 2, 0));
    EXPECT_TRUE(progress->isLevelOpen(0, 1, kDifficultyNormal));
    progress->saveLevelResult(0, 1, kDifficultyNormal, result(1, 1, 1, 0));
    progress->saveLevelResult(0, 2, kDifficultyNormal, result(1, 1, 1, 0));
    EXPECT_EQ(progress->getNextLevel(0, kDifficultyNormal), 2);
    // Hardcore levels keep their own results.
    EXPECT_EQ(progress->getNextLevel(0, kDifficultyHardcore), 0);

    // Upgrade levels: a missing entry is -2 once; a hardcore battle reads the stored levels too
    // (its "no upgrades" is the battle's rule, not the store's).
    EXPECT_EQ(progress->getUpgradeLevel(8), -1);
    tinyxml2::XMLElement* upgrades = element("upgrades");
    ASSERT_NE(upgrades, nullptr);
    EXPECT_EQ(upgrades->FirstChildElement("upgrade")->IntAttribute("id"), 9);
    EXPECT_EQ(upgrades->LastChildElement("upgrade")->IntAttribute("id"), 7);
    EXPECT_EQ(progress->getUpgradeLevel(42), -2);
    EXPECT_EQ(progress->getUpgradeLevel(42), -1);
    progress->setUpgradeLevel(8, 1);
    EXPECT_EQ(progress->getUpgradeLevel(8), 1);
    host.mode = kDifficultyHardcore; // the battle enters hardcore; the stored mode stays as it was
    EXPECT_EQ(progress->getUpgradeLevel(8), 1);
    progress->setUpgradeLevel(8, 2);
    host.mode = kDifficultyNormal;
    EXPECT_EQ(progress->getUpgradeLevel(8), 2);
    upgrades->DeleteChildren(); // an entry missing from an existing list is -2 once too
    EXPECT_EQ(progress->getUpgradeLevel(7), -2);
    EXPECT_EQ(progress->getUpgradeLevel(7), -1);

    // Owned spots: hardcore keeps its own, the other modes share theirs.
    progress->addOwnedSpot("#2", 0, 1);
    EXPECT_TRUE(progress->isSpotOwned("#2", 0, 1));
    EXPECT_FALSE(progress->isSpotOwned("#2", 0, 0));
    host.mode = kDifficultyEasy;
    EXPECT_TRUE(progress->isSpotOwned("#2", 0, 1));
    host.mode = kDifficultyHardcore;
    EXPECT_FALSE(progress->isSpotOwned("#2", 0, 1));
}

TEST_F(ProgressFixture, SettingsAttributesVolumeFormatAndProfilesCreateRenameDeleteAndSelect)
{
    EXPECT_EQ(progress->getMusicVolume(), 1.0f);
    EXPECT_STREQ(element("music")->Attribute("v"), "1.000000");
    progress->setSoundVolume(0.25f); // no "sound" element yet: the setter creates it
    EXPECT_STREQ(element("sound")->Attribute("v"), "0.250000");
    progress->setEpisodeVisited(2, kDifficultyHardcore, 1);
    progress->setEventSeen(12);
    EXPECT_EQ(element("episodeVisited")->IntAttribute("episode2h"), 1);
    EXPECT_TRUE(progress->isEventSeen(12));
    EXPECT_FALSE(progress->isEventSeen(11));
    EXPECT_EQ(progress->getEpisodeVisited(2, kDifficultyNormal), 0);
    EXPECT_EQ(progress->profile()->LastChildElement(), element("episodeVisited"));
    host.gemsStart = 30; // the gem count starts from the battle's value
    EXPECT_EQ(progress->getGems(), 30);
    progress->addGems(5);
    EXPECT_EQ(progress->profile()->FirstChildElement(), element("gems"));
    EXPECT_EQ(progress->getGems(), 35);
    progress->setTutorialParam("dropChanceOverride", 1); // leaves the tutorial on
    EXPECT_EQ(progress->getTutorialParam("dropChanceOverride"), 1);
    EXPECT_TRUE(progress->isTutorialAvailable());

    // Profiles are created, renamed, deleted and selected; new ones play full screen, as here.
    host.fullscreen = true;
    EXPECT_TRUE(progress->currentName().empty());
    progress->createProfile(L"Ann");
    EXPECT_EQ(progress->currentName(), L"Ann");
    EXPECT_EQ(host.reloads, 1);
    progress->createProfile(L"Bob");
    progress->renameProfile(L"Bea");
    EXPECT_EQ(store.currentProfileName(), L"Bea");
    progress->deleteCurrentProfile();
    EXPECT_EQ(store.currentProfileName(), L"Ann");
    EXPECT_EQ(progress->profileNames(), (std::vector<std::wstring>{L"Ann"}));

    // Selecting a profile applies its mode, gems and screen mode.
    host.fullscreen = true;
    progress->setMode(kDifficultyHard);
    progress->setGems(9);
    progress->setFullscreen(false);
    progress->selectProfile(L"Ann");
    EXPECT_EQ(host.selected.mode, kDifficultyHard);
    EXPECT_EQ(host.selected.gems, 9);
    EXPECT_EQ(host.switches, 1);
}

// "fs" at start-up: a profile without it (or no profile) plays full screen; a stored one reads as
// a boolean, and the store reads it the same whatever the window is, changing nothing.
TEST(ProgressFullscreen, AtStartAProfileWithoutTheChoicePlaysFullScreenAndAStoredOneIsReadAsABoolean)
{
    const struct
    {
        const char* profile; // null: no profile at all
        bool fullscreen;
    } cases[] = {
        {nullptr, true},
        {"<Profile name=\"a\"/>", true},
        {"<Profile name=\"a\"><fs v=\"0\"/></Profile>", false},
        {"<Profile name=\"a\"><fs v=\"1\"/></Profile>", true},
        {"<Profile name=\"a\"><fs v=\"true\"/></Profile>", true},
        {"<Profile name=\"a\"><fs v=\"2\"/></Profile>", true},
        {"<Profile name=\"a\"><fs v=\"no\"/></Profile>", false},
        {"<Profile name=\"a\"><fs/></Profile>", false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.profile ? c.profile : "no profile");
        tinyxml2::XMLDocument document;
        if (c.profile)
        {
            ASSERT_EQ(tinyxml2::XML_SUCCESS, document.Parse(c.profile));
        }
        const tinyxml2::XMLElement* profile = document.FirstChildElement("Profile");
        EXPECT_EQ(c.fullscreen, TDProgress::storedFullscreen(profile));
        if (!profile || !profile->FirstChildElement("fs"))
            continue;
        TDDocumentProfileStore store;
        store.loadText(std::string("<Profiles currentProfile=\"a\">") + c.profile + "</Profiles>");
        FakeHost host;
        host.fullscreen = !c.fullscreen;
        TDProgress progress(store, host);
        tinyxml2::XMLPrinter before;
        store.document().Print(&before);
        EXPECT_EQ(c.fullscreen, progress.getFullscreen());
        tinyxml2::XMLPrinter after;
        store.document().Print(&after);
        EXPECT_STREQ(before.CStr(), after.CStr());
    }
}

// In play a profile without the choice reads as the mode the window is in, either one, and
// keeps it from then on; the reading writes it into the profile but saves nothing.
TEST(ProgressFullscreen, AProfileWithoutTheChoiceTakesTheWindowsModeInEitherState)
{
    for (const bool window : {false, true})
    {
        SCOPED_TRACE(window ? "full screen" : "windowed");
        TDDocumentProfileStore store;
        store.loadText("<Profiles currentProfile=\"a\"><Profile name=\"a\"/></Profiles>");
        FakeHost host;
        host.fullscreen = window;
        TDProgress progress(store, host);
        const int saves = store.saveCount();
        EXPECT_EQ(window, progress.getFullscreen());
        const tinyxml2::XMLElement* fs = progress.profile()->FirstChildElement("fs");
        ASSERT_NE(nullptr, fs);
        EXPECT_EQ(window ? 1 : 0, fs->IntAttribute("v", -1));
        EXPECT_EQ(saves, store.saveCount());
        host.fullscreen = !window;
        EXPECT_EQ(window, progress.getFullscreen()) << "once written, the profile's own";
    }
}

// Creating or selecting a profile without the choice, in a window or full screen, leaves the
// screen as it is and stores that mode in the file; a profile with a choice still gets its own
// mode when selected. Two rounds of A, B, A, B.
TEST(ProgressFullscreen, CreatingOrSelectingAProfileWithoutTheChoiceKeepsTheScreenAndStoresItsMode)
{
    for (const bool window : {false, true})
    {
        SCOPED_TRACE(window ? "full screen" : "windowed");
        testsupport::TempDir dir;
        TDDocumentProfileStore store((dir.Path() / "profiles.xml").string());
        FakeHost host;
        host.fullscreen = window;
        TDProgress progress(store, host);
        host.progress = &progress;
        const std::string mode = window ? "<fs v=\"1\"/>" : "<fs v=\"0\"/>";
        const std::string other = window ? "<fs v=\"0\"/>" : "<fs v=\"1\"/>";
        auto stored = [&](const char* name)
        {
            tinyxml2::XMLDocument file;
            if (file.Parse(dir.Read("profiles.xml").c_str()) != tinyxml2::XML_SUCCESS)
                return std::string("unreadable");
            for (auto* p = file.RootElement()->FirstChildElement("Profile"); p; p = p->NextSiblingElement())
                if (std::string(p->Attribute("name")) == name)
                {
                    const tinyxml2::XMLElement* fs = p->FirstChildElement("fs");
                    if (!fs)
                        return std::string("none");
                    tinyxml2::XMLPrinter printer(nullptr, true);
                    fs->Accept(&printer);
                    return std::string(printer.CStr());
                }
            return std::string("no profile");
        };

        progress.createProfile(L"A");
        EXPECT_EQ(0, host.switches);
        EXPECT_EQ(window, host.fullscreen);
        EXPECT_EQ(mode, stored("A"));
        progress.createProfile(L"B");
        EXPECT_EQ(0, host.switches);
        EXPECT_EQ(mode, stored("B"));
        // B's player switches the mode (Alt+Enter): it is B's from now on.
        host.switchScreenMode();
        EXPECT_EQ(other, stored("B"));
        EXPECT_EQ(mode, stored("A"));
        for (int round = 0; round < 2; ++round)
        {
            SCOPED_TRACE("round " + std::to_string(round));
            progress.selectProfile(L"A");
            EXPECT_EQ(window, host.fullscreen) << "A's own mode";
            progress.selectProfile(L"B");
            EXPECT_EQ(!window, host.fullscreen) << "B's own mode";
            EXPECT_EQ(2 + 2 * round, host.switches - 1);
        }
        EXPECT_EQ(mode, stored("A"));
        EXPECT_EQ(other, stored("B"));
        // Selecting the profile that is current changes nothing.
        progress.selectProfile(L"B");
        EXPECT_EQ(5, host.switches);
    }
}

TEST(ProgressFile, DamagedFileGivesTheDefaultProfile)
{
    testsupport::TempDir dir;
    dir.Write("profiles.xml", "<Profiles><Profile name=");
    TDDocumentProfileStore store((dir.Path() / "profiles.xml").string());
    EXPECT_TRUE(store.corrupt());
    EXPECT_EQ(store.currentProfileName(), std::wstring(base::kDefaultProfileName));
}

// The stored mode and a tutorial step's state read as they stand inside their range, the middle
// too; a number outside it (a hand-edited or damaged profile) is logged once and read as a new
// profile's.
TEST(ProgressFile, StoredModeAndStepStatesOutsideTheirRangeAreLoggedAndReadAsANewProfiles)
{
    const struct
    {
        const char* mode;
        const char* state;
        TDDifficulty wantMode;
        TDTutorialStepState wantState;
        int logged;
    } cases[] = {
        {"1", "1", kDifficultyNormal, kStepActive, 0},    {"2", "2", kDifficultyHard, kStepComplete, 0},
        {"3", "0", kDifficultyHardcore, kStepWaiting, 0}, {"4", "3", kDifficultyEasy, kStepWaiting, 2},
        {"-1", "-2", kDifficultyEasy, kStepWaiting, 2},   {"0", "99", kDifficultyEasy, kStepWaiting, 1},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string("mode ") + c.mode + ", state " + c.state);
        testsupport::TempDir dir;
        dir.Write("profiles.xml", std::string("<Profiles currentProfile=\"Ann\"><Profile name=\"Ann\"><mode v=\"") +
                                      c.mode + "\"/><tutorial avail=\"1\"><step id=\"3\" state=\"" + c.state +
                                      "\"/></tutorial></Profile></Profiles>");
        TDDocumentProfileStore store((dir.Path() / "profiles.xml").string());
        ASSERT_FALSE(store.corrupt());
        FakeHost host;
        TDProgress progress(store, host);
        audiotest::LogCapture log;
        EXPECT_EQ(progress.getMode(), c.wantMode);
        EXPECT_EQ(progress.getTutorialStepState(3), c.wantState);
        EXPECT_EQ(log.Count("out of range"), c.logged) << log.Text();
        // Step states are read again at every tutorial event: a damaged one is told once a run.
        TDProgress again(store, host);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(again.getTutorialStepState(3), c.wantState);
        EXPECT_EQ(again.getMode(), c.wantMode);
        EXPECT_EQ(log.Count("out of range"), c.logged) << log.Text();
    }
}

// Every other number a profile holds is held to its range where it is read: stars 0 to 3,
// crystals, scores and counts not below 0, volumes 0 to 1, the last episode one of the game's;
// upgrade levels read as stored, one past the top step told. Values inside read as they stand (the middle too);
// one outside reads as a new profile's, is logged once per load however often it is read, and
// stays in the file. Only the game's own levels count into the star totals, each once.
TEST(ProgressFile, DamagedNumbersReadAsANewProfilesAreLoggedOncePerLoadAndLeftInTheFile)
{
    const std::string text =
        R"(<Profiles currentProfile="Ann"><Profile name="Ann" lastEpisode="5"><gems amount="-5"/>)"
        R"(<music v="1.5"/><sound v="0.5"/><upgrades><upgrade id="7" level="3"/><upgrade id="8" level="1"/>)"
        R"(<upgrade id="9" level="-4"/></upgrades><levels>)"
        R"(<level n="0" episode="0" mode="1" stars="-5" kills="-3" high="-1" combo="4" healthBonus="7"/>)"
        R"(<level n="1" episode="0" mode="1" stars="-5"/><level n="2" episode="0" mode="1" stars="2"/>)"
        R"(<level n="0" episode="1" mode="1" stars="4"/><level n="0" episode="0" mode="1" stars="3"/>)"
        R"(<level n="0" episode="9" mode="1" stars="3"/><level n="7" episode="0" mode="1" stars="3"/>)"
        R"(<level n="0" episode="0" mode="3" stars="3"/><level n="2" episode="0" mode="3" stars="3"/>)"
        R"(<level n="0" episode="0" mode="7" stars="3"/><level n="-1" episode="0" mode="1" stars="3"/>)"
        R"(</levels><episodeVisited episode0n="-2" episode1n="1"/></Profile></Profiles>)";
    testsupport::TempDir dir;
    dir.Write("profiles.xml", text);
    audiotest::LogCapture log;
    for (int load = 1; load <= 2; ++load)
    {
        SCOPED_TRACE("load " + std::to_string(load));
        TDDocumentProfileStore store((dir.Path() / "profiles.xml").string());
        ASSERT_FALSE(store.corrupt());
        FakeHost host;
        host.table.readText("0;3;2;0;0\n1;2;1;6;0\n2;0;0;0;0\n");
        for (int pass = 0; pass < 3; ++pass)
        {
            TDProgress progress(store, host);
            EXPECT_EQ(0, progress.getGems());
            EXPECT_EQ(1.0f, progress.getMusicVolume());
            EXPECT_EQ(0.5f, progress.getSoundVolume());
            EXPECT_EQ(0, progress.getLastEpisode());
            // Upgrade levels read as stored: past the top step (no step applies) and negative alike.
            EXPECT_EQ(3, progress.getUpgradeLevel(7)) << "beyond the top step";
            EXPECT_EQ(1, progress.getUpgradeLevel(8));
            EXPECT_EQ(-4, progress.getUpgradeLevel(9));
            const TDLevelResult r = progress.getLevelResult(0, 0, kDifficultyNormal);
            EXPECT_EQ(std::tie(r.stars, r.kills, r.high, r.combo, r.healthBonus), std::tuple(0, 0, 0, 4, 7));
            EXPECT_EQ(0, progress.getLevelResult(1, 0, kDifficultyNormal).stars);
            EXPECT_EQ(2, progress.getLevelResult(0, 2, kDifficultyNormal).stars);
            // Episode 0: level 2 in normal, level 0 in hardcore; nothing else is the game's or first.
            EXPECT_EQ(5, progress.getStarTotal(0));
            EXPECT_EQ(5, progress.getStarTotal(-1));
            EXPECT_EQ(0, progress.getStarTotal(9));
            EXPECT_EQ(0, progress.getNextLevel(0, kDifficultyNormal)) << "a level of -5 stars is not won";
            EXPECT_TRUE(progress.isLevelOpen(0, 0, kDifficultyNormal));
            EXPECT_EQ(0, progress.getEpisodeVisited(0, kDifficultyNormal));
            EXPECT_EQ(1, progress.getEpisodeVisited(1, kDifficultyNormal));
        }
        // stars -5 twice, 4; kills, high; gems; music; lastEpisode; episode0n.
        EXPECT_EQ(9 * load, log.Count("out of range")) << log.Text();
        EXPECT_EQ(load, log.Count("level=\"3\" of <upgrade id=\"7\"> is past the upgrade's last step")) << log.Text();
        EXPECT_EQ(load, log.Count("not counted")) << log.Text();
        EXPECT_EQ(load, log.Count("stars=\"4\" of <level episode=\"1\" n=\"0\" mode=\"1\">")) << log.Text();
        EXPECT_EQ(text, dir.Read("profiles.xml")) << "reading writes nothing";
    }

    // What the player earns starts from the values as read.
    TDDocumentProfileStore store((dir.Path() / "profiles.xml").string());
    FakeHost host;
    host.table.readText("0;3;2;0;0\n1;2;1;6;0\n");
    TDProgress progress(store, host);
    TDLevelResult won;
    won.stars = 1;
    won.kills = 10;
    won.gems = 3;
    progress.saveLevelResult(0, 1, kDifficultyNormal, won);
    EXPECT_EQ(3, progress.getGems());
    EXPECT_EQ(6, progress.getStarTotal(-1));
    EXPECT_EQ(0, progress.getNextLevel(0, kDifficultyNormal)) << "level 0 still waits for its stars";
    EXPECT_EQ(1, progress.getLevelResult(0, 1, kDifficultyNormal).stars);
}

// Volumes read as they stand from 0 to 1; anything else, NaN and infinities too, as full volume.
TEST(ProgressFile, VolumesOutsideZeroToOneOrNotANumberReadAsFullVolume)
{
    const std::pair<const char*, float> cases[] = {{"0", 0.0f},    {"0.25", 0.25f}, {"1", 1.0f},   {"-0.5", 1.0f},
                                                   {"1.01", 1.0f}, {"nan", 1.0f},   {"inf", 1.0f}, {"abc", 1.0f}};
    for (const auto& [text, want] : cases)
    {
        SCOPED_TRACE(text);
        TDDocumentProfileStore store;
        store.loadText(std::string(R"(<Profiles currentProfile="a"><Profile name="a"><music v=")") + text +
                       R"("/></Profile></Profiles>)");
        FakeHost host;
        TDProgress progress(store, host);
        audiotest::LogCapture log;
        EXPECT_EQ(want, progress.getMusicVolume());
        EXPECT_EQ(want, progress.getMusicVolume());
        const bool outside = want == 1.0f && std::string(text) != "1" && std::string(text) != "abc";
        EXPECT_EQ(outside ? 1 : 0, log.Count("out of range")) << log.Text();
    }
}

// The game's store over the engine's profiles file: a hand-written profile reads with defaults
// for what it lacks, and what a setter writes survives a reload beside the other profiles.
TEST(ProfilesFileStore, AHandWrittenProfileReadsAndSettersSaveThroughTheProfilesFile)
{
    base::SingletoneBase::DestroyAll();
    testsupport::TempDir dir;
    std::filesystem::create_directories(dir.Path() / "user");
    dir.Write("user/profiles.xml", R"(<Profiles currentProfile="Zoë"><Profile name="Zoë"><tutorial>
        <step id="3" state="1"/></tutorial><levels><level n="0" episode="0" mode="1" stars="2"/></levels>
        </Profile></Profiles>)");
    EXPECT_EQ(QL_OK, file::UserDataFileContainer::Instance()->SetPath(dir.WPath("user/")));
    EXPECT_EQ(QL_OK, file::Profiles::Instance()->Load());
    FakeHost host;
    host.table.readText("0;3;2;0;0\n");
    {
        TDProfilesFileStore store;
        TDProgress progress(store, host);
        EXPECT_EQ(store.currentProfileName(), L"Zoë");
        EXPECT_TRUE(progress.isTutorialAvailable());
        EXPECT_EQ(progress.getTutorialStepState(3), kStepActive);
        EXPECT_EQ(progress.getSoundVolume(), 1.0f);
        EXPECT_EQ(progress.getStarTotal(-1), 2);
        progress.createProfile(L"Ann");
        progress.setGems(42);
        progress.addOwnedSpot("#3", 0, 1);
    }
    std::string saved = dir.Read("user/profiles.xml");
    EXPECT_NE(saved.find("amount=\"42\""), std::string::npos);
    EXPECT_NE(saved.find("currentProfile=\"Ann\""), std::string::npos);
    EXPECT_NE(saved.find("name=\"Zoë\""), std::string::npos);

    EXPECT_EQ(QL_OK, file::Profiles::Instance()->Load());
    TDProfilesFileStore store;
    TDProgress progress(store, host);
    EXPECT_EQ(store.currentProfileName(), L"Ann");
    EXPECT_EQ(progress.getGems(), 42);
    EXPECT_TRUE(progress.isSpotOwned("#3", 0, 1));
    base::SingletoneBase::DestroyAll();
}

// Renaming the current player to a name whose repair meets another player's keeps the same
// profile, now numbered: the game goes on with its own progress, not the other's, and makes none.
TEST(ProfilesFileStore, RenamingToANameWhoseRepairMeetsAnotherKeepsTheOwnProfileNumbered)
{
    base::SingletoneBase::DestroyAll();
    testsupport::TempDir dir;
    std::filesystem::create_directories(dir.Path() / "user");
    dir.Write("user/profiles.xml",
              "<Profiles currentProfile=\"Ann\"><Profile name=\"Q\xEF\xBF\xBDR\"><gems amount=\"9\"/>"
              "</Profile><Profile name=\"Ann\"><gems amount=\"4\"/></Profile></Profiles>");
    EXPECT_EQ(QL_OK, file::UserDataFileContainer::Instance()->SetPath(dir.WPath("user/")));
    EXPECT_EQ(QL_OK, file::Profiles::Instance()->Load());
    FakeHost host;
    host.table.readText("0;3;2;0;0\n");
    for (int rename = 1; rename <= 2; ++rename)
    {
        SCOPED_TRACE("rename " + std::to_string(rename));
        TDProfilesFileStore store;
        TDProgress progress(store, host);
        progress.renameProfile(L"Q\rR");
        EXPECT_EQ(store.currentProfileName(), L"Q\uFFFDR-2");
        EXPECT_EQ(progress.getGems(), 4);
        EXPECT_EQ(store.profileNames(), (std::vector<std::wstring>{L"Q\uFFFDR", L"Q\uFFFDR-2"}));
        EXPECT_EQ(QL_OK, file::Profiles::Instance()->Load());
    }
    base::SingletoneBase::DestroyAll();
}

// Stored upgrade levels read as written: without a number the first step is bought, a level past
// the tree's last step (three here) and the largest i32 stand as they are, told once per load,
// and every negative one reads as it stands (nothing bought). Reading stores nothing.
TEST(ProgressFile, StoredUpgradeLevelsReadAsWrittenAndALevelPastTheLastStepIsToldOnce)
{
    const std::string text =
        R"(<Profiles currentProfile="a"><Profile name="a"><upgrades>)"
        R"(<upgrade id="1"/><upgrade id="2" level="abc"/><upgrade id="3" level="1"/>)"
        R"(<upgrade id="4" level="3"/><upgrade id="5" level="2147483647"/>)"
        R"(<upgrade id="6" level="-5"/><upgrade id="7" level="2"/></upgrades></Profile></Profiles>)";
    const std::pair<i32, i32> want[] = {{1, 0}, {2, 0}, {3, 1}, {4, 3}, {5, 2147483647}, {6, -5}, {7, 2}};
    audiotest::LogCapture log;
    for (int load = 1; load <= 2; ++load)
    {
        SCOPED_TRACE("load " + std::to_string(load));
        TDDocumentProfileStore store;
        store.loadText(text);
        FakeHost host;
        TDProgress progress(store, host);
        for (int pass = 0; pass < 2; ++pass)
            for (const auto& [id, level] : want)
                EXPECT_EQ(level, progress.getUpgradeLevel(id)) << id;
        EXPECT_EQ(load * 2, log.Count("past the upgrade's last step")) << log.Text();
        EXPECT_EQ(0, log.Count("out of range")) << log.Text();
        EXPECT_EQ(0, store.saveCount());
    }
}
