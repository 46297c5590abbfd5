// Quit signals noted by async-signal-safe flags and the monotonic time of the first untaken one.
#include "Platform/Os/QuitSignals.h"

#include <atomic>
#include <csignal>
#include <ctime>

namespace os
{
namespace
{
// The handler may run on any thread: lock-free atomics, not a plain flag.
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<long long>::is_always_lock_free,
              "read and written in a signal handler");

std::atomic<int> gQuitSignal{0}; // the first signal not taken yet
std::atomic<long long> gNotedAtNs{0};
std::atomic<long long> gStuckAfterNs{kQuitStuckAfterMs * 1000000LL};

long long MonotonicNs()
{
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

void Note(int signal)
{
    const long long now = MonotonicNs();
    if (!gQuitSignal)
    {
        gNotedAtNs = now;
        gQuitSignal = signal;
        return;
    }
    // A repeat: the same request, unless the first has waited so long that the loop is stuck.
    if (signal == SIGHUP || now - gNotedAtNs < gStuckAfterNs)
        return;
    struct sigaction fallback = {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    raise(signal); // delivered as the handler returns
}

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
    // One handler at a time: a hang-up and a quit signal at once are noted one after the other.
    sigemptyset(&action.sa_mask);
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    sigaddset(&action.sa_mask, SIGHUP);
    // A signal during the save at exit does not fail its writes.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    if (!keepHangUpIgnored)
        sigaction(SIGHUP, &action, nullptr);
}

int TakeQuitSignal() { return gQuitSignal.exchange(0); }

bool TakeQuitRequest(Event& event)
{
    const int signal = TakeQuitSignal();
    if (!signal)
        return false;
    event = Event();
    event.type = EventType::Close;
    event.cause = signal == SIGINT    ? "a quit signal, SIGINT"
                  : signal == SIGTERM ? "a quit signal, SIGTERM"
                                      : "a hang-up, SIGHUP";
    return true;
}

void SetQuitStuckAfter(long milliseconds) { gStuckAfterNs = milliseconds * 1000000LL; }
} // namespace os
