// The files the game cannot start without, through the file manager as the game mounts its pack:
// a sound pack, or loose files in its place, pass; a damaged pack, one cut short or none at all
// is named with what is wrong with it and what the game lacks.
#include "App/StartFiles.h"
#include "Core/Base/Singletone.h"
#include "Core/Base/Stream.h"
#include "Core/File/ArchiveBuilder.h"
#include "Core/File/Archiver.h"
#include "Core/File/FileManager.h"
#include "support/FifoWatchdog.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace
{
std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }
} // namespace

TEST(StartFiles, ASoundPackOrLooseFilesPassAndADamagedCutOrMissingPackIsNamedWithItsFault)
{
    testsupport::TempDir dir;
    testsupport::InFolder in(dir.Path());
    // The demo content's td folder, packed as the build packs it.
    ASSERT_EQ(QL_OK, file::BuildPack((fs::path(QL_SOURCE_DIR) / "content/td/").wstring(), L"sound.dat"));
    const std::string sound = testsupport::ReadBytes(dir.Path() / "sound.dat");
    ASSERT_GT(sound.size(), 1000u);
    std::string wrongMagic = sound;
    wrongMagic.replace(4, 6, "xxxxxx");
    // Where the files' bytes begin: a pack cut there holds its whole index and nothing else.
    file::ArchiveEntries entries;
    base::FileStream stream;
    ASSERT_EQ(QL_OK, stream.Handle().Open(L"sound.dat", 0, 2));
    ASSERT_EQ(QL_OK, file::Archiver::ReadIndex(entries, stream));
    size_t indexEnd = sound.size();
    for (const auto& [name, record] : entries)
        indexEnd = std::min<size_t>(indexEnd, record.mOffset);

    const struct
    {
        const char* what;
        const std::string* pack; // data.dat's bytes; null: no pack
        size_t cut;              // bytes kept of them
        bool looseFiles;         // td/ holds the content beside the pack
        const char* told;        // null: the game may start
    } cases[] = {
        {"a sound pack", &sound, std::string::npos, false, nullptr},
        {"loose files and no pack", nullptr, 0, true, nullptr},
        {"a pack whose first bytes are overwritten", &wrongMagic, std::string::npos, true,
         "data.dat' is damaged (it is not a pack: it does not begin with the magic \"qlpack\"): the game cannot start "
         "without td/strings_en.csv, td/towers_sheet.csv, td/units_sheet.csv and 7 more."},
        {"a pack cut inside its index", &sound, 200, false, "data.dat' is damaged (its index is cut short at entry"},
        {"a pack cut after its index", &sound, indexEnd, false, "data.dat' is damaged (it is cut short: "},
        {"no pack and no loose files", nullptr, 0, false,
         "data.dat' is missing, and the folder 'td/' does not hold the files in its place: the game cannot start "
         "without td/strings_en.csv"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        base::SingletoneBase::DestroyAll();
        fs::remove_all(dir.Path() / "td");
        fs::remove(dir.Path() / "data.dat");
        if (c.pack)
            std::ofstream(dir.Path() / "data.dat", std::ios::binary) << c.pack->substr(0, c.cut);
        if (c.looseFiles)
            fs::copy(fs::path(QL_SOURCE_DIR) / "content/td", dir.Path() / "td", fs::copy_options::recursive);
        file::FileManager::Instance()->mMounts[L"td/"] = L"data.dat";
        const std::string told = Narrow(CheckStartFiles());
        if (!c.told)
        {
            EXPECT_EQ("", told);
            continue;
        }
        EXPECT_EQ(0u, told.rfind("The data pack '" + fs::current_path().string() + "/data.dat'", 0)) << told;
        EXPECT_NE(std::string::npos, told.find(c.told)) << told;
    }
    base::SingletoneBase::DestroyAll();
}

// A pack the system will not open is not damaged: the player reads the system's reason instead.
TEST(StartFiles, APackThatCannotBeOpenedIsToldWithTheSystemsReasonNotAsDamaged)
{
    testsupport::TempDir dir;
    testsupport::InFolder in(dir.Path());
    ASSERT_EQ(QL_OK, file::BuildPack((fs::path(QL_SOURCE_DIR) / "content/td/").wstring(), L"data.dat"));
    const auto told = []
    {
        base::SingletoneBase::DestroyAll();
        file::FileManager::Instance()->mMounts[L"td/"] = L"data.dat";
        return Narrow(CheckStartFiles());
    };
    ASSERT_EQ("", told()) << "the pack itself is sound";

    // Every descriptor taken (under a low limit, so only a few): the pack is found but cannot be
    // opened.
    rlimit limit{};
    ASSERT_EQ(0, ::getrlimit(RLIMIT_NOFILE, &limit));
    rlimit low = limit;
    low.rlim_cur = std::min<rlim_t>(limit.rlim_cur, 64);
    ASSERT_EQ(0, ::setrlimit(RLIMIT_NOFILE, &low));
    const int folder = ::open(".", O_RDONLY | O_CLOEXEC);
    std::vector<int> taken;
    for (int fd; (fd = ::fcntl(folder, F_DUPFD_CLOEXEC, 0)) >= 0;)
        taken.push_back(fd);
    const int error = errno;
    const std::string tooMany = told();
    for (const int fd : taken)
        ::close(fd);
    ::close(folder);
    ASSERT_EQ(0, ::setrlimit(RLIMIT_NOFILE, &limit));
    ASSERT_EQ(EMFILE, error);
    EXPECT_NE(std::string::npos, tooMany.find("data.dat' cannot be opened (Too many open files): the game cannot start "
                                              "without td/strings_en.csv"))
        << tooMany;
    EXPECT_EQ(std::string::npos, tooMany.find("damaged")) << tooMany;

    // A FIFO in its place is named as such, and never waited on.
    fs::remove("data.dat");
    ASSERT_EQ(0, ::mkfifo("data.dat", 0600));
    testsupport::FifoWatchdog watchdog((dir.Path() / "data.dat").string());
    const std::string fifo = told();
    EXPECT_TRUE(watchdog.Done()) << "the pack's FIFO was waited on";
    EXPECT_NE(std::string::npos, fifo.find("data.dat' cannot be opened (a FIFO, not a plain file): ")) << fifo;
    EXPECT_TRUE(fs::is_fifo("data.dat"));
    base::SingletoneBase::DestroyAll();
}
