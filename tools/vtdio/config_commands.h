// The device setting dialog's commands.
//
// One-shot (vtdio config N): opens the library's dialog for device N, clicks
// the Rising buttons of --rising BITS and the Falling buttons of --falling
// BITS, writes its picture (--picture FILE), presses OK (Cancel with
// --cancel), and prints the trigger mode now stored in the registry and in
// the board's register.
//
// In a session the dialog stays open between commands: config N opens it,
// rising BITS, falling BITS and click ID|TEXT act on it, dialog shows its
// edges, picture FILE draws it, ok and cancel close it (printing the trigger
// mode as above). While it is open the library allows no other device
// command; board commands still run.
#pragma once

#include <memory>
#include <string>

#include <CLI/CLI.hpp>

#include "tools/vtdio/config_dialog.h"
#include "tools/vtdio/context.h"

namespace vtdio {

// Adds "config" (one-shot) to app; the returned object holds its arguments
// and must live as long as app.
std::shared_ptr<void> AddConfigCommand(CLI::App& app, CommandSet& commands, Context& context);

// Adds the session's dialog commands (config, rising, falling, click,
// dialog, picture, ok, cancel), acting on the session's dialog.
std::shared_ptr<void> AddDialogSessionCommands(CLI::App& app, CommandSet& commands,
                                               Context& context,
                                               std::unique_ptr<ConfigDialog>& dialog);

// Whether a session command may run while the dialog is open: the dialog's
// own commands, board commands and the session's housekeeping.
bool AllowedWhileDialogOpen(const std::string& command);

}  // namespace vtdio
