// Platform set-up of the application and the road from start-up into the main loop.
#include "Core/App/Application.h"

#include "Core/App/CriticalSection.h"
#include "Core/Base/Log.h"
#include "Core/File/FileSystem.h"
#include "Core/File/Path.h"
#include "Core/File/UserDataFileContainer.h"
#include "Platform/Os/Dialogs.h"
#include "Platform/Os/Error.h"
#include "Platform/Os/Folders.h"
#include "Platform/Os/OpenFile.h"
#include "Platform/Os/Text.h"
#include "Platform/Os/Thread.h"

#include <cerrno>
#include <memory>

namespace app
{
// The root: not owned, finishes when idle, keeps its parent alive, thread-safe.
ApplicationWin32::ApplicationWin32() : Thread(false, true, true, true) {}

ApplicationWin32::~ApplicationWin32()
{
    // No worker outlives the application: each is stopped and waited for.
    for (ThreadWin32* worker : std::list<ThreadWin32*>(mWorkers))
    {
        worker->RequestStop();
        worker->mHandle->Join();
        RemoveWorker(worker);
        if (worker->IsOwnedByParent())
            delete worker;
    }
    if (mShaderError)
        os::ShowErrorBox(L"Error", L"Failed to init DirectX 9 render: video card does'n support vertex shaders 1.1 "
                                   L"and(or) pixel shaders 2.0");
}

QLResultEnum ApplicationWin32::Init()
{
    // A write past a file-size limit fails like any other (the save is told as not made) instead
    // of ending the game.
    os::ReportFileSizeLimitAsError();
    // No log file exists yet, so a failure here is also shown (or written to stderr).
    std::wstring exe;
    if (!os::ExecutablePath(exe))
    {
        QL_LOG(L"Cannot find the executable: %s\n") << base::LogStyle::Error << os::LastError();
        os::ShowErrorBox(L"Error", L"Cannot find the executable: " + os::FromUtf8(os::LastError()));
        return QL_FAIL;
    }
    mModuleFolder = file::GetDirectory(exe);
    base::MainLog::Instance()->AddPlainOutput(std::make_unique<base::LogDebugOutput>());

    std::wstring folder;
    if (file::GetPerUserFolder(folder) && file::GetDocumentsFolder(folder))
    {
        QL_LOG(L"No per-user folder: neither XDG_DATA_HOME nor HOME is set\n") << base::LogStyle::Error;
        os::ShowErrorBox(L"Error", L"No per-user folder: neither XDG_DATA_HOME nor HOME is set");
        return QL_FAIL;
    }
    mPerUserFolder = file::NormalizeDirectoryPath(folder);
    return QL_OK;
}

QLResultEnum ApplicationWin32::InitLogFile(const std::wstring& folder, std::wstring* why)
{
    mLogFolder = folder;
    const std::wstring path = folder + L"log.html";
    QL_LOG(L"%s(0): Html log file\n") << path;
    auto file = std::make_unique<base::LogUtf8File>(path);
    if (!file->IsOpen())
    {
        const int error = errno;
        if (why)
            *why = L"the log '" + path + L"' cannot be written (" + file::FileErrorText(path, error) + L")";
        return QL_FAIL;
    }
    base::MainLog::Instance()->AddHtmlOutput(std::move(file));
    return QL_OK;
}

void ApplicationWin32::Main()
{
    // The start-up is this task's Start; it runs here, once, and the first tick must not repeat it.
    mStarted = true;
    const QLResultEnum result = Start();
    if (result)
        mExitCode = mExitCode ? mExitCode : 1;
    if (mStopping)
        return;
    if (result)
    {
        QL_LOG(L"Start-up failed (%d); the program ends\n") << base::LogStyle::Error << static_cast<int>(result);
        Stop();
        return;
    }
    Run();
}

QLResultEnum ApplicationWin32::Update(float)
{
    bool nothingElseToTick;
    {
        ScopedLock guard(mLock.get());
        nothingElseToTick = mStopping && mChildren.empty() && mPending.empty();
    }
    for (auto it = mWorkers.begin(); it != mWorkers.end();)
    {
        ThreadWin32* worker = *it;
        // Stopping, with nothing left to tick, the loop only waits for the workers (the saver
        // writing the last files): it sleeps until each has ended instead of spinning.
        if (nothingElseToTick && !worker->JoinIfEnded())
        {
            worker->RequestStop();
            worker->mHandle->Join();
        }
        // A worker's state is read only once its own thread has ended.
        if (worker->JoinIfEnded() && worker->IsFinished() && worker->HasNoChildren())
        {
            it = mWorkers.erase(it);
            worker->mApplication = nullptr;
            if (worker->IsOwnedByParent())
                delete worker;
        }
        else
            ++it;
    }
    if (mWorkers.empty())
        mFinished = true;
    return QL_OK;
}

void ApplicationWin32::OnStop()
{
    for (ThreadWin32* worker : std::list<ThreadWin32*>(mWorkers))
        worker->RequestStop();
}

void ApplicationWin32::AddWorker(ThreadWin32* worker)
{
    if (worker->mApplication)
        return;
    mWorkers.push_back(worker);
    worker->mApplication = this;
}

void ApplicationWin32::RemoveWorker(ThreadWin32* worker)
{
    mWorkers.remove(worker);
    worker->mApplication = nullptr;
}

Application::Application() { sApplication = this; }

Application::~Application()
{
    if (sApplication == this)
        sApplication = nullptr;
}

Application* Application::CreateInstance()
{
    if (!sApplication && sFactory)
        sFactory();
    return sApplication;
}
} // namespace app
