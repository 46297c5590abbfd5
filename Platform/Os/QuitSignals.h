// SIGINT, SIGTERM and SIGHUP as a close request: the first is noted and the window's poll
// delivers it as a Close event, so the program ends through its main loop (what waits is saved,
// the log is closed). A second SIGINT or SIGTERM ends the process at once; a hang-up may come
// twice (from the shell and from the closing terminal) and never does.
#pragma once

namespace os
{
// Installs the handlers (once per process; again after a signal was taken). A hang-up ignored
// when the process started (nohup) stays ignored.
void CatchQuitSignals();
// Whether a signal came since the last call; it is taken.
bool TakeQuitSignal();
} // namespace os
