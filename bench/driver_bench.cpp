// The stream driver's costs on the simulated target, each beside the floor
// that the target allows:
// - one control request (a DI read, a DO write) through the device manager
//   beside a direct port access;
// - the latency from an input edge to the named event beside a bare relay
//   through two threads with the same number of wake-ups.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "common/board_types.h"
#include "common/control_codes.h"
#include "common/registry_layout.h"
#include "platform/ddk.h"
#include "platform/device_file.h"
#include "platform/host/board.h"
#include "platform/host/diagnostics.h"
#include "platform/host/target.h"
#include "platform/kernel.h"
#include "platform/registry.h"

namespace {

constexpr unsigned SLOT = 5;  // the default machine's VTC-4100

vtsim::Board* TheBoard()
{
    for (vtsim::Board* board : vtsim::Boards()) {
        if (board->config().slot == SLOT) {
            return board;
        }
    }
    return nullptr;
}

// The device file of the VTC-4100, opened once for the whole run.
HANDLE TheDevice()
{
    static HANDLE device = [] {
        for (const auto& loaded : vtsim::Devices()) {
            HANDLE file = CreateFileW(loaded.name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
            BoardInfoRecord info{};
            DWORD returned = 0;
            if (DeviceIoControl(file, IOCTL_GET_BOARD_INFO, nullptr, 0, &info, sizeof(info),
                                &returned, nullptr) &&
                info.slotNumber == SLOT) {
                return file;
            }
            CloseHandle(file);
        }
        return INVALID_HANDLE_VALUE;
    }();
    return device;
}

PUCHAR PortOf(DWORD offset)
{
    return reinterpret_cast<PUCHAR>(static_cast<ULONG_PTR>(TheBoard()->config().ioBase + offset));
}

// ---- One request beside one port access -----------------------------------------

void BM_DirectPortRead(benchmark::State& state)
{
    const PUCHAR port = PortOf(1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(READ_PORT_UCHAR(port));
    }
}
BENCHMARK(BM_DirectPortRead);

void BM_DirectPortWrite(benchmark::State& state)
{
    const PUCHAR port = PortOf(1);
    BYTE value = 0;
    for (auto _ : state) {
        WRITE_PORT_UCHAR(port, value++);
    }
}
BENCHMARK(BM_DirectPortWrite);

void BM_RequestDiRead(benchmark::State& state)
{
    const HANDLE device = TheDevice();
    const PortRangeRecord range{1, 1};
    BYTE value = 0;
    DWORD returned = 0;
    for (auto _ : state) {
        if (!DeviceIoControl(device, IOCTL_DIO_READ_DI_PORTS, const_cast<PortRangeRecord*>(&range),
                             sizeof(range), &value, 1, &returned, nullptr)) {
            state.SkipWithError("DI read failed");
            break;
        }
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_RequestDiRead);

void BM_RequestDoWrite(benchmark::State& state)
{
    const HANDLE device = TheDevice();
    BYTE record[9] = {1, 0, 0, 0, 1, 0, 0, 0, 0};
    DWORD returned = 0;
    std::size_t written = 0;
    for (auto _ : state) {
        record[8] = static_cast<BYTE>(record[8] + 1);
        if (!DeviceIoControl(device, IOCTL_DIO_WRITE_DO_PORTS, record, sizeof(record), nullptr, 0,
                             &returned, nullptr)) {
            state.SkipWithError("DO write failed");
            break;
        }
        // Each write adds a debug line; keep the log from growing without end.
        if (++written == 65536) {
            written = 0;
            vtsim::ClearDebugLog();
        }
    }
}
BENCHMARK(BM_RequestDoWrite);

// The debug line that every DO write prints, alone: the part of the DO
// write's cost that the platform's debug output takes.
void BM_DoWriteDebugLineAlone(benchmark::State& state)
{
    std::size_t written = 0;
    BYTE value = 0;
    for (auto _ : state) {
        NKDbgPrintfW(u"\n===Write DO Port: %d, Value: %x\n", 1, value++);
        if (++written == 65536) {
            written = 0;
            vtsim::ClearDebugLog();
        }
    }
}
BENCHMARK(BM_DoWriteDebugLineAlone);

// ---- Edge to event beside a bare relay -------------------------------------------

// Input 1 rises (the package's trigger mode for switch 1 puts it on the
// rising edge); the driver's thread counts it and sets the named event the
// benchmark thread waits on. Wake-ups: the interrupt service thread, then
// the waiting thread.
void BM_EdgeToEvent(benchmark::State& state)
{
    const HANDLE device = TheDevice();
    vtsim::Board* board = TheBoard();
    DWORD number = 0;
    {
        // The device number is the one whose driver-key entry names our slot.
        for (DWORD n = 0; n <= MAX_DEVICE_NUMBER; ++n) {
            char16_t path[128];
            StringCchPrintfW(path, 128, DEVICE_SUBKEY_FORMAT,
                             u"SYSTEM\\CurrentControlSet\\Services\\RLX4100S", n);
            HKEY key = nullptr;
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) == ERROR_SUCCESS) {
                DWORD slot = 0, size = 4, type = 0;
                RegQueryValueExW(key, u"SlotNumber", nullptr, &type,
                                 reinterpret_cast<LPBYTE>(&slot), &size);
                RegCloseKey(key);
                if (slot == SLOT) {
                    number = n;
                    break;
                }
            }
        }
    }
    char16_t name[64];
    StringCchPrintfW(name, 64, INTERRUPT_EVENT_NAME_FORMATS[1], static_cast<int>(number));
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, name);
    EventEnableRecord enable{};
    enable.enable = 1;
    enable.eventIndex = 1;
    enable.count = 1;
    DWORD returned = 0;
    if (!DeviceIoControl(device, IOCTL_DIO_ENABLE_EVENT, &enable, sizeof(enable), nullptr, 0,
                         &returned, nullptr)) {
        state.SkipWithError("enable failed");
        return;
    }
    for (auto _ : state) {
        board->pulseInputLine(0, 1);
        if (WaitForSingleObject(event, 5000) != WAIT_OBJECT_0) {
            state.SkipWithError("no event");
            break;
        }
    }
    enable.enable = 0;
    DeviceIoControl(device, IOCTL_DIO_ENABLE_EVENT, &enable, sizeof(enable), nullptr, 0, &returned,
                    nullptr);
    CloseHandle(event);
}
BENCHMARK(BM_EdgeToEvent)->UseRealTime();

// Thread A sets event 1; thread B waits for it and sets event 2; A waits for
// event 2. Two wake-ups per round, through the same platform events.
void BM_TwoThreadRelay(benchmark::State& state)
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
BENCHMARK(BM_TwoThreadRelay)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    std::string error;
    if (!vtsim::Boot(vtsim::BootOptions{}, &error) || TheBoard() == nullptr ||
        TheDevice() == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "driver_bench: the simulated target did not boot: %s\n",
                     error.c_str());
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CloseHandle(TheDevice());
    vtsim::Shutdown();
    return 0;
}
