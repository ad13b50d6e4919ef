// A device's registry entry as the driver library sees it.
#pragma once

#include "platform/types.h"

constexpr DWORD CALL_NAME_CHARS = 15;  // terminator included (30 bytes)

// The library's image of a device's driver-key entry.
struct DeviceSettings {
    DWORD BoardID;
    DWORD BaseAddress;
    DWORD BusNumber;
    DWORD SlotNumber;
    DWORD OnSystem;
    DWORD SwitchID;
    WCHAR CallName[CALL_NAME_CHARS];
    DWORD SystemIRQ;
    DWORD IoPortCount;
    DWORD AllowConflicts;
    DWORD TriggerMode;
};

// Finds the device's entry (the first driver key, in search order, whose
// subkey for the number holds "BoardID") and reads every value of it.
// Returns 1 when all were read, else 0 (values read so far stay filled); 0
// for a number above MAX_DEVICE_NUMBER, which names no entry.
DWORD ReadDeviceSettings(DWORD deviceNumber, DeviceSettings* settings);

// Writes the device-list entry ("DeviceName" formatted from SwitchID and
// BaseAddress, "SwitchID") and then, only if that succeeded, "TriggerMode"
// to the driver-key entry. Returns 1 when both were written, 0 otherwise,
// for a board type with no registry names or a number above
// MAX_DEVICE_NUMBER.
DWORD WriteDeviceSettings(DWORD deviceNumber, const DeviceSettings* settings);
