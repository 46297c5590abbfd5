// SIGINT, SIGTERM and SIGHUP as a close request: the first is noted and the window's poll
// delivers it as a Close event, so the program ends through its main loop (what waits is saved,
// the log is closed). Repeats of a signal not yet taken are the same request: `timeout` and a
// process group's kill may send two at once, and one that comes while the exit save runs must
// not cut it short. Only a SIGINT or SIGTERM that comes while an earlier signal has waited
// untaken for kQuitStuckAfterMs (the loop is stuck) ends the process at once. A hang-up may come
// twice (from the shell and from the closing terminal) and never does.
#pragma once

#include "Platform/Os/Event.h"

namespace os
{
// How long a quit signal may wait untaken before a repeat ends the process.
constexpr long kQuitStuckAfterMs = 3000;

// Installs the handlers (once per process is enough). A hang-up ignored when the process started
// (nohup) stays ignored.
void CatchQuitSignals();
// The signal that came first since the last call (0: none); it is taken.
int TakeQuitSignal();
// A window's poll: a signal taken becomes a Close event naming it for the log.
bool TakeQuitRequest(Event& event);
// Tests shorten the wait after which a repeat ends the process.
void SetQuitStuckAfter(long milliseconds);
} // namespace os
