// Internal: modules' resource tables. The resource compiler (vtrc) turns a
// module's resource script into a C++ source that defines the module's
// table as the C symbol vt_module_resource_table, hidden so that each
// module sees its own; the module's startup code refers to it weakly (a
// module without resources links too), registers it under the module's
// handle before DllMain runs and drops it after the module's detach; a
// program's registration object registers it under the program's handle.
#pragma once

#include "platform/host/internal_header.h"

#include <cstddef>
#include <cstdint>

#include "platform/types.h"

namespace vtsim::internal {

struct ResourceEntry {
    std::uint16_t type;    // RT_DIALOG (5), RT_BITMAP (2), ...
    std::uint16_t id;      // when name is null
    const char16_t* name;  // a named resource (upper case), or null
    const std::uint8_t* data;
    std::uint32_t size;
};

struct ResourceTable {
    const ResourceEntry* entries;
    std::size_t count;
};

// Registers (replacing one registered before) or drops a module's table.
void RegisterModuleResources(HINSTANCE module, const ResourceTable* table);
void UnregisterModuleResources(HINSTANCE module);

// The handle of the program itself (what a NULL module means): the address
// its image starts at.
HINSTANCE MainProgramHandle();

}  // namespace vtsim::internal
