// Internal (resource compiler): the platform's constants by name.
#pragma once

#include "platform/host/internal_header.h"

#include <string>

namespace vtsim::rc {

// The value of a constant of the platform's headers that scripts use
// (WS_*, WS_EX_*, DS_*, BS_*, SS_*, ES_*, CBS_*, TVS_*, IDOK and the other
// standard ids); false for an unknown name. IDC_STATIC comes with <winres.h>
// or <afxres.h>, as on Windows.
bool LookUpConstant(const std::string& name, long long* value);

}  // namespace vtsim::rc
