// The control requests end to end: a device file opened through the device
// manager, requests sent with DeviceIoControl, effects read on the simulated
// board's lines and latches.
#include <gtest/gtest.h>

#include <cstring>

#include "common/board_types.h"
#include "driver_test_support.h"

using namespace drivertest;

namespace {

constexpr unsigned VTC_SLOT = 5;  // the default machine's VTC-4100
constexpr unsigned VTM_SLOT = 7;  // and its VTM-6200K
constexpr DWORD IO_LENGTH = 0x20;

class ControlRequests : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(BootTarget(vtsim::BootOptions{}));
        vtc = OpenBoardDevice(VTC_SLOT);
        vtm = OpenBoardDevice(VTM_SLOT);
        board = BoardAtSlot(VTC_SLOT);
        ASSERT_TRUE(vtc.valid() && vtm.valid());
    }
    void TearDown() override
    {
        vtc = DeviceFile();
        vtm = DeviceFile();
        vtsim::Shutdown();
    }

    // Sends a request with sentinels in the returned count and last error.
    BOOL Send(const DeviceFile& device, DWORD code, const void* in, DWORD inSize, void* out,
              DWORD outSize)
    {
        returned = 0xDEAD;
        SetLastError(0x1234);
        const BOOL result = Ioctl(device.get(), code, in, inSize, out, outSize, &returned);
        lastError = GetLastError();
        return result;
    }
    // FALSE with a plain status: the last error has the application bit and
    // no bytes are returned.
    void ExpectFailed(BOOL result, DWORD status)
    {
        EXPECT_FALSE(result);
        EXPECT_EQ(lastError, status | DRV_STATUS_APPLICATION_BIT);
        EXPECT_EQ(returned, 0u);
    }

    DeviceFile vtc, vtm;
    vtsim::Board* board = nullptr;
    DWORD returned = 0;
    DWORD lastError = 0;
};

std::vector<BYTE> OffsetRecord(DWORD offset, std::vector<BYTE> value = {})
{
    std::vector<BYTE> record(4 + value.size());
    for (std::size_t i = 0; i < record.size(); ++i) {
        record[i] = i < 4 ? static_cast<BYTE>(offset >> (8 * i)) : value[i - 4];
    }
    return record;
}

}  // namespace

TEST_F(ControlRequests, BoardInfoIdentifiesEachModel)
{
    const std::pair<unsigned, DWORD> boards[] = {
        {5, BOARD_TYPE_VTC4100}, {6, BOARD_TYPE_VTC4100E}, {7, BOARD_TYPE_VTM6200K}};
    for (const auto& [slot, type] : boards) {
        DeviceFile device = OpenBoardDevice(slot);
        BoardInfoRecord info{};
        EXPECT_TRUE(Send(device, IOCTL_GET_BOARD_INFO, nullptr, 0, &info, 12));
        EXPECT_EQ(returned, 12u);
        EXPECT_EQ(info.boardType, type);
        EXPECT_EQ(info.busNumber, 0u);
        EXPECT_EQ(info.slotNumber, slot);
        ExpectFailed(Send(device, IOCTL_GET_BOARD_INFO, nullptr, 0, &info, 11),
                     DRV_STATUS_BAD_BUFFER);
    }
}

TEST_F(ControlRequests, WorkedExamplesAndTheShadow)
{
    board->setInputPort(1, 0xA5);
    board->setInputPort(2, 0x3C);
    const BYTE readIn[8] = {0x01, 0, 0, 0, 0x02, 0, 0, 0};
    BYTE readOut[2] = {};
    ASSERT_TRUE(Send(vtc, IOCTL_DIO_READ_DI_PORTS, readIn, 8, readOut, 2));
    EXPECT_EQ(returned, 2u);
    EXPECT_EQ(readOut[0], 0xA5);
    EXPECT_EQ(readOut[1], 0x3C);

    const std::size_t logStart = vtsim::DebugEntries().size();
    const BYTE writeIn[9] = {0, 0, 0, 0, 0x01, 0, 0, 0, 0x5A};
    ASSERT_TRUE(Send(vtc, IOCTL_DIO_WRITE_DO_PORTS, writeIn, 9, nullptr, 0));
    EXPECT_EQ(returned, 0u);
    EXPECT_EQ(board->outputLatch(0), 0x5A);
    EXPECT_EQ(board->outputLatch(1), 0x00);

    // A raw write changes the outputs, not the shadow.
    const auto raw = OffsetRecord(0, {0xF0});
    ASSERT_TRUE(Send(vtc, IOCTL_PORT_WRITE_BYTE, raw.data(), 5, nullptr, 0));
    EXPECT_EQ(board->outputLatch(0), 0xF0);
    const PortRangeRecord range{0, 2};
    BYTE shadow[2] = {0xFF, 0xFF};
    ASSERT_TRUE(Send(vtc, IOCTL_DIO_GET_CURRENT_DO_PORTS, &range, 8, shadow, 2));
    EXPECT_EQ(returned, 2u);
    EXPECT_EQ(shadow[0], 0x5A);
    EXPECT_EQ(shadow[1], 0x00);
    EXPECT_EQ(DebugSince(logStart),
              (std::vector<std::string>{"\n===Write DO Port: 0, Value: 5a\n",
                                        "\n===Get DO Status Port: 0, Value: 5a\n",
                                        "\n===Get DO Status Port: 1, Value: 0\n"}));

    // VTM-6200K: two values from port 1 write port 1 only.
    const BYTE vtmWrite[10] = {1, 0, 0, 0, 2, 0, 0, 0, 0xC3, 0x99};
    ASSERT_TRUE(Send(vtm, IOCTL_DIO_WRITE_DO_PORTS, vtmWrite, 10, nullptr, 0));
    EXPECT_EQ(BoardAtSlot(VTM_SLOT)->outputLatch(0), 0x00);
    EXPECT_EQ(BoardAtSlot(VTM_SLOT)->outputLatch(1), 0xC3);
    ASSERT_TRUE(Send(vtm, IOCTL_DIO_GET_CURRENT_DO_PORTS, &range, 8, shadow, 2));
    EXPECT_EQ(shadow[0], 0x00);
    EXPECT_EQ(shadow[1], 0xC3);
}

TEST_F(ControlRequests, PortRangesAreCheckedAndCutShort)
{
    board->setInputPort(3, 0x77);
    BYTE out[4] = {};
    PortRangeRecord range{3, 4};
    ASSERT_TRUE(Send(vtc, IOCTL_DIO_READ_DI_PORTS, &range, 8, out, 4));
    EXPECT_EQ(returned, 1u);
    EXPECT_EQ(out[0], 0x77);
    range = {0, 0};
    ASSERT_TRUE(Send(vtc, IOCTL_DIO_READ_DI_PORTS, &range, 8, out, 4));
    EXPECT_EQ(returned, 0u);

    for (DWORD code :
         {IOCTL_DIO_READ_DI_PORTS, IOCTL_DIO_GET_CURRENT_DO_PORTS, IOCTL_DIO_WRITE_DO_PORTS}) {
        const BYTE vtcPast[9] = {4, 0, 0, 0, 1, 0, 0, 0, 0};
        const BYTE vtmPast[9] = {2, 0, 0, 0, 1, 0, 0, 0, 0};
        ExpectFailed(Send(vtc, code, vtcPast, 9, out, 4), DRV_STATUS_PORT_OUT_OF_RANGE);
        ExpectFailed(Send(vtm, code, vtmPast, 9, out, 4), DRV_STATUS_PORT_OUT_OF_RANGE);
        ExpectFailed(Send(vtc, code, nullptr, 9, out, 4), DRV_STATUS_BAD_BUFFER);
    }
}

TEST_F(ControlRequests, ShortRecordsAndBuffersAreRefusedUntouched)
{
    const PortRangeRecord range{0, 3};
    BYTE out[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    ExpectFailed(Send(vtc, IOCTL_DIO_READ_DI_PORTS, &range, 4, out, 4), DRV_STATUS_BAD_BUFFER);
    // Three ports asked for, room for two: nothing is written.
    ExpectFailed(Send(vtc, IOCTL_DIO_READ_DI_PORTS, &range, 8, out, 2), DRV_STATUS_BAD_BUFFER);
    ExpectFailed(Send(vtc, IOCTL_DIO_GET_CURRENT_DO_PORTS, &range, 8, out, 2),
                 DRV_STATUS_BAD_BUFFER);
    EXPECT_EQ(out[0], 0xEE);
    // A DO write that announces two values and carries one changes nothing.
    const BYTE write[9] = {0, 0, 0, 0, 2, 0, 0, 0, 0x42};
    ExpectFailed(Send(vtc, IOCTL_DIO_WRITE_DO_PORTS, write, 9, nullptr, 0), DRV_STATUS_BAD_BUFFER);
    // Raw requests need the offset, the value of their width, room for it.
    const auto offset = OffsetRecord(0, {0x99});
    ExpectFailed(Send(vtc, IOCTL_PORT_READ_WORD, offset.data(), 4, out, 1), DRV_STATUS_BAD_BUFFER);
    ExpectFailed(Send(vtc, IOCTL_PORT_READ_BYTE, offset.data(), 3, out, 1), DRV_STATUS_BAD_BUFFER);
    ExpectFailed(Send(vtc, IOCTL_PORT_WRITE_WORD, offset.data(), 5, nullptr, 0),
                 DRV_STATUS_BAD_BUFFER);
    ExpectFailed(Send(vtc, IOCTL_PORT_WRITE_BYTE, offset.data(), 4, nullptr, 0),
                 DRV_STATUS_BAD_BUFFER);
    EXPECT_EQ(board->outputLatch(0), 0x00);
}

TEST_F(ControlRequests, RawAccessStaysInsideTheWindow)
{
    BYTE out[4] = {};
    ExpectFailed(Send(vtc, IOCTL_PORT_READ_BYTE, OffsetRecord(IO_LENGTH).data(), 4, out, 1),
                 DRV_STATUS_PORT_OUT_OF_RANGE);
    EXPECT_TRUE(Send(vtc, IOCTL_PORT_READ_BYTE, OffsetRecord(IO_LENGTH - 1).data(), 4, out, 1));
    EXPECT_EQ(returned, 1u);
    // The last byte of a wider access must lie inside the window too.
    ExpectFailed(Send(vtc, IOCTL_PORT_READ_WORD, OffsetRecord(IO_LENGTH - 1).data(), 4, out, 2),
                 DRV_STATUS_PORT_OUT_OF_RANGE);
    ExpectFailed(Send(vtc, IOCTL_PORT_WRITE_DWORD, OffsetRecord(IO_LENGTH - 3, {1, 2, 3, 4}).data(),
                      8, nullptr, 0),
                 DRV_STATUS_PORT_OUT_OF_RANGE);
    EXPECT_TRUE(Send(vtc, IOCTL_PORT_READ_DWORD, OffsetRecord(IO_LENGTH - 4).data(), 4, out, 4));
    EXPECT_EQ(returned, 4u);

    // 16- and 32-bit accesses are little-endian over consecutive ports.
    board->setInputPort(0, 0x34);
    board->setInputPort(1, 0x12);
    ASSERT_TRUE(Send(vtc, IOCTL_PORT_READ_WORD, OffsetRecord(0).data(), 4, out, 2));
    EXPECT_EQ(returned, 2u);
    EXPECT_EQ(out[0] | out[1] << 8, 0x1234);
    ASSERT_TRUE(
        Send(vtc, IOCTL_PORT_WRITE_DWORD, OffsetRecord(0, {1, 2, 3, 4}).data(), 8, nullptr, 0));
    for (unsigned port = 0; port < 4; ++port) {
        EXPECT_EQ(board->outputLatch(port), port + 1);
    }
}

TEST_F(ControlRequests, EventRequestChecks)
{
    const EventWindowRecord window{1, 1, 3};
    ASSERT_TRUE(Send(vtc, IOCTL_DIO_SPECIFY_EVENT_DI_PORTS, &window, 12, nullptr, 0));
    EXPECT_EQ(returned, 0xDEADu);  // not written on success
    const EventIndexRecord index{1};
    EventWindowRecord readBack{};
    ASSERT_TRUE(Send(vtc, IOCTL_DIO_GET_EVENT_DI_PORTS, &index, 4, &readBack, 12));
    EXPECT_EQ(readBack.eventIndex, 1u);
    EXPECT_EQ(readBack.firstPort, 1u);
    EXPECT_EQ(readBack.portCount, 3u);
    ExpectFailed(Send(vtc, IOCTL_DIO_GET_EVENT_DI_PORTS, &index, 4, &readBack, 11),
                 DRV_STATUS_BAD_BUFFER);

    // A short window record: the invalid-parameter status reaches the caller.
    EXPECT_FALSE(Send(vtc, IOCTL_DIO_SPECIFY_EVENT_DI_PORTS, &window, 11, nullptr, 0));
    EXPECT_EQ(lastError, 0xE000000Du);
    EXPECT_EQ(returned, 0u);
    // Out of range: FALSE, the caller's last error and count left as they were.
    const EventWindowRecord bad[] = {{0, 1, 4}, {0, 4, 0}, {4, 0, 1}};
    for (const EventWindowRecord& record : bad) {
        EXPECT_FALSE(Send(vtc, IOCTL_DIO_SPECIFY_EVENT_DI_PORTS, &record, 12, nullptr, 0));
        EXPECT_EQ(lastError, 0x1234u);
        EXPECT_EQ(returned, 0xDEADu);
    }
    const EventWindowRecord vtmPort2{0, 2, 0};
    EXPECT_FALSE(Send(vtm, IOCTL_DIO_SPECIFY_EVENT_DI_PORTS, &vtmPort2, 12, nullptr, 0));
    const EventIndexRecord event2{2};
    EXPECT_FALSE(Send(vtm, IOCTL_DIO_GET_EVENT_DI_PORTS, &event2, 4, &readBack, 12));
    EXPECT_EQ(lastError, 0x1234u);
    // The latest state of an empty window needs no buffer; a window with ports does.
    EXPECT_TRUE(Send(vtm, IOCTL_DIO_GET_LATEST_EVENT_DI_STATE, &event2, 4, nullptr, 4));
    ExpectFailed(Send(vtc, IOCTL_DIO_GET_LATEST_EVENT_DI_STATE, &index, 4, nullptr, 4),
                 DRV_STATUS_BAD_BUFFER);

    // Enabling: event 2 exists on the VTC-4100 only; a disabling record
    // needs only its first four bytes, an enabling one eight.
    EXPECT_FALSE(EnableEvent(vtm.get(), 2, 1));
    EXPECT_EQ(GetLastError(), DRV_STATUS_BAD_BUFFER | DRV_STATUS_APPLICATION_BIT);
    EXPECT_EQ(BoardAtSlot(VTM_SLOT)->interruptEnable(), 0u);
    EXPECT_TRUE(EnableEvent(vtc.get(), 2, 1));
    EXPECT_EQ(board->interruptEnable(), 0x04u);
    EXPECT_FALSE(EnableEvent(vtc.get(), 4, 1));
    const BYTE shortEnable[8] = {1, 0, 0, 0, 1, 0, 0, 0};
    ExpectFailed(Send(vtc, IOCTL_DIO_ENABLE_EVENT, shortEnable, 7, nullptr, 0),
                 DRV_STATUS_BAD_BUFFER);
    const BYTE disable[4] = {0, 0, 2, 0};
    EXPECT_TRUE(Send(vtc, IOCTL_DIO_ENABLE_EVENT, disable, 4, nullptr, 0));
    EXPECT_EQ(board->interruptEnable(), 0x00u);

    // An unknown code.
    EXPECT_FALSE(
        Send(vtc, CTL_CODE(VTD_DEVICE_TYPE, 0x999, METHOD_BUFFERED, 0), nullptr, 0, nullptr, 0));
    EXPECT_EQ(lastError, static_cast<DWORD>(ERROR_NOT_SUPPORTED));
}
