// VTD_IOControl: the control requests that the driver library sends, one
// handler per code; the port, register and board requests are here, the
// event requests in event_requests.cpp. Each handler makes its checks in
// order; the first that fails decides the status. Records are read and
// written byte-wise and never beyond the lengths the caller gave.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "common/board_types.h"
#include "common/control_codes.h"
#include "driver/board_registers.h"
#include "driver/control_request.h"
#include "driver/device_context.h"
#include "driver/entry_points.h"
#include "platform/ddk.h"
#include "platform/kernel.h"

namespace {

// Ports of a range that lie on the board: a range running past the last port
// is cut short.
DWORD PortsInRange(DWORD boardType, DWORD firstPort, DWORD portCount)
{
    const DWORD ports = PortCountOf(boardType);
    return firstPort >= ports ? 0 : std::min(portCount, ports - firstPort);
}

// ---- DI and DO ports ----------------------------------------------------------

struct PortRange {
    DWORD first;
    DWORD count;  // ports on the board, after a range past the end is cut short
};

// The checks every DI/DO range request makes, in order: the record, the
// first port against the side's `portLimit`, the board type, then room for
// the ports in the output (a read) or after the header (a write). A failed
// check fails the request.
bool ResolvePortRange(const ControlRequest& request, DWORD portLimit, bool writes, PortRange& range)
{
    const DWORD headerSize = writes ? DO_WRITE_HEADER_SIZE : PORT_RANGE_RECORD_SIZE;
    if (request.in == nullptr || (!writes && request.out == nullptr) ||
        request.inSize < headerSize) {
        return Fail(request, DRV_STATUS_BAD_BUFFER);
    }
    DeviceContext* context = request.context;
    range.first = ReadU32(request.in);
    if (range.first >= portLimit) {
        return Fail(request, DRV_STATUS_PORT_OUT_OF_RANGE);
    }
    if (!IsKnownBoardType(context->boardType)) {
        return Fail(request, DRV_STATUS_BOARD_NOT_SUPPORTED);
    }
    range.count = PortsInRange(context->boardType, range.first, ReadU32(request.in + 4));
    const DWORD room = writes ? request.inSize - headerSize : request.outSize;
    if (room < range.count) {
        return Fail(request, DRV_STATUS_BAD_BUFFER);
    }
    return true;
}

BOOL ReadDiPorts(const ControlRequest& request)
{
    DeviceContext* context = request.context;
    PortRange range;
    if (!ResolvePortRange(request, context->diPortCount, false, range)) {
        return FALSE;
    }
    EnterCriticalSection(&context->portLock);
    for (DWORD i = 0; i < range.count; ++i) {
        request.out[i] = ReadBoardRegister(context, REG_DIO_PORT + range.first + i);
    }
    LeaveCriticalSection(&context->portLock);
    SetReturned(request, range.count);
    return TRUE;
}

BOOL WriteDoPorts(const ControlRequest& request)
{
    DeviceContext* context = request.context;
    PortRange range;
    if (!ResolvePortRange(request, context->doPortCount, true, range)) {
        return FALSE;
    }
    const BYTE* values = request.in + DO_WRITE_HEADER_SIZE;
    // One lock over the whole range: a read-back sees all of this write or
    // none of it.
    EnterCriticalSection(&context->portLock);
    for (DWORD i = 0; i < range.count; ++i) {
        const DWORD port = range.first + i;
        WriteBoardRegister(context, REG_DIO_PORT + port, values[i]);
        NKDbgPrintfW(u"\n===Write DO Port: %d, Value: %x\n", port, values[i]);
        context->doShadow[port] = values[i];
    }
    LeaveCriticalSection(&context->portLock);
    SetReturned(request, 0);
    return TRUE;
}

BOOL GetCurrentDoPorts(const ControlRequest& request)
{
    DeviceContext* context = request.context;
    PortRange range;
    if (!ResolvePortRange(request, context->doPortCount, false, range)) {
        return FALSE;
    }
    EnterCriticalSection(&context->portLock);
    for (DWORD i = 0; i < range.count; ++i) {
        const DWORD port = range.first + i;
        request.out[i] = context->doShadow[port];
        NKDbgPrintfW(u"\n===Get DO Status Port: %d, Value: %x\n", port, request.out[i]);
    }
    LeaveCriticalSection(&context->portLock);
    SetReturned(request, range.count);
    return TRUE;
}

// ---- Raw registers ---------------------------------------------------------------

// The checks both raw accesses make: the record (`inNeeded` bytes in, and
// for a read an output of `width` bytes), then every byte of the access
// inside the board's window. Gives the port's address; a failed check fails
// the request.
bool ResolvePort(const ControlRequest& request, DWORD width, bool reads, ULONG_PTR& port)
{
    const DWORD inNeeded = reads ? PORT_OFFSET_SIZE : PORT_OFFSET_SIZE + width;
    if (request.in == nullptr || request.inSize < inNeeded ||
        (reads && (request.out == nullptr || request.outSize < width))) {
        return Fail(request, DRV_STATUS_BAD_BUFFER);
    }
    const DeviceContext* context = request.context;
    const DWORD offset = ReadU32(request.in);
    if (static_cast<std::uint64_t>(offset) + width > context->ioLength) {
        return Fail(request, DRV_STATUS_PORT_OUT_OF_RANGE);
    }
    port = static_cast<ULONG_PTR>(context->ioBase) + offset;
    return true;
}

BOOL ReadPort(const ControlRequest& request, DWORD width)
{
    DeviceContext* context = request.context;
    ULONG_PTR port;
    if (!ResolvePort(request, width, true, port)) {
        return FALSE;
    }
    EnterCriticalSection(&context->portLock);
    if (width == 1) {
        const UCHAR value = READ_PORT_UCHAR(reinterpret_cast<PUCHAR>(port));
        std::memcpy(request.out, &value, width);
    } else if (width == 2) {
        const USHORT value = READ_PORT_USHORT(reinterpret_cast<PUSHORT>(port));
        std::memcpy(request.out, &value, width);
    } else {
        const ULONG value = READ_PORT_ULONG(reinterpret_cast<PULONG>(port));
        std::memcpy(request.out, &value, width);
    }
    LeaveCriticalSection(&context->portLock);
    SetReturned(request, width);
    return TRUE;
}

BOOL WritePort(const ControlRequest& request, DWORD width)
{
    DeviceContext* context = request.context;
    ULONG_PTR port;
    if (!ResolvePort(request, width, false, port)) {
        return FALSE;
    }
    const BYTE* value = request.in + PORT_OFFSET_SIZE;
    EnterCriticalSection(&context->portLock);
    if (width == 1) {
        WRITE_PORT_UCHAR(reinterpret_cast<PUCHAR>(port), value[0]);
    } else if (width == 2) {
        WRITE_PORT_USHORT(reinterpret_cast<PUSHORT>(port), ReadU16(value));
    } else {
        WRITE_PORT_ULONG(reinterpret_cast<PULONG>(port), ReadU32(value));
    }
    LeaveCriticalSection(&context->portLock);
    SetReturned(request, 0);
    return TRUE;
}

// ---- Board ----------------------------------------------------------------------------

BOOL GetBoardInfo(const ControlRequest& request)
{
    DeviceContext* context = request.context;
    SetReturned(request, 0);
    if (request.out == nullptr || request.outSize < BOARD_INFO_RECORD_SIZE) {
        return Fail(request, DRV_STATUS_BAD_BUFFER);
    }
    WriteU32(request.out, context->boardType);
    WriteU32(request.out + 4, context->busNumber);
    WriteU32(request.out + 8, context->slotNumber);
    SetReturned(request, BOARD_INFO_RECORD_SIZE);
    return TRUE;
}

}  // namespace

DLL_EXPORT BOOL VTD_IOControl(DWORD_PTR openContext, DWORD code, PBYTE in, DWORD inSize, PBYTE out,
                              DWORD outSize, PDWORD returned)
{
    DeviceContext* context = ContextOf(openContext);
    if (context == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const ControlRequest request{context, in, inSize, out, outSize, returned};
    switch (code) {
    case IOCTL_DIO_READ_DI_PORTS:
        return ReadDiPorts(request);
    case IOCTL_DIO_WRITE_DO_PORTS:
        return WriteDoPorts(request);
    case IOCTL_DIO_GET_CURRENT_DO_PORTS:
        return GetCurrentDoPorts(request);
    case IOCTL_PORT_READ_BYTE:
        return ReadPort(request, 1);
    case IOCTL_PORT_READ_WORD:
        return ReadPort(request, 2);
    case IOCTL_PORT_READ_DWORD:
        return ReadPort(request, 4);
    case IOCTL_PORT_WRITE_BYTE:
        return WritePort(request, 1);
    case IOCTL_PORT_WRITE_WORD:
        return WritePort(request, 2);
    case IOCTL_PORT_WRITE_DWORD:
        return WritePort(request, 4);
    case IOCTL_DIO_ENABLE_EVENT:
        return EnableEventRequest(request);
    case IOCTL_DIO_CLOSE_EVENTS:
        return CloseEventsRequest(request);
    case IOCTL_DIO_SPECIFY_EVENT_DI_PORTS:
        return SpecifyEventDiPorts(request);
    case IOCTL_DIO_GET_EVENT_DI_PORTS:
        return GetEventDiPorts(request);
    case IOCTL_DIO_GET_LATEST_EVENT_DI_STATE:
        return GetLatestEventDiState(request);
    case IOCTL_GET_BOARD_INFO:
        return GetBoardInfo(request);
    default:
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
}
