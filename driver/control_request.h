// One control request as VTD_IOControl received it, the helpers with which
// every handler reads its records and fails it, and the handlers that live
// in files of their own. Records are read and written byte-wise, so a
// caller's buffer needs no particular alignment.
#pragma once

#include <cstring>

#include "common/control_codes.h"
#include "driver/device_context.h"
#include "platform/kernel.h"

struct ControlRequest {
    DeviceContext* context;
    PBYTE in;
    DWORD inSize;
    PBYTE out;
    DWORD outSize;
    PDWORD returned;
};

inline void SetReturned(const ControlRequest& request, DWORD bytes)
{
    if (request.returned != nullptr) {
        *request.returned = bytes;
    }
}

// A failed request: lastStatus, the caller's last error with the
// application bit, no bytes returned.
inline BOOL Fail(const ControlRequest& request, DWORD status)
{
    request.context->lastStatus = status;
    SetLastError(status | DRV_STATUS_APPLICATION_BIT);
    SetReturned(request, 0);
    return FALSE;
}

// The event window requests' parameter failure: only lastStatus changes.
inline BOOL FailInvalidParameter(const ControlRequest& request)
{
    request.context->lastStatus = DRV_STATUS_INVALID_PARAMETER;
    return FALSE;
}

inline DWORD ReadU32(const BYTE* bytes)
{
    DWORD value;
    std::memcpy(&value, bytes, sizeof(value));
    return value;
}

inline WORD ReadU16(const BYTE* bytes)
{
    WORD value;
    std::memcpy(&value, bytes, sizeof(value));
    return value;
}

inline void WriteU32(BYTE* bytes, DWORD value)
{
    std::memcpy(bytes, &value, sizeof(value));
}

// ---- Event requests (event_requests.cpp) ----------------------------------------
// Each makes its checks in order; the first that fails decides the status.

// Enables or disables one interrupt event (an event enable record).
BOOL EnableEventRequest(const ControlRequest& request);
// Closes the named events and disables all board interrupts; always TRUE.
BOOL CloseEventsRequest(const ControlRequest& request);
// Sets an event's DI window (an event DI window record).
BOOL SpecifyEventDiPorts(const ControlRequest& request);
// Reads an event's DI window back (event index record in, window record out).
BOOL GetEventDiPorts(const ControlRequest& request);
// The DI ports latched at the event's last interrupt, as far as its window
// and the output reach.
BOOL GetLatestEventDiState(const ControlRequest& request);
