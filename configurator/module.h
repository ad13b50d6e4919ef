// The configurator library's module handle, kept by its entry point.
#pragma once

#include "platform/types.h"

// The handle the loader gave DllMain at process attach (its dialog
// templates and bitmaps are found through it); NULL before and after.
HINSTANCE ConfiguratorModule();
