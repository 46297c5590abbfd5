// Quit signals: repeats of one not yet taken are the same request, and only a repeat that comes
// once the first has waited untaken for the stuck interval ends the process. Each case runs in a
// child of its own, so that a signal that ends it ends only the child.
#include "Platform/Os/QuitSignals.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace
{
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

struct Outcome
{
    std::string steps; // what the child wrote before it ended
    int status = 0;
};

// Runs `body` in a child that reports each step it lives through with `step`.
template <typename Body> Outcome InChild(Body body)
{
    int out[2];
    if (pipe(out) != 0)
        return {"no pipe", -1};
    const pid_t child = fork();
    if (child == 0)
    {
        close(out[0]);
        const auto step = [&](char c) { (void)!write(out[1], &c, 1); };
        body(step);
        _exit(0);
    }
    close(out[1]);
    Outcome result;
    char c;
    while (read(out[0], &c, 1) == 1)
        result.steps.push_back(c);
    close(out[0]);
    waitpid(child, &result.status, 0);
    return result;
}

void SleepUntil(Clock::time_point when) { std::this_thread::sleep_until(when); }

bool EndedBy(int status, int signal) { return WIFSIGNALED(status) && WTERMSIG(status) == signal; }
bool ExitedCleanly(int status) { return WIFEXITED(status) && WEXITSTATUS(status) == 0; }
} // namespace

TEST(QuitSignals, TwoAtOnceAreOneRequestAndTakingItArmsForTheNext)
{
    const Outcome o = InChild(
        [](auto step)
        {
            os::CatchQuitSignals();
            for (const int signal : {SIGTERM, SIGINT, SIGTERM})
            {
                raise(signal);
                raise(signal);
                if (os::TakeQuitSignal() != signal || os::TakeQuitSignal() != 0)
                    return; // not one request, or not told as this signal
                step('o');
            }
            raise(SIGINT);
            raise(SIGTERM); // mixed: one request as well, told as the first
            if (os::TakeQuitSignal() == SIGINT && os::TakeQuitSignal() == 0)
                step('m');
        });
    EXPECT_EQ(o.steps, "ooom");
    EXPECT_TRUE(ExitedCleanly(o.status)) << o.status;
}

// A repeat 1 s after the first, well inside a 10 s stuck interval, is the same request; once the
// interval is shorter than the first has waited, the next repeat ends the process by that signal,
// as its default action would. The margins are seconds either way, so a slow machine keeps them.
TEST(QuitSignals, ARepeatOnceTheFirstWaitedUntakenForTheStuckIntervalEndsTheProcess)
{
    for (const int signal : {SIGTERM, SIGINT})
    {
        SCOPED_TRACE(signal);
        const Outcome o = InChild(
            [signal](auto step)
            {
                os::SetQuitStuckAfter(10000);
                os::CatchQuitSignals();
                const Clock::time_point first = Clock::now();
                raise(signal);
                SleepUntil(first + milliseconds(1000));
                raise(signal);
                step('1');
                os::SetQuitStuckAfter(500);
                raise(signal);
                step('2');
            });
        EXPECT_EQ(o.steps, "1");
        EXPECT_TRUE(EndedBy(o.status, signal)) << o.status;
    }
}

// Taken, a signal is no longer waiting: the next one starts a new wait. A hang-up never ends the
// process, however long one waits.
TEST(QuitSignals, ATakenSignalOrAHangUpNeverMakesARepeatFatal)
{
    const Outcome o = InChild(
        [](auto step)
        {
            os::SetQuitStuckAfter(100);
            os::CatchQuitSignals();
            for (int cycle = 0; cycle < 2; ++cycle)
            {
                const Clock::time_point start = Clock::now();
                raise(SIGTERM);
                SleepUntil(start + milliseconds(200));
                if (!os::TakeQuitSignal())
                    return;
                raise(SIGTERM);
                step('t');
                SleepUntil(start + milliseconds(400));
                if (!os::TakeQuitSignal())
                    return;
            }
            struct sigaction hangUp = {};
            sigaction(SIGHUP, nullptr, &hangUp);
            if (hangUp.sa_handler == SIG_IGN) // started under nohup: it stays ignored
                return step('h');
            const Clock::time_point start = Clock::now();
            raise(SIGHUP);
            SleepUntil(start + milliseconds(200));
            raise(SIGHUP);
            if (os::TakeQuitSignal())
                step('h');
        });
    EXPECT_EQ(o.steps, "tth");
    EXPECT_TRUE(ExitedCleanly(o.status)) << o.status;
}
