// Internal (resource compiler): the C++ source that holds a compiled
// script as a module's resource table (module_resources.h).
#pragma once

#include "platform/host/internal_header.h"

#include <string>

#include "platform/host/windows/resource_compiler/script_compiler.h"

namespace vtsim::rc {

// The source of the table: each resource's bytes as an array, and
// vt_module_resource_table listing them in script order.
std::string TableSource(const CompiledScript& script, const std::string& scriptPath);

}  // namespace vtsim::rc
