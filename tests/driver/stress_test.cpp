// Port requests from several threads while input edges are counted and
// signalled: every request answers consistently and every count is exact.
// Meant to be run under ThreadSanitizer as well.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "common/board_types.h"
#include "driver_test_support.h"

using namespace drivertest;

namespace {

constexpr unsigned SLOT = 5;
constexpr int ROUNDS = 1000;
constexpr int REQUESTS_PER_THREAD = 10000;

}  // namespace

TEST(DriverStress, PortRequestsBesideCountedInterrupts)
{
    ASSERT_TRUE(BootTarget(vtsim::BootOptions{}));
    vtsim::Board* board = BoardAtSlot(SLOT);
    const int number = DeviceNumberOf(DRIVER_KEY_VTC4100, SLOT);
    ASSERT_TRUE(board != nullptr && number >= 0);
    // Trigger mode 5 from the package: inputs 1 and 3 on the rising edge.
    ASSERT_EQ(board->triggerMode(), 5u);
    HANDLE counted = CreateEventW(nullptr, FALSE, FALSE, EventName(1, number).c_str());
    HANDLE everyTime = CreateEventW(nullptr, FALSE, FALSE, EventName(3, number).c_str());
    {
        DeviceFile control = OpenBoardDevice(SLOT);
        ASSERT_TRUE(control.valid());
        ASSERT_TRUE(EnableEvent(control.get(), 1, 4));
        ASSERT_TRUE(EnableEvent(control.get(), 3, 1));

        std::atomic<int> failures{0};
        std::vector<std::thread> threads;
        // Writers: each owns one DO port and checks its read-back.
        for (DWORD port : {2u, 3u}) {
            threads.emplace_back([&, port] {
                DeviceFile device = OpenBoardDevice(SLOT);
                for (int i = 0; i < REQUESTS_PER_THREAD; ++i) {
                    const BYTE value = static_cast<BYTE>(i * 7 + port);
                    BYTE write[9] = {static_cast<BYTE>(port), 0, 0, 0, 1, 0, 0, 0, value};
                    DWORD returned = 0;
                    BYTE shadow = 0;
                    const PortRangeRecord range{port, 1};
                    if (!Ioctl(device.get(), IOCTL_DIO_WRITE_DO_PORTS, write, 9, nullptr, 0,
                               &returned) ||
                        !Ioctl(device.get(), IOCTL_DIO_GET_CURRENT_DO_PORTS, &range, 8, &shadow, 1,
                               &returned) ||
                        shadow != value) {
                        ++failures;
                    }
                }
            });
        }
        // Readers: inputs, raw registers and the latest event state.
        for (int reader = 0; reader < 2; ++reader) {
            threads.emplace_back([&] {
                DeviceFile device = OpenBoardDevice(SLOT);
                for (int i = 0; i < REQUESTS_PER_THREAD; ++i) {
                    const PortRangeRecord range{0, 4};
                    BYTE inputs[4];
                    DWORD returned = 0;
                    const DWORD offset = REG_INT_ENABLE;
                    BYTE enable = 0;
                    const EventIndexRecord index{1};
                    BYTE latest[4];
                    if (!Ioctl(device.get(), IOCTL_DIO_READ_DI_PORTS, &range, 8, inputs, 4,
                               &returned) ||
                        returned != 4 ||
                        !Ioctl(device.get(), IOCTL_PORT_READ_BYTE, &offset, 4, &enable, 1,
                               &returned) ||
                        enable != 0x0A ||
                        !Ioctl(device.get(), IOCTL_DIO_GET_LATEST_EVENT_DI_STATE, &index, 4, latest,
                               4, &returned)) {
                        ++failures;
                    }
                }
            });
        }

        int everyTimeSignals = 0;
        int countedSignals = 0;
        for (int round = 0; round < ROUNDS; ++round) {
            board->setInputPort(1, static_cast<std::uint8_t>(round));
            board->pulseInputLine(0, 1);
            board->pulseInputLine(0, 3);
            // Event 3 signals every interrupt. A pass counts its events in
            // ascending order, so once event 3 is signalled, input 1 of this
            // round has been counted too.
            if (WaitForSingleObject(everyTime, 5000) == WAIT_OBJECT_0) {
                ++everyTimeSignals;
            }
            const bool expected = (round + 1) % 4 == 0;
            const bool got = WaitForSingleObject(counted, 0) == WAIT_OBJECT_0;
            countedSignals += got ? 1 : 0;
            EXPECT_EQ(got, expected) << "round " << round;
        }
        for (std::thread& thread : threads) {
            thread.join();
        }
        EXPECT_EQ(failures.load(), 0);
        EXPECT_EQ(everyTimeSignals, ROUNDS);
        EXPECT_EQ(countedSignals, ROUNDS / 4);
        EXPECT_EQ(board->interruptsRaised(), static_cast<std::uint64_t>(2 * ROUNDS));
        EXPECT_EQ(board->interruptStatus(), 0u);
        EXPECT_EQ(board->outputLatch(2), static_cast<BYTE>((REQUESTS_PER_THREAD - 1) * 7 + 2));
        EXPECT_EQ(board->outputLatch(3), static_cast<BYTE>((REQUESTS_PER_THREAD - 1) * 7 + 3));
    }
    CloseHandle(counted);
    CloseHandle(everyTime);
    vtsim::Shutdown();
}
