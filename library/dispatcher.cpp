// DriverProc: the operations by function code, with their arguments taken
// from the caller's parameter block.
#include "library/connections.h"
#include "library/include/rlx4100.h"
#include "library/status.h"

namespace {

using Handler = LONG (*)(LONG_PTR first, LONG_PTR second);

struct DispatchEntry {
    DWORD code;
    bool hasBlock;  // the second parameter is a parameter block address
    Handler handler;
};

LONG HandleOf(LONG_PTR first)
{
    return static_cast<LONG>(first);
}

template <typename Block>
const Block& BlockOf(LONG_PTR second)
{
    return *reinterpret_cast<const Block*>(second);
}

constexpr DispatchEntry DispatchTable[] = {
    {FUNC_DEVICE_OPEN, false,
     [](LONG_PTR first, LONG_PTR second) {
         return DeviceOpen(static_cast<DWORD>(first), reinterpret_cast<LONG*>(second));
     }},
    {FUNC_DEVICE_CLOSE, false,
     [](LONG_PTR first, LONG_PTR) {
         return DeviceClose(reinterpret_cast<LONG*>(first));
     }},
    {FUNC_DEVICE_GET_FEATURES, true,
     [](LONG_PTR first, LONG_PTR second) {
         const auto& b = BlockOf<DeviceGetFeaturesBlock>(second);
         return DeviceGetFeatures(HandleOf(first), b.buffer, b.size);
     }},
    {FUNC_DIO_READ_PORT_BYTE, true,
     [](LONG_PTR first, LONG_PTR second) {
         const auto& b = BlockOf<DioReadPortByteBlock>(second);
         return DioReadPortByte(HandleOf(first), b.port, b.value);
     }},
    {FUNC_DIO_WRITE_PORT_BYTE, true,
     [](LONG_PTR first, LONG_PTR second) {
         const auto& b = BlockOf<DioWritePortByteBlock>(second);
         return DioWritePortByte(HandleOf(first), b.port, b.mask, b.state);
     }},
    {FUNC_DIO_READ_BIT, true,
     [](LONG_PTR first, LONG_PTR second) {
         const auto& b = BlockOf<DioReadBitBlock>(second);
         return DioReadBit(HandleOf(first), b.port, b.bit, b.value);
     }},
    {FUNC_DIO_WRITE_BIT, true,
     [](LONG_PTR first, LONG_PTR second) {
         const auto& b = BlockOf<DioWriteBitBlock>(second);
         return DioWriteBit(HandleOf(first), b.port, b.bit, b.state);
     }},
    {FUNC_DIO_GET_CURRENT_DO_BYTE, true,
     [](LONG_PTR first, LONG_PTR second) {
         const auto& b = BlockOf<DioGetCurrentDOByteBlock>(second);
         return DioGetCurrentDOByte(HandleOf(first), b.port, b.value);
     }},
    {FUNC_DIO_GET_CURRENT_DO_BIT, true,
     [](LONG_PTR first, LONG_PTR second) {
         const auto& b = BlockOf<DioGetCurrentDOBitBlock>(second);
         return DioGetCurrentDOBit(HandleOf(first), b.port, b.bit, b.value);
     }},
    {FUNC_WRITE_PORT_BYTE, true,
     [](LONG_PTR first, LONG_PTR second) {
         const auto& b = BlockOf<WritePortByteBlock>(second);
         return WritePortByte(HandleOf(first), b.address, b.value);
     }},
    {FUNC_WRITE_PORT_WORD, true,
     [](LONG_PTR first, LONG_PTR second) {
         const auto& b = BlockOf<WritePortWordBlock>(second);
         return WritePortWord(HandleOf(first), b.address, b.value);
     }},
    {FUNC_READ_PORT_BYTE, true,
     [](LONG_PTR first, LONG_PTR second) {
         const auto& b = BlockOf<ReadPortByteBlock>(second);
         return ReadPortByte(HandleOf(first), b.address, b.value);
     }},
    {FUNC_READ_PORT_WORD, true,
     [](LONG_PTR first, LONG_PTR second) {
         const auto& b = BlockOf<ReadPortWordBlock>(second);
         return ReadPortWord(HandleOf(first), b.address, b.value);
     }},
    {FUNC_ENABLE_EVENT, true,
     [](LONG_PTR first, LONG_PTR second) {
         const auto& b = BlockOf<EnableEventBlock>(second);
         return EnableEvent(HandleOf(first), b.eventType, b.enable, b.count);
     }},
    {FUNC_CHECK_EVENT, true,
     [](LONG_PTR first, LONG_PTR second) {
         const auto& b = BlockOf<CheckEventBlock>(second);
         return CheckEvent(HandleOf(first), b.eventType, b.timeout);
     }},
    {FUNC_DEVICE_SET_PROPERTY, true,
     [](LONG_PTR first, LONG_PTR second) {
         const auto& b = BlockOf<DeviceSetPropertyBlock>(second);
         return DeviceSetProperty(HandleOf(first), b.id, b.data, b.length);
     }},
    {FUNC_DEVICE_GET_PROPERTY, true,
     [](LONG_PTR first, LONG_PTR second) {
         const auto& b = BlockOf<DeviceGetPropertyBlock>(second);
         return DeviceGetProperty(HandleOf(first), b.id, b.buffer, b.length);
     }},
    // The word and dword reads hold the value before the mask in the block.
    {FUNC_DIO_READ_PORT_WORD, true,
     [](LONG_PTR first, LONG_PTR second) {
         const auto& b = BlockOf<DioReadPortWordBlock>(second);
         return DioReadPortWord(HandleOf(first), b.port, b.validMask, b.value);
     }},
    {FUNC_DIO_WRITE_PORT_WORD, true,
     [](LONG_PTR first, LONG_PTR second) {
         const auto& b = BlockOf<DioWritePortWordBlock>(second);
         return DioWritePortWord(HandleOf(first), b.port, b.mask, b.state);
     }},
    {FUNC_DIO_READ_PORT_DWORD, true,
     [](LONG_PTR first, LONG_PTR second) {
         const auto& b = BlockOf<DioReadPortDwordBlock>(second);
         return DioReadPortDword(HandleOf(first), b.port, b.validMask, b.value);
     }},
    {FUNC_DIO_WRITE_PORT_DWORD, true,
     [](LONG_PTR first, LONG_PTR second) {
         const auto& b = BlockOf<DioWritePortDwordBlock>(second);
         return DioWritePortDword(HandleOf(first), b.port, b.mask, b.state);
     }},
    {FUNC_DIO_GET_CURRENT_DO_WORD, true,
     [](LONG_PTR first, LONG_PTR second) {
         const auto& b = BlockOf<DioGetCurrentDOWordBlock>(second);
         return DioGetCurrentDOWord(HandleOf(first), b.port, b.validMask, b.value);
     }},
    {FUNC_DIO_GET_CURRENT_DO_DWORD, true,
     [](LONG_PTR first, LONG_PTR second) {
         const auto& b = BlockOf<DioGetCurrentDODwordBlock>(second);
         return DioGetCurrentDODword(HandleOf(first), b.port, b.validMask, b.value);
     }},
    {FUNC_DIO_ENABLE_EVENT_AND_SPECIFY_DI_PORTS, true,
     [](LONG_PTR first, LONG_PTR second) {
         const auto& b = BlockOf<DioEnableEventAndSpecifyDiPortsBlock>(second);
         return DioEnableEventAndSpecifyDiPorts(HandleOf(first), b.eventType, b.firstPort,
                                                b.portCount);
     }},
    {FUNC_DIO_DISABLE_EVENT, false,
     [](LONG_PTR first, LONG_PTR second) {
         return DioDisableEvent(HandleOf(first), static_cast<DWORD>(second));
     }},
    {FUNC_DIO_GET_LATEST_EVENT_DI_PORTS_STATE, true,
     [](LONG_PTR first, LONG_PTR second) {
         const auto& b = BlockOf<DioGetLatestEventDiPortsStateBlock>(second);
         return DioGetLatestEventDiPortsState(HandleOf(first), b.eventType, b.buffer, b.length);
     }},
    {FUNC_DIO_READ_DI_PORTS, true,
     [](LONG_PTR first, LONG_PTR second) {
         const auto& b = BlockOf<DioReadDiPortsBlock>(second);
         return DioReadDiPorts(HandleOf(first), b.firstPort, b.portCount, b.buffer);
     }},
    {FUNC_DIO_WRITE_DO_PORTS, true,
     [](LONG_PTR first, LONG_PTR second) {
         const auto& b = BlockOf<DioWriteDoPortsBlock>(second);
         return DioWriteDoPorts(HandleOf(first), b.firstPort, b.portCount, b.data);
     }},
    {FUNC_DIO_GET_CURRENT_DO_PORTS_STATE, true,
     [](LONG_PTR first, LONG_PTR second) {
         const auto& b = BlockOf<DioGetCurrentDoPortsStateBlock>(second);
         return DioGetCurrentDoPortsState(HandleOf(first), b.firstPort, b.portCount, b.buffer);
     }},
};

constexpr DWORD HIGHEST_CODE = FUNC_DIO_GET_CURRENT_DO_PORTS_STATE;

// The table by code, built once: null where a code has no operation.
struct CodeIndex {
    const DispatchEntry* byCode[HIGHEST_CODE + 1] = {};
    constexpr CodeIndex()
    {
        for (const DispatchEntry& entry : DispatchTable) {
            byCode[entry.code] = &entry;
        }
    }
};
constexpr CodeIndex Codes;

// A code that takes a block but came without one: the block holds the
// operation's arguments and result addresses, so the call is answered as
// the operation answers a missing address, after the handle check.
LONG MissingBlockStatus(LONG handle)
{
    ConnectionRef connection(handle);
    if (!connection) {
        return API_INVALID_HANDLE;
    }
    return ApiDeviceStatus(connection->deviceNumber, API_INVALID_PARAMETER);
}

}  // namespace

LONG DriverProc(DWORD, DWORD, DWORD functionCode, LONG_PTR first, LONG_PTR second)
{
    const DWORD code = functionCode & 0xFFFF;
    if (code > HIGHEST_CODE) {
        return API_UNKNOWN_FUNCTION;
    }
    const DispatchEntry* entry = Codes.byCode[code];
    if (entry == nullptr) {
        return API_UNKNOWN_FUNCTION;
    }
    if (entry->hasBlock && second == 0) {
        return MissingBlockStatus(HandleOf(first));
    }
    return entry->handler(first, second);
}
