// The signals that ask a tool to stop: Ctrl-C (SIGINT), SIGTERM (what
// `timeout` and service managers send) and SIGHUP (the terminal went away).
// Each of them only sets a flag: the running command notices it, ends
// cleanly (events disabled, devices closed), and the tool then shuts the
// target down, which saves the hive and writes a trace, as on any other way
// out. A second signal while the first is being handled ends the process at
// once, unless second signals are kept (the interactive shell, where Ctrl-C
// ends only the running command).
#pragma once

#include <atomic>
#include <string>

namespace vttools {

// Installs the handlers for the three signals (without SA_RESTART, so that
// a blocking read returns).
void InstallStopHandlers();

// Set by the first signal; commands poll it, a session clears it before
// each command.
std::atomic<bool>& StopRequested();

// The number of the last stop signal received, or 0.
int LastStopSignal();

// "SIGINT", "SIGTERM", "SIGHUP", or "signal N" for another number.
std::string StopSignalName(int number);

// True when the last signal asks the whole session to end (SIGTERM,
// SIGHUP), not only the running command (Ctrl-C in the interactive shell).
bool SessionEndRequested();

// Whether a second signal ends the process at once (the default).
void SetSecondSignalEndsProcess(bool ends);

}  // namespace vttools
