// Commands that look at and drive the simulated boards from outside, for the
// shell and scripts: boards, board, in, inport, pulse.
#pragma once

#include <atomic>
#include <functional>
#include <memory>

#include <CLI/CLI.hpp>

#include "tools/vtdio/context.h"

namespace vtdio {

// A driving action (in, inport, pulse) with its arguments checked. A long
// one (a pulse train) stops early once cancel is set.
using BoardAction = std::function<int(const std::atomic<bool>& cancel)>;
// What happens to an action: run it now, or keep it for later. Returns the
// exit code.
using ActionSink = std::function<int(BoardAction action)>;

// Adds boards and board (the observing commands).
std::shared_ptr<void> AddBoardViewCommands(CLI::App& app, CommandSet& commands, Context& context);
// Adds in, inport and pulse, whose checked actions go to sink.
std::shared_ptr<void> AddBoardDrivingCommands(CLI::App& app, CommandSet& commands, Context& context,
                                              ActionSink sink);

}  // namespace vtdio
