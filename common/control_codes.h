// The control requests between the driver library and the stream driver:
// codes, record layouts and the driver's status values.
#pragma once

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
static_assert(sizeof(PortRangeRecord) == PORT_RANGE_RECORD_SIZE);
static_assert(sizeof(EventEnableRecord) == EVENT_ENABLE_RECORD_SIZE);
static_assert(sizeof(EventWindowRecord) == EVENT_WINDOW_RECORD_SIZE);
static_assert(sizeof(BoardInfoRecord) == BOARD_INFO_RECORD_SIZE);
