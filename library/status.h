// Status codes of the driver library: device-qualified statuses and the
// translation of a failed device control request.
#pragma once

#include "platform/types.h"

// (device number + 1) * 4096 + n, as a plain 32-bit addition.
LONG DeviceStatus(DWORD deviceNumber, DWORD n);

// The reason number for the calling thread's last error after a failed
// device control request: 0 for no error, the stream driver's own status for
// an error carrying the application bit, 100 to 105 for the platform errors
// the library names, any other error unchanged.
DWORD StatusFromLastError();
