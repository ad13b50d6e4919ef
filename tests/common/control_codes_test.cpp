// The control codes and request records shared by the driver and the library.
#include <gtest/gtest.h>

#include <cstddef>

#include "common/control_codes.h"

namespace {

struct CodeRow {
    const char* name;
    DWORD code;
    DWORD value;
    DWORD deviceType;
    DWORD access;
    DWORD function;
};

TEST(ControlCodes, EveryCodeHasItsValueDeviceTypeAccessAndFunction)
{
    const CodeRow rows[] = {
        {"IOCTL_DIO_ENABLE_EVENT", IOCTL_DIO_ENABLE_EVENT, 0x9C4024C4, 0x9C40, 0, 0x931},
        {"IOCTL_PORT_READ_BYTE", IOCTL_PORT_READ_BYTE, 0x9C406400, 0x9C40, 1, 0x900},
        {"IOCTL_PORT_READ_WORD", IOCTL_PORT_READ_WORD, 0x9C406404, 0x9C40, 1, 0x901},
        {"IOCTL_PORT_READ_DWORD", IOCTL_PORT_READ_DWORD, 0x9C406408, 0x9C40, 1, 0x902},
        {"IOCTL_DIO_READ_DI_PORTS", IOCTL_DIO_READ_DI_PORTS, 0x9C407830, 0x9C40, 1, 0xE0C},
        {"IOCTL_DIO_WRITE_DO_PORTS", IOCTL_DIO_WRITE_DO_PORTS, 0x9C407834, 0x9C40, 1, 0xE0D},
        {"IOCTL_DIO_GET_EVENT_DI_PORTS", IOCTL_DIO_GET_EVENT_DI_PORTS, 0x9C407840, 0x9C40, 1, 0xE10},
        {"IOCTL_DIO_SPECIFY_EVENT_DI_PORTS", IOCTL_DIO_SPECIFY_EVENT_DI_PORTS, 0x9C407844, 0x9C40, 1, 0xE11},
        {"IOCTL_DIO_GET_LATEST_EVENT_DI_STATE", IOCTL_DIO_GET_LATEST_EVENT_DI_STATE, 0x9C407848, 0x9C40, 1, 0xE12},
        {"IOCTL_PORT_WRITE_BYTE", IOCTL_PORT_WRITE_BYTE, 0x9C40A440, 0x9C40, 2, 0x910},
        {"IOCTL_PORT_WRITE_WORD", IOCTL_PORT_WRITE_WORD, 0x9C40A444, 0x9C40, 2, 0x911},
        {"IOCTL_PORT_WRITE_DWORD", IOCTL_PORT_WRITE_DWORD, 0x9C40A448, 0x9C40, 2, 0x912},
        {"IOCTL_DIO_CLOSE_EVENTS", IOCTL_DIO_CLOSE_EVENTS, 0x9C40A4D4, 0x9C40, 2, 0x935},
        {"IOCTL_DIO_GET_CURRENT_DO_PORTS", IOCTL_DIO_GET_CURRENT_DO_PORTS, 0xDC7FF864, 0xDC7F, 3, 0xE19},
        {"IOCTL_GET_BOARD_INFO", IOCTL_GET_BOARD_INFO, 0xDC7FF9B8, 0xDC7F, 3, 0xE6E},
    };
    for (const CodeRow& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.code, row.value);
        EXPECT_EQ(row.code >> 16, row.deviceType);
        EXPECT_EQ((row.code >> 14) & 3u, row.access);
        EXPECT_EQ((row.code >> 2) & 0xFFFu, row.function);
        EXPECT_EQ(row.code & 3u, METHOD_BUFFERED);
    }
}

TEST(ControlCodes, RecordsHaveTheWireLayout)
{
    EXPECT_EQ(sizeof(PortRangeRecord), 8u);
    EXPECT_EQ(offsetof(PortRangeRecord, firstPort), 0u);
    EXPECT_EQ(offsetof(PortRangeRecord, portCount), 4u);

    EXPECT_EQ(offsetof(DoWriteRecord, firstPort), 0u);
    EXPECT_EQ(offsetof(DoWriteRecord, portCount), 4u);
    EXPECT_EQ(offsetof(DoWriteRecord, values), 8u);
    EXPECT_EQ(DO_WRITE_HEADER_SIZE, 8u);

    EXPECT_EQ(offsetof(PortOffsetRecord, offset), 0u);
    EXPECT_EQ(offsetof(PortOffsetRecord, byteValue), 4u);
    EXPECT_EQ(offsetof(PortOffsetRecord, wordValue), 4u);
    EXPECT_EQ(offsetof(PortOffsetRecord, dwordValue), 4u);
    EXPECT_EQ(sizeof(PortOffsetRecord), 8u);
    EXPECT_EQ(PORT_OFFSET_SIZE, 4u);

    EXPECT_EQ(sizeof(EventEnableRecord), 24u);
    EXPECT_EQ(offsetof(EventEnableRecord, enable), 0u);
    EXPECT_EQ(offsetof(EventEnableRecord, unused), 1u);
    EXPECT_EQ(offsetof(EventEnableRecord, eventIndex), 2u);
    EXPECT_EQ(offsetof(EventEnableRecord, count), 4u);
    EXPECT_EQ(offsetof(EventEnableRecord, reserved), 8u);
    EXPECT_EQ(sizeof(EventEnableRecord::reserved), 16u);

    EXPECT_EQ(sizeof(EventWindowRecord), 12u);
    EXPECT_EQ(offsetof(EventWindowRecord, eventIndex), 0u);
    EXPECT_EQ(offsetof(EventWindowRecord, firstPort), 4u);
    EXPECT_EQ(offsetof(EventWindowRecord, portCount), 8u);

    EXPECT_EQ(sizeof(EventIndexRecord), 4u);
    EXPECT_EQ(offsetof(EventIndexRecord, eventIndex), 0u);

    EXPECT_EQ(sizeof(BoardInfoRecord), 12u);
    EXPECT_EQ(offsetof(BoardInfoRecord, boardType), 0u);
    EXPECT_EQ(offsetof(BoardInfoRecord, busNumber), 4u);
    EXPECT_EQ(offsetof(BoardInfoRecord, slotNumber), 8u);
}

}  // namespace
