// A module built from the library's entry point (library/module.cpp) and the
// module startup code, exporting what the library keeps: its module handle.
#include "library/module.h"

DLL_EXPORT HINSTANCE ProbeModuleInstance()
{
    return ModuleInstance();
}
