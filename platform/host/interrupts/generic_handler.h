// The platform's generic installable interrupt handler ("GenIsr.dll", entry
// "IsrHandler"): configured with a GIISR_INFO record, it reads the device's
// status port and claims the line for its logical interrupt when a bit under
// the mask is set.
#pragma once

#include "platform/host/internal_header.h"

#include <memory>

#include "platform/host/interrupts/controller.h"

namespace vtsim::internal {

std::unique_ptr<ChainHandler> CreateGenericInstallableHandler();

}  // namespace vtsim::internal
