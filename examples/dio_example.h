// A small application of the driver library (see dio_example.cpp).
#pragma once

#include "rlx4100.h"

// Opens the device, writes and reads its ports, waits for one interrupt
// event and closes the device. Returns 0 when every step worked.
int RunDioExample(DWORD deviceNumber);
