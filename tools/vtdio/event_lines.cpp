#include "tools/vtdio/event_lines.h"

#include <cstdio>
#include <ctime>

#include <nlohmann/json.hpp>

#include "tools/common/numbers.h"
#include "tools/vtdio/event_types.h"

namespace vtdio {

namespace {

std::string Seconds(std::uint64_t ns)
{
    char text[40];
    std::snprintf(text, sizeof text, "%llu.%09llu",
                  static_cast<unsigned long long>(ns / 1000000000),
                  static_cast<unsigned long long>(ns % 1000000000));
    return text;
}

std::string WallTime(std::int64_t ns, bool utc)
{
    const std::time_t seconds = static_cast<std::time_t>(ns / 1000000000);
    std::tm parts = {};
    if (utc) {
        gmtime_r(&seconds, &parts);
    } else {
        localtime_r(&seconds, &parts);
    }
    char date[40], text[80];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &parts);
    std::snprintf(text, sizeof text, "%s.%09lld%s", date, static_cast<long long>(ns % 1000000000),
                  utc ? "Z" : "");
    return text;
}

std::string Input(const EventRecord& event)
{
    return event.input >= 0 ? "DI0." + std::to_string(event.input) : "-";
}

std::string Edge(const EventRecord& event)
{
    return event.input < 0 ? "-" : event.falling ? "falling" : "rising";
}

std::string Ports(const EventRecord& event)
{
    return vttools::HexBytes(event.ports.data(), event.ports.size(), ",");
}

constexpr const char* kDirectives = "SNULdEeigmnp%";

}  // namespace

std::string DefaultEventLine(const EventRecord& event, bool wallClock)
{
    std::string line = Seconds(event.monotonicNs);
    if (wallClock) {
        line += " " + WallTime(event.wallNs, true);
    }
    line += " dev " + std::to_string(event.device) + " seq " + std::to_string(event.sequence) +
            " " + EventTypeName(event.code) + " " + Input(event) + " " + Edge(event);
    if (event.mergedKnown && event.merged != 0) {
        line += " merged " + std::to_string(event.merged);
    }
    if (event.hasPorts) {
        line += " di=" + Ports(event);
    }
    return line;
}

bool CheckEventFormat(const std::string& format, std::string* error)
{
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            continue;
        }
        if (i + 1 == format.size()) {
            *error = "the format ends in a lone '%'";
            return false;
        }
        if (std::string(kDirectives).find(format[i + 1]) == std::string::npos) {
            *error = std::string("unknown directive '%") + format[i + 1] + "' (known: %S %N %U " +
                     "%L %d %E %e %i %g %n %m %p %%)";
            return false;
        }
        ++i;
    }
    return true;
}

std::string FormatEvent(const std::string& format, const EventRecord& event)
{
    std::string out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        const char next = i + 1 < format.size() ? format[i + 1] : '\0';
        if (c == '\\' && (next == 'n' || next == 't')) {
            out += next == 'n' ? '\n' : '\t';
            ++i;
            continue;
        }
        if (c != '%' || next == '\0') {
            out += c;
            continue;
        }
        ++i;
        switch (next) {
        case 'S':
            out += Seconds(event.monotonicNs);
            break;
        case 'N':
            out += std::to_string(event.monotonicNs);
            break;
        case 'U':
            out += WallTime(event.wallNs, true);
            break;
        case 'L':
            out += WallTime(event.wallNs, false);
            break;
        case 'd':
            out += std::to_string(event.device);
            break;
        case 'E':
            out += EventTypeName(event.code);
            break;
        case 'e':
            out += vttools::Hex(event.code, 4);
            break;
        case 'i':
            out += Input(event);
            break;
        case 'g':
            out += Edge(event);
            break;
        case 'n':
            out += std::to_string(event.sequence);
            break;
        case 'm':
            out += event.mergedKnown ? std::to_string(event.merged) : "-";
            break;
        case 'p':
            out += event.hasPorts ? Ports(event) : "-";
            break;
        default:
            out += next;
            break;  // '%'
        }
    }
    return out;
}

std::string EventJson(const EventRecord& event, bool wallClock)
{
    nlohmann::ordered_json object;
    object["time_ns"] = event.monotonicNs;
    if (wallClock) {
        object["wall_time"] = WallTime(event.wallNs, true);
    }
    object["device"] = event.device;
    object["event"] = EventTypeName(event.code);
    object["code"] = event.code;
    object["input"] = event.input >= 0 ? nlohmann::ordered_json(Input(event)) : nullptr;
    object["edge"] = event.input >= 0 ? nlohmann::ordered_json(Edge(event)) : nullptr;
    object["seq"] = event.sequence;
    if (event.mergedKnown) {
        object["merged"] = event.merged;
    }
    if (event.hasPorts) {
        object["di"] = event.ports;
    }
    return object.dump();
}

}  // namespace vtdio
