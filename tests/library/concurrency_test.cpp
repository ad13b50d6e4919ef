// Threads: a CheckEvent waiter while another thread releases the device,
// and masked writes from two threads while interrupts arrive.
#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "library_test_support.h"

using namespace librarytest;

namespace {

using Concurrency = LibraryTest;

struct WaitResult {
    LONG status;
    WORD type;
};

std::future<WaitResult> WaitInThread(LONG handle)
{
    return std::async(std::launch::async, [handle] {
        WORD type = 0;
        const LONG status = CheckEvent(handle, &type, INFINITE);
        return WaitResult{status, type};
    });
}

TEST_F(Concurrency, TheFinalCloseEndsAWaitInAnotherThread)
{
    LONG first = Open(VTC4100_SLOT);
    ASSERT_EQ(EnableEvent(first, EVT_DI_INTERRUPT0, 1, 1), API_SUCCESS);
    ASSERT_EQ(DeviceClose(&first), API_SUCCESS);
    const vtsim::LiveCounts before = vtsim::GetLiveCounts();

    first = Open(VTC4100_SLOT);
    LONG second = Open(VTC4100_SLOT);
    ASSERT_EQ(EnableEvent(first, EVT_DI_INTERRUPT0, 1, 1), API_SUCCESS);
    auto waiter = WaitInThread(first);

    // Closing one of two references leaves the waiter blocked.
    ASSERT_EQ(DeviceClose(&second), API_SUCCESS);
    EXPECT_EQ(waiter.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);

    ASSERT_EQ(DeviceClose(&first), API_SUCCESS);
    ASSERT_EQ(waiter.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    const WaitResult result = waiter.get();
    EXPECT_EQ(result.status, API_SUCCESS);
    EXPECT_EQ(result.type, EVT_TERMINATED);
    EXPECT_EQ(vtsim::GetLiveCounts(), before) << vtsim::Describe(vtsim::GetLiveCounts());
}

TEST_F(Concurrency, MaskedWritesToDifferentBitsWhileInterruptsArrive)
{
    LONG handle = Open(VTC4100_SLOT);
    vtsim::Board* board = BoardAt(VTC4100_SLOT);
    const BYTE zeros[4] = {0, 0, 0, 0};
    ASSERT_EQ(DioWriteDoPorts(handle, 0, 4, zeros), API_SUCCESS);
    ASSERT_EQ(EnableEvent(handle, EVT_DI_INTERRUPT0, 1, 1), API_SUCCESS);

    std::atomic<bool> stop{false};
    std::atomic<int> signalled{0};
    std::thread interrupts([&] {
        while (!stop.load()) {
            board->pulseInputLine(0, 0);
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    std::thread waiter([&] {
        WORD type = 0;
        while (!stop.load()) {
            if (CheckEvent(handle, &type, 10) == API_SUCCESS && type == EVT_DI_INTERRUPT0) {
                ++signalled;
            }
        }
    });

    // Each writer's bits must hold what it wrote last: a masked write of the
    // other thread never puts back older values.
    constexpr int ROUNDS = 5000;
    std::atomic<int> undone{0};
    std::atomic<int> ready{0};
    auto writer = [&](WORD mask, int shift) {
        for (++ready; ready.load() < 2;) {
            std::this_thread::yield();
        }
        for (int i = 0; i < ROUNDS; ++i) {
            const WORD state = WORD((i & 0x0F) << shift);
            ASSERT_EQ(DioWritePortByte(handle, 1, mask, state), API_SUCCESS);
            BYTE readback = 0;
            ASSERT_EQ(DioGetCurrentDOByte(handle, 1, &readback), API_SUCCESS);
            if ((readback & mask) != state) {
                ++undone;
            }
            ASSERT_EQ(DioWriteBit(handle, 2, WORD(shift / 4), WORD(i & 1)), API_SUCCESS);
        }
    };
    std::thread low(writer, 0x0F, 0);
    std::thread high(writer, 0xF0, 4);
    low.join();
    high.join();
    stop = true;
    interrupts.join();
    waiter.join();

    EXPECT_EQ(undone.load(), 0);
    const int last = (ROUNDS - 1) & 0x0F;
    EXPECT_EQ(board->outputLatch(1), BYTE(last | last << 4));
    EXPECT_EQ(board->outputLatch(2), BYTE(((ROUNDS - 1) & 1) * 0x03));
    BYTE shadow = 0;
    ASSERT_EQ(DioGetCurrentDOByte(handle, 1, &shadow), API_SUCCESS);
    EXPECT_EQ(shadow, board->outputLatch(1));
    EXPECT_GT(signalled.load(), 0);
    DeviceClose(&handle);
}

}  // namespace
