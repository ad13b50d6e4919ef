// A small application of the driver library (see dio_example.cpp).
#pragma once

#include "platform/types.h"

// Opens the device, writes and reads its ports, waits for one interrupt
// event and closes the device. Returns 0 when every step worked.
int RunDioExample(DWORD deviceNumber);
