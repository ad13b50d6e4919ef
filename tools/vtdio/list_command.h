// list: every published device with its model, call name, ID switch, I/O
// base, IRQ and edges (or why it does not open, and where its board is now
// when it moved), then every board of the machine that has no device, with
// the reason. As a table, or with --json as one JSON object.
#pragma once

#include <memory>

#include <CLI/CLI.hpp>

#include "tools/vtdio/context.h"

namespace vtdio {

// Adds list to app; the returned object holds its arguments and must live
// as long as app.
std::shared_ptr<void> AddListCommand(CLI::App& app, CommandSet& commands, Context& context);

// The edge of each interrupt input from the library's rising and falling
// masks: "falling" or "rising" ("-" for neither), input by input. False
// (status printed on context.err) when the library refuses a property.
bool InputEdges(Context& context, LONG handle, std::vector<std::string>* edges);

}  // namespace vtdio
