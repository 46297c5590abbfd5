// Quit signals noted by an async-safe flag.
#include "Platform/Os/QuitSignals.h"

#include <csignal>

namespace os
{
namespace
{
volatile std::sig_atomic_t gQuitSignal = 0;

void Note(int) { gQuitSignal = 1; }

bool HangUpIgnoredAtStart()
{
    static const bool ignored = []
    {
        struct sigaction old = {};
        return sigaction(SIGHUP, nullptr, &old) == 0 && old.sa_handler == SIG_IGN;
    }();
    return ignored;
}
} // namespace

void CatchQuitSignals()
{
    const bool keepHangUpIgnored = HangUpIgnoredAtStart();
    struct sigaction action = {};
    action.sa_handler = Note;
    sigemptyset(&action.sa_mask);
    // The handler goes after one signal: a second one, while the loop is stuck, still ends it.
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    if (keepHangUpIgnored)
        return;
    action.sa_flags = SA_RESTART;
    sigaction(SIGHUP, &action, nullptr);
}

bool TakeQuitSignal()
{
    if (!gQuitSignal)
        return false;
    gQuitSignal = 0;
    CatchQuitSignals();
    return true;
}
} // namespace os
