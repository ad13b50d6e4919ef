// How mon shows one event: the default line, a line made from a --format
// string, or one JSON object. Pure functions: any thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vtdio {

// One event as mon saw it.
struct EventRecord {
    std::uint64_t monotonicNs = 0;  // CLOCK_MONOTONIC when CheckEvent returned it
    std::int64_t wallNs = 0;        // wall-clock time then, nanoseconds since 1970 (UTC)
    std::uint32_t device = 0;
    std::uint32_t code = 0;           // the event type
    int input = -1;                   // the interrupt input it signals (DI0.input), -1 none
    bool falling = false;             // the input's edge, from the trigger mode
    std::uint64_t sequence = 0;       // 1, 2, ... per device in this mon
    bool mergedKnown = false;         // the board's merged-edge count could be read
    std::uint64_t merged = 0;         // edges merged into pending interrupts since the last line
    bool hasPorts = false;            // a --window was set
    std::vector<std::uint8_t> ports;  // the DI ports latched at the interrupt
};

// "12.000345678 dev 0 seq 1 EVT_DI_INTERRUPT0 DI0.0 rising" with, when
// they apply, " merged 2" and " di=0x5a,0x00"; with wallClock the UTC time
// follows the monotonic one.
std::string DefaultEventLine(const EventRecord& event, bool wallClock);

// The --format directives:
//   %S monotonic time, seconds.nanoseconds   %N monotonic time in ns
//   %U wall-clock time, UTC (ISO 8601, ns)   %L wall-clock time, local
//   %d device  %E event type name  %e event type code (0x3400)
//   %i input (DI0.0)  %g edge (rising/falling)  %n sequence number
//   %m merged edges  %p latched DI ports (0x5a,0x00)  %% a '%'
// Escapes \n and \t stand for a new line and a tab. False with *error set
// for an unknown directive or a '%' at the end.
bool CheckEventFormat(const std::string& format, std::string* error);
// The format with its directives replaced (a format CheckEventFormat accepted).
std::string FormatEvent(const std::string& format, const EventRecord& event);

// One JSON object on one line: time_ns, (wall_time,) device, event, code,
// input, edge, seq, merged (when known), di (when a window is set).
std::string EventJson(const EventRecord& event, bool wallClock);

}  // namespace vtdio
