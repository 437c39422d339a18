#pragma once
// Ctrl-C (SIGINT) and SIGTERM ask a running job to stop. The handler only records which signal
// came; the job's loop looks at it between its steps.
#include <csignal>

// Installs the handler for the given stop signals (SIGINT, SIGTERM or both).
void CatchStopSignals(bool interrupt, bool terminate);
// The last stop signal caught, or 0.
int CaughtStopSignal();
// SIGINT and SIGTERM, to block while threads start or outside a wait.
sigset_t StopSignalSet();
