// A shared object built without the module startup code, as a library of
// another platform would be: the device manager must refuse it as a driver.
#include "platform/types.h"

DLL_EXPORT DWORD_PTR VTD_Init(LPCWSTR, DWORD_PTR)
{
    return 0;
}
