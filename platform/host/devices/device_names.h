// Internal to the device manager: device names. A device is named after its
// driver's prefix and the lowest free index from 1, with a colon ("VTD1:").
// Names match without regard to case (internal::NamesEqual), as the
// device-file services look them up.
#pragma once

#include "platform/host/internal_header.h"

#include <string>
#include <vector>

namespace vtsim::internal {

// prefix + the lowest index from 1 + ":" that matches none of the names in
// taken (the names of the loaded devices).
std::u16string FreeDeviceName(const std::u16string& prefix,
                              const std::vector<std::u16string>& taken);

}  // namespace vtsim::internal
