// mon: enable events on a device and print each CheckEvent result until
// enough events came, the device stays quiet for the time-out, or Ctrl-C.
#pragma once

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "tools/vtdio/context.h"

namespace vtdio {

struct MonitorArguments {
    std::string device;
    std::vector<std::string> events;
    std::string count = "1";          // interrupts per signalled event
    std::string numEvents;            // empty: no limit
    std::string timeout;              // empty: wait without limit
    std::vector<std::string> window;  // FIRST COUNT, or empty
};

void AddMonitorCommand(CLI::App& app, CommandSet& commands, Context& context,
                       MonitorArguments* arguments);

int Monitor(Context& context, const MonitorArguments& arguments);

}  // namespace vtdio
