// Saves of the profiles when the disk turns against them: the user-data folder removed while the
// game runs is made again, and a save past a file-size limit fails whole, told, the old file kept.
#include "Core/Base/StringConvert.h"
#include "Core/File/FileSystem.h"
#include "Core/File/Profiles.h"
#include "Core/File/UserDataFileContainer.h"
#include "FileTestSupport.h"

#include <tinyxml2.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace file;

namespace
{
class ProfilesSaveFaultTest : public filetest::FileTest
{
protected:
    void SetUp() override
    {
        FileTest::SetUp();
        gProfilesUnsaved = false;
        ASSERT_EQ(QL_OK, UserDataFileContainer::Instance()->SetPath(mDir.WPath("home/Pub/Game")));
        ASSERT_EQ(QL_OK, Profiles::Instance()->Load());
    }
    void TearDown() override
    {
        gProfilesUnsaved = false;
        FileTest::TearDown();
    }
    static void Note(const char* value) { Profiles::Instance()->mCurrentProfile->SetAttribute("note", value); }
};
} // namespace

TEST_F(ProfilesSaveFaultTest, AUserFolderRemovedWhileTheGameRunsIsMadeAgainByEachSaveAndAtExit)
{
    Profiles* profiles = Profiles::Instance();
    for (int cycle = 0; cycle < 2; ++cycle)
    {
        std::filesystem::remove_all(mDir.Path() / "home");
        const std::string note = "saved " + std::to_string(cycle);
        Note(note.c_str());
        EXPECT_EQ(profiles->Save(), QL_OK) << cycle;
        EXPECT_NE(Read("home/Pub/Game/profiles.xml").find(note), std::string::npos) << cycle;
    }
    EXPECT_TRUE(
        LogHas("The user-data folder '" + mDir.Path().string() + "/home/Pub/Game/' was gone; it is made again"));
    EXPECT_FALSE(gProfilesUnsaved);

    // The save at exit: made again too, and Close says it was made.
    std::filesystem::remove_all(mDir.Path() / "home/Pub");
    Note("at exit");
    EXPECT_EQ(profiles->Close(), QL_OK);
    EXPECT_NE(Read("home/Pub/Game/profiles.xml").find("at exit"), std::string::npos);

    // Where it cannot be made again (a file stands where its parent was), Close says why.
    ASSERT_EQ(QL_OK, profiles->Load());
    std::filesystem::remove_all(mDir.Path() / "home/Pub");
    Write("home/Pub", "a file");
    EXPECT_EQ(profiles->Close(), QL_FAIL);
    EXPECT_NE(base::WStringToString(profiles->GetSaveFault(), 1).find("cannot create '"), std::string::npos);
    EXPECT_TRUE(gProfilesUnsaved);
    EXPECT_FALSE(OnDisk("home/Pub/Game"));
}

// In a child process, since the limit holds for the whole process: a save larger than the limit
// is not made and is told; the file on disk stays whole and no temporary file is left. A smaller
// save after it is made.
TEST_F(ProfilesSaveFaultTest, ASavePastAFileSizeLimitIsToldAsNotMadeAndKeepsTheLastOneWhole)
{
    Note("small");
    ASSERT_EQ(Profiles::Instance()->Save(), QL_OK);
    const std::string before = Read("home/Pub/Game/profiles.xml");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        std::signal(SIGXFSZ, SIG_IGN); // as the game does at start
        const rlimit limit = {4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        Profiles* profiles = Profiles::Instance();
        Note(std::string(8000, 'x').c_str());
        const bool refused = profiles->Save() == QL_FAIL;
        const bool told =
            base::WStringToString(profiles->GetSaveFault(), 1).find("File too large") != std::string::npos;
        const bool kept = Read("home/Pub/Game/profiles.xml") == before && !OnDisk("home/Pub/Game/profiles.xml.tmp");
        Note("small again");
        const bool next = profiles->Save() == QL_OK;
        _exit((refused ? 0 : 1) | (told ? 0 : 2) | (kept ? 0 : 4) | (next ? 0 : 8));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: saved, 2: not told, 4: the last save not kept whole, 8: the next not made";
    EXPECT_NE(Read("home/Pub/Game/profiles.xml").find("small again"), std::string::npos);
    EXPECT_FALSE(OnDisk("home/Pub/Game/profiles.xml.tmp"));
}
