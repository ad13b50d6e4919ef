// vtcfg's interactive shell and its scripts: command lines for an editor
// session, one at a time.
#pragma once

#include <string>

#include "tools/vtcfg/editor_session.h"

namespace vtcfg {

// The interactive shell (readline with history on a terminal; plain lines
// otherwise). Returns the exit code of the last command.
int RunShell(EditorSession& session);

// Runs a script of session commands (one per line, # comments), stopping at
// the first failing command unless keepGoing. With echo each command is
// printed ("> command") before it runs. EXIT_USAGE when the file cannot be
// read.
int RunScript(EditorSession& session, const std::string& path, bool echo, bool keepGoing);

}  // namespace vtcfg
