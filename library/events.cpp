// Interrupt events: enabling and disabling events by type code, capture
// windows, waiting for events and reading the latched DI ports.
#include "library/events.h"

#include <algorithm>

#include "common/board_types.h"
#include "common/control_codes.h"
#include "common/registry_layout.h"
#include "library/include/rlx4100.h"
#include "library/status.h"
#include "platform/kernel.h"

namespace {

struct EventTypeEntry {
    DWORD code;
    DWORD eventIndex;
};

// Event type codes and the event indexes they name, scanned in order. The
// repeated entries map to the same index as their first occurrence.
constexpr EventTypeEntry EventTypeTable[] = {
    {EVT_DI_INTERRUPT0, 0},       {EVT_DI_INTERRUPT1, 1}, {EVT_DI_INTERRUPT2_ALIAS, 2},
    {EVT_DI_INTERRUPT3_ALIAS, 3}, {EVT_DI_INTERRUPT0, 0}, {EVT_DI_INTERRUPT1, 1},
    {EVT_DI_INTERRUPT2, 2},       {EVT_DI_INTERRUPT3, 3},
};

constexpr DWORD NO_EVENT = 0xFFFFFFFF;

DWORD EventIndexOf(DWORD code)
{
    for (const EventTypeEntry& entry : EventTypeTable) {
        if (entry.code == code) {
            return entry.eventIndex;
        }
    }
    return NO_EVENT;
}

// The event index of a code on the connection's board, or NO_EVENT when
// the code is unknown or the board lacks that event.
DWORD BoardEventIndexOf(const DeviceConnection& connection, DWORD code)
{
    const DWORD index = EventIndexOf(code);
    if (index == NO_EVENT) {
        return NO_EVENT;
    }
    if (index >= ServedEventCountOf(connection.settings.BoardID)) {
        return NO_EVENT;
    }
    return index;
}

// Opens (creates or joins) the device's named interrupt events that are not
// open yet. A failed open stays null and is tried again next time.
void OpenInterruptEvents(DeviceConnection& connection)
{
    for (DWORD index = 0; index < EVENT_COUNT; ++index) {
        std::atomic<HANDLE>& slot = connection.waitHandles[1 + index];
        if (slot.load(std::memory_order_acquire) != nullptr) {
            continue;
        }
        WCHAR name[40];
        StringCchPrintfW(name, 40, INTERRUPT_EVENT_NAME_FORMATS[index],
                         static_cast<int>(connection.deviceNumber));
        HANDLE event = CreateEventW(nullptr, FALSE, FALSE, name);
        if (event == nullptr) {
            continue;
        }
        HANDLE expected = nullptr;
        if (!slot.compare_exchange_strong(expected, event, std::memory_order_acq_rel)) {
            CloseHandle(event);  // another thread opened it meanwhile
        }
    }
}

// The type code CheckEvent reports for an event index.
WORD ReportedCode(const DeviceConnection& connection, DWORD index)
{
    switch (index) {
    case 0:
        return EVT_DI_INTERRUPT0;
    case 1:
        return EVT_DI_INTERRUPT1;
    case 2:
        return connection.alias2Enabled.load(std::memory_order_relaxed) != 0
                   ? EVT_DI_INTERRUPT2_ALIAS
                   : EVT_DI_INTERRUPT2;
    default:
        return connection.alias3Enabled.load(std::memory_order_relaxed) != 0
                   ? EVT_DI_INTERRUPT3_ALIAS
                   : EVT_DI_INTERRUPT3;
    }
}

// How often a long wait asks the stream device whether it still answers.
constexpr DWORD DEVICE_CHECK_INTERVAL_MS = 100;

// WaitForMultipleObjects on the connection's five handles for up to timeout
// (INFINITE: without limit), in slices between which the stream device is
// asked whether it still answers. A device that no longer answers (its
// driver was unloaded: the target shut down) ends the connection for its
// waiters as the final DeviceClose does: the stop event is set and the
// wait returns it.
DWORD WaitOnConnection(const DeviceConnection& connection, const HANDLE* handles, DWORD timeout)
{
    const DWORD start = GetTickCount();
    for (;;) {
        DWORD slice = DEVICE_CHECK_INTERVAL_MS;
        if (timeout != INFINITE) {
            const DWORD elapsed = GetTickCount() - start;
            slice = elapsed >= timeout ? 0 : std::min(timeout - elapsed, slice);
        }
        const DWORD result = WaitForMultipleObjects(1 + EVENT_COUNT, handles, FALSE, slice);
        if (result != WAIT_TIMEOUT) {
            return result;
        }
        if (timeout != INFINITE && GetTickCount() - start >= timeout) {
            return WAIT_TIMEOUT;
        }
        if (!StreamAnswers(connection)) {
            SetEvent(handles[0]);
            return WAIT_OBJECT_0;
        }
    }
}

}  // namespace

void WriteBoardByte(const DeviceConnection& connection, DWORD registerOffset, BYTE value)
{
    BYTE record[sizeof(DWORD) + 1];
    record[0] = static_cast<BYTE>(registerOffset);
    record[1] = static_cast<BYTE>(registerOffset >> 8);
    record[2] = static_cast<BYTE>(registerOffset >> 16);
    record[3] = static_cast<BYTE>(registerOffset >> 24);
    record[4] = value;
    SendRequest(connection, IOCTL_PORT_WRITE_BYTE, record, sizeof(record), nullptr, 0);
}

LONG EnableEvent(LONG handle, WORD eventType, WORD enable, WORD count)
{
    ConnectionRef connection(handle);
    if (!connection) {
        return API_INVALID_HANDLE;
    }
    const DWORD index = BoardEventIndexOf(*connection, eventType);
    if (index == NO_EVENT) {
        return ApiDeviceStatus(connection->deviceNumber, API_EVENT_NOT_SUPPORTED);
    }
    if (enable != 0 && count == 0) {
        return ApiDeviceStatus(connection->deviceNumber, API_INVALID_PARAMETER);
    }

    OpenInterruptEvents(*connection);
    WriteBoardByte(*connection, REG_TRIGGER_MODE, static_cast<BYTE>(LoadTriggerMode(*connection)));

    EventEnableRecord record{};
    // The driver reads one flag byte: an enable value whose low byte is zero
    // must still enable.
    record.enable = enable == 0 ? 0 : (enable & 0xFF) != 0 ? static_cast<BYTE>(enable) : 1;
    record.eventIndex = static_cast<WORD>(index);
    record.count = count;
    if (!SendRequest(*connection, IOCTL_DIO_ENABLE_EVENT, &record, sizeof(record), nullptr, 0)) {
        return RequestFailureStatus(*connection);
    }

    if (eventType == EVT_DI_INTERRUPT2_ALIAS) {
        connection->alias2Enabled.store(enable == 1 ? 1 : 0, std::memory_order_relaxed);
    } else if (eventType == EVT_DI_INTERRUPT3_ALIAS) {
        connection->alias3Enabled.store(enable == 1 ? 1 : 0, std::memory_order_relaxed);
    }
    return API_SUCCESS;
}

LONG DioDisableEvent(LONG handle, DWORD eventType)
{
    return EnableEvent(handle, static_cast<WORD>(eventType), 0, 0);
}

LONG DioEnableEventAndSpecifyDiPorts(LONG handle, DWORD eventType, DWORD firstPort, DWORD portCount)
{
    {
        ConnectionRef connection(handle);
        if (!connection) {
            return API_INVALID_HANDLE;
        }
        const DWORD index = BoardEventIndexOf(*connection, eventType);
        if (index == NO_EVENT) {
            return ApiDeviceStatus(connection->deviceNumber, API_EVENT_NOT_SUPPORTED);
        }
        const DWORD ports = PortCountOf(connection->settings.BoardID);
        if (ports == 0) {
            return ApiDeviceStatus(connection->deviceNumber, API_BOARD_NOT_SUPPORTED);
        }
        if (firstPort >= ports || portCount > ports - firstPort) {
            return ApiDeviceStatus(connection->deviceNumber, API_INVALID_PARAMETER);
        }
        const EventWindowRecord window{index, firstPort, portCount};
        if (!SendRequest(*connection, IOCTL_DIO_SPECIFY_EVENT_DI_PORTS, &window, sizeof(window),
                         nullptr, 0)) {
            return RequestFailureStatus(*connection);
        }
    }
    return EnableEvent(handle, static_cast<WORD>(eventType), 1, 1);
}

LONG DioGetLatestEventDiPortsState(LONG handle, DWORD eventType, BYTE* buffer, DWORD length)
{
    ConnectionRef connection(handle);
    if (!connection) {
        return API_INVALID_HANDLE;
    }
    if (buffer == nullptr || length == 0) {
        return ApiDeviceStatus(connection->deviceNumber, API_INVALID_PARAMETER);
    }
    const DWORD index = BoardEventIndexOf(*connection, eventType);
    if (index == NO_EVENT) {
        return ApiDeviceStatus(connection->deviceNumber, API_EVENT_NOT_SUPPORTED);
    }
    const EventIndexRecord record{index};
    if (!SendRequest(*connection, IOCTL_DIO_GET_LATEST_EVENT_DI_STATE, &record, sizeof(record),
                     buffer, length)) {
        return RequestFailureStatus(*connection);
    }
    return API_SUCCESS;
}

LONG CheckEvent(LONG handle, WORD* eventType, DWORD timeout)
{
    ConnectionRef connection(handle);
    if (!connection) {
        return API_INVALID_HANDLE;
    }
    if (eventType == nullptr) {
        return ApiDeviceStatus(connection->deviceNumber, API_INVALID_PARAMETER);
    }

    // The call reference keeps the connection and its five handles open until
    // this wait has returned, also when another thread closes the device.
    HANDLE handles[1 + EVENT_COUNT];
    for (DWORD i = 0; i < 1 + EVENT_COUNT; ++i) {
        handles[i] = connection->waitHandles[i].load(std::memory_order_acquire);
    }
    const DWORD result = WaitOnConnection(*connection, handles, timeout);

    if (result == WAIT_OBJECT_0) {
        *eventType = EVT_TERMINATED;
    } else if (result > WAIT_OBJECT_0 && result <= WAIT_OBJECT_0 + EVENT_COUNT) {
        *eventType = ReportedCode(*connection, result - WAIT_OBJECT_0 - 1);
    } else if (result == WAIT_TIMEOUT) {
        *eventType = EVT_TIMEOUT;
    } else if (result == WAIT_FAILED) {
        *eventType = EVT_NONE;
        return ApiDeviceStatus(connection->deviceNumber, API_WAIT_FAILED);
    } else {
        *eventType = EVT_NONE;
    }
    return API_SUCCESS;
}
