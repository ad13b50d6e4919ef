// One session of the target for many commands: the interactive shell and
// scripts (run FILE). Besides the device commands a session has the board
// commands (boards, board, in, inport, pulse), the device setting dialog's
// step-by-step commands (config, rising, falling, click, dialog, picture, ok,
// cancel: config_commands.h) and after, wait, sleep, echo, help, quit.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tools/vtdio/config_dialog.h"
#include "tools/vtdio/context.h"
#include "tools/vtdio/scheduler.h"

namespace vtdio {

class Session {
public:
    explicit Session(Context& context);
    // Runs one command line; returns its exit code. *quit is set by quit/exit.
    int Execute(const std::string& line, bool* quit);

private:
    int Schedule(const std::vector<std::string>& command, unsigned delayMs);

    Context& context_;
    Scheduler scheduler_;
    std::unique_ptr<ConfigDialog> dialog_;  // the device setting dialog while open
};

// The shell: on a terminal interactive (readline with history; Ctrl-C
// ends the running command, SIGTERM or SIGHUP the shell); without one it
// reads commands from stdin exactly as RunScript reads a script. Returns
// the exit code of the last command.
int RunShell(Context& context, bool keepGoing);

// Runs a script of session commands, stopping at the first failing command
// (with its exit code) unless keepGoing, and at a stop signal (128 + the
// signal's number). With echo each command is printed ("> command") before
// it runs. A script that cannot be read gives EXIT_FILE.
int RunScript(Context& context, const std::string& path, bool echo, bool keepGoing);

}  // namespace vtdio
