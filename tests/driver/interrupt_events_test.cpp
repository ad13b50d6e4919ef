// Interrupt service end to end: an input edge on the simulated board, the
// installed handler, the driver's interrupt service thread, and the named
// event that the test opens and waits on.
#include <gtest/gtest.h>

#include "common/board_types.h"
#include "driver_test_support.h"

using namespace drivertest;

namespace {

constexpr unsigned VTC4100_SLOT = 5;
constexpr unsigned VTM6200K_SLOT = 7;
constexpr DWORD SIGNAL_WAIT_MS = 2000;
constexpr DWORD NO_SIGNAL_WAIT_MS = 50;

class InterruptEvents : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(BootTarget(vtsim::BootOptions{}));
        device = OpenBoardDevice(VTC4100_SLOT);
        board = BoardAtSlot(VTC4100_SLOT);
        ASSERT_TRUE(device.valid() && board != nullptr);
        deviceNumber = DeviceNumberOf(DRIVER_KEY_VTC4100, 0, VTC4100_SLOT);
        ASSERT_GE(deviceNumber, 0);
        // The default package gives switch 1 the trigger mode 5: inputs 0
        // and 2 on the falling edge, 1 and 3 on the rising edge.
        ASSERT_EQ(board->triggerMode(), 5u);
        for (int i = 0; i < 4; ++i) {
            events[i] = CreateEventW(nullptr, FALSE, FALSE, EventName(i, deviceNumber).c_str());
            ASSERT_NE(events[i], nullptr);
        }
    }
    void TearDown() override
    {
        for (HANDLE event : events) {
            if (event != nullptr) {
                CloseHandle(event);
            }
        }
        device = DeviceFile();
        vtsim::Shutdown();
    }

    BOOL Enable(DWORD eventIndex, DWORD count, BYTE flag = 1)
    {
        EventEnableRecord record{};
        record.enable = flag;
        record.eventIndex = static_cast<WORD>(eventIndex);
        record.count = count;
        DWORD returned = 0;
        return Ioctl(device.get(), IOCTL_DIO_ENABLE_EVENT, &record, sizeof(record), nullptr, 0,
                     &returned);
    }
    bool Signalled(int eventIndex, DWORD ms = SIGNAL_WAIT_MS)
    {
        return WaitForSingleObject(events[eventIndex], ms) == WAIT_OBJECT_0;
    }
    // Waits until the board's status register is acknowledged (the thread's
    // pass has run).
    void WaitAcknowledged()
    {
        for (int i = 0; i < 2000 && board->interruptStatus() != 0; ++i) {
            Sleep(1);
        }
        ASSERT_EQ(board->interruptStatus(), 0u);
    }

    DeviceFile device;
    vtsim::Board* board = nullptr;
    int deviceNumber = -1;
    HANDLE events[4] = {};
};

}  // namespace

TEST_F(InterruptEvents, SignalsEveryCountThInterrupt)
{
    ASSERT_TRUE(Enable(1, 3));
    EXPECT_EQ(board->interruptEnable(), 0x02u);
    for (int round = 0; round < 2; ++round) {
        board->pulseInputLine(0, 1);
        WaitAcknowledged();
        board->pulseInputLine(0, 1);
        WaitAcknowledged();
        EXPECT_FALSE(Signalled(1, NO_SIGNAL_WAIT_MS)) << "round " << round;
        board->pulseInputLine(0, 1);
        EXPECT_TRUE(Signalled(1)) << "round " << round;
    }
    EXPECT_EQ(board->interruptsRaised(), 6u);
}

TEST_F(InterruptEvents, OneInterruptWithTwoStatusBitsCountsBothInOrder)
{
    ASSERT_TRUE(Enable(0, 1));
    ASSERT_TRUE(Enable(2, 1));
    const EventWindowRecord window0{0, 0, 4};
    const EventWindowRecord window2{2, 1, 2};
    DWORD returned = 0;
    ASSERT_TRUE(Ioctl(device.get(), IOCTL_DIO_SPECIFY_EVENT_DI_PORTS, &window0, 12, nullptr, 0,
                      &returned));
    ASSERT_TRUE(Ioctl(device.get(), IOCTL_DIO_SPECIFY_EVENT_DI_PORTS, &window2, 12, nullptr, 0,
                      &returned));
    board->setInputPort(1, 0x5A);
    board->setInputPort(2, 0xC3);
    board->setInputPort(3, 0x81);
    // Inputs 0 and 2 trigger on the falling edge: raise both, then drop both
    // in one step.
    board->setInputPort(0, 0x05);
    board->setInputPort(0, 0x00);
    EXPECT_TRUE(Signalled(0));
    EXPECT_TRUE(Signalled(2));
    EXPECT_FALSE(Signalled(1, 0));

    const EventIndexRecord index0{0};
    BYTE state0[4] = {};
    ASSERT_TRUE(Ioctl(device.get(), IOCTL_DIO_GET_LATEST_EVENT_DI_STATE, &index0, 4, state0, 4,
                      &returned));
    EXPECT_EQ(state0[0], 0x00);
    EXPECT_EQ(state0[1], 0x5A);
    EXPECT_EQ(state0[2], 0xC3);
    EXPECT_EQ(state0[3], 0x81);
    // A 4-byte buffer and a window of 2 ports from port 1: DI ports 1 and 2.
    const EventIndexRecord index2{2};
    BYTE state2[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    ASSERT_TRUE(Ioctl(device.get(), IOCTL_DIO_GET_LATEST_EVENT_DI_STATE, &index2, 4, state2, 4,
                      &returned));
    EXPECT_EQ(state2[0], 0x5A);
    EXPECT_EQ(state2[1], 0xC3);
    EXPECT_EQ(state2[2], 0xEE);
}

TEST_F(InterruptEvents, EnableAndDisableAreReadModifyWritesWithExactDebugLines)
{
    std::size_t logStart = vtsim::DebugEntries().size();
    ASSERT_TRUE(Enable(1, 2));
    EXPECT_EQ(DebugSince(logStart),
              (std::vector<std::string>{"\n===VTD Connect Interrupt",
                                        "\n===VTN EnableEvent event type: 1\n",
                                        "\n===VTN EnableEvent get reg: 0\n",
                                        "\n===VTN EnableEvent write reg: 2\n",
                                        "\n===VTN EnableEvent read back reg value: 2\n",
                                        "\n===VTN EnableEvent event count: 2\n"}));
    logStart = vtsim::DebugEntries().size();
    ASSERT_TRUE(Enable(3, 1));
    const auto enableLines = DebugSince(logStart);
    ASSERT_EQ(enableLines.size(), 5u);  // connected once only
    EXPECT_EQ(enableLines[1], "\n===VTN EnableEvent get reg: 2\n");
    EXPECT_EQ(enableLines[2], "\n===VTN EnableEvent write reg: a\n");
    EXPECT_EQ(board->interruptEnable(), 0x0Au);

    logStart = vtsim::DebugEntries().size();
    ASSERT_TRUE(Enable(3, 0, 0));
    EXPECT_EQ(DebugSince(logStart),
              (std::vector<std::string>{"\n===VTN Disable Event type: 3\n",
                                        "\n===VTR Disable Event, write reg value: 2\n"}));
    EXPECT_EQ(board->interruptEnable(), 0x02u);
}

TEST_F(InterruptEvents, EnablingAgainRestartsTheCount)
{
    ASSERT_TRUE(Enable(1, 2));
    board->pulseInputLine(0, 1);
    WaitAcknowledged();
    ASSERT_TRUE(Enable(1, 2));
    board->pulseInputLine(0, 1);
    WaitAcknowledged();
    EXPECT_FALSE(Signalled(1, NO_SIGNAL_WAIT_MS));
    board->pulseInputLine(0, 1);
    EXPECT_TRUE(Signalled(1));
}

TEST_F(InterruptEvents, CloseEventsClearsTheBoardAndNextEnableRecreates)
{
    ASSERT_TRUE(Enable(0, 1));
    ASSERT_TRUE(Enable(1, 1));
    const std::size_t logStart = vtsim::DebugEntries().size();
    const DWORD processId = GetCurrentProcessId();
    DWORD returned = 0xDEAD;
    ASSERT_TRUE(Ioctl(device.get(), IOCTL_DIO_CLOSE_EVENTS, &processId, 4, nullptr, 0, &returned));
    EXPECT_EQ(returned, 0xDEADu);
    EXPECT_EQ(board->interruptEnable(), 0u);
    EXPECT_EQ(DebugSince(logStart),
              std::vector<std::string>{"\n===CloseEvent, write reg value 0\n"});

    // The test's own handles keep the events alive; the driver creates its
    // handles again and signals through them.
    ASSERT_TRUE(Enable(1, 1));
    EXPECT_EQ(board->interruptEnable(), 0x02u);
    EXPECT_TRUE(DebugSince(logStart).at(1) == "\n===VTD Connect Interrupt");
    board->pulseInputLine(0, 1);
    EXPECT_TRUE(Signalled(1));
}

TEST_F(InterruptEvents, DisabledEventCountsWithoutSignalling)
{
    ASSERT_TRUE(Enable(1, 1));
    ASSERT_TRUE(Enable(1, 0, 0));
    // Enabled at the board again, but the driver's threshold stays 0xFFFF.
    const BYTE enableRegister[5] = {REG_INT_ENABLE, 0, 0, 0, 0x02};
    DWORD returned = 0;
    ASSERT_TRUE(Ioctl(device.get(), IOCTL_PORT_WRITE_BYTE, enableRegister, 5, nullptr, 0,
                      &returned));
    board->pulseInputLine(0, 1);
    WaitAcknowledged();
    EXPECT_FALSE(Signalled(1, NO_SIGNAL_WAIT_MS));
    EXPECT_EQ(board->interruptsRaised(), 1u);
}

TEST(InterruptEventsVtm, TwoEventsOnTheSmallBoard)
{
    ASSERT_TRUE(BootTarget(vtsim::BootOptions{}));
    {
        DeviceFile device = OpenBoardDevice(VTM6200K_SLOT);
        vtsim::Board* board = BoardAtSlot(VTM6200K_SLOT);
        const int number = DeviceNumberOf(DRIVER_KEY_VTM6200K, 0, VTM6200K_SLOT);
        ASSERT_TRUE(device.valid() && board != nullptr && number >= 0);
        HANDLE event1 = CreateEventW(nullptr, FALSE, FALSE, EventName(1, number).c_str());
        EventEnableRecord record{};
        record.enable = 1;
        record.eventIndex = 1;
        record.count = 1;
        DWORD returned = 0;
        ASSERT_TRUE(Ioctl(device.get(), IOCTL_DIO_ENABLE_EVENT, &record, 24, nullptr, 0,
                          &returned));
        board->pulseInputLine(0, 1);
        EXPECT_EQ(WaitForSingleObject(event1, SIGNAL_WAIT_MS), WAIT_OBJECT_0);
        CloseHandle(event1);
    }
    vtsim::Shutdown();
}
