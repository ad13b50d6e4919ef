// The I/O commands through the library's digital I/O operations: get, bit,
// word and dword read DI ports; set and setbit write DO ports; readback
// reads back what was written.
#pragma once

#include <memory>

#include <CLI/CLI.hpp>

#include "tools/vtdio/context.h"

namespace vtdio {

// Adds get, bit, word, dword, set, setbit and readback to app; the returned
// object holds their arguments and must live as long as app.
std::shared_ptr<void> AddIoCommands(CLI::App& app, CommandSet& commands, Context& context);

}  // namespace vtdio
