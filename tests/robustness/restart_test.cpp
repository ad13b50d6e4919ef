// A process that embeds the simulated target (a test, an example, a tool's
// session) shuts it down and boots it again: the library's waiters wake,
// its connections to the old target give way to new ones, and hundreds of
// cycles leave nothing behind.
#include <gtest/gtest.h>
#include <malloc.h>

#include <chrono>
#include <future>
#include <string>

#include "library/include/rlx4100.h"
#include "platform/host/control/diagnostics.h"
#include "platform/host/control/target.h"
#include "platform/host/control/ui_driver.h"

namespace {

constexpr DWORD DEVICE = 0;  // the default machine's VTC-4100

void Boot()
{
    std::string error;
    ASSERT_TRUE(vtsim::Boot(vtsim::BootOptions{}, &error)) << error;
}

class Restart : public ::testing::Test {
protected:
    void TearDown() override
    {
        vtsim::Shutdown();
        vtsim::ClearMessageBoxes();
    }
};

TEST_F(Restart, ShutdownWakesAWaiterWithoutTimeLimit)
{
    Boot();
    LONG handle = 0;
    ASSERT_EQ(DeviceOpen(DEVICE, &handle), API_SUCCESS);
    ASSERT_EQ(EnableEvent(handle, EVT_DI_INTERRUPT0, 1, 1), API_SUCCESS);
    auto waiter = std::async(std::launch::async, [handle] {
        WORD type = EVT_NONE;
        const LONG status = CheckEvent(handle, &type, 0xFFFFFFFF);
        return std::make_pair(status, type);
    });
    EXPECT_EQ(waiter.wait_for(std::chrono::milliseconds(150)), std::future_status::timeout)
        << "nothing ends the wait before the shutdown";

    vtsim::Shutdown();
    ASSERT_EQ(waiter.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    const auto [status, type] = waiter.get();
    EXPECT_EQ(status, API_SUCCESS);
    EXPECT_EQ(type, EVT_TERMINATED);
    // The connection has ended for its waiters: a later wait ends at once.
    WORD again = EVT_NONE;
    EXPECT_EQ(CheckEvent(handle, &again, 0xFFFFFFFF), API_SUCCESS);
    EXPECT_EQ(again, EVT_TERMINATED);
    EXPECT_EQ(DeviceClose(&handle), API_SUCCESS);
}

TEST_F(Restart, DeviceOpenAfterANewBootReachesTheNewTarget)
{
    Boot();
    LONG old = 0;
    ASSERT_EQ(DeviceOpen(DEVICE, &old), API_SUCCESS);
    LONG second = 0;
    ASSERT_EQ(DeviceOpen(DEVICE, &second), API_SUCCESS);  // two references, left open
    vtsim::Shutdown();
    Boot();

    LONG handle = 0;
    ASSERT_EQ(DeviceOpen(DEVICE, &handle), API_SUCCESS);
    EXPECT_NE(handle, old) << "a new connection, not the one to the old target";
    EXPECT_EQ(DioWriteDoPorts(handle, 0, 1, reinterpret_cast<const BYTE*>("\x5A")), API_SUCCESS);
    EXPECT_EQ(vtsim::Boards()[0]->outputLatch(0), 0x5A);
    ASSERT_EQ(EnableEvent(handle, EVT_DI_INTERRUPT0, 1, 1), API_SUCCESS);
    vtsim::Boards()[0]->pulseInputLine(0, 0);
    WORD type = EVT_NONE;
    EXPECT_EQ(CheckEvent(handle, &type, 5000), API_SUCCESS);
    EXPECT_EQ(type, EVT_DI_INTERRUPT0);

    // The old handle is refused; one close gives back the new connection.
    BYTE value = 0;
    EXPECT_EQ(DioReadPortByte(old, 0, &value), API_INVALID_HANDLE);
    EXPECT_EQ(DeviceClose(&old), API_INVALID_HANDLE);
    EXPECT_EQ(DeviceClose(&handle), API_SUCCESS);
    EXPECT_EQ(DioReadPortByte(handle, 0, &value), API_INVALID_HANDLE);
}

// Bytes the process has allocated from the heap and not freed.
std::size_t HeapInUse()
{
    return mallinfo2().uordblks;
}

TEST_F(Restart, BootAndShutdownCyclesLeakNothing)
{
    // The first cycles fill what is made once (module records, caches).
    auto cycle = [] {
        Boot();
        LONG handle = 0;
        ASSERT_EQ(DeviceOpen(DEVICE, &handle), API_SUCCESS);
        ASSERT_EQ(EnableEvent(handle, EVT_DI_INTERRUPT0, 1, 1), API_SUCCESS);
        vtsim::Boards()[0]->pulseInputLine(0, 0);
        WORD type = EVT_NONE;
        ASSERT_EQ(CheckEvent(handle, &type, 5000), API_SUCCESS);
        ASSERT_EQ(type, EVT_DI_INTERRUPT0);
        ASSERT_EQ(DeviceClose(&handle), API_SUCCESS);
        vtsim::Shutdown();
        vtsim::ClearDebugLog();
    };
    for (int i = 0; i < 20; ++i) {
        cycle();
    }
    const vtsim::LiveCounts counts = vtsim::GetLiveCounts();
    const std::size_t heap = HeapInUse();
    constexpr int CYCLES = 300;
    for (int i = 0; i < CYCLES; ++i) {
        cycle();
    }
    EXPECT_EQ(vtsim::GetLiveCounts(), counts) << vtsim::Describe(vtsim::GetLiveCounts());
    // A leak of even a few bytes per cycle shows over the cycles; the
    // allowance covers the allocator's own bookkeeping.
    const std::size_t grown = HeapInUse() > heap ? HeapInUse() - heap : 0;
    EXPECT_LT(grown, 64u * 1024) << grown / CYCLES << " bytes per cycle";
}

}  // namespace
