// mon: enable events on a device and print each event as it comes, until
// enough events came, the device stays quiet for the time-out, or a stop
// signal (Ctrl-C, SIGTERM, SIGHUP).
#pragma once

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "tools/vtdio/context.h"

namespace vtdio {

struct MonitorArguments {
    std::string device;
    std::vector<std::string> events;  // names, codes, or "all"
    std::string count = "1";          // interrupts per signalled event
    std::string numEvents;            // empty: no limit
    std::string timeout;              // empty: wait without limit
    std::vector<std::string> window;  // FIRST COUNT, or empty
    std::string format;               // empty: the default line
    bool json = false;
    bool quiet = false;
    bool wallClock = false;
};

void AddMonitorCommand(CLI::App& app, CommandSet& commands, Context& context,
                       MonitorArguments* arguments);

int Monitor(Context& context, const MonitorArguments& arguments);

}  // namespace vtdio
