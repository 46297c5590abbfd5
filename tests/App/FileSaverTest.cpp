// The file-writing worker: writes off the caller's thread, in order, coalesced while they wait;
// a failure told later; everything waiting written when it stops; and after a kill at any moment
// a whole old or new file.
#include "Core/App/FileSaver.h"
#include "Core/Base/Singletone.h"
#include "Core/File/FileSystem.h"
#include "Platform/Os/Thread.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <mutex>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{
// A disk that does not answer for one file: its write waits until Release and then fails, as a
// disk that gave up would; every other file is written as ever.
class StuckDisk
{
public:
    StuckDisk(app::FileSaver& saver, const fs::path& stuck) : mState(std::make_shared<State>())
    {
        saver.SetDiskWrite(
            [state = mState, stuck = stuck.wstring()](const std::wstring& path, const std::string& bytes,
                                                      std::wstring* why)
            {
                if (path != stuck)
                    return file::WriteFileAtomically(path, bytes, why);
                std::unique_lock<std::mutex> lock(state->mutex);
                state->changed.wait(lock, [&] { return state->released; });
                if (why)
                    *why = L"cannot write '" + path + L"': the disk gave up";
                return QL_FAIL;
            });
    }
    ~StuckDisk() { Release(); }
    void Release()
    {
        std::lock_guard<std::mutex> lock(mState->mutex);
        mState->released = true;
        mState->changed.notify_all();
    }

private:
    struct State
    {
        std::mutex mutex;
        std::condition_variable changed;
        bool released = false;
    };
    std::shared_ptr<State> mState; // shared with the worker, which may still hold it after us
};

std::wstring W(const fs::path& path) { return path.wstring(); }

// A profiles-like document that tells whether it is whole: its padding's length and sum.
std::string Document(unsigned round, unsigned index, size_t size)
{
    std::string padding(size, 'a');
    unsigned sum = 0;
    for (size_t i = 0; i < size; ++i)
    {
        padding[i] = static_cast<char>('a' + (round * 7 + index * 13 + i) % 26);
        sum = sum * 31 + static_cast<unsigned char>(padding[i]);
    }
    return "<Profiles round=\"" + std::to_string(round) + "\" index=\"" + std::to_string(index) + "\" size=\"" +
           std::to_string(size) + "\" sum=\"" + std::to_string(sum) + "\"><Profile name=\"" + padding +
           "\"/></Profiles>\n";
}

// Parses and checks a document; its "round index" when whole, "" when not.
std::string WholeDocument(const std::string& text)
{
    tinyxml2::XMLDocument document;
    if (document.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS)
        return "";
    const tinyxml2::XMLElement* root = document.FirstChildElement("Profiles");
    const tinyxml2::XMLElement* profile = root ? root->FirstChildElement("Profile") : nullptr;
    const char* name = profile ? profile->Attribute("name") : nullptr;
    if (!name)
        return "";
    unsigned sum = 0;
    for (const char* c = name; *c; ++c)
        sum = sum * 31 + static_cast<unsigned char>(*c);
    if (std::strlen(name) != root->Unsigned64Attribute("size") || sum != root->UnsignedAttribute("sum"))
        return "";
    return std::string(root->Attribute("round")) + " " + root->Attribute("index");
}
} // namespace

TEST(FileSaver, WritesOffTheCallersThreadInOrderReplacesWaitingWritesAndTellsAFailureLater)
{
    testsupport::TempDir dir;
    const fs::path slow = dir.Path() / "slow.xml", file = dir.Path() / "profiles.xml";
    app::FileSaver saver;
    ASSERT_TRUE(saver.Start(app::PRIORITY_NORMAL));
    StuckDisk stuck(saver, slow);
    // The first write waits for the disk; the caller does not.
    ASSERT_EQ(QL_OK, saver.Write(W(slow), "slow", nullptr));
    for (const char* text : {"v1", "v2", "v3"})
        ASSERT_EQ(QL_OK, saver.Write(W(file), text, nullptr));
    EXPECT_EQ(2u, saver.Replaced()) << "one write of the file waits; the newer ones replace it";
    EXPECT_FALSE(fs::exists(file)) << "written after the one before it";
    std::wstring why;
    EXPECT_FALSE(saver.TakeFailure(why));

    stuck.Release();
    saver.Flush();
    EXPECT_EQ("v3", testsupport::ReadBytes(file));
    EXPECT_EQ(2u, saver.Written());
    ASSERT_TRUE(saver.TakeFailure(why)) << "the stuck write failed";
    EXPECT_NE(std::wstring::npos, why.find(L"slow.xml")) << why;
    EXPECT_FALSE(fs::exists(slow)) << "a failed write leaves the old file (none)";
    EXPECT_FALSE(saver.TakeFailure(why)) << "told once";

    // Again, and many in a row: the newest is what stays, each write done or replaced.
    ASSERT_EQ(QL_OK, saver.Write(W(file), "v4", nullptr));
    saver.Flush();
    EXPECT_EQ("v4", testsupport::ReadBytes(file));
    for (int i = 0; i < 300; ++i)
        ASSERT_EQ(QL_OK, saver.Write(W(file), "save " + std::to_string(i) + std::string(4096, 'x'), nullptr));
    saver.Flush();
    EXPECT_EQ("save 299" + std::string(4096, 'x'), testsupport::ReadBytes(file));
    EXPECT_EQ(5u + 300u, saver.Written() + saver.Replaced()) << "every write handed over was done or replaced";
    EXPECT_FALSE(fs::exists(dir.Path() / "profiles.xml.tmp"));
    EXPECT_FALSE(saver.TakeFailure(why));
}

TEST(FileSaver, AStopWritesWhatWaitsFirstAndLaterWritesGoAtOnce)
{
    testsupport::TempDir dir;
    const fs::path slow = dir.Path() / "slow.xml", file = dir.Path() / "profiles.xml",
                   other = dir.Path() / "options.xml";
    app::FileSaver saver;
    ASSERT_TRUE(saver.Start(app::PRIORITY_NORMAL));
    StuckDisk stuck(saver, slow);
    ASSERT_EQ(QL_OK, saver.Write(W(slow), "slow", nullptr));
    ASSERT_EQ(QL_OK, saver.Write(W(file), "won", nullptr));
    ASSERT_EQ(QL_OK, saver.Write(W(other), "loud", nullptr));
    saver.RequestStop(); // as the application's stop does
    stuck.Release();
    saver.GetHandle()->Join();
    EXPECT_TRUE(saver.IsFinished());
    EXPECT_EQ("won", testsupport::ReadBytes(file));
    EXPECT_EQ("loud", testsupport::ReadBytes(other));

    // The thread has gone: a write is done by the caller, its failure returned at once.
    ASSERT_EQ(QL_OK, saver.Write(W(file), "won again", nullptr));
    EXPECT_EQ("won again", testsupport::ReadBytes(file));
    std::wstring why;
    EXPECT_EQ(QL_FAIL, saver.Write(W(dir.Path() / "missing" / "x.xml"), "x", &why));
    EXPECT_NE(std::wstring::npos, why.find(L"missing")) << why;

    // A worker asleep with nothing to write wakes for the stop.
    app::FileSaver idle;
    ASSERT_TRUE(idle.Start(app::PRIORITY_NORMAL));
    ASSERT_EQ(QL_OK, idle.Write(W(file), "idle", nullptr));
    idle.Flush();
    idle.RequestStop();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!idle.GetHandle()->HasEnded() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const bool ended = idle.GetHandle()->HasEnded();
    EXPECT_TRUE(ended) << "still asleep after the stop";
    if (!ended)
        (void)idle.Write(W(file), "wake", nullptr); // so that it can be joined
}

// A child process saves as fast as it can and is killed with SIGKILL at a random moment; the file
// is then always a whole document, the old one or a newer one.
TEST(FileSaver, AKillAtAnyMomentLeavesAWholeOldOrNewFile)
{
    testsupport::TempDir dir;
    const fs::path file = dir.Path() / "profiles.xml";
    std::mt19937 random(1234);
    std::string previous;
    int changed = 0;
    constexpr unsigned kRounds = 40;
    for (unsigned round = 0; round < kRounds; ++round)
    {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0)
        {
            app::FileSaver saver;
            if (!saver.Start(app::PRIORITY_NORMAL))
                _exit(2);
            for (unsigned index = 0;; ++index)
                (void)saver.Write(W(file), Document(round, index, 1000 + (index * 7919) % 300000), nullptr);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(0, 30000)(random)));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(child, waitpid(child, &status, 0));
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended on its own (" << status << ")";
        if (!fs::exists(file))
        {
            EXPECT_TRUE(previous.empty()) << "round " << round << ": the file went away";
            continue;
        }
        const std::string whole = WholeDocument(testsupport::ReadBytes(file));
        ASSERT_FALSE(whole.empty()) << "round " << round << ": a damaged file";
        if (whole != previous)
            ++changed;
        previous = whole;
    }
    EXPECT_GT(changed, 0) << "no save ever landed: the test saw nothing";
    std::printf("%d of %u rounds left a newer file\n", changed, kRounds);
}
