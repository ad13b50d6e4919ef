// Interrupt service end to end: an input edge on the simulated board, the
// installed handler, the driver's interrupt service thread, and the named
// event that the test opens and waits on.
#include <gtest/gtest.h>

#include "common/board_types.h"
#include "driver_test_support.h"

using namespace drivertest;

namespace {

constexpr unsigned VTC_SLOT = 5;
constexpr DWORD SIGNAL_WAIT_MS = 2000;
constexpr DWORD NO_SIGNAL_WAIT_MS = 50;

class InterruptEvents : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(BootTarget(vtsim::BootOptions{}));
        device = OpenBoardDevice(VTC_SLOT);
        board = BoardAtSlot(VTC_SLOT);
        const int number = DeviceNumberOf(DRIVER_KEY_VTC4100, VTC_SLOT);
        ASSERT_TRUE(device.valid() && number >= 0);
        // The package's template for switch 1 gives trigger mode 5: inputs 0
        // and 2 on the falling edge, 1 and 3 on the rising edge.
        ASSERT_EQ(board->triggerMode(), 5u);
        for (int i = 0; i < 4; ++i) {
            events[i] = CreateEventW(nullptr, FALSE, FALSE, EventName(i, number).c_str());
        }
    }
    void TearDown() override
    {
        for (HANDLE event : events) {
            CloseHandle(event);
        }
        device = DeviceFile();
        vtsim::Shutdown();
    }

    bool Signalled(int eventIndex, DWORD ms = SIGNAL_WAIT_MS)
    {
        return WaitForSingleObject(events[eventIndex], ms) == WAIT_OBJECT_0;
    }
    // Pulses input 1 and waits until the thread's pass has acknowledged it.
    void PulseInput1()
    {
        board->pulseInputLine(0, 1);
        for (int i = 0; i < 2000 && board->interruptStatus() != 0; ++i) {
            Sleep(1);
        }
        ASSERT_EQ(board->interruptStatus(), 0u);
    }

    DeviceFile device;
    vtsim::Board* board = nullptr;
    HANDLE events[4] = {};
};

}  // namespace

TEST_F(InterruptEvents, SignalsEveryCountThInterruptAndEnablingRestartsTheCount)
{
    ASSERT_TRUE(EnableEvent(device.get(), 1, 3));
    EXPECT_EQ(board->interruptEnable(), 0x02u);
    for (int round = 0; round < 2; ++round) {
        PulseInput1();
        PulseInput1();
        EXPECT_FALSE(Signalled(1, NO_SIGNAL_WAIT_MS)) << "round " << round;
        board->pulseInputLine(0, 1);
        EXPECT_TRUE(Signalled(1)) << "round " << round;
    }
    PulseInput1();
    PulseInput1();
    ASSERT_TRUE(EnableEvent(device.get(), 1, 3));
    PulseInput1();
    EXPECT_FALSE(Signalled(1, NO_SIGNAL_WAIT_MS));
    EXPECT_EQ(board->interruptsRaised(), 9u);
}

TEST_F(InterruptEvents, OneInterruptWithTwoStatusBitsCountsBoth)
{
    ASSERT_TRUE(EnableEvent(device.get(), 0, 1));
    ASSERT_TRUE(EnableEvent(device.get(), 2, 1));
    const EventWindowRecord window0{0, 0, 4};
    const EventWindowRecord window2{2, 1, 2};
    ASSERT_TRUE(Ioctl(device.get(), IOCTL_DIO_SPECIFY_EVENT_DI_PORTS, &window0, 12, nullptr, 0));
    ASSERT_TRUE(Ioctl(device.get(), IOCTL_DIO_SPECIFY_EVENT_DI_PORTS, &window2, 12, nullptr, 0));
    board->setInputPort(1, 0x5A);
    board->setInputPort(2, 0xC3);
    board->setInputPort(3, 0x81);
    // Inputs 0 and 2 fall in one step: one interrupt, status bits 0 and 2.
    board->setInputPort(0, 0x05);
    board->setInputPort(0, 0x00);
    EXPECT_TRUE(Signalled(0));
    EXPECT_TRUE(Signalled(2));
    EXPECT_FALSE(Signalled(1, 0));
    EXPECT_EQ(board->interruptsRaised(), 2u);  // two edges, each setting its status bit

    const EventIndexRecord index0{0};
    BYTE state0[4] = {};
    ASSERT_TRUE(Ioctl(device.get(), IOCTL_DIO_GET_LATEST_EVENT_DI_STATE, &index0, 4, state0, 4));
    EXPECT_EQ(std::vector<BYTE>(state0, state0 + 4), (std::vector<BYTE>{0x00, 0x5A, 0xC3, 0x81}));
    // A 4-byte buffer and a window of 2 ports from port 1: DI ports 1 and 2.
    const EventIndexRecord index2{2};
    BYTE state2[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    ASSERT_TRUE(Ioctl(device.get(), IOCTL_DIO_GET_LATEST_EVENT_DI_STATE, &index2, 4, state2, 4));
    EXPECT_EQ(std::vector<BYTE>(state2, state2 + 4), (std::vector<BYTE>{0x5A, 0xC3, 0xEE, 0xEE}));
}

TEST_F(InterruptEvents, EnableDisableAndCloseWithExactDebugLines)
{
    std::size_t logStart = vtsim::DebugEntries().size();
    ASSERT_TRUE(EnableEvent(device.get(), 1, 2));
    EXPECT_EQ(DebugSince(logStart),
              (std::vector<std::string>{
                  "\n===VTD Connect Interrupt", "\n===VTN EnableEvent event type: 1\n",
                  "\n===VTN EnableEvent get reg: 0\n", "\n===VTN EnableEvent write reg: 2\n",
                  "\n===VTN EnableEvent read back reg value: 2\n",
                  "\n===VTN EnableEvent event count: 2\n"}));
    logStart = vtsim::DebugEntries().size();
    ASSERT_TRUE(EnableEvent(device.get(), 3, 1));
    const auto lines = DebugSince(logStart);
    ASSERT_EQ(lines.size(), 5u);  // connected once only
    EXPECT_EQ(lines[1], "\n===VTN EnableEvent get reg: 2\n");
    EXPECT_EQ(lines[2], "\n===VTN EnableEvent write reg: a\n");

    logStart = vtsim::DebugEntries().size();
    ASSERT_TRUE(EnableEvent(device.get(), 3, 0, 0));
    EXPECT_EQ(DebugSince(logStart),
              (std::vector<std::string>{"\n===VTN Disable Event type: 3\n",
                                        "\n===VTR Disable Event, write reg value: 2\n"}));
    EXPECT_EQ(board->interruptEnable(), 0x02u);
    // Disabled, the event counts without signalling even with its bit set again.
    const BYTE enable3[5] = {REG_INT_ENABLE, 0, 0, 0, 0x0A};
    ASSERT_TRUE(Ioctl(device.get(), IOCTL_PORT_WRITE_BYTE, enable3, 5, nullptr, 0));
    board->pulseInputLine(0, 3);
    EXPECT_FALSE(Signalled(3, NO_SIGNAL_WAIT_MS));

    logStart = vtsim::DebugEntries().size();
    const DWORD processId = GetCurrentProcessId();
    DWORD returned = 0xDEAD;
    ASSERT_TRUE(Ioctl(device.get(), IOCTL_DIO_CLOSE_EVENTS, &processId, 4, nullptr, 0, &returned));
    EXPECT_EQ(returned, 0xDEADu);
    EXPECT_EQ(board->interruptEnable(), 0u);
    EXPECT_EQ(DebugSince(logStart),
              std::vector<std::string>{"\n===CloseEvent, write reg value 0\n"});
    // The next enabling request connects again, recreates the driver's
    // handles (the test's keep the events alive) and sets only its own bit.
    ASSERT_TRUE(EnableEvent(device.get(), 1, 1));
    EXPECT_EQ(board->interruptEnable(), 0x02u);
    EXPECT_EQ(DebugSince(logStart).at(1), "\n===VTD Connect Interrupt");
    board->pulseInputLine(0, 1);
    EXPECT_TRUE(Signalled(1));
}

TEST(InterruptEventsSmallBoard, InputOneOfTheVtm6200KSignals)
{
    ASSERT_TRUE(BootTarget(vtsim::BootOptions{}));
    {
        DeviceFile device = OpenBoardDevice(7);
        const int number = DeviceNumberOf(DRIVER_KEY_VTM6200K, 7);
        ASSERT_TRUE(device.valid() && number >= 0);
        HANDLE event = CreateEventW(nullptr, FALSE, FALSE, EventName(1, number).c_str());
        ASSERT_TRUE(EnableEvent(device.get(), 1, 1));
        BoardAtSlot(7)->pulseInputLine(0, 1);
        EXPECT_EQ(WaitForSingleObject(event, SIGNAL_WAIT_MS), WAIT_OBJECT_0);
        CloseHandle(event);
    }
    vtsim::Shutdown();
}
