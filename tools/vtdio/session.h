// One session of the target for many commands: the interactive shell and
// scripts (run FILE). Besides the device commands a session has the board
// commands (boards, board, in, inport, pulse) and after, wait, sleep, echo,
// help, quit.
#pragma once

#include <string>
#include <vector>

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
};

// The interactive shell (readline with history on a terminal; plain lines
// otherwise). Returns the exit code of the last command.
int RunShell(Context& context);

// Runs a script of session commands, stopping at the first failing command
// unless keepGoing, and at Ctrl-C (EXIT_INTERRUPTED). With echo each command is printed (">
// command") before it runs.
int RunScript(Context& context, const std::string& path, bool echo, bool keepGoing);

}  // namespace vtdio
