// A complete small application of the driver library: everything here is
// what an application on the target writes, using only rlx4100.h.
//
// It opens device 0, writes the output ports, reads them back and reads the
// inputs, enables the interrupt of input 0, raises it by toggling output 0.0
// (wired to input 0.0 on the machine this example runs on) and waits for
// the event, then closes the device.
#include "dio_example.h"

#include <cstdio>

#include "rlx4100.h"

namespace {

// Prints a failed call with its status; statuses of a device carry the
// device number: (device + 1) * 4096 + reason.
bool Ok(const char* call, LONG status)
{
    if (status == API_SUCCESS) {
        return true;
    }
    if (status >= 4096) {
        std::printf("%s failed: status %ld (device %ld, reason %ld)\n", call,
                    static_cast<long>(status), static_cast<long>(status / 4096 - 1),
                    static_cast<long>(status % 4096));
    } else {
        std::printf("%s failed: status %ld\n", call, static_cast<long>(status));
    }
    return false;
}

}  // namespace

int RunDioExample(DWORD deviceNumber)
{
    // 1. Open the device by its number (the number 'vtdio list' shows).
    LONG handle = 0;
    if (!Ok("DeviceOpen", DeviceOpen(deviceNumber, &handle))) {
        return 1;
    }

    int result = 1;
    do {
        // 2. How many ports does the board have? (4, or 2 on a VTM-6200K)
        DWORD ports = 0;
        DWORD length = sizeof ports;
        if (!Ok("DeviceGetProperty",
                DeviceGetProperty(handle, PROP_DO_PORT_COUNT, &ports, &length))) {
            break;
        }
        std::printf("device %lu has %lu DI and %lu DO ports\n",
                    static_cast<unsigned long>(deviceNumber), static_cast<unsigned long>(ports),
                    static_cast<unsigned long>(ports));

        // 3. Write DO port 1 as a whole, then change only bits 0-3 of port 0.
        if (!Ok("DioWritePortByte", DioWritePortByte(handle, 1, 0xFF, 0x81)) ||
            !Ok("DioWritePortByte", DioWritePortByte(handle, 0, 0x0F, 0x06))) {
            break;
        }

        // 4. Read back what the outputs hold, and read the inputs.
        BYTE out0 = 0, out1 = 0;
        if (!Ok("DioGetCurrentDOByte", DioGetCurrentDOByte(handle, 0, &out0)) ||
            !Ok("DioGetCurrentDOByte", DioGetCurrentDOByte(handle, 1, &out1))) {
            break;
        }
        WORD validMask = 0, inputs = 0;
        if (!Ok("DioReadPortWord", DioReadPortWord(handle, 0, &validMask, &inputs))) {
            break;
        }
        std::printf("DO ports 0-1 hold 0x%02x 0x%02x; DI ports 0-1 read 0x%04x (valid 0x%04x)\n",
                    out0, out1, inputs, validMask);

        // 5. Enable interrupt input 0: signal every interrupt (count 1).
        if (!Ok("DioWriteBit", DioWriteBit(handle, 0, 0, 0)) ||
            !Ok("EnableEvent", EnableEvent(handle, EVT_DI_INTERRUPT0, 1, 1))) {
            break;
        }

        // 6. Toggle output 0.0 (wired to input 0.0) and wait up to a second.
        if (!Ok("DioWriteBit", DioWriteBit(handle, 0, 0, 1)) ||
            !Ok("DioWriteBit", DioWriteBit(handle, 0, 0, 0))) {
            break;
        }
        WORD eventType = EVT_NONE;
        if (!Ok("CheckEvent", CheckEvent(handle, &eventType, 1000))) {
            break;
        }
        if (eventType != EVT_DI_INTERRUPT0) {
            std::printf("expected event 0x%04x, got 0x%04x\n", EVT_DI_INTERRUPT0, eventType);
            break;
        }
        std::printf("event 0x%04x: interrupt on input 0\n", eventType);

        // 7. Disable the event again.
        if (!Ok("DioDisableEvent", DioDisableEvent(handle, EVT_DI_INTERRUPT0))) {
            break;
        }
        result = 0;
    } while (false);

    // 8. Close the device on every path; the handle variable becomes 0.
    Ok("DeviceClose", DeviceClose(&handle));
    std::printf(result == 0 ? "example finished\n" : "example failed\n");
    return result;
}
