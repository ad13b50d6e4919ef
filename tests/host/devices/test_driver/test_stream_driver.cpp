// A tiny stream driver (prefix VTD) for the device manager's tests. It writes
// one debug line per entry-point call so that a test can see what the device
// manager passed, and takes its behaviour from values of its device key:
//   "FailInit"      dword, non-zero: Init returns 0
//   "OpenError"     dword, non-zero: Open sets it as last error and returns 0
//                   (0xFFFFFFFF: returns 0 and leaves the last error alone)
// Control codes:
//   1  copies the input to the output, *returned = bytes copied, TRUE
//   2  *returned = 7, last error 0x20000042, FALSE
//   3  TRUE, touches neither *returned nor the last error
#include <cstring>
#include <string>

#include "platform/kernel.h"
#include "platform/registry.h"
#include "platform/stream_driver.h"

namespace {

struct Device {
    std::u16string activeKey;
    DWORD openError = 0;
};

struct OpenFile {
    Device* device;
};

DWORD ReadDword(HKEY key, const WCHAR* name)
{
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD) {
        return 0;
    }
    return value;
}

// Opens the device key named by the active key's "Key" value.
HKEY OpenDeviceKeyOf(LPCWSTR activeKey)
{
    HKEY active = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, activeKey, 0, KEY_READ, &active) != ERROR_SUCCESS) {
        return nullptr;
    }
    WCHAR path[256] = {};
    DWORD size = sizeof path - sizeof(WCHAR);
    LONG status =
        RegQueryValueExW(active, u"Key", nullptr, nullptr, reinterpret_cast<BYTE*>(path), &size);
    RegCloseKey(active);
    HKEY key = nullptr;
    if (status != ERROR_SUCCESS ||
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

}  // namespace

BOOL DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    NKDbgPrintfW(u"TVD DllMain %u\n", reason);
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(module);
    }
    return TRUE;
}

DLL_EXPORT DWORD_PTR VTD_Init(LPCWSTR activeKey, DWORD_PTR busContext)
{
    NKDbgPrintfW(u"TVD Init %s %u\n", activeKey, static_cast<DWORD>(busContext));
    HKEY key = OpenDeviceKeyOf(activeKey);
    if (!key) {
        return 0;
    }
    DWORD failInit = ReadDword(key, u"FailInit");
    DWORD openError = ReadDword(key, u"OpenError");
    RegCloseKey(key);
    if (failInit) {
        return 0;
    }
    auto* device = new Device{activeKey, openError};
    return reinterpret_cast<DWORD_PTR>(device);
}

DLL_EXPORT BOOL VTD_Deinit(DWORD_PTR context)
{
    auto* device = reinterpret_cast<Device*>(context);
    NKDbgPrintfW(u"TVD Deinit %s\n", device->activeKey.c_str());
    delete device;
    return TRUE;
}

DLL_EXPORT DWORD_PTR VTD_Open(DWORD_PTR context, DWORD access, DWORD share)
{
    auto* device = reinterpret_cast<Device*>(context);
    NKDbgPrintfW(u"TVD Open %s %x %x\n", device->activeKey.c_str(), access, share);
    if (device->openError == 0xFFFFFFFF) {
        return 0;
    }
    if (device->openError) {
        SetLastError(device->openError);
        return 0;
    }
    return reinterpret_cast<DWORD_PTR>(new OpenFile{device});
}

DLL_EXPORT BOOL VTD_Close(DWORD_PTR open)
{
    auto* file = reinterpret_cast<OpenFile*>(open);
    NKDbgPrintfW(u"TVD Close %s\n", file->device->activeKey.c_str());
    delete file;
    return TRUE;
}

DLL_EXPORT BOOL VTD_IOControl(DWORD_PTR open, DWORD code, PBYTE in, DWORD inSize, PBYTE out,
                              DWORD outSize, PDWORD returned)
{
    auto* file = reinterpret_cast<OpenFile*>(open);
    switch (code) {
    case 1: {
        DWORD n = inSize < outSize ? inSize : outSize;
        if (n) {
            std::memcpy(out, in, n);
        }
        if (returned) {
            *returned = n;
        }
        return TRUE;
    }
    case 2:
        if (returned) {
            *returned = 7;
        }
        SetLastError(0x20000042);
        return FALSE;
    case 3:
        return TRUE;
    case 4: {
        // A request that stays in the driver until the test sets the event
        // "TVDSlowRelease" (at most 10 s), for closes that must wait for it.
        HANDLE release = CreateEventW(nullptr, TRUE, FALSE, u"TVDSlowRelease");
        NKDbgPrintfW(u"TVD Slow begin\n");
        const DWORD waited = WaitForSingleObject(release, 10000);
        NKDbgPrintfW(u"TVD Slow end\n");
        CloseHandle(release);
        return waited == WAIT_OBJECT_0;
    }
    default:
        NKDbgPrintfW(u"TVD IOControl %s %x\n", file->device->activeKey.c_str(), code);
        return FALSE;
    }
}

DLL_EXPORT DWORD VTD_Read(DWORD_PTR, LPVOID, DWORD)
{
    return 0;
}
DLL_EXPORT DWORD VTD_Write(DWORD_PTR, LPCVOID, DWORD)
{
    return 0;
}
DLL_EXPORT DWORD VTD_Seek(DWORD_PTR, LONG, DWORD)
{
    return 0xFFFFFFFF;
}
