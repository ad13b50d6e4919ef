// What the tools' command lines share beyond their options: help without
// value types, parse errors as people read them, usage of the command given.
#pragma once

#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "tools/common/file_options.h"

namespace vttools {

// Drops the value types ("TEXT") from the help of every option of app and
// its subcommands: the descriptions say what a value is.
void TidyHelp(CLI::App& app);

// The message for a parse error: CLI11's, or "unknown command 'x'" when a
// command was required and an unknown word came instead, or for an option
// that takes one value (or one set of values) given more than once
// "--rising can be given once only, not 2 times: <its description>".
std::string ParseErrorText(const CLI::App& app, const CLI::Error& error);

// The help text of the innermost subcommand given on the command line.
std::string UsageOf(const CLI::App& app);

// Parses the command line into app, then checks the files its options name
// (files). Help and --version are printed to stdout (exit code 0); a parse
// error as one line plus the usage of the command given (2), a file that
// cannot be used as one line (4), both on stderr. Empty when the tool goes on.
std::optional<int> ParseToolCommandLine(CLI::App& app, FileOptions& files, int argc, char** argv);

// The exit codes as a help footer (the same text for every tool).
std::string ExitCodesHelp();

}  // namespace vttools
