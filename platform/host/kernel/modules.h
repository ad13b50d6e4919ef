// The simulated loader's table of modules (internal). Each module (the
// driver library, every stream driver) links the module startup object
// (module_startup.cpp, CMake target vtmodule_startup), which reports the
// module's load and unload here as a C runtime's DLL startup code hands over
// to the loader on the target; the table then calls the module's entry
// point the way the target's loader does.
#pragma once

#include "platform/host/internal_header.h"

#include "platform/types.h"

namespace vtsim::internal {

using ModuleEntry = BOOL (*)(HINSTANCE module, DWORD reason, LPVOID reserved);

// A module has been mapped: records it (handle = its load address, the
// dynamic linker's map of it, its file) and calls entry(handle,
// DLL_PROCESS_ATTACH, NULL) without holding the table's lock, so that the
// entry may call the platform. Returns the entry's result; a module whose
// entry refused stays recorded as refused until it is unloaded.
BOOL AttachModule(HINSTANCE module, const void* linkMap, const char* path, ModuleEntry entry);

// The module is being unloaded: calls entry(handle, DLL_PROCESS_DETACH,
// NULL) if its attach succeeded, and forgets it.
void DetachModule(HINSTANCE module);

enum class ModuleState { Unknown, Attached, Refused };
// The state of the module that dlopen returned this handle for: Unknown
// when no startup object reported it (a shared object that is not a module
// of this platform).
ModuleState StateOfLoadedModule(void* dlopenHandle);

// The handle (load address) of the module that dlopen returned this handle
// for, NULL when no startup object reported it.
HINSTANCE HandleOfLoadedModule(void* dlopenHandle);

}  // namespace vtsim::internal
