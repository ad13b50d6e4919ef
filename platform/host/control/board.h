// A simulated digital I/O board, register by register, as the outside world
// sees it: input line levels can be set, output latches observed.
#pragma once

#include <cstdint>

#include "platform/host/control/machine.h"

namespace vtsim {

class Board {
public:
    virtual ~Board() = default;
    virtual const BoardConfig& config() const = 0;
    virtual unsigned portCount() const = 0;  // 4, or 2 on the VTM-6200K

    // Input line levels (what a DI port read returns). Changing a level runs
    // edge detection on the interrupt inputs.
    virtual void setInputPort(unsigned port, std::uint8_t levels) = 0;
    virtual void setInputLine(unsigned port, unsigned bit, bool high) = 0;
    // Toggles a line and back (two edges).
    virtual void pulseInputLine(unsigned port, unsigned bit) = 0;
    virtual std::uint8_t inputPort(unsigned port) const = 0;

    // Output latches (what DO writes set; not readable through the port).
    virtual std::uint8_t outputLatch(unsigned port) const = 0;

    // Register contents without side effects (offsets 8, 0x0C, 0x10, 4).
    virtual std::uint8_t interruptEnable() const = 0;
    virtual std::uint8_t triggerMode() const = 0;
    virtual std::uint8_t interruptStatus() const = 0;
    virtual bool interruptAsserted() const = 0;

    // How many times the board raised its interrupt line (edges that set a
    // status bit while enabled).
    virtual std::uint64_t interruptsRaised() const = 0;
    // How many edges of the selected direction came on an enabled input
    // while its status bit was still set: each merged into the pending
    // interrupt, so no interrupt of its own was raised for it.
    virtual std::uint64_t mergedEdges() const = 0;
};

}  // namespace vtsim
