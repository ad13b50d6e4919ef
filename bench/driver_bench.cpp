// The stream driver's costs on the simulated target, each beside the floor
// that the target allows:
// - one control request (a DI read, a DO write) through the device manager
//   beside a direct port access (a one-port DO write, debug line included,
//   should cost at most 3 times a direct port write);
// - the interrupt rate: edges as fast as the target turns every edge into an
//   interrupt and every interrupt into a signalled event (the next edge once
//   the event of the last has arrived), beside a bare relay through two
//   threads with the same number of wake-ups per round (should reach 0.8 of
//   the relay's rate).
// After the run the program prints both ratios beside their bounds.
#include <cstdio>
#include <map>
#include <string>

#include "bench_support.h"
#include "common/board_types.h"

namespace {

using namespace bench;

// The device file of the VTC-4100, opened once for the whole run.
HANDLE TheDevice()
{
    static HANDLE device = OpenBoardDevice();
    return device;
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
    RunSteps(state, "DI read failed", [&] {
        const BOOL done =
            DeviceIoControl(device, IOCTL_DIO_READ_DI_PORTS, const_cast<PortRangeRecord*>(&range),
                            sizeof(range), &value, 1, &returned, nullptr);
        benchmark::DoNotOptimize(value);
        return done;
    });
}
BENCHMARK(BM_RequestDiRead);

void BM_RequestDoWrite(benchmark::State& state)
{
    const HANDLE device = TheDevice();
    BYTE record[9] = {1, 0, 0, 0, 1, 0, 0, 0, 0};
    DWORD returned = 0;
    std::size_t lines = 0;
    RunSteps(state, "DO write failed", [&] {
        record[8] = static_cast<BYTE>(record[8] + 1);
        if (!DeviceIoControl(device, IOCTL_DIO_WRITE_DO_PORTS, record, sizeof(record), nullptr, 0,
                             &returned, nullptr)) {
            return false;
        }
        TrimLog(lines);
        return true;
    });
}
BENCHMARK(BM_RequestDoWrite);

// The debug line that every DO write prints, alone: the part of the DO
// write's cost that the platform's debug output takes.
void BM_DoWriteDebugLineAlone(benchmark::State& state)
{
    std::size_t lines = 0;
    BYTE value = 0;
    for (auto _ : state) {
        NKDbgPrintfW(u"\n===Write DO Port: %d, Value: %x\n", 1, value++);
        TrimLog(lines);
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
    const DWORD number = TheDeviceNumber();
    if (number == NO_DEVICE_NUMBER) {
        state.SkipWithError("no device number");
        return;
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
    const std::uint64_t raised = board->interruptsRaised();
    const std::uint64_t merged = board->mergedEdges();
    RunSteps(state, "no event", [&] {
        board->pulseInputLine(0, 1);
        return WaitForSingleObject(event, 5000) == WAIT_OBJECT_0;
    });
    // Every edge was an interrupt of its own and gave its event.
    if (board->interruptsRaised() - raised != static_cast<std::uint64_t>(state.iterations()) ||
        board->mergedEdges() != merged) {
        state.SkipWithError("edges were lost or merged");
    }
    state.SetItemsProcessed(state.iterations());
    enable.enable = 0;
    DeviceIoControl(device, IOCTL_DIO_ENABLE_EVENT, &enable, sizeof(enable), nullptr, 0, &returned,
                    nullptr);
    CloseHandle(event);
}
BENCHMARK(BM_EdgeToEvent)->UseRealTime();

// The floor: two wake-ups per round through a bare relay.
BENCHMARK(BM_TwoThreadRelay)->UseRealTime();

// The console output, and the times by benchmark name for the ratios: the
// mean over a benchmark's repetitions (aggregate rows are not times).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (!run.error_occurred && run.run_type == Run::RT_Iteration) {
                Times& times = times_[run.run_name.function_name];
                times.cpu += run.GetAdjustedCPUTime();
                times.real += run.GetAdjustedRealTime();
                ++times.runs;
            }
        }
    }
    // Mean CPU or real time per iteration of a benchmark, 0 when it did not run.
    double Cpu(const std::string& name) const
    {
        auto found = times_.find(name);
        return found == times_.end() ? 0 : found->second.cpu / found->second.runs;
    }
    double Real(const std::string& name) const
    {
        auto found = times_.find(name);
        return found == times_.end() ? 0 : found->second.real / found->second.runs;
    }

private:
    struct Times {
        double cpu = 0;
        double real = 0;
        int runs = 0;
    };
    std::map<std::string, Times> times_;
};

void PrintRatios(const RatioReporter& reporter)
{
    const double direct = reporter.Cpu("BM_DirectPortWrite");
    const double request = reporter.Cpu("BM_RequestDoWrite");
    if (direct > 0 && request > 0) {
        std::printf("one-port DO write request / direct port write: %.2f (at most 3)\n",
                    request / direct);
    }
    const double edge = reporter.Real("BM_EdgeToEvent");
    const double relay = reporter.Real("BM_TwoThreadRelay");
    if (edge > 0 && relay > 0) {
        std::printf(
            "interrupt rate %.0f edges/s, relay %.0f rounds/s: %.2f of the relay "
            "(at least 0.8)\n",
            1e9 / edge, 1e9 / relay, relay / edge);
    }
}

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
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter);
    benchmark::Shutdown();
    CloseHandle(TheDevice());
    vtsim::Shutdown();
    return 0;
}
