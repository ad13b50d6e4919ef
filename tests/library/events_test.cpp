// Interrupt events end to end: input edges on the simulated board raise
// interrupts, the driver signals the named events, CheckEvent reports them.
#include <chrono>
#include <thread>

#include "library_test_support.h"

using namespace librarytest;

namespace {

class Events : public OpenBoards {
protected:
    // One rising and one falling edge on DI port 0, bit `input`; returns once
    // the driver has acknowledged the interrupt it raised.
    void Pulse(unsigned input)
    {
        const auto raised = vtcBoard->interruptsRaised();
        vtcBoard->pulseInputLine(0, input);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while ((vtcBoard->interruptsRaised() == raised || vtcBoard->interruptStatus() != 0) &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::yield();
        }
        ASSERT_GT(vtcBoard->interruptsRaised(), raised) << "no interrupt from input " << input;
    }

    WORD Check(DWORD timeout = 2000)
    {
        WORD type = 0x1234;
        EXPECT_EQ(CheckEvent(vtc, &type, timeout), API_SUCCESS);
        return type;
    }

    // The event reported after a pulse on DI port 0, bit `input`.
    WORD PulseAndCheck(unsigned input)
    {
        Pulse(input);
        return Check();
    }
};

TEST_F(Events, EveryCountthInterruptSignalsTheEvent)
{
    ASSERT_EQ(EnableEvent(vtc, EVT_DI_INTERRUPT1, 1, 3), API_SUCCESS);
    EXPECT_EQ(vtcBoard->interruptEnable() & 0x02, 0x02);
    Pulse(1);
    Pulse(1);
    EXPECT_EQ(Check(50), EVT_TIMEOUT);
    EXPECT_EQ(PulseAndCheck(1), EVT_DI_INTERRUPT1);
    EXPECT_EQ(Check(0), EVT_TIMEOUT);

    ASSERT_EQ(DioDisableEvent(vtc, EVT_DI_INTERRUPT1), API_SUCCESS);
    EXPECT_EQ(vtcBoard->interruptEnable() & 0x02, 0);
}

TEST_F(Events, AliasCodesAreReportedOnlyWhileEnabledWithOne)
{
    ASSERT_EQ(EnableEvent(vtc, EVT_DI_INTERRUPT2_ALIAS, 1, 1), API_SUCCESS);
    EXPECT_EQ(PulseAndCheck(2), EVT_DI_INTERRUPT2_ALIAS);
    // Enabling through the plain code leaves the alias in force.
    ASSERT_EQ(EnableEvent(vtc, EVT_DI_INTERRUPT2, 1, 1), API_SUCCESS);
    EXPECT_EQ(PulseAndCheck(2), EVT_DI_INTERRUPT2_ALIAS);

    ASSERT_EQ(EnableEvent(vtc, EVT_DI_INTERRUPT2_ALIAS, 0, 0), API_SUCCESS);
    ASSERT_EQ(EnableEvent(vtc, EVT_DI_INTERRUPT2, 1, 1), API_SUCCESS);
    EXPECT_EQ(PulseAndCheck(2), EVT_DI_INTERRUPT2);

    // An enable value other than 1 enables the event but not the alias.
    ASSERT_EQ(EnableEvent(vtc, EVT_DI_INTERRUPT3_ALIAS, 2, 1), API_SUCCESS);
    EXPECT_EQ(PulseAndCheck(3), EVT_DI_INTERRUPT3);
    // A flag whose low byte is zero still enables.
    ASSERT_EQ(EnableEvent(vtc, EVT_DI_INTERRUPT0, 0x100, 1), API_SUCCESS);
    EXPECT_EQ(vtcBoard->interruptEnable() & 0x01, 0x01);
}

TEST_F(Events, CodesCountsAndBoardsAreChecked)
{
    const LONG notSupported = Status(VTC4100_SLOT, API_EVENT_NOT_SUPPORTED);
    EXPECT_EQ(EnableEvent(vtc, 0x3402, 1, 1), notSupported);
    EXPECT_EQ(EnableEvent(vtm, EVT_DI_INTERRUPT2, 1, 1),
              Status(VTM6200K_SLOT, API_EVENT_NOT_SUPPORTED));
    EXPECT_EQ(EnableEvent(vtc, EVT_DI_INTERRUPT0, 1, 0),
              Status(VTC4100_SLOT, API_INVALID_PARAMETER));
    EXPECT_EQ(EnableEvent(0, EVT_DI_INTERRUPT0, 1, 1), API_INVALID_HANDLE);

    // Only the low 16 bits of the code count when enabling or disabling.
    EXPECT_EQ(DioDisableEvent(vtc, 0x10000 | EVT_DI_INTERRUPT0), API_SUCCESS);
    BYTE latched[4];
    EXPECT_EQ(DioGetLatestEventDiPortsState(vtc, 0x10000 | EVT_DI_INTERRUPT0, latched, 4),
              notSupported);
    EXPECT_EQ(DioGetLatestEventDiPortsState(vtc, EVT_DI_INTERRUPT0, nullptr, 4),
              Status(VTC4100_SLOT, API_INVALID_PARAMETER));
    EXPECT_EQ(CheckEvent(vtc, nullptr, 0), Status(VTC4100_SLOT, API_INVALID_PARAMETER));
    EXPECT_EQ(Check(0), EVT_TIMEOUT);

    // Before any enable the connection's interrupt events are not open.
    WORD type = 0x1234;
    EXPECT_EQ(CheckEvent(vtm, &type, 0), Status(VTM6200K_SLOT, API_WAIT_FAILED));
    EXPECT_EQ(type, EVT_NONE);
}

TEST_F(Events, TheEventWindowIsLatchedAtTheInterrupt)
{
    EXPECT_EQ(DioEnableEventAndSpecifyDiPorts(vtc, EVT_DI_INTERRUPT1, 3, 2),
              Status(VTC4100_SLOT, API_INVALID_PARAMETER));
    EXPECT_EQ(vtcBoard->interruptEnable() & 0x02, 0);

    ASSERT_EQ(DioEnableEventAndSpecifyDiPorts(vtc, EVT_DI_INTERRUPT1, 1, 2), API_SUCCESS);
    vtcBoard->setInputPort(1, 0xAB);
    vtcBoard->setInputPort(2, 0xCD);
    EXPECT_EQ(PulseAndCheck(1), EVT_DI_INTERRUPT1);
    vtcBoard->setInputPort(1, 0x00);

    BYTE latched[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    ASSERT_EQ(DioGetLatestEventDiPortsState(vtc, EVT_DI_INTERRUPT1, latched, 4), API_SUCCESS);
    EXPECT_EQ(latched[0], 0xAB);
    EXPECT_EQ(latched[1], 0xCD);
}

TEST_F(Events, EveryEnableWritesTheConnectionsEdgesToTheBoard)
{
    const BYTE initial = vtcBoard->triggerMode();
    BYTE falling[4] = {BYTE(initial ^ 0x0F), 0, 0, 0};
    ASSERT_EQ(DeviceSetProperty(vtc, PROP_DI_FALLING_EDGE_MASK, falling, 4), API_SUCCESS);
    EXPECT_EQ(vtcBoard->triggerMode(), initial);  // not before the next enable
    ASSERT_EQ(DioDisableEvent(vtc, EVT_DI_INTERRUPT0), API_SUCCESS);
    EXPECT_EQ(vtcBoard->triggerMode(), initial ^ 0x0F);

    falling[0] = 0x01;
    ASSERT_EQ(DeviceSetProperty(vtc, PROP_DI_FALLING_EDGE_MASK, falling, 4), API_SUCCESS);
    // Input 0 now interrupts on the falling edge: a line held high and
    // dropped raises it.
    vtcBoard->setInputLine(0, 0, true);
    ASSERT_EQ(EnableEvent(vtc, EVT_DI_INTERRUPT0, 1, 1), API_SUCCESS);
    EXPECT_EQ(vtcBoard->triggerMode(), 0x01);
    const auto raised = vtcBoard->interruptsRaised();
    vtcBoard->setInputLine(0, 0, false);
    EXPECT_EQ(Check(), EVT_DI_INTERRUPT0);
    EXPECT_GT(vtcBoard->interruptsRaised(), raised);
}

}  // namespace
