// Guards a step that must not wait on a FIFO: should the step still run after a while, the FIFO's
// other end is opened and closed again, which lets an open() waiting on it go on, and the test is
// told instead of stalling until its time limit.
#pragma once

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>

namespace testsupport
{
class FifoWatchdog
{
public:
    explicit FifoWatchdog(std::string fifo, std::chrono::seconds patience = std::chrono::seconds(10))
        : mFifo(std::move(fifo)), mThread([this, patience] { Watch(patience); })
    {
    }
    ~FifoWatchdog() { (void)Done(); }
    FifoWatchdog(const FifoWatchdog&) = delete;
    FifoWatchdog& operator=(const FifoWatchdog&) = delete;

    // Ends the watch: true when the step finished without the other end being opened for it.
    bool Done()
    {
        {
            std::lock_guard<std::mutex> lock(mMutex);
            mFinished = true;
        }
        mChanged.notify_all();
        if (mThread.joinable())
            mThread.join();
        return !mRescued;
    }

private:
    void Watch(std::chrono::seconds patience)
    {
        std::unique_lock<std::mutex> lock(mMutex);
        if (mChanged.wait_for(lock, patience, [this] { return mFinished; }))
            return;
        mRescued = true;
        // A write to the FIFO once its other end is gone fails instead of ending the test program.
        std::signal(SIGPIPE, SIG_IGN);
        // Opening the other end, even for a moment, lets an open() waiting on it go on; a read then
        // meets the end of the FIFO. Again until the step is done, should it open the FIFO again.
        do
        {
            const int peer = ::open(mFifo.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
            if (peer >= 0)
                ::close(peer);
        } while (!mChanged.wait_for(lock, std::chrono::milliseconds(200), [this] { return mFinished; }));
    }

    std::string mFifo;
    std::mutex mMutex;
    std::condition_variable mChanged;
    bool mFinished = false;
    bool mRescued = false;
    std::thread mThread; // last: it starts once the rest is set up
};
} // namespace testsupport
