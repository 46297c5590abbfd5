// Player profiles: loading, selecting, renaming, deleting, saving safely and damaged files.
#include "Core/File/Profiles.h"
#include "Core/Base/Stream.h"
#include "Core/File/FileSystem.h"
#include "Core/File/FileWriter.h"
#include "Core/File/ProfileName.h"
#include "Core/File/UserDataFileContainer.h"
#include "FileTestSupport.h"
#include "Os/ScopedEnv.h"
#include "support/FifoWatchdog.h"
#include "support/FileAccessChecks.h"
#include "support/FileSizeLimit.h"
#include "support/Leftovers.h"

#include <tinyxml2.h>

#include <filesystem>
#include <sys/stat.h>

using namespace file;
using Names = std::vector<std::wstring>;

namespace
{
class ProfilesTest : public filetest::FileTest
{
protected:
    void SetUp() override
    {
        FileTest::SetUp();
        gProfileCorrupt = false;
        EXPECT_EQ(QL_OK, UserDataFileContainer::Instance()->SetPath(mDir.WPath("user")));
    }
    void TearDown() override
    {
        gProfileCorrupt = gProfileUnreadable = false;
        FileTest::TearDown();
    }
    Profiles* P() { return Profiles::Instance(); }
    void WriteProfiles(const std::string& xml) { Write("user/profiles.xml", xml); }
    std::string Saved() { return Read("user/profiles.xml"); }
};

const char kTwoProfiles[] = "<Profiles currentProfile=\"\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\">"
                            "<Profile name=\"Ann\"><fs v=\"1\"/></Profile>"
                            "<Profile name=\"\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\"/></Profiles>";
const std::wstring kIvan = L"\u0418\u0432\u0430\u043D";
} // namespace

TEST_F(ProfilesTest, NoFileGivesTheDefaultTheUserFolderServesItsFilesAndLoadSelectsTheNamedProfile)
{
    ASSERT_EQ(P()->Load(), QL_OK);
    EXPECT_EQ(P()->GetProfileNames(), Names{base::kDefaultProfileName});
    EXPECT_EQ(P()->GetCurrentProfileName(), base::kDefaultProfileName);
    EXPECT_STREQ(P()->mRootElement->Attribute("currentProfile"), "Player01234567890123456789");
    EXPECT_FALSE(OnDisk("user/profiles.xml"));
    EXPECT_FALSE(gProfileCorrupt);
    ASSERT_EQ(P()->Save(), QL_OK);
    EXPECT_TRUE(OnDisk("user/profiles.xml"));
    EXPECT_FALSE(OnDisk("user/profiles.xml.tmp"));

    Write("user/sub/a.txt", "a");
    UserDataFileContainer* user = UserDataFileContainer::Instance();
    EXPECT_EQ(user->GetRootPath(), mDir.WPath("user") + L"/");
    EXPECT_TRUE(user->Exists(L"sub/a.txt"));
    EXPECT_TRUE(user->IsFolder(L"sub"));
    std::vector<std::wstring> names;
    EXPECT_EQ(QL_OK, user->ListFiles(L"sub", false, names, true));
    EXPECT_EQ(names, (Names{L"a.txt"}));
    std::unique_ptr<FileInfo> info(user->GetFileInfo(L"sub/a.txt"));
    ASSERT_TRUE(info);
    std::unique_ptr<base::Stream> stream(info->Open());
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->GetSize(), 1u);
    EXPECT_EQ(QL_OK, user->SetPath(mDir.WPath("new/deep")));
    EXPECT_TRUE(OnDisk("new/deep"));

    // Load selects the named profile, appends an unknown one or takes the first.
    struct Case
    {
        const char* xml;
        Names names;
        std::wstring current;
    };
    const Case cases[] = {
        {kTwoProfiles, {L"Ann", kIvan}, kIvan},
        {"<Profiles currentProfile=\"Zed\"><Profile name=\"Ann\"/></Profiles>", {L"Ann", L"Zed"}, L"Zed"},
        {"<Profiles><Profile/><Profile name=\"Bob\"/></Profiles>", {L"", L"Bob"}, L""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.xml);
        base::SingletoneBase::DestroyAll();
        EXPECT_EQ(QL_OK, UserDataFileContainer::Instance()->SetPath(mDir.WPath("user")));
        WriteProfiles(c.xml);
        ASSERT_EQ(P()->Load(), QL_OK);
        EXPECT_EQ(P()->GetProfileNames(), c.names);
        EXPECT_EQ(P()->GetCurrentProfileName(), c.current);
        EXPECT_EQ(P()->mCurrentProfile, P()->FindProfile(c.current));
        EXPECT_FALSE(gProfileCorrupt);
    }
    EXPECT_EQ(P()->mCurrentProfile, P()->mRootElement->FirstChildElement("Profile"));
}

TEST_F(ProfilesTest, SelectLoadsFirstRenameChangesTheCurrentNameAndDeleteSelectsTheFirstOther)
{
    WriteProfiles(kTwoProfiles);
    tinyxml2::XMLElement* ann = P()->SelectProfile(L"Ann");
    ASSERT_TRUE(ann);
    EXPECT_EQ(P()->mCurrentProfile, ann);
    EXPECT_STREQ(P()->mRootElement->Attribute("currentProfile"), "Ann");
    EXPECT_EQ(P()->GetProfileNames().size(), 2u); // selecting an existing one adds nothing
    ASSERT_TRUE(ann->FirstChildElement("fs"));
    EXPECT_EQ(P()->FindProfile(L"ann"), nullptr);
    P()->SelectProfile(kIvan);
    P()->RenameCurrentProfile(L"\u041F\u0451\u0442\u0440");
    EXPECT_EQ(P()->GetProfileNames(), (Names{L"Ann", L"\u041F\u0451\u0442\u0440"}));
    EXPECT_STREQ(P()->mRootElement->Attribute("currentProfile"), "\xD0\x9F\xD1\x91\xD1\x82\xD1\x80");

    // Deleting the current profile selects the first other; stray nodes are dropped.
    WriteProfiles("<Profiles currentProfile=\"B\"><Profile name=\"A\"/><Profile name=\"B\"/>"
                  "<Profile name=\"C\"/></Profiles>");
    ASSERT_EQ(P()->Load(), QL_OK);
    P()->DeleteProfile(L"B");
    EXPECT_EQ(P()->GetProfileNames(), (Names{L"A", L"C"}));
    EXPECT_EQ(P()->GetCurrentProfileName(), L"A");
    EXPECT_STREQ(P()->mRootElement->Attribute("currentProfile"), "A");
    P()->DeleteProfile(L"C"); // not current: the selection stays
    EXPECT_EQ(P()->GetCurrentProfileName(), L"A");
    P()->DeleteProfile(L"nobody");
    EXPECT_EQ(P()->GetProfileNames(), (Names{L"A"}));
    P()->DeleteProfile(L"A"); // the last one: the default comes back
    EXPECT_EQ(P()->GetProfileNames(), Names{base::kDefaultProfileName});
    EXPECT_EQ(P()->GetCurrentProfileName(), base::kDefaultProfileName);

    // tinyxml2 accepts this, but would write text that it cannot parse again.
    WriteProfiles("<!-- c --><Profiles currentProfile=\"A\"><Profile name=\"A\"/></Profiles><x/>");
    ASSERT_EQ(P()->Load(), QL_OK);
    WriteProfiles("<Profiles currentProfile=\"A\"/>O\xE0K</levels>");
    ASSERT_EQ(P()->Load(), QL_OK);
    EXPECT_FALSE(gProfileCorrupt);
    ASSERT_EQ(P()->Save(), QL_OK);
    ASSERT_EQ(P()->Load(), QL_OK);
    EXPECT_FALSE(gProfileCorrupt);
    EXPECT_EQ(P()->GetProfileNames(), Names{L"A"});
    EXPECT_EQ(Saved().find("O\xE0K"), std::string::npos);
}

TEST_F(ProfilesTest, NonLatinNamesSurviveSaveAndReload)
{
    ASSERT_EQ(P()->Load(), QL_OK);
    P()->SelectProfile(kIvan);
    P()->SelectProfile(L"\u6771\u4EAC \U0001F600 & <x>");
    ASSERT_EQ(P()->Save(), QL_OK);
    base::SingletoneBase::DestroyAll();
    EXPECT_EQ(QL_OK, UserDataFileContainer::Instance()->SetPath(mDir.WPath("user")));
    ASSERT_EQ(P()->Load(), QL_OK);
    EXPECT_EQ(P()->GetProfileNames(), (Names{base::kDefaultProfileName, kIvan, L"\u6771\u4EAC \U0001F600 & <x>"}));
    EXPECT_EQ(P()->GetCurrentProfileName(), L"\u6771\u4EAC \U0001F600 & <x>");
    EXPECT_NE(Saved().find("\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD"), std::string::npos); // UTF-8 on disk

    // A user folder with non-Latin letters keeps every save.
    EXPECT_EQ(QL_OK, UserDataFileContainer::Instance()->SetPath(mDir.WPath() +
                                                                L"\u041F\u043E\u043B\u044C\u0437/\u6771\u4EAC/"));
    P()->SelectProfile(L"Ann");
    ASSERT_EQ(P()->Save(), QL_OK);
    ASSERT_EQ(P()->Load(), QL_OK);
    EXPECT_EQ(P()->GetCurrentProfileName(), L"Ann");
    EXPECT_TRUE(OnDisk("\xD0\x9F\xD0\xBE\xD0\xBB\xD1\x8C\xD0\xB7/\xE6\x9D\xB1\xE4\xBA\xAC/profiles.xml"));
}

// Names a save cannot keep as they stand: a reference to NUL (tinyxml2 ends the name there), a
// carriage return (written raw, read back as a line feed), a line feed, a tab, other control
// characters. Each reads with U+FFFD in its place, logged; no two names become one, the current
// profile stays current, and from then on every load and save keeps the file byte for byte.
TEST_F(ProfilesTest, NamesASaveCannotKeepAreRepairedAtLoadAndThenSurviveEveryCycleByteForByte)
{
    WriteProfiles("<Profiles currentProfile=\"A&#0;C\">"
                  "<Profile name=\"A&#0;B\"><gems amount=\"1\"/></Profile>"
                  "<Profile name=\"A&#x00;C\"><gems amount=\"2\"/></Profile>"
                  "<Profile name=\"C&#13;D\"/><Profile name=\"E&#10;F\"/><Profile name=\"E&#9;F\"/>"
                  "<Profile name=\"G\r\nH\"/><Profile name=\"K&#x1;L\"/>"
                  "<Profile name=\"Zo\xC3\xAB &amp; \xEF\xBF\xBD\"/></Profiles>");
    ASSERT_EQ(P()->Load(), QL_OK);
    ASSERT_FALSE(gProfileCorrupt);
    const Names names{L"A\uFFFDB",   L"A\uFFFDC", L"C\uFFFDD", L"E\uFFFDF",
                      L"E\uFFFDF-2", L"G\uFFFDH", L"K\uFFFDL", L"Zo\u00EB & \uFFFD"};
    EXPECT_EQ(P()->GetProfileNames(), names);
    EXPECT_EQ(P()->GetCurrentProfileName(), L"A\uFFFDC");
    EXPECT_EQ(P()->mCurrentProfile->FirstChildElement("gems")->IntAttribute("amount"), 2);
    EXPECT_EQ(mLog->Count("character references to NUL"), 1) << mLog->Text();
    EXPECT_EQ(mLog->Count("cannot keep"), 7) << "each repaired name, NUL ones too: " << mLog->Text();

    ASSERT_EQ(P()->Save(), QL_OK);
    const std::string first = Saved();
    for (int cycle = 0; cycle < 3; ++cycle)
    {
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        ASSERT_EQ(P()->Load(), QL_OK);
        EXPECT_EQ(P()->GetProfileNames(), names);
        EXPECT_EQ(P()->GetCurrentProfileName(), L"A\uFFFDC");
        ASSERT_EQ(P()->Save(), QL_OK);
        EXPECT_EQ(Saved(), first);
    }
    EXPECT_EQ(mLog->Count("cannot keep"), 7) << "repaired once: " << mLog->Text();

    // A name handed to the store is stored as a save keeps it, and survives reloads so.
    P()->SelectProfile(L"X\rY");
    EXPECT_EQ(P()->GetCurrentProfileName(), L"X\uFFFDY");
    P()->RenameCurrentProfile(std::wstring(L"Q\u0001\u0000R", 4));
    EXPECT_EQ(P()->GetCurrentProfileName(), L"Q\uFFFD\uFFFDR");
    EXPECT_EQ(mLog->Count("cannot keep"), 9) << mLog->Text();
    ASSERT_EQ(P()->Save(), QL_OK);
    const std::string renamed = Saved();
    ASSERT_EQ(P()->Load(), QL_OK);
    EXPECT_EQ(P()->GetCurrentProfileName(), L"Q\uFFFD\uFFFDR");
    ASSERT_EQ(P()->Save(), QL_OK);
    EXPECT_EQ(Saved(), renamed);
}

// A repaired name that meets a name standing in the file, by each road to a repair (a reference
// to NUL, a control character, bytes that are no UTF-8): the repaired one takes the next free
// number, whichever stands first, and keeps it. Over three loads and saves the names stay
// distinct and each reaches its own profile; the current one stays current; a reference to NUL
// outside the names reads as U+FFFD and no mark of it is left in the file.
TEST_F(ProfilesTest, RepairedNamesMeetingAnotherTakeTheNextNumberByEveryRoadAndKeepItFromLoadToLoad)
{
    WriteProfiles("<Profiles currentProfile=\"Nul&#0;x\">"
                  "<Profile name=\"Nul&#0;x\"><gems amount=\"1\"/><p v=\"a&#0;b\">t&#0;u</p></Profile>"
                  "<Profile name=\"Nul\xEF\xBF\xBDx\"><gems amount=\"2\"/></Profile>"
                  "<Profile name=\"Cr\xEF\xBF\xBDx\"><gems amount=\"3\"/></Profile>"
                  "<Profile name=\"Cr&#13;x\"><gems amount=\"4\"/></Profile>"
                  "<Profile name=\"Cr\xEF\xBF\xBDx-2\"><gems amount=\"5\"/></Profile>"
                  "<Profile name=\"Bad\xFFx\"><gems amount=\"6\"/></Profile>"
                  "<Profile name=\"Bad\xEF\xBF\xBDx\"><gems amount=\"7\"/></Profile></Profiles>");
    const Names names{L"Nul\uFFFDx-2", L"Nul\uFFFDx",   L"Cr\uFFFDx", L"Cr\uFFFDx-3",
                      L"Cr\uFFFDx-2",  L"Bad\uFFFDx-2", L"Bad\uFFFDx"};
    std::string first;
    for (int cycle = 1; cycle <= 3; ++cycle)
    {
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        ASSERT_EQ(P()->Load(), QL_OK);
        ASSERT_FALSE(gProfileCorrupt);
        EXPECT_EQ(P()->GetProfileNames(), names);
        EXPECT_EQ(P()->GetCurrentProfileName(), L"Nul\uFFFDx-2");
        const tinyxml2::XMLElement* p = P()->mCurrentProfile->FirstChildElement("p");
        ASSERT_TRUE(p);
        EXPECT_STREQ(p->Attribute("v"), "a\xEF\xBF\xBD"
                                        "b");
        EXPECT_STREQ(p->GetText(), "t\xEF\xBF\xBDu");
        // Each name reaches its own profile (told apart by its crystals).
        for (size_t i = 0; i < names.size(); ++i)
        {
            tinyxml2::XMLElement* profile = P()->SelectProfile(names[i]);
            ASSERT_TRUE(profile);
            const int want[] = {1, 2, 3, 4, 5, 6, 7};
            EXPECT_EQ(profile->FirstChildElement("gems")->IntAttribute("amount"), want[i]) << i;
        }
        EXPECT_EQ(P()->GetProfileNames(), names) << "selecting made none";
        P()->SelectProfile(names[0]);
        ASSERT_EQ(P()->Save(), QL_OK);
        const std::string saved = Saved();
        EXPECT_EQ(saved.find("\xEF\xBF\xBE"), std::string::npos);
        EXPECT_EQ(saved.find("&#"), std::string::npos);
        if (cycle == 1)
            first = saved;
        EXPECT_EQ(saved, first);
    }
    EXPECT_EQ(mLog->Count("cannot keep"), 3) << "repaired at the first load only: " << mLog->Text();
}

// A name handed to the store with characters no name can hold, when its repair meets another
// profile's name: selecting makes a profile of its own with the next free number (it never takes
// over the other player's), renaming takes the next number free of the others (its own name
// does not count). The names stay apart and reachable through loads and saves.
TEST_F(ProfilesTest, ARepairedNameGivenToSelectOrRenameTakesTheNextFreeNumberAndNeverAnotherProfile)
{
    WriteProfiles("<Profiles currentProfile=\"Q\xEF\xBF\xBDR\"><Profile name=\"Q\xEF\xBF\xBDR\">"
                  "<gems amount=\"9\"/></Profile></Profiles>");
    ASSERT_EQ(P()->Load(), QL_OK);
    tinyxml2::XMLElement* other = P()->mCurrentProfile;
    tinyxml2::XMLElement* made = P()->SelectProfile(L"Q\rR");
    ASSERT_TRUE(made);
    EXPECT_NE(made, other);
    EXPECT_EQ(P()->GetCurrentProfileName(), L"Q\uFFFDR-2");
    EXPECT_STREQ(P()->mRootElement->Attribute("currentProfile"), "Q\xEF\xBF\xBDR-2");
    P()->RenameCurrentProfile(L"Q\tR"); // meets only itself and the other
    EXPECT_EQ(P()->GetCurrentProfileName(), L"Q\uFFFDR-2");
    P()->SelectProfile(L"Q\x01R");
    EXPECT_EQ(P()->GetCurrentProfileName(), L"Q\uFFFDR-3");
    P()->SelectProfile(L"Q\uFFFDR-2");
    P()->RenameCurrentProfile(L"Z\x1FZ"); // no clash: no number
    EXPECT_EQ(P()->GetCurrentProfileName(), L"Z\uFFFDZ");
    P()->SelectProfile(L"Q\uFFFDR-3");
    P()->RenameCurrentProfile(L"Z\nZ");
    EXPECT_EQ(P()->GetCurrentProfileName(), L"Z\uFFFDZ-2");
    const Names names{L"Q\uFFFDR", L"Z\uFFFDZ", L"Z\uFFFDZ-2"};
    EXPECT_EQ(P()->GetProfileNames(), names);
    for (int cycle = 1; cycle <= 3; ++cycle)
    {
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        ASSERT_EQ(P()->Save(), QL_OK);
        ASSERT_EQ(P()->Load(), QL_OK);
        EXPECT_EQ(P()->GetProfileNames(), names);
        EXPECT_EQ(P()->GetCurrentProfileName(), L"Z\uFFFDZ-2");
        EXPECT_EQ(P()->SelectProfile(L"Q\uFFFDR")->FirstChildElement("gems")->IntAttribute("amount"), 9);
        EXPECT_EQ(P()->SelectProfile(L"Z\uFFFDZ")->FirstChildElement("gems"), nullptr);
        P()->SelectProfile(L"Z\uFFFDZ-2");
    }
}

TEST(ProfileName, OnlyReferencesToNulAreReplacedAndOnlyControlsAndWhatXmlCannotHoldAreRefused)
{
    const std::pair<std::string, std::string> texts[] = {
        {"a&#0;b", "a&#xFFFE;b"},
        {"&#x0;&#X000;&#00;", "&#xFFFE;&#xFFFE;&#xFFFE;"},
        {"&#10;&#x10;&#100;&#x0A;", "&#10;&#x10;&#100;&#x0A;"},
        {"&#;&#x;&#0&#x0 ;&#0a;", "&#;&#x;&#0&#x0 ;&#0a;"},
        {"&#0", "&#0"},
    };
    for (const auto& [text, want] : texts)
    {
        std::string repaired = text;
        file::ReplaceNulReferences(repaired);
        EXPECT_EQ(repaired, want) << text;
    }
    for (wchar_t c : {L'\0', L'\t', L'\n', L'\r', L'\x1F', wchar_t(0xD800), wchar_t(0xDFFF), wchar_t(0xFFFE),
                      wchar_t(0xFFFF), wchar_t(0x110000)})
        EXPECT_FALSE(file::IsProfileNameCharacter(c)) << static_cast<unsigned>(c);
    for (wchar_t c : {L' ', L'A', L'\x7F', wchar_t(0xE9), wchar_t(0xD7FF), wchar_t(0xE000), wchar_t(0xFFFD),
                      wchar_t(0x10000), wchar_t(0x1F600), wchar_t(0x10FFFF)})
        EXPECT_TRUE(file::IsProfileNameCharacter(c)) << static_cast<unsigned>(c);
}

TEST_F(ProfilesTest, DamagedFileIsKeptAsideFlaggedAndReplacedByADefault)
{
    const std::string cut = std::string(kTwoProfiles).substr(0, 60);
    for (const std::string& damaged : {cut, std::string("<Other currentProfile=\"A\"/>"), std::string()})
    {
        SCOPED_TRACE(damaged);
        gProfileCorrupt = false;
        std::filesystem::remove(mDir.Path() / "user/profiles.xml.bad");
        WriteProfiles(damaged);
        ASSERT_EQ(P()->Load(), QL_OK);
        EXPECT_TRUE(gProfileCorrupt);
        EXPECT_EQ(P()->GetProfileNames(), Names{base::kDefaultProfileName});
        EXPECT_EQ(Read("user/profiles.xml.bad"), damaged);
    }
    EXPECT_TRUE(LogHas("profiles.xml"));
    ASSERT_EQ(P()->Save(), QL_OK);
    EXPECT_NE(Saved().find("Player01234567890123456789"), std::string::npos);
    EXPECT_EQ(Read("user/profiles.xml.bad"), "");

    // Earlier backups are never overwritten.
    WriteProfiles(cut);
    ASSERT_EQ(P()->Load(), QL_OK);
    EXPECT_EQ(Read("user/profiles.xml.bad"), "");
    EXPECT_EQ(Read("user/profiles.xml.bad.1"), cut);
}

TEST_F(ProfilesTest, AFileThatCannotBeReadStaysWhereItIsAndIsNeverWrittenOver)
{
    WriteProfiles(kTwoProfiles);
    const std::filesystem::path file = mDir.Path() / "user/profiles.xml";
    std::filesystem::permissions(file, std::filesystem::perms::none);
    {
        testsupport::FileAccessChecks checks;
        if (!checks.active())
            GTEST_SKIP() << "file permissions do not bind this process";
        ASSERT_EQ(P()->Load(), QL_OK);
        EXPECT_TRUE(gProfileUnreadable);
        EXPECT_FALSE(gProfileCorrupt) << "unreadable is not damaged";
        EXPECT_EQ(P()->GetProfileNames(), Names{base::kDefaultProfileName});
        EXPECT_TRUE(LogHas("cannot be read"));
        P()->SelectProfile(L"Ann");
        EXPECT_EQ(P()->Save(), QL_FAIL);
        base::SingletoneBase::DestroyAll(); // the save at exit
    }
    gProfileUnreadable = false;
    EXPECT_FALSE(OnDisk("user/profiles.xml.bad"));
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(Read("user/profiles.xml"), kTwoProfiles) << "the player's file is untouched";
}

TEST_F(ProfilesTest, AFifoOrALinkToOneIsUnreadableNeverWaitedOnAndLeftWhereItIs)
{
    const std::filesystem::path fifo = mDir.Path() / "fifo";
    ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
    const std::filesystem::path file = mDir.Path() / "user/profiles.xml";
    for (const bool viaLink : {false, true, false})
    {
        SCOPED_TRACE(viaLink ? "a link to a FIFO" : "a FIFO");
        std::filesystem::remove(file);
        if (viaLink)
            std::filesystem::create_symlink(fifo, file);
        else
            ASSERT_EQ(0, ::mkfifo(file.c_str(), 0600));
        mLog.emplace();
        testsupport::FifoWatchdog watchdog(file.string());
        EXPECT_EQ(P()->Load(), QL_OK);
        EXPECT_TRUE(watchdog.Done()) << "the load waited on the FIFO";
        EXPECT_TRUE(gProfileUnreadable);
        EXPECT_FALSE(gProfileCorrupt);
        EXPECT_EQ(P()->GetProfileNames(), Names{base::kDefaultProfileName});
        EXPECT_TRUE(LogHas("profiles.xml' cannot be read (a FIFO, not a plain file); it is left as it is"))
            << mLog->Text();
        P()->SelectProfile(L"Ann");
        EXPECT_EQ(P()->Save(), QL_FAIL);
        base::SingletoneBase::DestroyAll(); // the save at exit
        gProfileUnreadable = false;
        EXPECT_EQ(QL_OK, UserDataFileContainer::Instance()->SetPath(mDir.WPath("user")));
        EXPECT_EQ(viaLink, std::filesystem::is_symlink(file));
        EXPECT_TRUE(std::filesystem::is_fifo(file)) << "the player's FIFO is left as it was";
        EXPECT_FALSE(OnDisk("user/profiles.xml.bad"));
        EXPECT_FALSE(OnDisk("user/profiles.xml.tmp"));
    }
}

TEST_F(ProfilesTest, DestructorSavesButASecondInstanceNeverDoesAndAFailedSaveKeepsTheOldFile)
{
    ASSERT_EQ(P()->Load(), QL_OK);
    P()->SelectProfile(L"Ann");
    P()->SetSecondInstance(true);
    base::SingletoneBase::DestroyAll();
    EXPECT_FALSE(OnDisk("user/profiles.xml"));

    EXPECT_EQ(QL_OK, UserDataFileContainer::Instance()->SetPath(mDir.WPath("user")));
    ASSERT_EQ(P()->Load(), QL_OK);
    P()->SelectProfile(L"Ann");
    base::SingletoneBase::DestroyAll();
    EXPECT_NE(Saved().find("currentProfile=\"Ann\""), std::string::npos);

    // A save that cannot write keeps the old file; the first failure of a run is logged with the
    // file and the system's reason and raises the player's notice, later ones add nothing.
    mLog.emplace(); // on the new main log, created before the profiles as at start-up
    EXPECT_EQ(QL_OK, UserDataFileContainer::Instance()->SetPath(mDir.WPath("user")));
    WriteProfiles(kTwoProfiles);
    ASSERT_EQ(P()->Load(), QL_OK);
    P()->SelectProfile(L"Ann");
    std::optional<testsupport::FileSizeLimit> full(std::in_place, 40); // a disk that takes 40 bytes
    EXPECT_FALSE(gProfilesUnsaved);
    EXPECT_EQ(P()->Save(), QL_FAIL);
    EXPECT_EQ(Saved(), kTwoProfiles);
    EXPECT_TRUE(LogHas("Progress will not be saved: cannot write '"));
    EXPECT_TRUE(LogHas("profiles.xml': File too large"));
    EXPECT_TRUE(gProfilesUnsaved);
    gProfilesUnsaved = false; // the menu told the player
    const size_t once = mLog->Text().size();
    EXPECT_EQ(P()->Save(), QL_FAIL);
    EXPECT_EQ(mLog->Text().size(), once) << "logged once per run";
    EXPECT_FALSE(gProfilesUnsaved) << "told once per run";

    // At exit too, when that is the run's first failure: the log exists before the profiles, as
    // at start-up, and must outlive their save.
    base::SingletoneBase::DestroyAll();
    mLog.emplace();
    EXPECT_EQ(QL_OK, UserDataFileContainer::Instance()->SetPath(mDir.WPath("user")));
    ASSERT_EQ(P()->Load(), QL_OK);
    P()->SelectProfile(L"Bea");
    const size_t before = mLog->Text().size();
    base::SingletoneBase::DestroyAll();
    full.reset();
    const size_t failure = mLog->Text().find("cannot write", before);
    ASSERT_NE(failure, std::string::npos) << mLog->Text();
    EXPECT_LT(failure, mLog->Text().find("log terminated", before));
    EXPECT_EQ(Saved(), kTwoProfiles);
    EXPECT_EQ(testsupport::NamesIn(mDir.Path() / "user"), std::vector<std::string>{"profiles.xml"});
}

namespace
{
// A writer that keeps what it is handed until flushed, as a worker behind a slow disk does.
class HeldWriter : public FileWriter
{
public:
    QLResultEnum Write(const std::wstring& path, std::string bytes, std::wstring*) override
    {
        mHeld.emplace_back(path, std::move(bytes));
        return QL_OK;
    }
    void Flush() override
    {
        for (const auto& [path, bytes] : mHeld)
            if (WriteFileAtomically(path, bytes, &mFailure) != QL_OK)
                mFailed = true;
        mHeld.clear();
        ++mFlushes;
    }
    bool TakeFailure(std::wstring& why) override
    {
        if (!mFailed)
            return false;
        why = mFailure;
        mFailed = false;
        return true;
    }
    std::vector<std::pair<std::wstring, std::string>> mHeld;
    std::wstring mFailure;
    bool mFailed = false;
    int mFlushes = 0;
};
} // namespace

TEST_F(ProfilesTest, SavesGoThroughTheWriterAndAReloadOrTheEndWaitsForThemAFailureToldLater)
{
    HeldWriter writer;
    ASSERT_EQ(P()->Load(), QL_OK);
    P()->SetWriter(&writer);
    P()->SelectProfile(L"Ann");
    ASSERT_EQ(P()->Save(), QL_OK);
    ASSERT_EQ(1u, writer.mHeld.size()) << "printed here, written by the writer";
    EXPECT_EQ(mDir.WPath("user") + L"/profiles.xml", writer.mHeld[0].first);
    EXPECT_FALSE(OnDisk("user/profiles.xml"));

    // Reading the file back waits for what was handed over.
    ASSERT_EQ(P()->Load(), QL_OK);
    EXPECT_EQ(P()->GetCurrentProfileName(), L"Ann");
    EXPECT_TRUE(writer.mHeld.empty());

    // A failed write is told at the next save (or poll), once, as a failure of a save is.
    P()->SelectProfile(L"Bea");
    ASSERT_EQ(P()->Save(), QL_OK);
    {
        testsupport::FileSizeLimit full(40);
        writer.Flush();
    }
    EXPECT_FALSE(gProfilesUnsaved);
    P()->PollWrites();
    EXPECT_TRUE(gProfilesUnsaved);
    EXPECT_TRUE(LogHas("Progress will not be saved: cannot write '"));
    gProfilesUnsaved = false;

    // The save at the end is on disk once the profiles are gone.
    P()->SelectProfile(L"Cid");
    base::SingletoneBase::DestroyAll();
    EXPECT_TRUE(writer.mHeld.empty());
    EXPECT_NE(Saved().find("currentProfile=\"Cid\""), std::string::npos);
}

TEST(UserDataFolder, FollowsXdgDataHomeThenHome)
{
    testos::ScopedEnv xdg("XDG_DATA_HOME", "/x/data");
    testos::ScopedEnv home("HOME", "/home/me");
    std::wstring out;
    ASSERT_EQ(GetUserDataFolder(L"Marrowgate", L"Brackenmoor", out), QL_OK);
    EXPECT_EQ(out, L"/x/data/Marrowgate/Brackenmoor/");
    setenv("XDG_DATA_HOME", "", 1); // empty counts as unset, never the file-system root
    ASSERT_EQ(GetUserDataFolder(L"Marrowgate", L"Brackenmoor", out), QL_OK);
    EXPECT_EQ(out, L"/home/me/.local/share/Marrowgate/Brackenmoor/");
    unsetenv("XDG_DATA_HOME");
    ASSERT_EQ(GetPerUserFolder(out), QL_OK);
    EXPECT_EQ(out, L"/home/me/.local/share/");
    ASSERT_EQ(GetDocumentsFolder(out), QL_OK);
    EXPECT_EQ(out, L"/home/me/");
    unsetenv("HOME");
    EXPECT_EQ(GetUserDataFolder(L"M", L"B", out), QL_FAIL);
}
