// The file-writing worker: a queue of whole files, coalesced by path, written in order.
#include "Core/App/FileSaver.h"

#include "Core/File/FileSystem.h"
#include "Platform/Os/Thread.h"

#include <utility>

namespace app
{
FileSaver::FileSaver() : Thread(false, false, false, false) {}

FileSaver::~FileSaver()
{
    // The thread writes what waits and ends; its members must outlive it.
    RequestStop();
    if (GetHandle()->IsRunning())
        GetHandle()->Join();
}

bool FileSaver::Start(int level)
{
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mAccepting = true;
    }
    if (Thread::Start(level))
        return true;
    std::lock_guard<std::mutex> lock(mMutex);
    mAccepting = false;
    return false;
}

QLResultEnum FileSaver::Write(const std::wstring& path, std::string bytes, std::wstring* why)
{
    std::unique_lock<std::mutex> lock(mMutex);
    if (mAccepting)
    {
        for (Job& job : mQueue)
        {
            if (job.path == path)
            {
                job.bytes = std::move(bytes);
                ++mReplaced;
                return QL_OK;
            }
        }
        mQueue.push_back({path, std::move(bytes)});
        mChanged.notify_all();
        return QL_OK;
    }
    // No thread takes writes: this one goes now, after whatever the thread is still writing.
    mChanged.wait(lock, [this] { return Idle(); });
    lock.unlock();
    return WriteToDisk(path, bytes, why);
}

void FileSaver::Flush()
{
    std::unique_lock<std::mutex> lock(mMutex);
    mChanged.wait(lock, [this] { return Idle(); });
}

bool FileSaver::TakeFailure(std::wstring& why)
{
    std::lock_guard<std::mutex> lock(mMutex);
    if (mFailure.empty())
        return false;
    why = std::move(mFailure);
    mFailure.clear();
    return true;
}

QLResultEnum FileSaver::Update(float)
{
    std::unique_lock<std::mutex> lock(mMutex);
    mChanged.wait(lock, [this] { return !mQueue.empty() || mWake; });
    if (mQueue.empty())
    {
        mWake = false; // the stop is carried out after this pass
        return QL_OK;
    }
    Job job = std::move(mQueue.front());
    mQueue.pop_front();
    mBusy = true;
    lock.unlock();
    WriteNow(job);
    lock.lock();
    mBusy = false;
    ++mWritten;
    mChanged.notify_all();
    return QL_OK;
}

void FileSaver::OnStop()
{
    // On the thread itself between two passes, or on the caller's when no thread runs: either
    // way no job is being written now.
    std::unique_lock<std::mutex> lock(mMutex);
    mAccepting = false;
    std::deque<Job> rest;
    rest.swap(mQueue);
    mBusy = !rest.empty();
    lock.unlock();
    for (const Job& job : rest)
        WriteNow(job);
    lock.lock();
    mWritten += rest.size();
    mBusy = false;
    mChanged.notify_all();
    lock.unlock();
    mFinished = true;
}

void FileSaver::OnStopRequested()
{
    std::lock_guard<std::mutex> lock(mMutex);
    mWake = true;
    mChanged.notify_all();
}

void FileSaver::WriteNow(const Job& job)
{
    std::wstring why;
    const QLResultEnum result = WriteToDisk(job.path, job.bytes, &why);
    if (result == QL_OK)
        return;
    std::lock_guard<std::mutex> lock(mMutex);
    if (mFailure.empty())
        mFailure = why;
}

QLResultEnum FileSaver::WriteToDisk(const std::wstring& path, const std::string& bytes, std::wstring* why)
{
    std::lock_guard<std::mutex> writing(mWriting);
    return mDiskWrite ? mDiskWrite(path, bytes, why) : file::WriteFileAtomically(path, bytes, why);
}

void FileSaver::SetDiskWrite(DiskWrite write)
{
    std::lock_guard<std::mutex> writing(mWriting);
    mDiskWrite = std::move(write);
}

u64 FileSaver::Written() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mWritten;
}

u64 FileSaver::Replaced() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mReplaced;
}
} // namespace app
