/* A C99 application of the driver library, built with nothing but the
 * library's include folder on its include path: the header stands alone,
 * compiles as pedantic C99, and C callers reach the plain-named exports.
 * It runs on a target that was never booted, where every device is
 * missing; it exits with 1 at the first check that fails. */
#include <stdio.h>

#include "rlx4100.h"

static int failures = 0;

static void Check(int passed, const char* what)
{
    if (!passed) {
        printf("failed: %s\n", what);
        failures = 1;
    }
}

int main(void)
{
    LONG handle = 77;
    WORD eventType = EVT_NONE;
    DioReadPortByteBlock block = {0, 0, NULL};
    DeviceFeatures features;

    Check(ApiDeviceStatus(2, API_PORT_OUT_OF_RANGE) == 3 * 4096 + 7, "ApiDeviceStatus");
    Check(ApiDeviceStatus(0, 0xC000000Du) == (LONG)0xC000100Du, "ApiDeviceStatus wraps");
    Check(sizeof(features) == DEVICE_FEATURES_SIZE, "features size");

    Check(DeviceOpen(0, &handle) == API_CONFIG_NOT_FOUND && handle == 77, "DeviceOpen");
    Check(DeviceClose(&handle) == API_INVALID_HANDLE, "DeviceClose");
    Check(DeviceGetFeatures(handle, &features, sizeof(features)) == API_INVALID_HANDLE,
          "DeviceGetFeatures");
    Check(CheckEvent(handle, &eventType, 0) == API_INVALID_HANDLE && eventType == EVT_NONE,
          "CheckEvent");
    Check(DriverProc(0, 0, 0x10000u | FUNC_DIO_READ_PORT_BYTE, 0, (LONG_PTR)&block) ==
              API_INVALID_HANDLE,
          "DriverProc by code");
    Check(DriverProc(0, 0, 137, 0, 0) == API_UNKNOWN_FUNCTION, "DriverProc unknown code");
    return failures;
}
