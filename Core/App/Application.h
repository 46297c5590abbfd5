// The application: root task of the tree, platform set-up, log file and the process's exit code.
#pragma once

#include "Core/App/Thread.h"
#include "Core/Base/Singletone.h"

#include <list>
#include <string>
#include <vector>

namespace app
{
class ApplicationWin32 : public Thread
{
public:
    ApplicationWin32();
    ~ApplicationWin32() override;

    // Module folder, debug log sink and per-user folder; 1 when a folder cannot be found.
    virtual QLResultEnum Init();
    // Adds "log.html" in the folder as a sink of the main log. QL_FAIL when it cannot be written,
    // with the path and the system's reason in `why` when given.
    QLResultEnum InitLogFile(const std::wstring& folder, std::wstring* why = nullptr);
    // Runs the start-up (the task's Start), then the main loop unless the start-up stopped the
    // application. A start-up that fails without stopping is logged and ends the program too.
    virtual void Main();

    // Removes the workers that have ended, finished and without children (deleting those owned
    // by their parent); with no worker left the root finishes as soon as its last child has gone.
    // Once stopping with no child left, it waits (asleep) for the workers to end.
    QLResultEnum Update(float dt) override;
    // Stops every registered worker (itself it leaves to its children and workers).
    void OnStop() override;

    // Workers started by ThreadWin32::Start, until the update removes them.
    void AddWorker(ThreadWin32* worker);
    void RemoveWorker(ThreadWin32* worker);
    const std::list<ThreadWin32*>& Workers() const { return mWorkers; }

    const std::wstring& GetPerUserFolder() const { return mPerUserFolder; }
    const std::wstring& GetModuleFolder() const { return mModuleFolder; }
    const std::wstring& GetLogFolder() const { return mLogFolder; }
    std::vector<std::wstring>& Arguments() { return mArguments; }
    bool IsSecondInstance() const { return mSecondInstance; }
    void SetSecondInstance() { mSecondInstance = true; }
    void SetShaderError() { mShaderError = true; }
    bool HasShaderError() const { return mShaderError; }
    int GetExitCode() const { return mExitCode; }
    void SetExitCode(int code) { mExitCode = code; }
    // Why the main loop is to end, in words for the log (a string literal): a quit signal, the
    // window closed, the menu's exit. The first noted stands; null until one is.
    void NoteEndCause(const char* cause)
    {
        if (!mEndCause)
            mEndCause = cause;
    }
    const char* GetEndCause() const { return mEndCause; }

protected:
    std::wstring mPerUserFolder;
    std::wstring mModuleFolder;
    std::wstring mLogFolder;
    std::vector<std::wstring> mArguments;
    bool mSecondInstance = false;
    bool mShaderError = false;
    int mExitCode = 0;
    const char* mEndCause = nullptr;
    std::list<ThreadWin32*> mWorkers;
};

class Application : public base::Singletone<Application>, public ApplicationWin32
{
public:
    Application();
    ~Application() override;

    // The game's application object; made by the factory the game registered, on first use.
    static Application* CreateInstance();
    static Application* Get() { return sApplication; }
    using Factory = Application* (*)();
    static void SetFactory(Factory factory) { sFactory = factory; }

private:
    static inline Application* sApplication = nullptr;
    static inline Factory sFactory = nullptr;
};
} // namespace app
