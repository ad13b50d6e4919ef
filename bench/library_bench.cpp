// The driver library's costs on the simulated target, each beside the
// driver requests it sends and the floor the target allows:
// - DioReadPortByte, DioWritePortByte (masked), DioReadDiPorts of 4 ports
//   and DriverProc code 20 beside the raw control requests they send and a
//   direct port read;
// - the latency from an input edge to CheckEvent returning beside a bare
//   relay through two threads.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "common/control_codes.h"
#include "common/registry_layout.h"
#include "library/include/rlx4100.h"
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
        if (board->config().slot == SLOT)
            return board;
    }
    return nullptr;
}

// The VTC-4100's device number: the driver-key entry that names its slot.
DWORD TheDeviceNumber()
{
    for (DWORD n = 0; n <= MAX_DEVICE_NUMBER; ++n) {
        char16_t path[128];
        StringCchPrintfW(path, 128, DEVICE_SUBKEY_FORMAT, DRIVER_KEY_SEARCH_ORDER[0],
                         static_cast<int>(n));
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
            continue;
        DWORD slot = 0, size = 4, type = 0;
        RegQueryValueExW(key, u"SlotNumber", nullptr, &type, reinterpret_cast<LPBYTE>(&slot),
                         &size);
        RegCloseKey(key);
        if (slot == SLOT)
            return n;
    }
    return 0xFFFFFFFF;
}

// The library's handle and a raw device file of the same board, both open
// for the whole run.
LONG theHandle = 0;
HANDLE theDevice = INVALID_HANDLE_VALUE;

bool OpenBoth()
{
    if (DeviceOpen(TheDeviceNumber(), &theHandle) != API_SUCCESS)
        return false;
    for (const auto& loaded : vtsim::Devices()) {
        HANDLE file = CreateFileW(loaded.name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        BoardInfoRecord info{};
        DWORD returned = 0;
        if (DeviceIoControl(file, IOCTL_GET_BOARD_INFO, nullptr, 0, &info, sizeof(info), &returned,
                            nullptr) &&
            info.slotNumber == SLOT) {
            theDevice = file;
            return true;
        }
        CloseHandle(file);
    }
    return false;
}

// Every DO write and readback adds a driver debug line; keep the log from
// growing without end (the same in every benchmark that writes).
void TrimLog(std::size_t& count)
{
    if (++count == 65536) {
        count = 0;
        vtsim::ClearDebugLog();
    }
}

BOOL Request(DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize)
{
    DWORD returned = 0;
    return DeviceIoControl(theDevice, code, const_cast<void*>(in), inSize, out, outSize,
                           &returned, nullptr);
}

// ---- The floor: a direct port read ---------------------------------------------

void BM_DirectPortRead(benchmark::State& state)
{
    const auto port = reinterpret_cast<PUCHAR>(static_cast<ULONG_PTR>(TheBoard()->config().ioBase + 1));
    for (auto _ : state)
        benchmark::DoNotOptimize(READ_PORT_UCHAR(port));
}
BENCHMARK(BM_DirectPortRead);

// ---- Byte read ---------------------------------------------------------------------

void BM_RequestDiReadByte(benchmark::State& state)
{
    const PortRangeRecord range{1, 1};
    BYTE value = 0;
    for (auto _ : state) {
        if (!Request(IOCTL_DIO_READ_DI_PORTS, &range, sizeof(range), &value, 1)) {
            state.SkipWithError("DI read failed");
            break;
        }
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_RequestDiReadByte);

void BM_LibraryDioReadPortByte(benchmark::State& state)
{
    BYTE value = 0;
    for (auto _ : state) {
        if (DioReadPortByte(theHandle, 1, &value) != API_SUCCESS) {
            state.SkipWithError("DioReadPortByte failed");
            break;
        }
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_LibraryDioReadPortByte);

void BM_LibraryDriverProc20(benchmark::State& state)
{
    BYTE value = 0;
    DioReadPortByteBlock block{1, 0, &value};
    for (auto _ : state) {
        if (DriverProc(0, 0, FUNC_DIO_READ_PORT_BYTE, theHandle,
                       reinterpret_cast<LONG_PTR>(&block)) != API_SUCCESS) {
            state.SkipWithError("DriverProc 20 failed");
            break;
        }
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_LibraryDriverProc20);

// ---- Four-port read ------------------------------------------------------------------

void BM_RequestDiRead4(benchmark::State& state)
{
    const PortRangeRecord range{0, 4};
    BYTE values[4];
    for (auto _ : state) {
        if (!Request(IOCTL_DIO_READ_DI_PORTS, &range, sizeof(range), values, 4)) {
            state.SkipWithError("DI read failed");
            break;
        }
        benchmark::DoNotOptimize(values);
    }
}
BENCHMARK(BM_RequestDiRead4);

void BM_LibraryDioReadDiPorts4(benchmark::State& state)
{
    BYTE values[4];
    for (auto _ : state) {
        if (DioReadDiPorts(theHandle, 0, 4, values) != API_SUCCESS) {
            state.SkipWithError("DioReadDiPorts failed");
            break;
        }
        benchmark::DoNotOptimize(values);
    }
}
BENCHMARK(BM_LibraryDioReadDiPorts4);

// ---- Masked byte write: DO readback, then DO write --------------------------------

void BM_RequestReadbackAndWrite(benchmark::State& state)
{
    const PortRangeRecord range{1, 1};
    BYTE record[9] = {1, 0, 0, 0, 1, 0, 0, 0, 0};
    std::size_t lines = 0;
    WORD i = 0;
    for (auto _ : state) {
        BYTE old = 0;
        if (!Request(IOCTL_DIO_GET_CURRENT_DO_PORTS, &range, sizeof(range), &old, 1)) {
            state.SkipWithError("DO readback failed");
            break;
        }
        record[8] = static_cast<BYTE>((old & ~0x0F) | (++i & 0x0F));
        if (!Request(IOCTL_DIO_WRITE_DO_PORTS, record, sizeof(record), nullptr, 0)) {
            state.SkipWithError("DO write failed");
            break;
        }
        TrimLog(lines);
    }
}
BENCHMARK(BM_RequestReadbackAndWrite);

void BM_LibraryDioWritePortByte(benchmark::State& state)
{
    std::size_t lines = 0;
    WORD i = 0;
    for (auto _ : state) {
        if (DioWritePortByte(theHandle, 1, 0x0F, ++i) != API_SUCCESS) {
            state.SkipWithError("DioWritePortByte failed");
            break;
        }
        TrimLog(lines);
    }
}
BENCHMARK(BM_LibraryDioWritePortByte);

// ---- Edge to CheckEvent beside a bare relay ------------------------------------------

// Input 1 is enabled with count 1; each round pulses it and waits in
// CheckEvent. Wake-ups: the driver's interrupt service thread, then this one.
void BM_LibraryEdgeToCheckEvent(benchmark::State& state)
{
    vtsim::Board* board = TheBoard();
    // Every input on the rising edge: one interrupt per pulse.
    BYTE rising[4] = {0x0F, 0, 0, 0};
    if (DeviceSetProperty(theHandle, PROP_DI_RISING_EDGE_MASK, rising, 4) != API_SUCCESS ||
        EnableEvent(theHandle, EVT_DI_INTERRUPT1, 1, 1) != API_SUCCESS) {
        state.SkipWithError("EnableEvent failed");
        return;
    }
    WORD type = 0;
    for (auto _ : state) {
        board->pulseInputLine(0, 1);
        if (CheckEvent(theHandle, &type, 5000) != API_SUCCESS || type != EVT_DI_INTERRUPT1) {
            state.SkipWithError("no event");
            break;
        }
    }
    DioDisableEvent(theHandle, EVT_DI_INTERRUPT1);
}
BENCHMARK(BM_LibraryEdgeToCheckEvent)->UseRealTime();

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
            if (stop.load())
                return;
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
    if (!vtsim::Boot(vtsim::BootOptions{}, &error) || TheBoard() == nullptr || !OpenBoth()) {
        std::fprintf(stderr, "library_bench: the simulated target did not boot: %s\n",
                     error.c_str());
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CloseHandle(theDevice);
    DeviceClose(&theHandle);
    vtsim::Shutdown();
    return 0;
}
