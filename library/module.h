// The library's module handle, kept by its entry point.
#pragma once

#include "platform/types.h"

// The module handle that the loader gave DllMain (platform/kernel.h) at
// process attach (the dialogs load their templates from it); null before
// attach and after detach.
HINSTANCE ModuleInstance();
