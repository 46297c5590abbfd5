// SIGINT and SIGTERM as a close request: without a display library to turn them into one (the
// headless driver), the first is noted and the window's poll delivers it as a Close event, so
// the program ends through its main loop; a second signal ends the process at once.
#pragma once

namespace os
{
// Installs the handlers (once per process; again after a signal was taken).
void CatchQuitSignals();
// Whether a signal came since the last call; it is taken.
bool TakeQuitSignal();
} // namespace os
