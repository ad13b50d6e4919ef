// Reading and writing a device's registry entry by device number.
#include "library/settings.h"

#include "common/registry_access.h"
#include "common/registry_layout.h"
#include "platform/kernel.h"

namespace {

constexpr SIZE_T KEY_PATH_CHARS = 260;

// "%s\Device%03d" under the given key path.
bool FormatDeviceKey(WCHAR (&path)[KEY_PATH_CHARS], const WCHAR* keyPath, DWORD deviceNumber)
{
    return StringCchPrintfW(path, KEY_PATH_CHARS, DEVICE_SUBKEY_FORMAT, keyPath,
                            static_cast<int>(deviceNumber)) == S_OK;
}

RegistryValueEntry DwordRow(const WCHAR* name, DWORD* value)
{
    return RegistryValueEntry{name, REG_DWORD, sizeof(DWORD), value};
}

}  // namespace

DWORD ReadDeviceSettings(DWORD deviceNumber, DeviceSettings* settings)
{
    // A larger number names no device entry, whatever subkeys exist.
    if (settings == nullptr || deviceNumber > MAX_DEVICE_NUMBER) {
        return 0;
    }

    WCHAR path[KEY_PATH_CHARS];
    bool found = false;
    for (const WCHAR* driverKey : DRIVER_KEY_SEARCH_ORDER) {
        if (!FormatDeviceKey(path, driverKey, deviceNumber)) {
            continue;
        }
        RegistryValueEntry boardId[] = {DwordRow(VAL_BOARD_ID, &settings->BoardID),
                                        {nullptr, 0, 0, nullptr}};
        if (AccessRegistryValues(path, boardId, REGISTRY_ACCESS_READ, 0) == 1) {
            found = true;
            break;
        }
    }
    if (!found) {
        return 0;
    }

    RegistryValueEntry values[] = {
        DwordRow(VAL_SWITCH_ID, &settings->SwitchID),
        DwordRow(VAL_BASE_ADDRESS, &settings->BaseAddress),
        DwordRow(VAL_SYSTEM_IRQ, &settings->SystemIRQ),
        DwordRow(VAL_IO_PORT_COUNT, &settings->IoPortCount),
        DwordRow(VAL_BUS_NUMBER, &settings->BusNumber),
        DwordRow(VAL_SLOT_NUMBER, &settings->SlotNumber),
        DwordRow(VAL_ON_SYSTEM, &settings->OnSystem),
        DwordRow(VAL_ALLOW_CONFLICTS, &settings->AllowConflicts),
        DwordRow(VAL_TRIGGER_MODE, &settings->TriggerMode),
        {VAL_CALL_NAME, REG_SZ, sizeof(settings->CallName), settings->CallName},
        {nullptr, 0, 0, nullptr},
    };
    const DWORD result = AccessRegistryValues(path, values, REGISTRY_ACCESS_READ, 0);
    // A stored name that fills the buffer without its terminator must not
    // be read past its end.
    settings->CallName[CALL_NAME_CHARS - 1] = 0;
    return result == 1 ? 1 : 0;
}

DWORD WriteDeviceSettings(DWORD deviceNumber, const DeviceSettings* settings)
{
    if (settings == nullptr || deviceNumber > MAX_DEVICE_NUMBER) {
        return 0;
    }
    const ModelNames* names = NamesOf(settings->BoardID);
    if (names == nullptr) {
        return 0;
    }

    WCHAR deviceName[DEVICE_NAME_MAX_CHARS + 1];
    StringCchPrintfW(deviceName, DEVICE_NAME_MAX_CHARS + 1, names->deviceNameFormat,
                     static_cast<int>(settings->SwitchID), settings->BaseAddress);

    WCHAR path[KEY_PATH_CHARS];
    if (!FormatDeviceKey(path, DEVICE_LIST_KEY, deviceNumber)) {
        return 0;
    }
    DWORD switchId = settings->SwitchID;
    RegistryValueEntry listEntry[] = {
        {VAL_DEVICE_NAME, REG_SZ, 0, deviceName},
        DwordRow(VAL_SWITCH_ID, &switchId),
        {nullptr, 0, 0, nullptr},
    };
    if (AccessRegistryValues(path, listEntry, REGISTRY_ACCESS_WRITE, 1) != 1) {
        return 0;
    }

    if (!FormatDeviceKey(path, names->driverKey, deviceNumber)) {
        return 0;
    }
    DWORD triggerMode = settings->TriggerMode;
    RegistryValueEntry driverEntry[] = {
        DwordRow(VAL_TRIGGER_MODE, &triggerMode),
        {nullptr, 0, 0, nullptr},
    };
    return AccessRegistryValues(path, driverEntry, REGISTRY_ACCESS_WRITE, 1) == 1 ? 1 : 0;
}
