#include "tools/vtdio/monitor.h"

#include <algorithm>
#include <chrono>
#include <ostream>

#include "library/include/rlx4100.h"
#include "tools/common/numbers.h"
#include "tools/vtdio/event_types.h"

namespace vtdio {

using vttools::HexBytes;
using vttools::NumberOf;
using vttools::NumberUpTo;

namespace {

// CheckEvent waits in slices of this length so that Ctrl-C is noticed; the
// driver counts and the events stay signalled, so no interrupt is lost
// between slices.
constexpr DWORD kSliceMs = 50;

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

CLI::Validator EventCheck()
{
    return CLI::Validator(
        [](std::string& text) -> std::string {
            std::uint32_t code;
            return ParseEventType(text, &code) ? std::string() : "'" + text + "' is not an event";
        },
        "");
}

// Disables what was enabled and closes the device on every way out.
class EnabledEvents {
public:
    explicit EnabledEvents(LONG handle) : handle_(handle) {}
    ~EnabledEvents()
    {
        for (std::uint32_t code : codes_) {
            DioDisableEvent(handle_, code);
        }
    }
    void Add(std::uint32_t code)
    {
        codes_.push_back(code);
    }

private:
    LONG handle_;
    std::vector<std::uint32_t> codes_;
};

}  // namespace

void AddMonitorCommand(CLI::App& app, CommandSet& commands, Context& context, MonitorArguments* a)
{
    CLI::App* c = commands.Add(app, "mon", "wait for interrupt events and print them as they come",
                               Booted(context, [&context, a] { return Monitor(context, *a); }));
    c->footer(
        "Prints one line per CheckEvent result: the milliseconds since the start, the event "
        "type and, with --window, the DI ports latched at the interrupt (di=...). Ends after "
        "--num-events events (exit 1 if the --timeout ends it first), when no event comes for "
        "--timeout ms, or on Ctrl-C; the events are disabled and the device closed on every "
        "way out.\n");
    c->add_option("N", a->device, "device number (see 'list')")
        ->required()
        ->check(NumberUpTo(0xFFFFFFFF));
    c->add_option("EVENT", a->events, EventNamesHelp())->required()->check(EventCheck());
    c->add_option("--count,-c", a->count, "signal every K-th interrupt (default 1)")
        ->check(NumberUpTo(0xFFFF));
    c->add_option("--num-events,-n", a->numEvents, "stop after M events")
        ->check(NumberUpTo(0xFFFFFFFF));
    c->add_option("--timeout,-t", a->timeout,
                  "stop when no event comes for MS milliseconds (default: wait for ever)")
        ->check(NumberUpTo(0x7FFFFFFF));
    c->add_option("--window,-w", a->window,
                  "FIRST COUNT: the DI ports the driver latches at each interrupt")
        ->expected(2)
        ->check(NumberUpTo(0xFFFFFFFF));
}

int Monitor(Context& context, const MonitorArguments& a)
{
    std::vector<std::uint32_t> codes;
    for (const std::string& event : a.events) {
        std::uint32_t code = 0;
        ParseEventType(event, &code);
        codes.push_back(code);
    }
    const WORD count = static_cast<WORD>(NumberOf(a.count));
    const bool limited = !a.numEvents.empty();
    const std::uint64_t numEvents = limited ? NumberOf(a.numEvents) : 0;
    const bool hasTimeout = !a.timeout.empty();
    const long long timeoutMs = hasTimeout ? static_cast<long long>(NumberOf(a.timeout)) : 0;
    const bool hasWindow = a.window.size() == 2;
    const DWORD windowFirst = hasWindow ? static_cast<DWORD>(NumberOf(a.window[0])) : 0;
    const DWORD windowCount = hasWindow ? static_cast<DWORD>(NumberOf(a.window[1])) : 0;
    if (limited && numEvents == 0) {
        throw CLI::ValidationError("--num-events", "must be at least 1");
    }
    if (hasWindow && windowCount > 256) {
        throw CLI::ValidationError("--window", "at most 256 ports");
    }

    OpenDevice open(context, static_cast<std::uint32_t>(NumberOf(a.device)));
    if (!open.ok()) {
        return EXIT_FAILED;
    }
    const LONG h = open.handle();
    EnabledEvents enabled(h);
    for (std::uint32_t code : codes) {
        if (hasWindow) {
            // Sets the window and enables with a count of 1; a different
            // count is set by enabling again.
            if (!Check(context, "DioEnableEventAndSpecifyDiPorts",
                       DioEnableEventAndSpecifyDiPorts(h, code, windowFirst, windowCount))) {
                return EXIT_FAILED;
            }
            enabled.Add(code);
            if (count != 1 &&
                !Check(context, "EnableEvent", EnableEvent(h, static_cast<WORD>(code), 1, count))) {
                return EXIT_FAILED;
            }
        } else {
            if (!Check(context, "EnableEvent", EnableEvent(h, static_cast<WORD>(code), 1, count))) {
                return EXIT_FAILED;
            }
            enabled.Add(code);
        }
    }

    const Clock::time_point start = Clock::now();
    Clock::time_point lastEvent = start;
    std::uint64_t seen = 0;
    for (;;) {
        if (context.interrupted.load()) {
            return EXIT_OK;
        }
        DWORD slice = kSliceMs;
        if (hasTimeout) {
            const long long left = timeoutMs - MsSince(lastEvent);
            slice = static_cast<DWORD>(std::clamp<long long>(left, 0, kSliceMs));
        }
        WORD type = EVT_NONE;
        if (!Check(context, "CheckEvent", CheckEvent(h, &type, slice))) {
            return EXIT_FAILED;
        }
        const long long elapsed = MsSince(start);
        if (type == EVT_TIMEOUT) {
            if (!hasTimeout || MsSince(lastEvent) < timeoutMs) {
                continue;  // only a slice ended
            }
            context.out << elapsed << "ms " << EventTypeName(type) << "\n";
            if (limited && seen < numEvents) {
                context.err << "error: " << seen << " of " << numEvents
                            << " events before the time-out\n";
                return EXIT_FAILED;
            }
            return EXIT_OK;
        }
        context.out << elapsed << "ms " << EventTypeName(type);
        if (type == EVT_TERMINATED || type == EVT_NONE) {
            context.out << "\n";
            return EXIT_OK;
        }
        lastEvent = Clock::now();
        if (hasWindow && windowCount > 0) {
            std::vector<BYTE> ports(windowCount);
            const LONG status = DioGetLatestEventDiPortsState(h, type, ports.data(), windowCount);
            if (status != API_SUCCESS) {
                context.out << "\n";
                Check(context, "DioGetLatestEventDiPortsState", status);
                return EXIT_FAILED;
            }
            context.out << " di=" << HexBytes(ports.data(), ports.size(), ",");
        }
        context.out << std::endl;
        ++seen;
        if (limited && seen >= numEvents) {
            return EXIT_OK;
        }
    }
}

}  // namespace vtdio
