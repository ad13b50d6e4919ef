// Watching the simulated target's signals from outside: every change of a
// board's lines and registers and of the kernel's named events, reported as
// it happens to one observer (a trace recorder, a test).
//
// Cost: while no observer is set, a board or an event pays one relaxed
// atomic load per change and nothing else.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/host/control/machine.h"

namespace vtsim {

// Which board a report is about.
struct BoardIdentity {
    std::size_t place = 0;         // position in the machine description (0, 1, ...)
    BoardConfig config;            // its description
    unsigned ports = 0;            // DI ports, and as many DO ports
    unsigned interruptInputs = 0;  // DI port 0 bits 0 .. interruptInputs-1
};

// The lines and registers of one board as they stand after a change.
struct BoardSignals {
    std::uint8_t inputs[4] = {};   // DI line levels, port by port
    std::uint8_t outputs[4] = {};  // DO latches
    std::uint8_t interruptEnable = 0;
    std::uint8_t triggerMode = 0;  // bit i set: input i reacts to falling edges
    std::uint8_t interruptStatus = 0;
    bool interruptLine = false;  // asserted while any status bit is set
};

class SignalObserver {
public:
    virtual ~SignalObserver() = default;

    // A board's lines or registers may have changed (a write of an
    // unchanged value reports too); signals is the state after the change.
    // A board starts with every line and register at zero, so the first
    // report of a board describes its first change.
    virtual void BoardChanged(const BoardIdentity& board, const BoardSignals& signals) = 0;

    // A named kernel event was set (signalled true) or taken back (false: a
    // wait took an auto-reset event, or ResetEvent). Setting an event that
    // is already set reports nothing. The name is the event's UTF-16 name.
    virtual void EventChanged(const std::u16string& name, bool signalled) = 0;
};

// Installs the observer (null removes it) and returns the one it replaces.
// Reports are delivered one at a time, in the order they happened, in the
// thread that made the change while it holds the board's or the kernel's
// lock: an observer must return quickly and must not call into the target.
// When SetSignalObserver returns, no report to the replaced observer is
// still running, so it may be destroyed. Any thread.
SignalObserver* SetSignalObserver(SignalObserver* observer);

}  // namespace vtsim
