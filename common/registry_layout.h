// The registry layout shared by the driver and the library: key paths,
// value names and the model-dependent names.
#pragma once

#include "platform/types.h"

// Device list: one subkey "Device%03d" per device number ever assigned.
inline constexpr const WCHAR* DEVICE_LIST_KEY = TEXT("SYSTEM\\CurrentControlSet\\Services\\RLXDAQ");
// Subkey of a device under a key path: "%s\Device%03d".
inline constexpr const WCHAR* DEVICE_SUBKEY_FORMAT = TEXT("%s\\Device%03d");
// Subkey of an enumerated key: "%s\%s".
inline constexpr const WCHAR* SUBKEY_PATH_FORMAT = TEXT("%s\\%s");
inline constexpr const WCHAR* DEVICE_SUBKEY_TAG = TEXT("Device");
inline constexpr const WCHAR* TEMPLATE_SUBKEY_TAG = TEXT("Template");

inline constexpr const WCHAR* DRIVER_LIBRARY_NAME = TEXT("Rlx4100.dll");

// Value names.
inline constexpr const WCHAR* VAL_BOARD_ID = TEXT("BoardID");
inline constexpr const WCHAR* VAL_DEVICE_NAME = TEXT("DeviceName");
inline constexpr const WCHAR* VAL_DRIVER_NAME = TEXT("DriverName");
inline constexpr const WCHAR* VAL_KERNEL_KEY = TEXT("KernelKey");
inline constexpr const WCHAR* VAL_SWITCH_ID = TEXT("SwitchID");
inline constexpr const WCHAR* VAL_BUS_NUMBER = TEXT("BusNumber");
inline constexpr const WCHAR* VAL_SLOT_NUMBER = TEXT("SlotNumber");
inline constexpr const WCHAR* VAL_ALLOW_CONFLICTS = TEXT("AllowConflicts");
inline constexpr const WCHAR* VAL_ON_SYSTEM = TEXT("OnSystem");
inline constexpr const WCHAR* VAL_DEVICE_INDEX = TEXT("DeviceIndex");
inline constexpr const WCHAR* VAL_CALL_NAME = TEXT("CallName");
inline constexpr const WCHAR* VAL_SYSTEM_IRQ = TEXT("SystemIRQ");
inline constexpr const WCHAR* VAL_BASE_ADDRESS = TEXT("BaseAddress");
inline constexpr const WCHAR* VAL_IO_PORT_COUNT = TEXT("IoPortCount");
inline constexpr const WCHAR* VAL_TRIGGER_MODE = TEXT("TriggerMode");

constexpr DWORD DEVICE_NAME_MAX_CHARS = 40;  // the DeviceName text
constexpr DWORD MAX_DEVICE_NUMBER = 254;     // Device000 to Device254

// The device number of a subkey of the device list or of a driver key. A
// device subkey is named "Device" in any case followed by one or more decimal
// digits (leading zeros allowed) whose value is 0..MAX_DEVICE_NUMBER:
// "Device007", "device7" and "DEVICE0007" all name device 7. Returns true and
// sets *number for such a name; false for any other name (nothing or another
// character after "Device", a larger number) or a null name, leaving *number
// unchanged. Any thread.
bool ParseDeviceSubkeyName(const WCHAR* name, DWORD* number);

// Model-dependent registry names (the model's own name is in the board
// table, common/board_types.h). NamesOf() returns nullptr for a board type
// outside the three models: such a device has no names and is not published.
struct ModelNames {
    DWORD boardType;
    const WCHAR* driverKey;         // full path of the driver key
    const WCHAR* kernelKeyName;     // "RLX4100S" (also the "KernelKey" value)
    const WCHAR* templateKey;       // full path of the template key
    const WCHAR* deviceNameFormat;  // "VTC-4100 BoardID=%d I/O=%xH"
};
const ModelNames* NamesOf(DWORD boardType);

// The driver keys in the order the library searches them for a device.
inline constexpr const WCHAR* DRIVER_KEY_SEARCH_ORDER[3] = {
    TEXT("SYSTEM\\CurrentControlSet\\Services\\RLX4100S"),
    TEXT("SYSTEM\\CurrentControlSet\\Services\\RLX6200KS"),
    TEXT("SYSTEM\\CurrentControlSet\\Services\\RLX4100ES"),
};

// Named interrupt events, formatted with the device number.
inline constexpr const WCHAR* INTERRUPT_EVENT_NAME_FORMATS[4] = {
    TEXT("RLX_EVT_DI_INTERRUPT0_%03d"),
    TEXT("RLX_EVT_DI_INTERRUPT1_%03d"),
    TEXT("RLX_EVT_DI_INTERRUPT2_%03d"),
    TEXT("RLX_EVT_DI_INTERRUPT3_%03d"),
};
