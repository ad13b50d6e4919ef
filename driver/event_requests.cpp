// The event requests of VTD_IOControl: enabling and disabling interrupt
// events, closing them, and the events' DI windows and latched ports.
#include <algorithm>
#include <cstring>

#include "common/board_types.h"
#include "driver/control_request.h"
#include "driver/device_context.h"
#include "driver/driver_steps.h"
#include "platform/kernel.h"

namespace {

// What an event request does with the event it names, which decides the
// indexes it accepts.
enum class EventUse {
    Enable,       // the interrupt inputs served: the model's, all on an unidentified board
    Window,       // the model's own inputs: none on an unidentified board
    LatestState,  // any event slot of the device; a model's missing events have empty windows
};

bool IsEventIndexAccepted(const DeviceContext* context, DWORD eventIndex, EventUse use)
{
    switch (use) {
    case EventUse::Enable:
        return eventIndex < ServedEventCountOf(context->boardType);
    case EventUse::Window:
        return eventIndex < EventCountOf(context->boardType);
    case EventUse::LatestState:
        return eventIndex < MAX_EVENTS;
    }
    return false;
}

}  // namespace

BOOL EnableEventRequest(const ControlRequest& request)
{
    DeviceContext* context = request.context;
    if (request.in == nullptr || request.inSize < 4 || (request.in[0] != 0 && request.inSize < 8)) {
        return Fail(request, DRV_STATUS_BAD_BUFFER);
    }
    const DWORD eventIndex = ReadU16(request.in + 2);
    if (!IsEventIndexAccepted(context, eventIndex, EventUse::Enable)) {
        return Fail(request, DRV_STATUS_BAD_BUFFER);
    }
    if (request.in[0] == 0) {
        DisableEvent(context, eventIndex);
    } else {
        EnterCriticalSection(&context->threadLock);
        if (context->interruptConnected == 0) {
            NKDbgPrintfW(u"\n===VTD Connect Interrupt");
            context->interruptConnected = 1;
        }
        LeaveCriticalSection(&context->threadLock);
        CreateInterruptEvents(context);
        EnableEvent(context, eventIndex, ReadU32(request.in + 4));
    }
    SetReturned(request, 0);
    return TRUE;
}

BOOL CloseEventsRequest(const ControlRequest& request)
{
    CloseEvent(request.context);
    return TRUE;
}

BOOL SpecifyEventDiPorts(const ControlRequest& request)
{
    DeviceContext* context = request.context;
    if (request.in == nullptr) {
        return Fail(request, DRV_STATUS_BAD_BUFFER);
    }
    if (request.inSize < EVENT_WINDOW_RECORD_SIZE) {
        return Fail(request, DRV_STATUS_INVALID_PARAMETER);
    }
    const DWORD eventIndex = ReadU32(request.in);
    const DWORD firstPort = ReadU32(request.in + 4);
    const DWORD portCount = ReadU32(request.in + 8);
    const DWORD ports = PortCountOf(context->boardType);
    if (firstPort >= ports || portCount > ports - firstPort ||
        !IsEventIndexAccepted(context, eventIndex, EventUse::Window)) {
        return FailInvalidParameter(request);
    }
    EnterCriticalSection(&context->threadLock);
    context->eventWindows[eventIndex].start = static_cast<WORD>(firstPort);
    context->eventWindows[eventIndex].count = static_cast<WORD>(portCount);
    LeaveCriticalSection(&context->threadLock);
    return TRUE;
}

BOOL GetEventDiPorts(const ControlRequest& request)
{
    DeviceContext* context = request.context;
    if (request.in == nullptr || request.inSize < EVENT_INDEX_RECORD_SIZE ||
        request.out == nullptr || request.outSize < EVENT_WINDOW_RECORD_SIZE) {
        return Fail(request, DRV_STATUS_BAD_BUFFER);
    }
    const DWORD eventIndex = ReadU32(request.in);
    if (!IsEventIndexAccepted(context, eventIndex, EventUse::Window)) {
        return FailInvalidParameter(request);
    }
    EnterCriticalSection(&context->threadLock);
    const EventDiWindow window = context->eventWindows[eventIndex];
    LeaveCriticalSection(&context->threadLock);
    WriteU32(request.out, eventIndex);
    WriteU32(request.out + 4, window.start);
    WriteU32(request.out + 8, window.count);
    return TRUE;
}

BOOL GetLatestEventDiState(const ControlRequest& request)
{
    DeviceContext* context = request.context;
    if (request.in == nullptr || request.inSize < EVENT_INDEX_RECORD_SIZE) {
        return Fail(request, DRV_STATUS_BAD_BUFFER);
    }
    const DWORD eventIndex = ReadU32(request.in);
    if (!IsEventIndexAccepted(context, eventIndex, EventUse::LatestState)) {
        return FailInvalidParameter(request);
    }
    EnterCriticalSection(&context->threadLock);
    const EventDiWindow window = context->eventWindows[eventIndex];
    LeaveCriticalSection(&context->threadLock);
    const DWORD bytes = std::min<DWORD>(request.outSize, window.count);
    if (bytes > 0) {
        if (request.out == nullptr) {
            return Fail(request, DRV_STATUS_BAD_BUFFER);
        }
        std::memcpy(request.out, window.snapshot + window.start, bytes);
    }
    return TRUE;
}
