// The control requests between the driver library and the stream driver:
// codes, record layouts and the driver's status values.
#pragma once

#include <cstddef>

#include "platform/types.h"

constexpr DWORD VTD_DEVICE_TYPE = 0x9C40;
constexpr DWORD VTD_DEVICE_TYPE_RW = 0xDC7F;

constexpr DWORD IOCTL_DIO_ENABLE_EVENT = CTL_CODE(VTD_DEVICE_TYPE, 0x931, METHOD_BUFFERED, 0);
constexpr DWORD IOCTL_PORT_READ_BYTE = CTL_CODE(VTD_DEVICE_TYPE, 0x900, METHOD_BUFFERED, 1);
constexpr DWORD IOCTL_PORT_READ_WORD = CTL_CODE(VTD_DEVICE_TYPE, 0x901, METHOD_BUFFERED, 1);
constexpr DWORD IOCTL_PORT_READ_DWORD = CTL_CODE(VTD_DEVICE_TYPE, 0x902, METHOD_BUFFERED, 1);
constexpr DWORD IOCTL_DIO_READ_DI_PORTS = CTL_CODE(VTD_DEVICE_TYPE, 0xE0C, METHOD_BUFFERED, 1);
constexpr DWORD IOCTL_DIO_WRITE_DO_PORTS = CTL_CODE(VTD_DEVICE_TYPE, 0xE0D, METHOD_BUFFERED, 1);
constexpr DWORD IOCTL_DIO_GET_EVENT_DI_PORTS = CTL_CODE(VTD_DEVICE_TYPE, 0xE10, METHOD_BUFFERED, 1);
constexpr DWORD IOCTL_DIO_SPECIFY_EVENT_DI_PORTS =
    CTL_CODE(VTD_DEVICE_TYPE, 0xE11, METHOD_BUFFERED, 1);
constexpr DWORD IOCTL_DIO_GET_LATEST_EVENT_DI_STATE =
    CTL_CODE(VTD_DEVICE_TYPE, 0xE12, METHOD_BUFFERED, 1);
constexpr DWORD IOCTL_PORT_WRITE_BYTE = CTL_CODE(VTD_DEVICE_TYPE, 0x910, METHOD_BUFFERED, 2);
constexpr DWORD IOCTL_PORT_WRITE_WORD = CTL_CODE(VTD_DEVICE_TYPE, 0x911, METHOD_BUFFERED, 2);
constexpr DWORD IOCTL_PORT_WRITE_DWORD = CTL_CODE(VTD_DEVICE_TYPE, 0x912, METHOD_BUFFERED, 2);
constexpr DWORD IOCTL_DIO_CLOSE_EVENTS = CTL_CODE(VTD_DEVICE_TYPE, 0x935, METHOD_BUFFERED, 2);
constexpr DWORD IOCTL_DIO_GET_CURRENT_DO_PORTS =
    CTL_CODE(VTD_DEVICE_TYPE_RW, 0xE19, METHOD_BUFFERED, 3);
constexpr DWORD IOCTL_GET_BOARD_INFO = CTL_CODE(VTD_DEVICE_TYPE_RW, 0xE6E, METHOD_BUFFERED, 3);
// The codes as they cross between the library and the driver; a change of
// device type, function, method or access would break every built application.
static_assert(IOCTL_DIO_ENABLE_EVENT == 0x9C4024C4 && IOCTL_PORT_READ_BYTE == 0x9C406400 &&
              IOCTL_PORT_READ_WORD == 0x9C406404 && IOCTL_PORT_READ_DWORD == 0x9C406408 &&
              IOCTL_DIO_READ_DI_PORTS == 0x9C407830 && IOCTL_DIO_WRITE_DO_PORTS == 0x9C407834 &&
              IOCTL_DIO_GET_EVENT_DI_PORTS == 0x9C407840 &&
              IOCTL_DIO_SPECIFY_EVENT_DI_PORTS == 0x9C407844 &&
              IOCTL_DIO_GET_LATEST_EVENT_DI_STATE == 0x9C407848 &&
              IOCTL_PORT_WRITE_BYTE == 0x9C40A440 && IOCTL_PORT_WRITE_WORD == 0x9C40A444 &&
              IOCTL_PORT_WRITE_DWORD == 0x9C40A448 && IOCTL_DIO_CLOSE_EVENTS == 0x9C40A4D4 &&
              IOCTL_DIO_GET_CURRENT_DO_PORTS == 0xDC7FF864 && IOCTL_GET_BOARD_INFO == 0xDC7FF9B8);

// Driver status values. A failed request stores the plain code in the
// device's lastStatus and sets the caller's last error to the code with
// DRV_STATUS_APPLICATION_BIT set.
constexpr DWORD DRV_STATUS_APPLICATION_BIT = 0x20000000;
constexpr DWORD DRV_STATUS_BAD_BUFFER = 10;
constexpr DWORD DRV_STATUS_BOARD_NOT_SUPPORTED = 24;
constexpr DWORD DRV_STATUS_PORT_OUT_OF_RANGE = 64;
constexpr DWORD DRV_STATUS_INVALID_PARAMETER = 0xC000000D;

// Records, little-endian, packed as on the wire.
#pragma pack(push, 1)
struct PortRangeRecord {  // DI read, DO readback; head of the DO write
    DWORD firstPort;
    DWORD portCount;
};
struct DoWriteRecord {  // followed by portCount value bytes
    DWORD firstPort;
    DWORD portCount;
    BYTE values[1];
};
struct PortOffsetRecord {  // raw port requests; the value follows for writes
    DWORD offset;
    union {
        BYTE byteValue;
        WORD wordValue;
        DWORD dwordValue;
    };
};
struct EventEnableRecord {
    BYTE enable;  // 0 disables
    BYTE unused;
    WORD eventIndex;
    DWORD count;  // interrupts per signal
    BYTE reserved[16];
};
struct EventWindowRecord {
    DWORD eventIndex;
    DWORD firstPort;
    DWORD portCount;
};
struct EventIndexRecord {
    DWORD eventIndex;
};
struct BoardInfoRecord {
    DWORD boardType;
    DWORD busNumber;
    DWORD slotNumber;
};
#pragma pack(pop)

constexpr DWORD PORT_RANGE_RECORD_SIZE = 8;
constexpr DWORD DO_WRITE_HEADER_SIZE = 8;
constexpr DWORD PORT_OFFSET_SIZE = 4;
constexpr DWORD EVENT_ENABLE_RECORD_SIZE = 24;
constexpr DWORD EVENT_WINDOW_RECORD_SIZE = 12;
constexpr DWORD EVENT_INDEX_RECORD_SIZE = 4;
constexpr DWORD BOARD_INFO_RECORD_SIZE = 12;
// The records' wire layout.
static_assert(sizeof(PortRangeRecord) == PORT_RANGE_RECORD_SIZE &&
              offsetof(PortRangeRecord, portCount) == 4);
static_assert(offsetof(DoWriteRecord, portCount) == 4 &&
              offsetof(DoWriteRecord, values) == DO_WRITE_HEADER_SIZE);
static_assert(offsetof(PortOffsetRecord, byteValue) == PORT_OFFSET_SIZE &&
              offsetof(PortOffsetRecord, wordValue) == PORT_OFFSET_SIZE &&
              offsetof(PortOffsetRecord, dwordValue) == PORT_OFFSET_SIZE &&
              sizeof(PortOffsetRecord) == PORT_OFFSET_SIZE + 4);
static_assert(sizeof(EventEnableRecord) == EVENT_ENABLE_RECORD_SIZE &&
              offsetof(EventEnableRecord, unused) == 1 &&
              offsetof(EventEnableRecord, eventIndex) == 2 &&
              offsetof(EventEnableRecord, count) == 4 &&
              offsetof(EventEnableRecord, reserved) == 8);
static_assert(sizeof(EventWindowRecord) == EVENT_WINDOW_RECORD_SIZE &&
              offsetof(EventWindowRecord, firstPort) == 4 &&
              offsetof(EventWindowRecord, portCount) == 8);
static_assert(sizeof(EventIndexRecord) == EVENT_INDEX_RECORD_SIZE);
static_assert(sizeof(BoardInfoRecord) == BOARD_INFO_RECORD_SIZE &&
              offsetof(BoardInfoRecord, busNumber) == 4 &&
              offsetof(BoardInfoRecord, slotNumber) == 8);
