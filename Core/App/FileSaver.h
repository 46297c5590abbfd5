// A worker that writes whole files on a thread of its own, so that no frame waits for the disk.
#pragma once

#include "Core/App/Thread.h"
#include "Core/File/FileWriter.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

namespace app
{
// Writes are queued and done in order, each atomically (temporary file, flush, rename). A write
// to a path that still waits in the queue replaces the waiting one, so saves that pile up on a
// slow disk cost one write. Stopping it (with the application) writes what waits first; after
// that, and before Start, writes are done at once on the caller's thread.
class FileSaver : public Thread, public file::FileWriter
{
public:
    // Not owned by the application, which only waits for it to end.
    FileSaver();
    // Writes what waits, then ends the thread.
    ~FileSaver() override;

    using Thread::Start;
    bool Start(int level) override;

    QLResultEnum Write(const std::wstring& path, std::string bytes, std::wstring* why) override;
    void Flush() override;
    bool TakeFailure(std::wstring& why) override;

    // One pass of the thread: waits for a write (or a stop) and does it.
    QLResultEnum Update(float dt) override;
    // Writes everything still queued, then finishes.
    void OnStop() override;

    // How a file reaches the disk: file::WriteFileAtomically unless replaced (a test's slow disk).
    using DiskWrite =
        std::function<QLResultEnum(const std::wstring& path, const std::string& bytes, std::wstring* why)>;
    // Takes effect from the next write on; one being written ends first.
    void SetDiskWrite(DiskWrite write);

    // Counters: files written by the thread, and writes replaced by a newer one before they began.
    u64 Written() const;
    u64 Replaced() const;

protected:
    void OnStopRequested() override;

private:
    struct Job
    {
        std::wstring path;
        std::string bytes;
    };
    void WriteNow(const Job& job); // keeps the first failure
    QLResultEnum WriteToDisk(const std::wstring& path, const std::string& bytes, std::wstring* why);
    bool Idle() const { return mQueue.empty() && !mBusy; }

    mutable std::mutex mMutex;
    std::condition_variable mChanged;
    std::deque<Job> mQueue;
    bool mAccepting = false; // the thread runs and takes writes
    bool mBusy = false;      // the thread is writing a job taken from the queue
    bool mWake = false;      // a stop waits for the thread's next pass
    std::wstring mFailure;   // the first failure not taken yet
    u64 mWritten = 0;
    u64 mReplaced = 0;
    // Held around every file write, so two writes of one path never run at once.
    std::mutex mWriting;
    DiskWrite mDiskWrite; // under mWriting
};
} // namespace app
