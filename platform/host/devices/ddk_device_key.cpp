// Device-key services: opening the device key of an active key and reading
// a device's PCI, interrupt and I/O-window information from it.
//
// Choices where the platform's behaviour is not pinned down:
// - A value of the wrong type (or a REG_DWORD of the wrong size) is
//   ERROR_INVALID_DATA, for the required values and the optional ones alike.
// - An IsrDll or IsrHandler name that does not fit the record's 64
//   characters (with its terminator) is ERROR_INVALID_DATA: truncating it
//   would name a different library.
// - Window lists (REG_MULTI_SZ) hold hexadecimal texts with or without "0x";
//   base and length lists must have the same, non-zero number of entries,
//   at most MAX_DEVICE_WINDOWS; anything else is ERROR_INVALID_DATA.
#include <cstring>
#include <string>
#include <vector>

#include "platform/ddk.h"
#include "platform/host/registry/value_text.h"
#include "platform/kernel.h"
#include "platform/registry.h"

namespace {

using vtsim::internal::ParseHexList;
using vtsim::internal::ValueCharacters;

// Reads a whole value. ERROR_FILE_NOT_FOUND when absent.
LONG QueryValue(HKEY key, const WCHAR* name, DWORD* type, std::vector<BYTE>* data)
{
    DWORD size = 0;
    LONG r = RegQueryValueExW(key, name, nullptr, type, nullptr, &size);
    if (r != ERROR_SUCCESS) {
        return r;
    }
    for (int attempt = 0; attempt < 4; ++attempt) {
        data->assign(size, 0);
        r = RegQueryValueExW(key, name, nullptr, type, data->empty() ? nullptr : data->data(),
                             &size);
        if (r != ERROR_MORE_DATA) {
            if (r == ERROR_SUCCESS) {
                data->resize(size);
            }
            return r;
        }
    }
    return r;
}

// Reads a value that may be absent: ERROR_SUCCESS with *found false then.
DWORD QueryOptional(HKEY key, const WCHAR* name, DWORD* type, std::vector<BYTE>* data, bool* found)
{
    const LONG r = QueryValue(key, name, type, data);
    *found = r == ERROR_SUCCESS;
    return r == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : static_cast<DWORD>(r);
}

// A REG_DWORD value; on success *present tells whether it exists.
DWORD ReadDword(HKEY key, const WCHAR* name, DWORD* value, bool* present)
{
    DWORD type = 0;
    std::vector<BYTE> data;
    const DWORD r = QueryOptional(key, name, &type, &data, present);
    if (r != ERROR_SUCCESS || !*present) {
        return r;
    }
    if (type != REG_DWORD || data.size() != sizeof(DWORD)) {
        return ERROR_INVALID_DATA;
    }
    std::memcpy(value, data.data(), sizeof(DWORD));
    return ERROR_SUCCESS;
}

// A REG_SZ name of at most DEVDLL_LEN - 1 characters into buffer; on success
// *present tells whether it exists.
DWORD ReadName(HKEY key, const WCHAR* name, WCHAR (&buffer)[DEVDLL_LEN], bool* present)
{
    DWORD type = 0;
    std::vector<BYTE> data;
    const DWORD r = QueryOptional(key, name, &type, &data, present);
    if (r != ERROR_SUCCESS || !*present) {
        return r;
    }
    if (type != REG_SZ) {
        return ERROR_INVALID_DATA;
    }
    const std::u16string text = ValueCharacters(data);
    if (text.size() >= DEVDLL_LEN) {
        return ERROR_INVALID_DATA;
    }
    std::memcpy(buffer, text.c_str(), (text.size() + 1) * sizeof(WCHAR));
    return ERROR_SUCCESS;
}

// A base/length pair of values: none, one REG_DWORD window, or REG_MULTI_SZ
// lists of windows.
DWORD ReadWindows(HKEY key, const WCHAR* baseName, const WCHAR* lenName,
                  DEVICEWINDOW (&windows)[MAX_DEVICE_WINDOWS], DWORD* count)
{
    DWORD baseType = 0, lenType = 0;
    std::vector<BYTE> base, len;
    const LONG rb = QueryValue(key, baseName, &baseType, &base);
    const LONG rl = QueryValue(key, lenName, &lenType, &len);
    if (rb != ERROR_SUCCESS && rb != ERROR_FILE_NOT_FOUND) {
        return static_cast<DWORD>(rb);
    }
    if (rl != ERROR_SUCCESS && rl != ERROR_FILE_NOT_FOUND) {
        return static_cast<DWORD>(rl);
    }
    *count = 0;
    if (rb == ERROR_FILE_NOT_FOUND && rl == ERROR_FILE_NOT_FOUND) {
        return ERROR_SUCCESS;
    }
    if (rb != rl || baseType != lenType) {
        return ERROR_INVALID_DATA;
    }
    if (baseType == REG_DWORD) {
        if (base.size() != 4 || len.size() != 4) {
            return ERROR_INVALID_DATA;
        }
        std::memcpy(&windows[0].dwBase, base.data(), 4);
        std::memcpy(&windows[0].dwLen, len.data(), 4);
        *count = 1;
        return ERROR_SUCCESS;
    }
    if (baseType != REG_MULTI_SZ) {
        return ERROR_INVALID_DATA;
    }
    std::vector<DWORD> bases, lens;
    if (!ParseHexList(base, &bases) || !ParseHexList(len, &lens) || bases.size() != lens.size() ||
        bases.empty() || bases.size() > MAX_DEVICE_WINDOWS) {
        return ERROR_INVALID_DATA;
    }
    for (std::size_t i = 0; i < bases.size(); ++i) {
        windows[i] = {bases[i], lens[i]};
    }
    *count = static_cast<DWORD>(bases.size());
    return ERROR_SUCCESS;
}

// Checks a caller's record by its size field and clears it, keeping the size;
// false when the record is missing or of another size.
template <typename Record>
bool ResetRecord(Record* info)
{
    if (info == nullptr || info->cbSize != sizeof(Record)) {
        return false;
    }
    std::memset(info, 0, sizeof *info);
    info->cbSize = sizeof(Record);
    return true;
}

}  // namespace

extern "C" HKEY OpenDeviceKey(LPCWSTR activeKey)
{
    if (activeKey == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HKEY active = nullptr;
    LONG r = RegOpenKeyExW(HKEY_LOCAL_MACHINE, activeKey, 0, KEY_READ, &active);
    if (r != ERROR_SUCCESS) {
        SetLastError(static_cast<DWORD>(r));
        return nullptr;
    }
    DWORD type = 0;
    std::vector<BYTE> data;
    r = QueryValue(active, u"Key", &type, &data);
    RegCloseKey(active);
    if (r == ERROR_SUCCESS && type != REG_SZ) {
        r = ERROR_INVALID_DATA;
    }
    const std::u16string path = r == ERROR_SUCCESS ? ValueCharacters(data) : std::u16string();
    if (r == ERROR_SUCCESS && path.empty()) {
        r = ERROR_FILE_NOT_FOUND;  // an empty path would open HKLM itself
    }
    HKEY device = nullptr;
    if (r == ERROR_SUCCESS) {
        r = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &device);
    }
    if (r != ERROR_SUCCESS) {
        SetLastError(static_cast<DWORD>(r));
        return nullptr;
    }
    return device;
}

extern "C" DWORD DDKReg_GetPciInfo(HKEY key, DDKPCIINFO* info)
{
    if (!ResetRecord(info)) {
        return ERROR_INVALID_PARAMETER;
    }
    struct Required {
        const WCHAR* name;
        DWORD* field;
    } required[] = {{u"DeviceNumber", &info->dwDeviceNumber},
                    {u"FunctionNumber", &info->dwFunctionNumber},
                    {u"InstanceIndex", &info->dwInstanceIndex}};
    for (const auto& value : required) {
        bool present = false;
        const DWORD r = ReadDword(key, value.name, value.field, &present);
        if (r != ERROR_SUCCESS) {
            return r;
        }
        if (!present) {
            return ERROR_FILE_NOT_FOUND;
        }
    }
    static const WCHAR* const ids[NUM_PCIID_TYPES] = {u"Class",       u"SubClass",   u"ProgIF",
                                                      u"VendorID",    u"DeviceID",   u"RevisionID",
                                                      u"SubVendorID", u"SubSystemID"};
    for (DWORD i = 0; i < NUM_PCIID_TYPES; ++i) {
        bool present = false;
        const DWORD r = ReadDword(key, ids[i], &info->idVals[i], &present);
        if (r != ERROR_SUCCESS) {
            return r;
        }
        if (present) {
            info->dwWhichIds |= 1u << i;
        }
    }
    return ERROR_SUCCESS;
}

extern "C" DWORD DDKReg_GetIsrInfo(HKEY key, DDKISRINFO* info)
{
    if (!ResetRecord(info)) {
        return ERROR_INVALID_PARAMETER;
    }
    info->dwIrq = IRQ_UNSPECIFIED;
    info->dwSysintr = SYSINTR_NOP;
    bool present = false;
    DWORD r = ReadDword(key, u"Irq", &info->dwIrq, &present);
    if (r != ERROR_SUCCESS) {
        return r;
    }
    r = ReadDword(key, u"SysIntr", &info->dwSysintr, &present);
    if (r != ERROR_SUCCESS) {
        return r;
    }
    bool handlerPresent = false, dllPresent = false;
    r = ReadName(key, u"IsrHandler", info->szIsrHandler, &handlerPresent);
    if (r != ERROR_SUCCESS) {
        return r;
    }
    r = ReadName(key, u"IsrDll", info->szIsrDll, &dllPresent);
    if (r != ERROR_SUCCESS) {
        return r;
    }
    if (handlerPresent != dllPresent) {
        return ERROR_INVALID_DATA;
    }
    return ERROR_SUCCESS;
}

extern "C" DWORD DDKReg_GetWindowInfo(HKEY key, DDKWINDOWINFO* info)
{
    if (!ResetRecord(info)) {
        return ERROR_INVALID_PARAMETER;
    }
    info->dwInterfaceType = static_cast<DWORD>(InterfaceTypeUndefined);
    info->dwBusNumber = 0;
    bool present = false;
    DWORD r = ReadDword(key, u"BusNumber", &info->dwBusNumber, &present);
    if (r != ERROR_SUCCESS) {
        return r;
    }
    r = ReadDword(key, u"InterfaceType", &info->dwInterfaceType, &present);
    if (r != ERROR_SUCCESS) {
        return r;
    }
    r = ReadWindows(key, u"MemBase", u"MemLen", info->memWindows, &info->dwNumMemWindows);
    if (r != ERROR_SUCCESS) {
        return r;
    }
    return ReadWindows(key, u"IoBase", u"IoLen", info->ioWindows, &info->dwNumIoWindows);
}
