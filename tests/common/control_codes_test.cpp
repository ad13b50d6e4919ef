// The control codes and request records shared by the driver and the library.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <iterator>

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
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        for (std::size_t j = i + 1; j < std::size(rows); ++j) {
            EXPECT_NE(rows[i].code, rows[j].code) << rows[i].name << " / " << rows[j].name;
        }
    }
}

TEST(ControlCodes, StatusValues)
{
    EXPECT_EQ(DRV_STATUS_APPLICATION_BIT, 0x20000000u);
    EXPECT_EQ(DRV_STATUS_BAD_BUFFER, 10u);
    EXPECT_EQ(DRV_STATUS_BOARD_NOT_SUPPORTED, 24u);
    EXPECT_EQ(DRV_STATUS_PORT_OUT_OF_RANGE, 64u);
    EXPECT_EQ(DRV_STATUS_INVALID_PARAMETER, 0xC000000Du);
    EXPECT_EQ(DRV_STATUS_INVALID_PARAMETER | DRV_STATUS_APPLICATION_BIT, 0xE000000Du);
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

    // The examples of the protocol, byte for byte (little-endian).
    const PortRangeRecord read{1, 2};
    const BYTE readBytes[] = {1, 0, 0, 0, 2, 0, 0, 0};
    EXPECT_EQ(std::memcmp(&read, readBytes, sizeof(readBytes)), 0);
    BYTE write[9] = {};
    auto* record = reinterpret_cast<DoWriteRecord*>(write);
    record->firstPort = 0;
    record->portCount = 1;
    record->values[0] = 0x5A;
    const BYTE writeBytes[] = {0, 0, 0, 0, 1, 0, 0, 0, 0x5A};
    EXPECT_EQ(std::memcmp(write, writeBytes, sizeof(writeBytes)), 0);
}

}  // namespace
