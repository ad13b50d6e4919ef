// The register commands: reg read and reg write, a board register by its
// I/O address through the library's raw port operations.
#pragma once

#include <memory>

#include <CLI/CLI.hpp>

#include "tools/vtdio/context.h"

namespace vtdio {

// Adds reg with its subcommands read and write to app; the returned object
// holds their arguments and must live as long as app.
std::shared_ptr<void> AddRegisterCommands(CLI::App& app, CommandSet& commands, Context& context);

}  // namespace vtdio
