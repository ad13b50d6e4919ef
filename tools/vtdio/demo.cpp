#include "tools/vtdio/demo.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <ostream>
#include <thread>
#include <vector>

#include "library/include/rlx4100.h"
#include "tools/common/model_names.h"
#include "tools/common/numbers.h"
#include "tools/vtdio/event_types.h"

namespace vtdio {

using vttools::Hex;
using vttools::HexBytes;
using vttools::ModelOfBoardType;

namespace {

constexpr int kToggles = 3;
constexpr auto kToggleGap = std::chrono::milliseconds(100);
constexpr DWORD kEventWaitMs = 1000;

using Clock = std::chrono::steady_clock;

// Writes, reads back and reads through the loopback, then raises interrupts
// on DI0 by toggling DO port 0 bit 0. True when everything matched.
bool DemoDevice(Context& context, const PublishedDevice& device)
{
    std::ostream& out = context.out;
    out << "\ndevice " << device.number << ": " << ModelOfBoardType(device.boardType) << " as "
        << device.callName << ", switch " << device.switchId << ", I/O "
        << Hex(device.baseAddress, 4) << ", IRQ " << device.irq << "\n";
    OpenDevice open(context, device.number);
    if (!open.ok()) {
        return false;
    }
    const LONG h = open.handle();
    std::uint32_t ports = 0;
    DWORD length = sizeof ports;
    if (!Check(context, "DeviceGetProperty",
               DeviceGetProperty(h, PROP_DO_PORT_COUNT, &ports, &length)) ||
        ports == 0 || ports > 4) {
        return false;
    }

    // 1. Outputs: a pattern on every DO port, read back from the driver and
    //    read in through the wiring.
    const BYTE pattern[4] = {0x5a, 0xa5, 0x3c, 0xc3};
    BYTE readback[4] = {}, inputs[4] = {};
    bool ok = Check(context, "DioWriteDoPorts", DioWriteDoPorts(h, 0, ports, pattern)) &&
              Check(context, "DioGetCurrentDoPortsState",
                    DioGetCurrentDoPortsState(h, 0, ports, readback)) &&
              Check(context, "DioReadDiPorts", DioReadDiPorts(h, 0, ports, inputs));
    if (!ok) {
        return false;
    }
    const bool readbackOk = std::equal(pattern, pattern + ports, readback);
    const bool inputsOk = std::equal(pattern, pattern + ports, inputs);
    out << "  write DO ports 0-" << ports - 1 << ":  " << HexBytes(pattern, ports) << "\n"
        << "  read back DO:        " << HexBytes(readback, ports)
        << (readbackOk ? "  ok" : "  MISMATCH") << "\n"
        << "  read DI (loopback):  " << HexBytes(inputs, ports)
        << (inputsOk ? "  ok" : "  MISMATCH") << "\n";

    // 2. An interrupt: DO port 0 bit 0 drives DI port 0 bit 0, interrupt
    //    input 0. Each toggle (0 -> 1 -> 0) makes one edge of each kind, so
    //    one interrupt whichever edge is selected.
    if (!Check(context, "DioWriteBit", DioWriteBit(h, 0, 0, 0)) ||
        !Check(context, "DioEnableEventAndSpecifyDiPorts",
               DioEnableEventAndSpecifyDiPorts(h, EVT_DI_INTERRUPT0, 0, ports))) {
        return false;
    }
    // The edge that input 0 reacts to, as the library reports it.
    BYTE falling[4] = {};
    DWORD fallingLength = sizeof falling;
    const bool onFalling =
        DeviceGetProperty(h, PROP_DI_FALLING_EDGE_MASK, falling, &fallingLength) == API_SUCCESS &&
        (falling[0] & 1) != 0;
    out << "  enabled " << EventTypeName(EVT_DI_INTERRUPT0) << " (DI0.0, "
        << (onFalling ? "falling" : "rising") << " edge); toggling DO0.0 " << kToggles
        << " times:\n";
    std::atomic<bool> togglesOk{true};
    const Clock::time_point start = Clock::now();
    std::thread toggler([h, &togglesOk] {
        for (int i = 0; i < kToggles; ++i) {
            std::this_thread::sleep_for(kToggleGap);
            if (DioWriteBit(h, 0, 0, 1) != API_SUCCESS) {
                togglesOk = false;
            }
            std::this_thread::sleep_for(kToggleGap / 2);
            if (DioWriteBit(h, 0, 0, 0) != API_SUCCESS) {
                togglesOk = false;
            }
        }
    });
    int events = 0;
    while (events < kToggles && !context.interrupted.load()) {
        WORD type = EVT_NONE;
        const LONG status = CheckEvent(h, &type, kEventWaitMs);
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        if (!Check(context, "CheckEvent", status)) {
            break;
        }
        if (type == EVT_TIMEOUT) {
            out << "    " << ms << "ms no event within " << kEventWaitMs << " ms\n";
            break;
        }
        BYTE latched[4] = {};
        DioGetLatestEventDiPortsState(h, type, latched, ports);
        out << "    " << ms << "ms " << EventTypeName(type)
            << " di=" << HexBytes(latched, ports, ",") << std::endl;
        if (type == EVT_DI_INTERRUPT0) {
            ++events;
        }
    }
    toggler.join();
    DioDisableEvent(h, EVT_DI_INTERRUPT0);
    const bool eventsOk = events == kToggles && togglesOk;
    out << "  " << events << " of " << kToggles << " events" << (eventsOk ? "  ok" : "  MISSING")
        << "\n";
    DioWriteDoPorts(h, 0, ports, std::vector<BYTE>(ports, 0).data());
    out << "  outputs cleared, device closed\n";
    return readbackOk && inputsOk && eventsOk;
}

}  // namespace

int Demo(Context& context)
{
    const std::vector<PublishedDevice> devices = context.target.PublishedDevices();
    context.out << "vtdio demo: a simulated target with " << devices.size()
                << " published devices; on every board DO port k is wired to DI port k."
                << std::endl;
    int good = 0;
    int tried = 0;
    for (const PublishedDevice& device : devices) {
        if (context.interrupted.load()) {
            break;
        }
        ++tried;
        if (DemoDevice(context, device)) {
            ++good;
        }
    }
    context.out << "\n" << good << " of " << tried << " devices passed the demo" << std::endl;
    return tried > 0 && good == tried ? EXIT_OK : EXIT_FAILED;
}

}  // namespace vtdio
