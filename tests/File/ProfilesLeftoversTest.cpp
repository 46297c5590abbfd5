// Saves of the profiles beside whatever stands at the temporary file's name: the save that fails
// keeps the old profiles whole and tells why, the save that succeeds leaves a plain profiles.xml
// holding the new ones, and the leftover is found as it was.
#include "Core/Base/StringConvert.h"
#include "Core/File/Profiles.h"
#include "Core/File/UserDataFileContainer.h"
#include "FileTestSupport.h"
#include "support/FifoWatchdog.h"
#include "support/FileSizeLimit.h"
#include "support/Leftovers.h"

#include <tinyxml2.h>

#include <sys/stat.h>

using namespace file;
using testsupport::Leftover;

namespace
{
const char kOld[] = "<Profiles currentProfile=\"Bea\"><Profile name=\"Ann\"/><Profile name=\"Bea\"/></Profiles>";

class ProfilesLeftoversTest : public filetest::FileTest
{
protected:
    void SetUp() override
    {
        FileTest::SetUp();
        gProfilesUnsaved = false;
    }
    void TearDown() override
    {
        gProfilesUnsaved = gProfileCorrupt = false;
        FileTest::TearDown();
    }
    // The profiles on disk as a fresh load finds them: "current: names", or why they cannot be read.
    std::string OnDiskProfiles() const
    {
        struct stat info;
        const std::string path = (mDir.Path() / "user/profiles.xml").string();
        if (lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            return "no plain profiles.xml";
        tinyxml2::XMLDocument document;
        const std::string text = Read("user/profiles.xml");
        if (document.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS)
            return "damaged: " + text.substr(0, 80);
        const tinyxml2::XMLElement* root = document.FirstChildElement("Profiles");
        std::string out = std::string(root->Attribute("currentProfile")) + ":";
        for (auto* p = root->FirstChildElement("Profile"); p; p = p->NextSiblingElement("Profile"))
            out += std::string(" ") + p->Attribute("name");
        return out;
    }
};
} // namespace

TEST_F(ProfilesLeftoversTest, ASaveBesideALeftoverKeepsTheOldProfilesOrWritesTheNewOnesWhole)
{
    for (const Leftover kind : testsupport::AllLeftovers())
    {
        SCOPED_TRACE(testsupport::NameOf(kind));
        std::filesystem::remove_all(mDir.Path() / "user");
        const std::filesystem::path file = Write("user/profiles.xml", kOld);
        testsupport::TempDir outside;
        testsupport::PlantedLeftover leftover(kind, mDir.Path() / "user/profiles.xml.tmp", file, outside.Path());
        if (!leftover.Planted())
            continue; // another user's file, without root
        base::SingletoneBase::DestroyAll();
        mLog.emplace();
        gProfilesUnsaved = false;
        ASSERT_EQ(QL_OK, UserDataFileContainer::Instance()->SetPath(mDir.WPath("user")));
        Profiles* profiles = Profiles::Instance();
        testsupport::FifoWatchdog watchdog(leftover.At().string());
        ASSERT_EQ(profiles->Load(), QL_OK);
        EXPECT_FALSE(gProfileCorrupt);

        // Too large for the disk: not made, told, the old profiles whole.
        profiles->SelectProfile(L"Ann");
        {
            testsupport::FileSizeLimit limit(40);
            EXPECT_EQ(profiles->Save(), QL_FAIL);
        }
        EXPECT_EQ(Read("user/profiles.xml"), kOld);
        EXPECT_TRUE(LogHas("Progress will not be saved: cannot write '" + mDir.Path().string() +
                           "/user/profiles.xml': File too large"))
            << mLog->Text();
        EXPECT_EQ(leftover.Changed(), "");

        // Then made, twice, and at the end: each time the new profiles whole in a plain file.
        EXPECT_EQ(profiles->Save(), QL_OK);
        EXPECT_EQ(OnDiskProfiles(), "Ann: Ann Bea");
        profiles->SelectProfile(L"Cid");
        EXPECT_EQ(profiles->Save(), QL_OK);
        EXPECT_EQ(OnDiskProfiles(), "Cid: Ann Bea Cid");
        profiles->SelectProfile(L"Bea");
        base::SingletoneBase::DestroyAll();
        EXPECT_TRUE(watchdog.Done()) << "a save waited on the FIFO";
        EXPECT_EQ(OnDiskProfiles(), "Bea: Ann Bea Cid");
        EXPECT_EQ(leftover.Changed(), "");
        for (const std::string& name : testsupport::NamesIn(mDir.Path() / "user"))
            EXPECT_TRUE(name == "profiles.xml" || name == "profiles.xml.tmp" || name == "log.html") << name;
    }
}
