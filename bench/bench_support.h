// What the benchmark programs share: the default machine's VTC-4100 (its
// simulated board, a device file on it, its device number), the loop that
// stops a benchmark at its first failed step, the debug-log trim for
// benchmarks that write, and the bare two-thread relay that is the floor for
// every edge-to-event latency.
#pragma once

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstddef>
#include <thread>

#include "common/control_codes.h"
#include "common/registry_layout.h"
#include "platform/ddk.h"
#include "platform/device_file.h"
#include "platform/host/control/board.h"
#include "platform/host/control/diagnostics.h"
#include "platform/host/control/target.h"
#include "platform/kernel.h"
#include "platform/registry.h"

namespace bench {

inline constexpr unsigned SLOT = 5;  // the default machine's VTC-4100
inline constexpr DWORD NO_DEVICE_NUMBER = 0xFFFFFFFF;

inline vtsim::Board* TheBoard()
{
    for (vtsim::Board* board : vtsim::Boards()) {
        if (board->config().slot == SLOT) {
            return board;
        }
    }
    return nullptr;
}

inline PUCHAR PortOf(DWORD offset)
{
    return reinterpret_cast<PUCHAR>(static_cast<ULONG_PTR>(TheBoard()->config().ioBase + offset));
}

// A new device file on the VTC-4100, or INVALID_HANDLE_VALUE.
inline HANDLE OpenBoardDevice()
{
    for (const auto& loaded : vtsim::Devices()) {
        HANDLE file = CreateFileW(loaded.name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        BoardInfoRecord info{};
        DWORD returned = 0;
        if (DeviceIoControl(file, IOCTL_GET_BOARD_INFO, nullptr, 0, &info, sizeof(info), &returned,
                            nullptr) &&
            info.slotNumber == SLOT) {
            return file;
        }
        CloseHandle(file);
    }
    return INVALID_HANDLE_VALUE;
}

// The VTC-4100's device number: the driver-key entry that names its slot;
// NO_DEVICE_NUMBER when there is none.
inline DWORD TheDeviceNumber()
{
    for (DWORD n = 0; n <= MAX_DEVICE_NUMBER; ++n) {
        char16_t path[128];
        StringCchPrintfW(path, 128, DEVICE_SUBKEY_FORMAT, DRIVER_KEY_SEARCH_ORDER[0],
                         static_cast<int>(n));
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
            continue;
        }
        DWORD slot = 0, size = 4, type = 0;
        RegQueryValueExW(key, u"SlotNumber", nullptr, &type, reinterpret_cast<LPBYTE>(&slot),
                         &size);
        RegCloseKey(key);
        if (slot == SLOT) {
            return n;
        }
    }
    return NO_DEVICE_NUMBER;
}

// Runs `step` once per iteration; the first time it returns false the
// benchmark stops with `error`.
template <typename Step>
void RunSteps(benchmark::State& state, const char* error, Step step)
{
    for (auto _ : state) {
        if (!step()) {
            state.SkipWithError(error);
            break;
        }
    }
}

// Every DO write and readback adds a driver debug line; keep the log from
// growing without end (the same in every benchmark that writes).
inline void TrimLog(std::size_t& count)
{
    if (++count == 65536) {
        count = 0;
        vtsim::ClearDebugLog();
    }
}

// Thread A sets event 1; thread B waits for it and sets event 2; A waits for
// event 2. Two wake-ups per round, through the same platform events.
inline void BM_TwoThreadRelay(benchmark::State& state)
{
    HANDLE ping = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE pong = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    std::atomic<bool> stop{false};
    std::thread relay([&] {
        for (;;) {
            WaitForSingleObject(ping, INFINITE);
            if (stop.load()) {
                return;
            }
            SetEvent(pong);
        }
    });
    for (auto _ : state) {
        SetEvent(ping);
        WaitForSingleObject(pong, INFINITE);
    }
    stop = true;
    SetEvent(ping);
    relay.join();
    CloseHandle(ping);
    CloseHandle(pong);
}

}  // namespace bench
