// The platform's generic installable interrupt handler ("GenIsr.dll", entry
// "IsrHandler"): configured with a GIISR_INFO record, it reads the device's
// status port and claims the line for its logical interrupt when a bit under
// the mask is set.
#pragma once

#include <memory>

#include "platform/host/interrupt_controller.h"

namespace vtsim::internal {

std::unique_ptr<ChainHandler> CreateGenericInstallableHandler();

}  // namespace vtsim::internal
