// Bus-address translation and I/O-space mapping.
//
// The machine's boards sit in I/O space: translating an I/O-space bus
// address gives the port number itself, as on an x86 target, and needs no
// mapping. Nothing is memory-mapped on this machine; MmMapIoSpace still hands
// out real, counted mappings (host memory reading as 0xFF, like unclaimed
// bus memory) so that callers' map/unmap pairing can be checked, and
// TransBusAddrToVirtual maps memory-space addresses through it. A static
// mapping is a kernel address that outlives its caller; this host cannot
// give one for memory space within 32 bits, so TransBusAddrToStatic refuses
// memory space (ERROR_NOT_SUPPORTED).
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/ddk.h"
#include "platform/host/kernel/counters_and_faults.h"
#include "platform/kernel.h"

namespace {

std::mutex& MappingMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::map<void*, ULONG>& Mappings()
{
    static std::map<void*, ULONG> mappings;
    return mappings;
}

bool KnownInterface(INTERFACE_TYPE type)
{
    return type >= Internal && type <= PCIBus;
}

// Whether a translation request can be served at all; ERROR_INVALID_PARAMETER
// when it cannot.
bool ValidRequest(INTERFACE_TYPE interfaceType, PULONG addressSpace, PVOID* mappedAddress)
{
    if (addressSpace != nullptr && mappedAddress != nullptr && KnownInterface(interfaceType)) {
        return true;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
}

// An I/O-space translation: the port number, inside the 64 KiB port space
// (ERROR_INVALID_PARAMETER outside it).
BOOL TranslateIo(PHYSICAL_ADDRESS busAddress, ULONG length, PVOID* mapped)
{
    const std::uint64_t start = static_cast<std::uint64_t>(busAddress.QuadPart);
    if (busAddress.QuadPart < 0 || start > 0xFFFF || start + length > 0x10000) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *mapped = reinterpret_cast<PVOID>(static_cast<ULONG_PTR>(start));
    return TRUE;
}

}  // namespace

extern "C" BOOL TransBusAddrToVirtual(INTERFACE_TYPE interfaceType, ULONG busNumber,
                                      PHYSICAL_ADDRESS busAddress, ULONG length,
                                      PULONG addressSpace, PVOID* mappedAddress)
{
    (void)busNumber;
    if (!ValidRequest(interfaceType, addressSpace, mappedAddress)) {
        return FALSE;
    }
    if (*addressSpace == 1) {
        return TranslateIo(busAddress, length, mappedAddress);
    }
    PVOID mapped = MmMapIoSpace(busAddress, length, FALSE);
    if (mapped == nullptr) {
        return FALSE;
    }
    *addressSpace = 0;
    *mappedAddress = mapped;
    return TRUE;
}

extern "C" BOOL TransBusAddrToStatic(INTERFACE_TYPE interfaceType, ULONG busNumber,
                                     PHYSICAL_ADDRESS busAddress, ULONG length, PULONG addressSpace,
                                     PVOID* mappedAddress)
{
    (void)busNumber;
    if (!ValidRequest(interfaceType, addressSpace, mappedAddress)) {
        return FALSE;
    }
    if (*addressSpace != 1) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    return TranslateIo(busAddress, length, mappedAddress);
}

extern "C" PVOID MmMapIoSpace(PHYSICAL_ADDRESS physicalAddress, ULONG numberOfBytes,
                              BOOL cacheEnable)
{
    (void)cacheEnable;
    if (numberOfBytes == 0 || physicalAddress.QuadPart < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    void* memory = std::malloc(numberOfBytes);
    if (memory == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    std::memset(memory, 0xFF, numberOfBytes);
    {
        std::lock_guard lock(MappingMutex());
        Mappings()[memory] = numberOfBytes;
    }
    vtsim::internal::Adjust(vtsim::internal::Counter::Mappings, +1);
    return memory;
}

extern "C" void MmUnmapIoSpace(PVOID baseAddress, ULONG numberOfBytes)
{
    (void)numberOfBytes;
    {
        std::lock_guard lock(MappingMutex());
        auto it = Mappings().find(baseAddress);
        if (it == Mappings().end()) {
            return;  // not a mapping: ignored, as the target's kernel does
        }
        Mappings().erase(it);
    }
    std::free(baseAddress);
    vtsim::internal::Adjust(vtsim::internal::Counter::Mappings, -1);
}
