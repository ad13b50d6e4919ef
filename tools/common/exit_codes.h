// The exit codes of every tool (vtdio, vtsim), in one place so that the
// tools and their documentation agree.
#pragma once

namespace vttools {

constexpr int EXIT_OK = 0;
// The library or the target refused (the status or reason is printed).
constexpr int EXIT_FAILED = 1;
// Bad arguments: the message and the command's usage are printed.
constexpr int EXIT_USAGE = 2;
// The simulated target did not boot: a machine description, registry
// script or hive was read but is not valid, or a driver module is missing.
constexpr int EXIT_TARGET = 3;
// A file named on the command line cannot be used (missing, a directory,
// too large, a folder that does not exist or cannot be written), or the
// hive, trace or plot could not be written at the end: one line names the
// file and the reason.
constexpr int EXIT_FILE = 4;
// A run stopped by a signal (SIGINT, SIGTERM, SIGHUP) exits with 128 plus
// the signal's number (130, 143, 129), after the same clean-up as any
// other end.
constexpr int EXIT_SIGNAL_BASE = 128;

}  // namespace vttools
