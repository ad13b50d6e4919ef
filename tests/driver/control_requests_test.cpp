// The control requests end to end: a device file opened through the device
// manager, requests sent with DeviceIoControl, effects read on the simulated
// board's lines and latches.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "common/board_types.h"
#include "driver_test_support.h"

using namespace drivertest;

namespace {

constexpr unsigned VTC4100_SLOT = 5;
constexpr unsigned VTC4100E_SLOT = 6;
constexpr unsigned VTM6200K_SLOT = 7;
constexpr DWORD IO_LENGTH = 0x20;

class ControlRequests : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(BootTarget(vtsim::BootOptions{})); }
    void TearDown() override { vtsim::Shutdown(); }

    // Sends a request and records the returned count and the last error.
    BOOL Send(HANDLE device, DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize)
    {
        returned = 0xDEAD;
        SetLastError(0x1234);
        const BOOL result = Ioctl(device, code, in, inSize, out, outSize, &returned);
        lastError = GetLastError();
        return result;
    }
    void ExpectFailure(DWORD status)
    {
        EXPECT_EQ(lastError, status | DRV_STATUS_APPLICATION_BIT);
        EXPECT_EQ(returned, 0u);
    }

    DWORD returned = 0;
    DWORD lastError = 0;
};

PortRangeRecord Range(DWORD first, DWORD count)
{
    return PortRangeRecord{first, count};
}

}  // namespace

TEST_F(ControlRequests, BoardInfoIdentifiesEachModel)
{
    const struct {
        unsigned slot;
        DWORD type;
    } boards[] = {{VTC4100_SLOT, BOARD_TYPE_VTC4100},
                  {VTC4100E_SLOT, BOARD_TYPE_VTC4100E},
                  {VTM6200K_SLOT, BOARD_TYPE_VTM6200K}};
    for (const auto& expected : boards) {
        DeviceFile device = OpenBoardDevice(expected.slot);
        ASSERT_TRUE(device.valid());
        BYTE out[12] = {};
        EXPECT_TRUE(Send(device.get(), IOCTL_GET_BOARD_INFO, nullptr, 0, out, sizeof(out)));
        EXPECT_EQ(returned, 12u);
        BoardInfoRecord info;
        std::memcpy(&info, out, sizeof(info));
        EXPECT_EQ(info.boardType, expected.type);
        EXPECT_EQ(info.busNumber, 0u);
        EXPECT_EQ(info.slotNumber, expected.slot);

        EXPECT_FALSE(Send(device.get(), IOCTL_GET_BOARD_INFO, nullptr, 0, out, 11));
        ExpectFailure(DRV_STATUS_BAD_BUFFER);
        EXPECT_FALSE(Send(device.get(), IOCTL_GET_BOARD_INFO, nullptr, 0, nullptr, 12));
        ExpectFailure(DRV_STATUS_BAD_BUFFER);
    }
}

TEST_F(ControlRequests, WorkedExamplesReachTheBoard)
{
    DeviceFile device = OpenBoardDevice(VTC4100_SLOT);
    vtsim::Board* board = BoardAtSlot(VTC4100_SLOT);
    ASSERT_TRUE(device.valid() && board != nullptr);
    board->setInputPort(0, 0x11);
    board->setInputPort(1, 0xA5);
    board->setInputPort(2, 0x3C);

    const BYTE readIn[8] = {0x01, 0, 0, 0, 0x02, 0, 0, 0};
    BYTE readOut[2] = {};
    ASSERT_TRUE(Send(device.get(), IOCTL_DIO_READ_DI_PORTS, readIn, 8, readOut, 2));
    EXPECT_EQ(returned, 2u);
    EXPECT_EQ(readOut[0], 0xA5);
    EXPECT_EQ(readOut[1], 0x3C);

    const std::size_t logStart = vtsim::DebugEntries().size();
    const BYTE writeIn[9] = {0, 0, 0, 0, 0x01, 0, 0, 0, 0x5A};
    ASSERT_TRUE(Send(device.get(), IOCTL_DIO_WRITE_DO_PORTS, writeIn, 9, nullptr, 0));
    EXPECT_EQ(returned, 0u);
    EXPECT_EQ(board->outputLatch(0), 0x5A);
    EXPECT_EQ(board->outputLatch(1), 0x00);
    EXPECT_EQ(DebugSince(logStart), std::vector<std::string>{"\n===Write DO Port: 0, Value: 5a\n"});

    // The read-back comes from the shadow, with one debug line per port.
    const PortRangeRecord range = Range(0, 2);
    BYTE shadow[2] = {0xFF, 0xFF};
    ASSERT_TRUE(Send(device.get(), IOCTL_DIO_GET_CURRENT_DO_PORTS, &range, 8, shadow, 2));
    EXPECT_EQ(returned, 2u);
    EXPECT_EQ(shadow[0], 0x5A);
    EXPECT_EQ(shadow[1], 0x00);
    const auto lines = DebugSince(logStart);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "\n===Get DO Status Port: 0, Value: 5a\n");
    EXPECT_EQ(lines[2], "\n===Get DO Status Port: 1, Value: 0\n");
}

TEST_F(ControlRequests, PortRangesAreCheckedAndCutShort)
{
    DeviceFile vtc = OpenBoardDevice(VTC4100_SLOT);
    DeviceFile vtm = OpenBoardDevice(VTM6200K_SLOT);
    ASSERT_TRUE(vtc.valid() && vtm.valid());
    BoardAtSlot(VTC4100_SLOT)->setInputPort(3, 0x77);

    BYTE out[4] = {};
    PortRangeRecord range = Range(3, 4);
    ASSERT_TRUE(Send(vtc.get(), IOCTL_DIO_READ_DI_PORTS, &range, 8, out, 4));
    EXPECT_EQ(returned, 1u);
    EXPECT_EQ(out[0], 0x77);

    range = Range(0, 0);
    ASSERT_TRUE(Send(vtc.get(), IOCTL_DIO_READ_DI_PORTS, &range, 8, out, 4));
    EXPECT_EQ(returned, 0u);

    for (DWORD code : {IOCTL_DIO_READ_DI_PORTS, IOCTL_DIO_GET_CURRENT_DO_PORTS}) {
        range = Range(4, 1);
        EXPECT_FALSE(Send(vtc.get(), code, &range, 8, out, 4));
        ExpectFailure(DRV_STATUS_PORT_OUT_OF_RANGE);
        range = Range(2, 1);
        EXPECT_FALSE(Send(vtm.get(), code, &range, 8, out, 4));
        ExpectFailure(DRV_STATUS_PORT_OUT_OF_RANGE);
        EXPECT_FALSE(Send(vtc.get(), code, &range, 8, nullptr, 4));
        ExpectFailure(DRV_STATUS_BAD_BUFFER);
    }
    const BYTE write[9] = {2, 0, 0, 0, 1, 0, 0, 0, 0x12};
    EXPECT_FALSE(Send(vtm.get(), IOCTL_DIO_WRITE_DO_PORTS, write, 9, nullptr, 0));
    ExpectFailure(DRV_STATUS_PORT_OUT_OF_RANGE);
    EXPECT_FALSE(Send(vtm.get(), IOCTL_DIO_WRITE_DO_PORTS, nullptr, 9, nullptr, 0));
    ExpectFailure(DRV_STATUS_BAD_BUFFER);
}

TEST_F(ControlRequests, DoWriteOnLastPortOfVtm6200KTouchesOnlyThatPort)
{
    DeviceFile vtm = OpenBoardDevice(VTM6200K_SLOT);
    vtsim::Board* board = BoardAtSlot(VTM6200K_SLOT);
    ASSERT_TRUE(vtm.valid());
    const BYTE write[10] = {1, 0, 0, 0, 2, 0, 0, 0, 0xC3, 0x99};
    ASSERT_TRUE(Send(vtm.get(), IOCTL_DIO_WRITE_DO_PORTS, write, 10, nullptr, 0));
    EXPECT_EQ(board->outputLatch(0), 0x00);
    EXPECT_EQ(board->outputLatch(1), 0xC3);

    const PortRangeRecord range = Range(0, 2);
    BYTE shadow[2] = {0xFF, 0xFF};
    ASSERT_TRUE(Send(vtm.get(), IOCTL_DIO_GET_CURRENT_DO_PORTS, &range, 8, shadow, 2));
    EXPECT_EQ(shadow[0], 0x00);
    EXPECT_EQ(shadow[1], 0xC3);
}

TEST_F(ControlRequests, ShortRecordsAndBuffersAreRefusedUntouched)
{
    DeviceFile device = OpenBoardDevice(VTC4100_SLOT);
    vtsim::Board* board = BoardAtSlot(VTC4100_SLOT);
    ASSERT_TRUE(device.valid());

    // A range record of 4 bytes has no count.
    const PortRangeRecord range = Range(0, 3);
    BYTE out[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_FALSE(Send(device.get(), IOCTL_DIO_READ_DI_PORTS, &range, 4, out, 4));
    ExpectFailure(DRV_STATUS_BAD_BUFFER);
    // Three ports asked for, room for two: nothing is written.
    EXPECT_FALSE(Send(device.get(), IOCTL_DIO_READ_DI_PORTS, &range, 8, out, 2));
    ExpectFailure(DRV_STATUS_BAD_BUFFER);
    EXPECT_FALSE(Send(device.get(), IOCTL_DIO_GET_CURRENT_DO_PORTS, &range, 8, out, 2));
    ExpectFailure(DRV_STATUS_BAD_BUFFER);
    EXPECT_EQ(out[0], 0xEE);

    // A DO write that announces two values and carries one changes nothing.
    const BYTE write[9] = {0, 0, 0, 0, 2, 0, 0, 0, 0x42};
    EXPECT_FALSE(Send(device.get(), IOCTL_DIO_WRITE_DO_PORTS, write, 9, nullptr, 0));
    ExpectFailure(DRV_STATUS_BAD_BUFFER);
    EXPECT_EQ(board->outputLatch(0), 0x00);

    // Raw requests: the offset must be there, the value too, and the output
    // must hold the width.
    const BYTE offsetOnly[4] = {0, 0, 0, 0};
    EXPECT_FALSE(Send(device.get(), IOCTL_PORT_READ_WORD, offsetOnly, 4, out, 1));
    ExpectFailure(DRV_STATUS_BAD_BUFFER);
    EXPECT_FALSE(Send(device.get(), IOCTL_PORT_READ_BYTE, offsetOnly, 3, out, 1));
    ExpectFailure(DRV_STATUS_BAD_BUFFER);
    const BYTE wordWrite[5] = {0, 0, 0, 0, 0x99};
    EXPECT_FALSE(Send(device.get(), IOCTL_PORT_WRITE_WORD, wordWrite, 5, nullptr, 0));
    ExpectFailure(DRV_STATUS_BAD_BUFFER);
    EXPECT_FALSE(Send(device.get(), IOCTL_PORT_WRITE_BYTE, offsetOnly, 4, nullptr, 0));
    ExpectFailure(DRV_STATUS_BAD_BUFFER);
    EXPECT_EQ(board->outputLatch(0), 0x00);
}

TEST_F(ControlRequests, RawAccessStaysInsideTheWindow)
{
    DeviceFile device = OpenBoardDevice(VTC4100_SLOT);
    vtsim::Board* board = BoardAtSlot(VTC4100_SLOT);
    ASSERT_TRUE(device.valid());
    BYTE out[4] = {};
    const auto offset = [](DWORD value) {
        std::array<BYTE, 8> record{};
        std::memcpy(record.data(), &value, 4);
        return record;
    };

    auto record = offset(IO_LENGTH);
    EXPECT_FALSE(Send(device.get(), IOCTL_PORT_READ_BYTE, record.data(), 4, out, 1));
    ExpectFailure(DRV_STATUS_PORT_OUT_OF_RANGE);
    record = offset(IO_LENGTH - 1);
    EXPECT_TRUE(Send(device.get(), IOCTL_PORT_READ_BYTE, record.data(), 4, out, 1));
    EXPECT_EQ(returned, 1u);
    // The last byte of a wider access must lie inside the window too.
    EXPECT_FALSE(Send(device.get(), IOCTL_PORT_READ_WORD, record.data(), 4, out, 2));
    ExpectFailure(DRV_STATUS_PORT_OUT_OF_RANGE);
    record = offset(IO_LENGTH - 3);
    EXPECT_FALSE(Send(device.get(), IOCTL_PORT_WRITE_DWORD, record.data(), 8, nullptr, 0));
    ExpectFailure(DRV_STATUS_PORT_OUT_OF_RANGE);
    record = offset(IO_LENGTH - 4);
    EXPECT_TRUE(Send(device.get(), IOCTL_PORT_READ_DWORD, record.data(), 4, out, 4));
    EXPECT_EQ(returned, 4u);

    // 16- and 32-bit accesses are little-endian over consecutive ports.
    board->setInputPort(0, 0x34);
    board->setInputPort(1, 0x12);
    record = offset(0);
    ASSERT_TRUE(Send(device.get(), IOCTL_PORT_READ_WORD, record.data(), 4, out, 2));
    EXPECT_EQ(returned, 2u);
    EXPECT_EQ(out[0], 0x34);
    EXPECT_EQ(out[1], 0x12);
    const BYTE dwordWrite[8] = {0, 0, 0, 0, 0x01, 0x02, 0x03, 0x04};
    ASSERT_TRUE(Send(device.get(), IOCTL_PORT_WRITE_DWORD, dwordWrite, 8, nullptr, 0));
    EXPECT_EQ(returned, 0u);
    for (unsigned port = 0; port < 4; ++port) {
        EXPECT_EQ(board->outputLatch(port), port + 1);
    }
}

TEST_F(ControlRequests, RawWriteLeavesTheShadowAlone)
{
    DeviceFile device = OpenBoardDevice(VTC4100_SLOT);
    vtsim::Board* board = BoardAtSlot(VTC4100_SLOT);
    ASSERT_TRUE(device.valid());
    const BYTE write[9] = {0, 0, 0, 0, 1, 0, 0, 0, 0x0F};
    ASSERT_TRUE(Send(device.get(), IOCTL_DIO_WRITE_DO_PORTS, write, 9, nullptr, 0));
    const BYTE raw[5] = {0, 0, 0, 0, 0xF0};
    ASSERT_TRUE(Send(device.get(), IOCTL_PORT_WRITE_BYTE, raw, 5, nullptr, 0));
    EXPECT_EQ(board->outputLatch(0), 0xF0);

    const PortRangeRecord range = Range(0, 1);
    BYTE shadow = 0;
    ASSERT_TRUE(Send(device.get(), IOCTL_DIO_GET_CURRENT_DO_PORTS, &range, 8, &shadow, 1));
    EXPECT_EQ(shadow, 0x0F);
}

TEST_F(ControlRequests, EventWindowRequests)
{
    DeviceFile vtc = OpenBoardDevice(VTC4100_SLOT);
    DeviceFile vtm = OpenBoardDevice(VTM6200K_SLOT);
    ASSERT_TRUE(vtc.valid() && vtm.valid());

    const EventWindowRecord window{1, 1, 3};
    ASSERT_TRUE(Send(vtc.get(), IOCTL_DIO_SPECIFY_EVENT_DI_PORTS, &window, 12, nullptr, 0));
    EXPECT_EQ(returned, 0xDEADu);  // not written on success
    const EventIndexRecord index{1};
    EventWindowRecord readBack{};
    ASSERT_TRUE(Send(vtc.get(), IOCTL_DIO_GET_EVENT_DI_PORTS, &index, 4, &readBack, 12));
    EXPECT_EQ(readBack.eventIndex, 1u);
    EXPECT_EQ(readBack.firstPort, 1u);
    EXPECT_EQ(readBack.portCount, 3u);

    // A short record: the invalid-parameter status reaches the caller.
    EXPECT_FALSE(Send(vtc.get(), IOCTL_DIO_SPECIFY_EVENT_DI_PORTS, &window, 11, nullptr, 0));
    EXPECT_EQ(lastError, 0xE000000Du);
    EXPECT_EQ(returned, 0u);
    // Out of range: FALSE, the caller's last error left as it was.
    for (const EventWindowRecord bad :
         {EventWindowRecord{0, 1, 4}, EventWindowRecord{0, 4, 0}, EventWindowRecord{4, 0, 1}}) {
        EXPECT_FALSE(Send(vtc.get(), IOCTL_DIO_SPECIFY_EVENT_DI_PORTS, &bad, 12, nullptr, 0));
        EXPECT_EQ(lastError, 0x1234u);
        EXPECT_EQ(returned, 0xDEADu);
    }
    const EventWindowRecord vtmPort2{0, 2, 0};
    EXPECT_FALSE(Send(vtm.get(), IOCTL_DIO_SPECIFY_EVENT_DI_PORTS, &vtmPort2, 12, nullptr, 0));
    const EventWindowRecord vtmEmpty{1, 1, 0};
    EXPECT_TRUE(Send(vtm.get(), IOCTL_DIO_SPECIFY_EVENT_DI_PORTS, &vtmEmpty, 12, nullptr, 0));
    const EventIndexRecord vtmEvent2{2};
    EXPECT_FALSE(Send(vtm.get(), IOCTL_DIO_GET_EVENT_DI_PORTS, &vtmEvent2, 4, &readBack, 12));
    EXPECT_EQ(lastError, 0x1234u);
    EXPECT_FALSE(Send(vtc.get(), IOCTL_DIO_GET_EVENT_DI_PORTS, &index, 4, &readBack, 11));
    ExpectFailure(DRV_STATUS_BAD_BUFFER);

    // The latest state of an event with an empty window needs no buffer; a
    // window with ports does.
    EXPECT_TRUE(Send(vtm.get(), IOCTL_DIO_GET_LATEST_EVENT_DI_STATE, &vtmEvent2, 4, nullptr, 4));
    EXPECT_FALSE(Send(vtc.get(), IOCTL_DIO_GET_LATEST_EVENT_DI_STATE, &index, 4, nullptr, 4));
    ExpectFailure(DRV_STATUS_BAD_BUFFER);
    const EventIndexRecord event4{4};
    BYTE state[4];
    EXPECT_FALSE(Send(vtc.get(), IOCTL_DIO_GET_LATEST_EVENT_DI_STATE, &event4, 4, state, 4));
    EXPECT_EQ(lastError, 0x1234u);
}

TEST_F(ControlRequests, EnableRequestChecksIndexPerModel)
{
    DeviceFile vtc = OpenBoardDevice(VTC4100_SLOT);
    DeviceFile vtm = OpenBoardDevice(VTM6200K_SLOT);
    ASSERT_TRUE(vtc.valid() && vtm.valid());
    EventEnableRecord enable{};
    enable.enable = 1;
    enable.eventIndex = 2;
    enable.count = 1;
    EXPECT_FALSE(Send(vtm.get(), IOCTL_DIO_ENABLE_EVENT, &enable, 24, nullptr, 0));
    ExpectFailure(DRV_STATUS_BAD_BUFFER);
    EXPECT_EQ(BoardAtSlot(VTM6200K_SLOT)->interruptEnable(), 0u);
    EXPECT_TRUE(Send(vtc.get(), IOCTL_DIO_ENABLE_EVENT, &enable, 24, nullptr, 0));
    EXPECT_EQ(returned, 0u);
    EXPECT_EQ(BoardAtSlot(VTC4100_SLOT)->interruptEnable(), 0x04u);

    enable.eventIndex = 4;
    EXPECT_FALSE(Send(vtc.get(), IOCTL_DIO_ENABLE_EVENT, &enable, 24, nullptr, 0));
    ExpectFailure(DRV_STATUS_BAD_BUFFER);
    enable.eventIndex = 0;
    EXPECT_FALSE(Send(vtc.get(), IOCTL_DIO_ENABLE_EVENT, &enable, 7, nullptr, 0));
    ExpectFailure(DRV_STATUS_BAD_BUFFER);
    // A disabling record needs only its first four bytes.
    enable.enable = 0;
    enable.eventIndex = 2;
    EXPECT_TRUE(Send(vtc.get(), IOCTL_DIO_ENABLE_EVENT, &enable, 4, nullptr, 0));
    EXPECT_EQ(BoardAtSlot(VTC4100_SLOT)->interruptEnable(), 0x00u);
}

TEST_F(ControlRequests, UnknownCodeIsNotSupported)
{
    DeviceFile device = OpenBoardDevice(VTC4100_SLOT);
    ASSERT_TRUE(device.valid());
    EXPECT_FALSE(Send(device.get(), CTL_CODE(VTD_DEVICE_TYPE, 0x999, METHOD_BUFFERED, 0), nullptr,
                      0, nullptr, 0));
    EXPECT_EQ(lastError, static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    EXPECT_EQ(returned, 0xDEADu);
}
