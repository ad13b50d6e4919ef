#include "tools/vtdio/monitor.h"

#include <algorithm>
#include <chrono>
#include <ostream>

#include "common/board_types.h"
#include "library/include/rlx4100.h"
#include "tools/common/numbers.h"
#include "tools/common/stop_signals.h"
#include "tools/vtdio/event_lines.h"
#include "tools/vtdio/event_types.h"

namespace vtdio {

using vttools::NumberOf;
using vttools::NumberUpTo;

namespace {

// CheckEvent waits in slices of this length so that a stop signal is
// noticed; the driver counts and the events stay signalled, so no
// interrupt is lost between slices.
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
            if (text == "all" || ParseEventType(text, &code)) {
                return {};
            }
            return "'" + text + "' is not an event (a name, 'all' or a code up to 0xFFFF)";
        },
        "");
}

// Disables what was enabled on every way out (the device closes after).
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

// The event codes that the arguments name, "all" standing for every
// interrupt input of the device.
bool EventCodes(Context& context, LONG handle, const std::vector<std::string>& events,
                std::vector<std::uint32_t>* codes)
{
    for (const std::string& event : events) {
        if (event == "all") {
            std::uint32_t boardType = 0;
            if (!Property32(context, handle, PROP_BOARD_TYPE, &boardType)) {
                return false;
            }
            const std::vector<std::uint32_t> every = EveryInputEvent(ServedEventCountOf(boardType));
            codes->insert(codes->end(), every.begin(), every.end());
            continue;
        }
        std::uint32_t code = 0;
        ParseEventType(event, &code);
        codes->push_back(code);
    }
    std::sort(codes->begin(), codes->end());
    codes->erase(std::unique(codes->begin(), codes->end()), codes->end());
    return true;
}

// The clock readings of an event.
void Stamp(EventRecord* event)
{
    event->monotonicNs = static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
            .count());
    event->wallNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                        std::chrono::system_clock::now().time_since_epoch())
                        .count();
}

}  // namespace

void AddMonitorCommand(CLI::App& app, CommandSet& commands, Context& context, MonitorArguments* a)
{
    CLI::App* c = commands.Add(app, "mon", "wait for interrupt events and print them as they come",
                               Booted(context, [&context, a] { return Monitor(context, *a); }));
    c->footer(
        "Prints one line per event: the monotonic time (seconds.nanoseconds), the device, a "
        "sequence number, the event type, the interrupt input (DI0.0 to DI0.3) and the edge it "
        "reacts to, 'merged N' when N further edges came while the interrupt was still pending "
        "(they raised no event of their own), and with --window the DI ports latched at the "
        "interrupt (di=...). Ends after --num-events events (exit 1 if the --timeout ends it "
        "first), when no event comes for --timeout ms, or on Ctrl-C, SIGTERM or SIGHUP; the "
        "events are disabled and the device closed on every way out.\n");
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
    c->add_option("--format,-F", a->format,
                  "print each event as FORMAT: %S %N monotonic time (s.ns, ns), %U %L wall "
                  "clock (UTC, local), %d device, %E %e event type (name, code), %i input, "
                  "%g edge, %n sequence, %m merged edges, %p latched DI ports, %% '%', \\n \\t")
        ->check(CLI::Validator(
            [](std::string& format) {
                std::string error;
                return CheckEventFormat(format, &error) ? std::string() : error;
            },
            ""));
    c->add_flag("--json", a->json, "print each event as one JSON object per line");
    c->add_flag("--quiet,-q", a->quiet, "print nothing per event (the exit code tells)");
    c->add_flag("--wall-clock", a->wallClock, "add the wall-clock time (UTC) to each event");
}

int Monitor(Context& context, const MonitorArguments& a)
{
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
    if (a.json + a.quiet + !a.format.empty() > 1) {
        throw CLI::ValidationError("--json, --quiet, --format", "choose one");
    }

    const std::uint32_t device = static_cast<std::uint32_t>(NumberOf(a.device));
    OpenDevice open(context, device);
    if (!open.ok()) {
        return EXIT_FAILED;
    }
    const LONG h = open.handle();
    std::vector<std::uint32_t> codes;
    std::vector<BYTE> falling;
    if (!EventCodes(context, h, a.events, &codes) ||
        !PropertyBytes(context, h, PROP_DI_FALLING_EDGE_MASK, &falling) || falling.empty()) {
        return EXIT_FAILED;
    }
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

    // The board behind the device tells the edges merged into a pending
    // interrupt; a device with no board of this machine shows none.
    std::string ignored;
    const vtsim::Board* board = context.target.FindBoard(a.device, &ignored);
    std::uint64_t mergedBefore = board != nullptr ? board->mergedEdges() : 0;

    Clock::time_point lastEvent = Clock::now();
    std::uint64_t seen = 0;
    const auto watch = [&]() -> int {
        for (;;) {
            if (context.interrupted.load()) {
                return EXIT_SIGNAL_BASE + vttools::LastStopSignal();
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
            if (type == EVT_TIMEOUT) {
                if (!hasTimeout || MsSince(lastEvent) < timeoutMs) {
                    continue;  // only a slice ended
                }
                if (limited && seen < numEvents) {
                    context.err << "error: " << seen << " of " << numEvents
                                << " events before the time-out\n";
                    return EXIT_FAILED;
                }
                return EXIT_OK;
            }
            if (type == EVT_TERMINATED || type == EVT_NONE) {
                context.err << "mon: the wait ended with " << EventTypeName(type) << "\n";
                return EXIT_OK;
            }
            lastEvent = Clock::now();
            EventRecord event;
            Stamp(&event);
            event.device = device;
            event.code = type;
            event.input = InputOfEventType(type);
            event.falling = event.input >= 0 && (falling[0] >> event.input & 1) != 0;
            event.sequence = ++seen;
            if (board != nullptr) {
                const std::uint64_t merged = board->mergedEdges();
                event.mergedKnown = true;
                event.merged = merged - mergedBefore;
                mergedBefore = merged;
            }
            if (hasWindow && windowCount > 0) {
                event.hasPorts = true;
                event.ports.assign(windowCount, 0);
                const LONG status =
                    DioGetLatestEventDiPortsState(h, type, event.ports.data(), windowCount);
                if (status != API_SUCCESS) {
                    Check(context, "DioGetLatestEventDiPortsState", status);
                    return EXIT_FAILED;
                }
            }
            if (a.json) {
                context.out << EventJson(event, a.wallClock) << std::endl;
            } else if (!a.format.empty()) {
                context.out << FormatEvent(a.format, event) << std::endl;
            } else if (!a.quiet) {
                context.out << DefaultEventLine(event, a.wallClock) << std::endl;
            }
            if (limited && seen >= numEvents) {
                return EXIT_OK;
            }
        }
    };
    const int result = watch();
    // Edges merged after the last line have no line to show them.
    if (board != nullptr && board->mergedEdges() != mergedBefore) {
        context.err << "mon: " << board->mergedEdges() - mergedBefore
                    << " more edges merged into pending interrupts after the last event\n";
    }
    return result;
}

}  // namespace vtdio
