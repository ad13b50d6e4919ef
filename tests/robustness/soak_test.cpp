// The soak: for a bounded time, on every board of the default machine at
// once, threads write outputs under masks and read them back, read ports
// raw, enable and disable an event and read its latched inputs, while an
// input toggles as fast as the target turns its edges into events (the next
// edge once the previous event has been received) and a waiter takes the
// events. Afterwards every count is exact: each edge became one interrupt
// and one event, none merged, none extra, every output bit holds what its
// writer last wrote, and the target shuts down leaving nothing behind.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "library/include/rlx4100.h"
#include "platform/host/control/diagnostics.h"
#include "platform/host/control/target.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto SOAK_TIME = std::chrono::seconds(4);
constexpr DWORD DEVICES = 3;  // the default machine's boards are devices 0 to 2

// What one board's threads share.
struct BoardRun {
    LONG handle = 0;
    vtsim::Board* board = nullptr;
    unsigned ports = 0;
    std::uint64_t raisedBefore = 0;
    std::uint64_t mergedBefore = 0;

    std::mutex mutex;
    std::condition_variable received;
    std::uint64_t edges = 0;   // pulses sent on input 0
    std::uint64_t events = 0;  // EVT_DI_INTERRUPT0 taken by the waiter
    std::atomic<int> failures{0};
    std::string firstFailure;

    void Fail(const std::string& what)
    {
        std::lock_guard lock(mutex);
        if (failures.fetch_add(1) == 0) {
            firstFailure = what;
        }
    }
};

vtsim::Board* BoardOfDevice(LONG handle)
{
    DWORD slot = 0, length = sizeof(slot);
    DeviceGetProperty(handle, PROP_SLOT_NUMBER, &slot, &length);
    for (vtsim::Board* board : vtsim::Boards()) {
        if (board->config().slot == slot) {
            return board;
        }
    }
    return nullptr;
}

// Pulses input 0 and waits until the waiter has taken its event.
void Edges(BoardRun& run, Clock::time_point end)
{
    while (Clock::now() < end && run.failures == 0) {
        std::unique_lock lock(run.mutex);
        const std::uint64_t before = run.events;
        ++run.edges;
        lock.unlock();
        run.board->pulseInputLine(0, 0);
        lock.lock();
        if (!run.received.wait_for(lock, std::chrono::seconds(10),
                                   [&] { return run.events > before; })) {
            lock.unlock();
            run.Fail("edge " + std::to_string(before + 1) + " raised no event");
            return;
        }
    }
}

// Takes the events until the edges have stopped and every one was taken.
void Waiter(BoardRun& run, const std::atomic<bool>& edgesDone)
{
    for (;;) {
        WORD type = EVT_NONE;
        const LONG status = CheckEvent(run.handle, &type, 50);
        if (status != API_SUCCESS) {
            run.Fail("CheckEvent returned " + std::to_string(status));
            return;
        }
        if (type == EVT_DI_INTERRUPT0) {
            std::lock_guard lock(run.mutex);
            ++run.events;
            run.received.notify_all();
        } else if (type == EVT_TIMEOUT) {
            if (edgesDone) {
                return;
            }
        } else {
            run.Fail("CheckEvent reported event type " + std::to_string(type));
            return;
        }
    }
}

// Writes its own half of every DO port under a mask and reads it back:
// the other half belongs to another writer and must never change here.
void Writer(BoardRun& run, BYTE mask, Clock::time_point end, std::vector<BYTE>* last)
{
    for (BYTE value = 1; Clock::now() < end && run.failures == 0; ++value) {
        for (unsigned port = 0; port < run.ports; ++port) {
            const BYTE written = static_cast<BYTE>(value * (port + 3));
            if (DioWritePortByte(run.handle, static_cast<WORD>(port), mask, written) !=
                API_SUCCESS) {
                run.Fail("masked write refused");
                return;
            }
            BYTE readBack = 0;
            if (DioGetCurrentDOByte(run.handle, static_cast<WORD>(port), &readBack) !=
                    API_SUCCESS ||
                (readBack & mask) != (written & mask)) {
                run.Fail("a masked write did not read back");
                return;
            }
            (*last)[port] = static_cast<BYTE>(written & mask);
        }
    }
}

// Raw reads of the whole I/O window, and the event capture of input 1:
// enabled, its latched inputs read, disabled, over and over.
void Churn(BoardRun& run, Clock::time_point end)
{
    DWORD base = 0, length = sizeof(base);
    DeviceGetProperty(run.handle, PROP_BASE_ADDRESS, &base, &length);
    while (Clock::now() < end && run.failures == 0) {
        for (DWORD offset = 0; offset < 0x14; ++offset) {
            WORD value = 0;
            if (ReadPortByte(run.handle, base + offset, &value) != API_SUCCESS) {
                run.Fail("raw read refused");
                return;
            }
        }
        BYTE latched[4] = {};
        if (DioEnableEventAndSpecifyDiPorts(run.handle, EVT_DI_INTERRUPT1, 0, run.ports) !=
                API_SUCCESS ||
            DioGetLatestEventDiPortsState(run.handle, EVT_DI_INTERRUPT1, latched, run.ports) !=
                API_SUCCESS ||
            EnableEvent(run.handle, EVT_DI_INTERRUPT1, 1, 3) != API_SUCCESS ||
            DioDisableEvent(run.handle, EVT_DI_INTERRUPT1) != API_SUCCESS) {
            run.Fail("event churn refused");
            return;
        }
    }
}

TEST(Soak, EveryBoardUnderEveryKindOfLoadCountsExactly)
{
    const vtsim::LiveCounts start = vtsim::GetLiveCounts();
    std::string error;
    ASSERT_TRUE(vtsim::Boot(vtsim::BootOptions{}, &error)) << error;

    std::vector<std::unique_ptr<BoardRun>> runs;
    for (DWORD device = 0; device < DEVICES; ++device) {
        auto run = std::make_unique<BoardRun>();
        ASSERT_EQ(DeviceOpen(device, &run->handle), API_SUCCESS);
        run->board = BoardOfDevice(run->handle);
        ASSERT_NE(run->board, nullptr);
        run->ports = run->board->portCount();
        run->raisedBefore = run->board->interruptsRaised();
        run->mergedBefore = run->board->mergedEdges();
        ASSERT_EQ(EnableEvent(run->handle, EVT_DI_INTERRUPT0, 1, 1), API_SUCCESS);
        runs.push_back(std::move(run));
    }

    const Clock::time_point end = Clock::now() + SOAK_TIME;
    std::atomic<bool> edgesDone{false};
    std::vector<std::vector<BYTE>> low(DEVICES, std::vector<BYTE>(4)),
        high(DEVICES, std::vector<BYTE>(4));
    std::vector<std::thread> waiters, others;
    for (DWORD i = 0; i < DEVICES; ++i) {
        BoardRun& run = *runs[i];
        waiters.emplace_back(Waiter, std::ref(run), std::cref(edgesDone));
        others.emplace_back(Edges, std::ref(run), end);
        others.emplace_back(Writer, std::ref(run), BYTE{0x0F}, end, &low[i]);
        others.emplace_back(Writer, std::ref(run), BYTE{0xF0}, end, &high[i]);
        others.emplace_back(Churn, std::ref(run), end);
    }
    for (std::thread& thread : others) {
        thread.join();
    }
    edgesDone = true;
    for (std::thread& thread : waiters) {
        thread.join();
    }

    for (DWORD i = 0; i < DEVICES; ++i) {
        BoardRun& run = *runs[i];
        SCOPED_TRACE("device " + std::to_string(i));
        EXPECT_EQ(run.failures.load(), 0) << run.firstFailure;
        EXPECT_GT(run.edges, 100u) << "the soak hardly ran";
        EXPECT_EQ(run.events, run.edges);
        EXPECT_EQ(run.board->interruptsRaised() - run.raisedBefore, run.edges);
        EXPECT_EQ(run.board->mergedEdges() - run.mergedBefore, 0u);
        WORD type = EVT_NONE;
        EXPECT_EQ(CheckEvent(run.handle, &type, 0), API_SUCCESS);
        EXPECT_EQ(type, EVT_TIMEOUT) << "an event beyond the edges";
        for (unsigned port = 0; port < run.ports; ++port) {
            EXPECT_EQ(run.board->outputLatch(port), low[i][port] | high[i][port]) << port;
        }
        EXPECT_EQ(DeviceClose(&run.handle), API_SUCCESS);
    }
    vtsim::Shutdown();
    vtsim::ClearDebugLog();
    EXPECT_EQ(vtsim::GetLiveCounts(), start) << vtsim::Describe(vtsim::GetLiveCounts());
}

}  // namespace
