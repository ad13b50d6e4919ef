// The library's module handle, kept by its entry point.
#pragma once

#include "platform/types.h"

// The module handle given to DllMain at process attach (the dialogs load
// their templates from it); null before attach and after detach.
HINSTANCE ModuleInstance();

// The module entry point: process attach keeps the module handle and turns
// off thread notifications; process detach forgets it.
BOOL DllMain(HINSTANCE module, DWORD reason, LPVOID reserved);
