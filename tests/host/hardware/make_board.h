// Test helper: a board configuration at a given slot, I/O base and IRQ.
#pragma once

#include <cstdint>

#include "platform/host/control/machine.h"

inline vtsim::BoardConfig MakeBoard(vtsim::BoardModel model, std::uint32_t slot,
                                    std::uint32_t ioBase, std::uint32_t irq)
{
    vtsim::BoardConfig c;
    c.model = model;
    c.slot = slot;
    c.ioBase = ioBase;
    c.irq = irq;
    return c;
}
