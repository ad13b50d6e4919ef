// The device commands, the same in the one-shot tool, the shell and scripts:
// the information commands (list, info), the I/O commands (get, bit, word,
// dword, set, setbit, readback), the register commands (reg) and mon.
#pragma once

#include <memory>

#include <CLI/CLI.hpp>

#include "tools/vtdio/context.h"

namespace vtdio {

// Adds the device commands to app; the returned object holds their
// arguments and must live as long as app.
std::shared_ptr<void> AddDeviceCommands(CLI::App& app, CommandSet& commands, Context& context);

}  // namespace vtdio
