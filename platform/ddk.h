// Device-key, bus, port and interrupt services that a stream driver uses.
#pragma once

#if defined(_WIN32)
// On Windows only the guarded copy exists (the library's registry writer
// uses it); the DDK services below are the target kernel's.
#include "platform/windows/ce_compat.h"
#else

#include "platform/types.h"

// Logical interrupt identifiers.
constexpr DWORD SYSINTR_UNDEFINED = 0xFFFFFFFF;
constexpr DWORD SYSINTR_NOP = 0;
constexpr DWORD SYSINTR_RESCHED = 1;
constexpr DWORD SYSINTR_BREAK = 2;
constexpr DWORD SYSINTR_CHAIN = 3;
constexpr DWORD SYSINTR_DEVICES = 8;
constexpr DWORD IRQ_UNSPECIFIED = 0xFFFFFFFF;

enum INTERFACE_TYPE : int {
    InterfaceTypeUndefined = -1,
    Internal = 0,
    Isa = 1,
    Eisa = 2,
    MicroChannel = 3,
    TurboChannel = 4,
    PCIBus = 5,
};

// PCI information of a device key.
constexpr DWORD PCIIDM_CLASS = 0x01;
constexpr DWORD PCIIDM_SUBCLASS = 0x02;
constexpr DWORD PCIIDM_PROGIF = 0x04;
constexpr DWORD PCIIDM_VENDORID = 0x08;
constexpr DWORD PCIIDM_DEVICEID = 0x10;
constexpr DWORD PCIIDM_REVISIONID = 0x20;
constexpr DWORD PCIIDM_SUBVENDORID = 0x40;
constexpr DWORD PCIIDM_SUBSYSTEMID = 0x80;
enum : DWORD {
    PCIID_CLASS = 0,
    PCIID_SUBCLASS = 1,
    PCIID_PROGIF = 2,
    PCIID_VENDORID = 3,
    PCIID_DEVICEID = 4,
    PCIID_REVISIONID = 5,
    PCIID_SUBVENDORID = 6,
    PCIID_SUBSYSTEMID = 7,
    NUM_PCIID_TYPES = 8,
};

struct DDKPCIINFO {
    DWORD cbSize;
    DWORD dwDeviceNumber;
    DWORD dwFunctionNumber;
    DWORD dwInstanceIndex;
    DWORD dwWhichIds;
    DWORD idVals[NUM_PCIID_TYPES];
};

constexpr int DEVDLL_LEN = 64;
struct DDKISRINFO {
    DWORD cbSize;
    DWORD dwIrq;
    DWORD dwSysintr;
    WCHAR szIsrDll[DEVDLL_LEN];
    WCHAR szIsrHandler[DEVDLL_LEN];
};

constexpr int MAX_DEVICE_WINDOWS = 6;
struct DEVICEWINDOW {
    DWORD dwBase;
    DWORD dwLen;
};
struct DDKWINDOWINFO {
    DWORD cbSize;
    DWORD dwBusNumber;
    DWORD dwInterfaceType;
    DWORD dwNumIoWindows;
    DEVICEWINDOW ioWindows[MAX_DEVICE_WINDOWS];
    DWORD dwNumMemWindows;
    DEVICEWINDOW memWindows[MAX_DEVICE_WINDOWS];
};

// The generic installable handler's settings record, sent with
// IOCTL_GIISR_INFO to the handler instance.
struct GIISR_INFO {
    DWORD SysIntr;
    BOOL CheckPort;
    BOOL PortIsIO;
    BOOL UseMaskReg;
    DWORD PortAddr;
    DWORD PortSize;
    DWORD Mask;
    DWORD MaskAddr;
};
static_assert(sizeof(GIISR_INFO) == 32);
constexpr DWORD IOCTL_GIISR_INFO = 0x100;

extern "C" {

// ---- Device keys ----------------------------------------------------------

// Opens the device key named by the "Key" value of the active key
// (HKLM\Drivers\Active\NN). Returns an open HKEY, or NULL on failure.
HKEY OpenDeviceKey(LPCWSTR activeKey);

// Fill the records from an open device key; results are ERROR_* codes.
// GetPciInfo: cbSize must equal sizeof(DDKPCIINFO) (else 87); the record is
// zeroed; DeviceNumber, FunctionNumber, InstanceIndex are required (missing:
// 2, wrong type: 13); each present id of the eight sets bit 1 << index of
// dwWhichIds.
DWORD DDKReg_GetPciInfo(HKEY key, DDKPCIINFO* info);
// GetIsrInfo: dwIrq defaults to IRQ_UNSPECIFIED and dwSysintr to SYSINTR_NOP;
// reads Irq, SysIntr, IsrDll, IsrHandler; absent values are fine; exactly one
// of the two names present returns 13.
DWORD DDKReg_GetIsrInfo(HKEY key, DDKISRINFO* info);
// GetWindowInfo: dwInterfaceType defaults to -1 and dwBusNumber to 0; reads
// BusNumber, InterfaceType, MemBase/MemLen and IoBase/IoLen (REG_DWORD pairs:
// one window; REG_MULTI_SZ pairs of hexadecimal texts: up to 6 windows;
// mismatched pairs: 13).
DWORD DDKReg_GetWindowInfo(HKEY key, DDKWINDOWINFO* info);

// ---- Bus and memory ---------------------------------------------------------

// Translates a bus address. *addressSpace: in, 1 asks for I/O space; out, 1
// when the result is an I/O port address (then *mappedAddress is the port
// address itself and no mapping is needed), 0 for memory space. FALSE on
// failure.
BOOL TransBusAddrToVirtual(INTERFACE_TYPE interfaceType, ULONG busNumber,
                           PHYSICAL_ADDRESS busAddress, ULONG length, PULONG addressSpace,
                           PVOID* mappedAddress);
// Same form; the result is usable by an installable handler.
BOOL TransBusAddrToStatic(INTERFACE_TYPE interfaceType, ULONG busNumber,
                          PHYSICAL_ADDRESS busAddress, ULONG length, PULONG addressSpace,
                          PVOID* mappedAddress);
// Maps physical memory; NULL on failure. Released with MmUnmapIoSpace.
PVOID MmMapIoSpace(PHYSICAL_ADDRESS physicalAddress, ULONG numberOfBytes, BOOL cacheEnable);
void MmUnmapIoSpace(PVOID baseAddress, ULONG numberOfBytes);

// ---- Port I/O --------------------------------------------------------------

// Port input and output. The address is the port number as a typed pointer.
// The host routes it to the board whose I/O window holds it; 16- and 32-bit
// accesses are little-endian over consecutive 8-bit registers; a port that no
// board decodes reads all ones and ignores writes.
UCHAR READ_PORT_UCHAR(PUCHAR port);
USHORT READ_PORT_USHORT(PUSHORT port);
ULONG READ_PORT_ULONG(PULONG port);
void WRITE_PORT_UCHAR(PUCHAR port, UCHAR value);
void WRITE_PORT_USHORT(PUSHORT port, USHORT value);
void WRITE_PORT_ULONG(PULONG port, ULONG value);

// ---- Interrupts -------------------------------------------------------------

// Loads an installable chain handler (library dll, entry point entry) and
// appends it to the chain of IRQ line irq. NULL on failure.
HANDLE LoadIntChainHandler(LPCWSTR dll, LPCWSTR entry, BYTE irq);
// Removes the handler from its chain and unloads it. FALSE for a bad handle.
BOOL FreeIntChainHandler(HANDLE handler);
// Passes a control request to the loaded handler library's instance.
BOOL KernelLibIoControl(HANDLE module, DWORD code, LPVOID in, DWORD inSize, LPVOID out,
                        DWORD outSize, LPDWORD returned);
// Registers event as the signal of logical interrupt sysIntr. The interrupt
// starts masked; InterruptDone unmasks it. FALSE for an unknown sysIntr or a
// bad event.
BOOL InterruptInitialize(DWORD sysIntr, HANDLE event, LPVOID data, DWORD size);
// Unmasks sysIntr after a reported interrupt was handled. A line still
// asserted then reports again.
void InterruptDone(DWORD sysIntr);
// Deregisters the event of sysIntr and masks it.
void InterruptDisable(DWORD sysIntr);

// ---- Guarded memory access -------------------------------------------------

// Copies size bytes; FALSE (with ERROR_NOACCESS) instead of a fault when src
// or dst is not accessible memory.
BOOL CeSafeCopyMemory(LPVOID dst, LPCVOID src, DWORD size);

}  // extern "C"

#endif  // _WIN32
