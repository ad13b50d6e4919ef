// A recorded trace as a Value Change Dump (IEEE 1364), the text format that
// waveform viewers read: one scope per board (board0, board1, ...) with a
// one-bit wire per line and register bit, a scope "events" with a wire per
// named event (1 while the event is set), time in nanoseconds from the
// start of the recording.
#pragma once

#include <ostream>
#include <string>

#include "tools/common/signal_recorder.h"

namespace vttools {

// Writes the trace; every signal's value at time 0 comes in $dumpvars.
void WriteVcd(const Trace& trace, std::ostream& out);

// Writes the trace to a file (replaced when it exists). False with *error
// = "PATH: reason" when the file cannot be written.
bool WriteVcdFile(const Trace& trace, const std::string& path, std::string* error);

}  // namespace vttools
