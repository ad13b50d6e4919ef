// The driver library's costs on the simulated target, each beside the
// driver requests it sends and the floor the target allows:
// - DioReadPortByte, DioWritePortByte (masked), DioReadDiPorts of 4 ports
//   and DriverProc code 20 beside the raw control requests they send and a
//   direct port read;
// - the latency from an input edge to CheckEvent returning beside a bare
//   relay through two threads.
#include <cstdio>
#include <string>

#include "bench_support.h"
#include "library/include/rlx4100.h"

namespace {

using namespace bench;

// The library's handle and a raw device file of the same board, both open
// for the whole run.
LONG theHandle = 0;
HANDLE theDevice = INVALID_HANDLE_VALUE;

bool OpenBoth()
{
    if (DeviceOpen(TheDeviceNumber(), &theHandle) != API_SUCCESS) {
        return false;
    }
    theDevice = OpenBoardDevice();
    return theDevice != INVALID_HANDLE_VALUE;
}

BOOL Request(DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize)
{
    DWORD returned = 0;
    return DeviceIoControl(theDevice, code, const_cast<void*>(in), inSize, out, outSize, &returned,
                           nullptr);
}

// ---- The floor: a direct port read ---------------------------------------------

void BM_DirectPortRead(benchmark::State& state)
{
    const PUCHAR port = PortOf(1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(READ_PORT_UCHAR(port));
    }
}
BENCHMARK(BM_DirectPortRead);

// ---- Byte read ---------------------------------------------------------------------

void BM_RequestDiReadByte(benchmark::State& state)
{
    const PortRangeRecord range{1, 1};
    BYTE value = 0;
    RunSteps(state, "DI read failed", [&] {
        const BOOL done = Request(IOCTL_DIO_READ_DI_PORTS, &range, sizeof(range), &value, 1);
        benchmark::DoNotOptimize(value);
        return done;
    });
}
BENCHMARK(BM_RequestDiReadByte);

void BM_LibraryDioReadPortByte(benchmark::State& state)
{
    BYTE value = 0;
    RunSteps(state, "DioReadPortByte failed", [&] {
        const bool done = DioReadPortByte(theHandle, 1, &value) == API_SUCCESS;
        benchmark::DoNotOptimize(value);
        return done;
    });
}
BENCHMARK(BM_LibraryDioReadPortByte);

void BM_LibraryDriverProc20(benchmark::State& state)
{
    BYTE value = 0;
    DioReadPortByteBlock block{1, 0, &value};
    RunSteps(state, "DriverProc 20 failed", [&] {
        const bool done = DriverProc(0, 0, FUNC_DIO_READ_PORT_BYTE, theHandle,
                                     reinterpret_cast<LONG_PTR>(&block)) == API_SUCCESS;
        benchmark::DoNotOptimize(value);
        return done;
    });
}
BENCHMARK(BM_LibraryDriverProc20);

// ---- Four-port read ------------------------------------------------------------------

void BM_RequestDiRead4(benchmark::State& state)
{
    const PortRangeRecord range{0, 4};
    BYTE values[4];
    RunSteps(state, "DI read failed", [&] {
        const BOOL done = Request(IOCTL_DIO_READ_DI_PORTS, &range, sizeof(range), values, 4);
        benchmark::DoNotOptimize(values);
        return done;
    });
}
BENCHMARK(BM_RequestDiRead4);

void BM_LibraryDioReadDiPorts4(benchmark::State& state)
{
    BYTE values[4];
    RunSteps(state, "DioReadDiPorts failed", [&] {
        const bool done = DioReadDiPorts(theHandle, 0, 4, values) == API_SUCCESS;
        benchmark::DoNotOptimize(values);
        return done;
    });
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
    RunSteps(state, "DioWritePortByte failed", [&] {
        if (DioWritePortByte(theHandle, 1, 0x0F, ++i) != API_SUCCESS) {
            return false;
        }
        TrimLog(lines);
        return true;
    });
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
    RunSteps(state, "no event", [&] {
        board->pulseInputLine(0, 1);
        return CheckEvent(theHandle, &type, 5000) == API_SUCCESS && type == EVT_DI_INTERRUPT1;
    });
    DioDisableEvent(theHandle, EVT_DI_INTERRUPT1);
}
BENCHMARK(BM_LibraryEdgeToCheckEvent)->UseRealTime();

// The floor: two wake-ups per round through a bare relay.
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
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CloseHandle(theDevice);
    DeviceClose(&theHandle);
    vtsim::Shutdown();
    return 0;
}
