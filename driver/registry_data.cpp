// Start-time discovery of the board: identification, interrupt and I/O
// window information from the device key, the ID switch, the device file
// name, and the translation of the I/O window.
#include <cstring>

#include "common/board_types.h"
#include "driver/board_registers.h"
#include "driver/device_context.h"
#include "driver/driver_steps.h"
#include "platform/ddk.h"
#include "platform/kernel.h"
#include "platform/registry.h"

namespace {

// Identification from the PCI information. FALSE only when the information
// is there but cannot be read; absent information leaves the board
// unidentified.
BOOL ReadPciIdentity(DeviceContext* context, HKEY deviceKey)
{
    DDKPCIINFO pci{};
    pci.cbSize = sizeof(pci);
    const DWORD status = DDKReg_GetPciInfo(deviceKey, &pci);
    if (status == ERROR_FILE_NOT_FOUND) {
        return TRUE;
    }
    if (status != ERROR_SUCCESS) {
        return FALSE;
    }
    context->slotNumber = pci.dwDeviceNumber;
    context->instanceIndex = pci.dwInstanceIndex;
    if (pci.dwWhichIds & PCIIDM_SUBSYSTEMID) {
        context->subsystemId = pci.idVals[PCIID_SUBSYSTEMID];
    }
    const DWORD deviceId = (pci.dwWhichIds & PCIIDM_DEVICEID) ? pci.idVals[PCIID_DEVICEID] : 0;
    context->boardType = BoardTypeFromPciIds(deviceId, context->subsystemId);
    NKDbgPrintfW(u"\n===GetRegistryData SubSystemID: %x\n", pci.idVals[PCIID_SUBSYSTEMID]);
    NKDbgPrintfW(u"\n===GetRegistryData DeviceID: %x\n", deviceId);
    return TRUE;
}

// Interrupt line, logical interrupt and handler names. TRUE when the
// information is complete: read, a logical interrupt, and both names.
bool ReadInterruptInfo(DeviceContext* context, HKEY deviceKey)
{
    DDKISRINFO isr{};
    isr.cbSize = sizeof(isr);
    if (DDKReg_GetIsrInfo(deviceKey, &isr) != ERROR_SUCCESS) {
        return false;
    }
    if (isr.dwSysintr != 0) {
        context->irq = isr.dwIrq;
        context->sysIntr = isr.dwSysintr;
        NKDbgPrintfW(u"\n===GetRegistryData System Interrupt: %x\n", context->sysIntr);
    }
    const bool namesPresent = isr.szIsrDll[0] != 0 && isr.szIsrHandler[0] != 0;
    if (namesPresent) {
        StringCchCopyW(context->isrDll, ISR_NAME_CHARS, isr.szIsrDll);
        StringCchCopyW(context->isrHandler, ISR_NAME_CHARS, isr.szIsrHandler);
    }
    return isr.dwSysintr != 0 && namesPresent;
}

// The first I/O window: bus, interface type, base and length.
void ReadWindowInfo(DeviceContext* context, HKEY deviceKey)
{
    DDKWINDOWINFO window{};
    window.cbSize = sizeof(window);
    if (DDKReg_GetWindowInfo(deviceKey, &window) != ERROR_SUCCESS || window.dwNumIoWindows < 1) {
        return;
    }
    context->busNumber = window.dwBusNumber;
    context->interfaceType = window.dwInterfaceType;
    context->ioBase = window.ioWindows[0].dwBase;
    context->ioLength = window.ioWindows[0].dwLen;
}

// At most the first 20 bytes of "Name"; the rest of the field stays zero,
// so the name is always terminated. A longer name is read whole and cut.
void ReadDeviceFileName(DeviceContext* context, HKEY activeKey)
{
    DWORD size = DEVICE_FILE_NAME_BYTES;
    if (RegQueryValueExW(activeKey, u"Name", nullptr, nullptr,
                         reinterpret_cast<LPBYTE>(context->name), &size) != ERROR_MORE_DATA) {
        return;
    }
    BYTE* whole = static_cast<BYTE*>(LocalAlloc(LMEM_FIXED, size));
    if (whole == nullptr) {
        return;
    }
    if (RegQueryValueExW(activeKey, u"Name", nullptr, nullptr, whole, &size) == ERROR_SUCCESS &&
        size >= DEVICE_FILE_NAME_BYTES) {
        std::memcpy(context->name, whole, DEVICE_FILE_NAME_BYTES);
    }
    LocalFree(whole);
}

}  // namespace

BOOL GetRegistryData(DeviceContext* context, LPCWSTR activeKey)
{
    HKEY deviceKey = OpenDeviceKey(activeKey);
    if (deviceKey == nullptr || reinterpret_cast<HANDLE>(deviceKey) == INVALID_HANDLE_VALUE) {
        return FALSE;
    }
    if (!ReadPciIdentity(context, deviceKey)) {
        RegCloseKey(deviceKey);
        return FALSE;
    }
    const bool interruptInfoComplete = ReadInterruptInfo(context, deviceKey);
    NKDbgPrintfW(u"\n===GetRegistryData after read int info board id: %x\n", context->boardType);
    if (interruptInfoComplete) {
        ReadWindowInfo(context, deviceKey);
    }
    NKDbgPrintfW(u"\n===GetRegistryData after read pci device info board id: %x\n",
                 context->boardType);
    RegCloseKey(deviceKey);

    // The switch is read only from a board whose window is known; start
    // refuses a board without one.
    if (IsKnownBoardType(context->boardType) && context->ioLength != 0) {
        context->switchId = ReadBoardRegister(context, REG_BOARD_ID) & 0x0F;
        NKDbgPrintfW(u"\n===GetRegistryData SwitchID: %x\n", context->switchId);
    }

    HKEY activeKeyHandle = nullptr;
    const LONG opened = RegOpenKeyExW(HKEY_LOCAL_MACHINE, activeKey, 0, KEY_READ, &activeKeyHandle);
    NKDbgPrintfW(u"\n===GetRegistryData RegOpenKeyEx board id: %x\n", context->boardType);
    if (opened != ERROR_SUCCESS) {
        return FALSE;
    }
    ReadDeviceFileName(context, activeKeyHandle);
    RegCloseKey(activeKeyHandle);

    NKDbgPrintfW(u"\n<===GetRegistryData board id: %x\n", context->boardType);
    return TRUE;
}

ULONG_PTR MapIoWindow(DeviceContext* context, DWORD ioBase, DWORD ioLength)
{
    PHYSICAL_ADDRESS busAddress{};
    busAddress.u.LowPart = ioBase;
    busAddress.u.HighPart = 0;
    ULONG addressSpace = 1;  // ask for I/O space
    PVOID translated = nullptr;
    if (!TransBusAddrToVirtual(static_cast<INTERFACE_TYPE>(context->interfaceType),
                               context->busNumber, busAddress, ioLength, &addressSpace,
                               &translated)) {
        return 0;
    }
    if (addressSpace == 1) {
        context->translatedBase = reinterpret_cast<ULONG_PTR>(translated);
        return reinterpret_cast<ULONG_PTR>(translated);
    }

    PHYSICAL_ADDRESS physical{};
    physical.QuadPart = static_cast<std::int64_t>(reinterpret_cast<ULONG_PTR>(translated));
    PVOID mapped = MmMapIoSpace(physical, ioLength, FALSE);
    if (mapped == nullptr) {
        return 0;
    }
    context->windowMappedAsMemory = TRUE;
    ULONG staticSpace = 0;
    PVOID staticAddress = nullptr;
    TransBusAddrToStatic(PCIBus, 0, busAddress, ioLength, &staticSpace, &staticAddress);
    context->translatedBase = reinterpret_cast<ULONG_PTR>(staticAddress);
    return reinterpret_cast<ULONG_PTR>(mapped);
}
