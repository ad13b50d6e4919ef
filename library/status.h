// The translation of a failed device control request into a reason number
// (device-qualified statuses are the public ApiDeviceStatus).
#pragma once

#include "platform/types.h"

// The reason number for the calling thread's last error after a failed
// device control request: 0 for no error, the stream driver's own status for
// an error carrying the application bit, 100 to 105 for the platform errors
// the library names, any other error unchanged.
DWORD StatusFromLastError();
