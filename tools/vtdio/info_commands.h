// The information commands: list (list_command.h) and info (one device's
// properties and features, as text or with --json as one JSON object).
#pragma once

#include <memory>

#include <CLI/CLI.hpp>

#include "tools/vtdio/context.h"

namespace vtdio {

// Adds list and info to app; the returned object holds their arguments and
// must live as long as app.
std::shared_ptr<void> AddInfoCommands(CLI::App& app, CommandSet& commands, Context& context);

}  // namespace vtdio
