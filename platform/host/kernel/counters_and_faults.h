// Internal glue between the simulated target's subsystems (not for the
// package's code): live-object counters and fault checks.
#pragma once

#include "platform/host/internal_header.h"

#include <cstddef>

#include "platform/host/control/faults.h"

namespace vtsim::internal {

enum class Counter {
    Handles,
    CriticalSections,
    Allocations,
    RegistryKeys,
    ChainHandlers,
    Threads,
    Mappings,
    Windows,
    Bitmaps
};
inline constexpr std::size_t kCounterCount = 9;  // the members above

// Adjusts a live-object counter (thread-safe); GetLiveCounts() reads them.
void Adjust(Counter counter, long delta);

// Called by a service at each call that can be made to fail: returns true
// when this is the call an armed fault of that kind selected (the fault is
// then disarmed and recorded as fired).
bool ShouldFail(Fault fault);

}  // namespace vtsim::internal
