// Publication of a board in the registry: its device number (found again
// for a board at a known bus and slot, else the lowest free number of the
// device list), its device-list and driver-key entries, and its trigger
// mode (from the stored entry or from the template for its ID switch),
// which is then written to the board.
#include "common/registry_access.h"
#include "common/registry_layout.h"
#include "driver/board_registers.h"
#include "driver/device_context.h"
#include "driver/driver_steps.h"
#include "platform/kernel.h"
#include "platform/registry.h"

namespace {

constexpr DWORD KEY_PATH_CHARS = 260;
constexpr DWORD DEVICE_KEY_NAME_CHARS = 32;    // names up to 31 characters are examined
constexpr DWORD DEVICE_LIST_NAME_CHARS = 256;  // names up to 255 characters
constexpr DWORD DEVICE_NUMBERS = MAX_DEVICE_NUMBER + 1;

WCHAR ToLower(WCHAR c)
{
    return (c >= u'A' && c <= u'Z') ? static_cast<WCHAR>(c - u'A' + u'a') : c;
}

// Substring test without regard to case, as the registry matches names.
bool ContainsTag(LPCWSTR name, LPCWSTR tag)
{
    const int nameLength = lstrlenW(name);
    const int tagLength = lstrlenW(tag);
    for (int start = 0; start + tagLength <= nameLength; ++start) {
        int i = 0;
        while (i < tagLength && ToLower(name[start + i]) == ToLower(tag[i])) {
            ++i;
        }
        if (i == tagLength) {
            return true;
        }
    }
    return false;
}

void DeviceEntryPath(WCHAR* path, LPCWSTR keyPath, DWORD deviceNumber)
{
    StringCchPrintfW(path, KEY_PATH_CHARS, DEVICE_SUBKEY_FORMAT, keyPath, deviceNumber);
}

// A REG_DWORD value of a key through the table-driven accessor; false when it
// is missing or not a 32-bit number (then *value is unchanged).
bool ReadDwordValue(LPCWSTR keyPath, LPCWSTR valueName, DWORD* value)
{
    DWORD read = 0;
    RegistryValueEntry table[] = {
        {valueName, REG_DWORD, sizeof(read), &read},
        {nullptr, 0, 0, nullptr},
    };
    if (AccessRegistryValues(keyPath, table, REGISTRY_ACCESS_READ, 0) != 1 ||
        table[0].type != REG_DWORD || table[0].size != sizeof(read)) {
        return false;
    }
    *value = read;
    return true;
}

void FormatDeviceName(const DeviceContext* context, const ModelNames* names, WCHAR* text)
{
    StringCchPrintfW(text, DEVICE_NAME_MAX_CHARS + 1, names->deviceNameFormat, context->switchId,
                     context->ioBase);
}

// Writes a table of values into the device number's subkey of `keyPath`
// (created as needed).
bool WriteEntryValues(LPCWSTR keyPath, DWORD deviceNumber, RegistryValueEntry* table)
{
    WCHAR path[KEY_PATH_CHARS];
    DeviceEntryPath(path, keyPath, deviceNumber);
    return AccessRegistryValues(path, table, REGISTRY_ACCESS_WRITE, 1) == 1;
}

// A device's device-list entry and then, when that is written, its
// driver-key entry; 1 when both are written.
DWORD WriteDeviceEntries(DWORD deviceNumber, const ModelNames* names, RegistryValueEntry* listEntry,
                         RegistryValueEntry* driverEntry)
{
    return WriteEntryValues(DEVICE_LIST_KEY, deviceNumber, listEntry) &&
                   WriteEntryValues(names->driverKey, deviceNumber, driverEntry)
               ? 1
               : 0;
}

// The accessor takes the rows' data as void*; when writing it only reads it.
void* WrittenFrom(const void* data)
{
    return const_cast<void*>(data);
}

}  // namespace

namespace {

// The steps of PublishDevice.

// Looks through the model's driver key for the entry of the board's bus and
// slot and gives its number in *deviceNumber (left as it is when there is
// none). Returns the registry status of the last step: the key's opening
// failure, or the end of the enumeration.
LONG FindDeviceNumber(DeviceContext* context, LPCWSTR driverKey, LONG* deviceNumber)
{
    HKEY key = nullptr;
    LONG status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, driverKey, 0, KEY_READ, &key);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    for (DWORD index = 0;; ++index) {
        WCHAR name[DEVICE_KEY_NAME_CHARS];
        DWORD nameChars = DEVICE_KEY_NAME_CHARS;
        status = RegEnumKeyExW(key, index, name, &nameChars, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) {
            continue;  // a name that does not fit is passed over
        }
        if (status != ERROR_SUCCESS) {
            break;
        }
        DWORD number = 0;
        if (!ParseDeviceSubkeyName(name, &number)) {
            continue;
        }
        WCHAR path[KEY_PATH_CHARS];
        StringCchPrintfW(path, KEY_PATH_CHARS, SUBKEY_PATH_FORMAT, driverKey, name);
        DWORD bus = 0;
        DWORD slot = 0;
        if (!ReadDwordValue(path, VAL_BUS_NUMBER, &bus)) {
            bus = 0;
        }
        if (!ReadDwordValue(path, VAL_SLOT_NUMBER, &slot)) {
            slot = 0;
        }
        if (bus == context->busNumber && slot == context->slotNumber) {
            *deviceNumber = static_cast<LONG>(number);
            break;
        }
    }
    RegCloseKey(key);
    return status;
}

// The lowest number that no device-list entry holds, whatever wrote it.
// Returns 1 with the number (0 when there is no device list yet), or 0 when
// every number is held.
DWORD AllocateDeviceNumber(DWORD* deviceNumber)
{
    *deviceNumber = 0;
    bool taken[DEVICE_NUMBERS] = {};
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, DEVICE_LIST_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return 1;  // no device list yet: every number is free
    }
    for (DWORD index = 0;; ++index) {
        WCHAR name[DEVICE_LIST_NAME_CHARS];
        DWORD nameChars = DEVICE_LIST_NAME_CHARS;
        if (RegEnumKeyExW(key, index, name, &nameChars, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        DWORD number = 0;
        if (ParseDeviceSubkeyName(name, &number)) {
            taken[number] = true;
        }
    }
    RegCloseKey(key);
    for (DWORD number = 0; number < DEVICE_NUMBERS; ++number) {
        if (!taken[number]) {
            *deviceNumber = number;
            return 1;
        }
    }
    return 0;
}

// The trigger mode of the first template of the model whose "SwitchID" is
// the board's; triggerMode stays as it is when there is none.
void ReadTemplateTriggerMode(DeviceContext* context)
{
    const ModelNames* names = NamesOf(context->boardType);
    if (names == nullptr) {
        return;
    }
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, names->templateKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return;
    }
    for (DWORD index = 0;; ++index) {
        WCHAR name[DEVICE_KEY_NAME_CHARS];
        DWORD nameChars = DEVICE_KEY_NAME_CHARS;
        const LONG status =
            RegEnumKeyExW(key, index, name, &nameChars, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) {
            continue;
        }
        if (status != ERROR_SUCCESS) {
            break;
        }
        if (!ContainsTag(name, TEMPLATE_SUBKEY_TAG)) {
            continue;
        }
        WCHAR path[KEY_PATH_CHARS];
        StringCchPrintfW(path, KEY_PATH_CHARS, SUBKEY_PATH_FORMAT, names->templateKey, name);
        DWORD switchId = 0;
        if (ReadDwordValue(path, VAL_SWITCH_ID, &switchId) && switchId == context->switchId) {
            ReadDwordValue(path, VAL_TRIGGER_MODE, &context->triggerMode);
            break;
        }
    }
    RegCloseKey(key);
}

// Writes the board's device-list entry and its driver-key entry in full
// under the number. 1 when both are written.
DWORD WriteNewDeviceEntries(DWORD deviceNumber, DeviceContext* context)
{
    const ModelNames* names = NamesOf(context->boardType);
    if (names == nullptr) {
        return 0;
    }
    WCHAR deviceName[DEVICE_NAME_MAX_CHARS + 1];
    FormatDeviceName(context, names, deviceName);

    RegistryValueEntry listEntry[] = {
        {VAL_BOARD_ID, REG_DWORD, sizeof(DWORD), &context->boardType},
        {VAL_DEVICE_NAME, REG_SZ, 0, deviceName},
        {VAL_DRIVER_NAME, REG_SZ, 0, WrittenFrom(DRIVER_LIBRARY_NAME)},
        {VAL_KERNEL_KEY, REG_SZ, 0, WrittenFrom(names->kernelKeyName)},
        {nullptr, 0, 0, nullptr},
    };

    DWORD allowConflicts = 1;
    DWORD onSystem = 1;
    RegistryValueEntry driverEntry[] = {
        {VAL_BUS_NUMBER, REG_DWORD, sizeof(DWORD), &context->busNumber},
        {VAL_SLOT_NUMBER, REG_DWORD, sizeof(DWORD), &context->slotNumber},
        {VAL_ALLOW_CONFLICTS, REG_DWORD, sizeof(DWORD), &allowConflicts},
        {VAL_ON_SYSTEM, REG_DWORD, sizeof(DWORD), &onSystem},
        {VAL_DEVICE_INDEX, REG_DWORD, sizeof(DWORD), &context->instanceIndex},
        {VAL_BOARD_ID, REG_DWORD, sizeof(DWORD), &context->boardType},
        {VAL_DEVICE_NAME, REG_SZ, 0, deviceName},
        {VAL_DRIVER_NAME, REG_SZ, 0, WrittenFrom(DRIVER_LIBRARY_NAME)},
        {VAL_CALL_NAME, REG_SZ, 0, context->name},
        {VAL_KERNEL_KEY, REG_SZ, 0, WrittenFrom(names->kernelKeyName)},
        {VAL_SYSTEM_IRQ, REG_DWORD, sizeof(DWORD), &context->irq},
        {VAL_SWITCH_ID, REG_DWORD, sizeof(DWORD), &context->switchId},
        {VAL_BASE_ADDRESS, REG_DWORD, sizeof(DWORD), &context->ioBase},
        {VAL_IO_PORT_COUNT, REG_DWORD, sizeof(DWORD), &context->ioLength},
        {VAL_TRIGGER_MODE, REG_DWORD, sizeof(DWORD), &context->triggerMode},
        {nullptr, 0, 0, nullptr},
    };
    return WriteDeviceEntries(deviceNumber, names, listEntry, driverEntry);
}

// The trigger mode of the number's driver-key entry; 1 when it was read
// (else triggerMode stays as it is).
DWORD ReadStoredTriggerMode(DWORD deviceNumber, DeviceContext* context)
{
    const ModelNames* names = NamesOf(context->boardType);
    if (names == nullptr) {
        return 0;
    }
    WCHAR driverPath[KEY_PATH_CHARS];
    DeviceEntryPath(driverPath, names->driverKey, deviceNumber);
    return ReadDwordValue(driverPath, VAL_TRIGGER_MODE, &context->triggerMode) ? 1 : 0;
}

// Brings the values that follow the board (DeviceName, CallName, SwitchID,
// TriggerMode) up to date in the number's entries. 1 when both are written.
DWORD RefreshDeviceEntries(DWORD deviceNumber, DeviceContext* context)
{
    const ModelNames* names = NamesOf(context->boardType);
    if (names == nullptr) {
        return 0;
    }
    WCHAR deviceName[DEVICE_NAME_MAX_CHARS + 1];
    FormatDeviceName(context, names, deviceName);

    RegistryValueEntry listEntry[] = {
        {VAL_DEVICE_NAME, REG_SZ, 0, deviceName},
        {nullptr, 0, 0, nullptr},
    };

    RegistryValueEntry driverEntry[] = {
        {VAL_CALL_NAME, REG_SZ, 0, context->name},
        {VAL_DEVICE_NAME, REG_SZ, 0, deviceName},
        {VAL_SWITCH_ID, REG_DWORD, sizeof(DWORD), &context->switchId},
        {VAL_TRIGGER_MODE, REG_DWORD, sizeof(DWORD), &context->triggerMode},
        {nullptr, 0, 0, nullptr},
    };
    return WriteDeviceEntries(deviceNumber, names, listEntry, driverEntry);
}

}  // namespace

bool PublishDevice(DeviceContext* context)
{
    // Until a number is known the board has none: no entries, no event names.
    context->deviceIndex = NO_DEVICE_NUMBER;
    const ModelNames* names = NamesOf(context->boardType);
    if (names == nullptr) {
        return false;
    }

    bool published = false;
    LONG found = NO_DEVICE_NUMBER;
    FindDeviceNumber(context, names->driverKey, &found);
    if (found == NO_DEVICE_NUMBER) {
        DWORD number = 0;
        const bool numberFree = AllocateDeviceNumber(&number) == 1;
        ReadTemplateTriggerMode(context);
        if (!numberFree) {
            // Every number is in use: the board runs unpublished rather than
            // under another board's number.
            NKDbgPrintfW(u"\n===PublishDevice no free device number, board id: %x not published\n",
                         context->boardType);
        } else if (WriteNewDeviceEntries(number, context) == 1) {
            context->deviceIndex = static_cast<LONG>(number);
            published = true;
        }
        // A number whose entries could not be written is not the board's:
        // the list may not hold it, and another board could be given it and
        // with it the same event names.
    } else {
        // The stored entry holds the number, whether or not the refresh of
        // its values succeeds.
        context->deviceIndex = found;
        ReadStoredTriggerMode(static_cast<DWORD>(found), context);
        published = RefreshDeviceEntries(static_cast<DWORD>(found), context) == 1;
    }
    WriteBoardRegister(context, REG_TRIGGER_MODE, static_cast<BYTE>(context->triggerMode));
    return published;
}

DWORD ReloadTriggerMode(DeviceContext* context)
{
    const ModelNames* names = NamesOf(context->boardType);
    if (names == nullptr || context->deviceIndex < 0) {
        return 0;
    }
    return ReadStoredTriggerMode(static_cast<DWORD>(context->deviceIndex), context);
}
