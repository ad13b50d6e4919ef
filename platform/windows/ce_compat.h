// The CE kernel services that the library's code calls and desktop Windows
// does not have, for the Windows build (platform/windows/ce_compat.cpp).
// Only what the library and the configurator call is here: the stream
// driver's services (interrupts, port I/O, bus mapping, device keys) exist
// on the target alone, and the driver is not built for Windows.
#pragma once

#include "platform/windows/sdk.h"

extern "C" {

// Copies size bytes from src to dst and returns TRUE; returns FALSE with
// nothing guaranteed about dst when either range cannot be read or written,
// instead of faulting. Any thread.
BOOL CeSafeCopyMemory(LPVOID dst, LPCVOID src, DWORD size);

}  // extern "C"
