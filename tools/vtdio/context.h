// What every vtdio command works with: the target, the output streams, the
// Ctrl-C flag, and an open device that closes itself.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "platform/types.h"
#include "tools/common/command_line.h"
#include "tools/common/exit_codes.h"
#include "tools/vtdio/target.h"

namespace vtdio {

using vttools::ParseErrorText;
using vttools::TidyHelp;
using vttools::UsageOf;

// The exit codes of every command (tools/common/exit_codes.h).
using vttools::EXIT_FAILED;
using vttools::EXIT_FILE;
using vttools::EXIT_OK;
using vttools::EXIT_SIGNAL_BASE;
using vttools::EXIT_TARGET;
using vttools::EXIT_USAGE;

struct Context {
    Target& target;
    std::ostream& out;
    std::ostream& err;
    // Boots the target on first use (the one-shot tool boots only when a
    // command needs it, so --help works without a target).
    std::function<bool()> ensureTarget;
    // Set by Ctrl-C, SIGTERM or SIGHUP; long-running commands poll it.
    std::atomic<bool>& interrupted;
    // True while a session (shell, run) runs the commands on one target;
    // false for a one-shot command, whose target is booted for it alone.
    bool inSession = false;
};

// Prints "error: <operation>: <decoded status>" and returns false when the
// status is not 0.
bool Check(Context& context, const char* operation, LONG status);
// Check as an exit code: EXIT_OK when the status is 0, else EXIT_FAILED.
int Outcome(Context& context, const char* operation, LONG status);

// A 4-byte property of an open device; false (status printed) when the
// library refuses it, *value then unchanged.
bool Property32(Context& context, LONG handle, WORD id, std::uint32_t* value);
// A property of one byte per port, its size asked first; false (status
// printed) when the library refuses either request.
bool PropertyBytes(Context& context, LONG handle, WORD id, std::vector<BYTE>* bytes);

// A device opened through the library for the length of one command.
class OpenDevice {
public:
    OpenDevice(Context& context, std::uint32_t deviceNumber);
    ~OpenDevice();
    OpenDevice(const OpenDevice&) = delete;
    OpenDevice& operator=(const OpenDevice&) = delete;
    bool ok() const
    {
        return handle_ != 0;
    }
    LONG handle() const
    {
        return handle_;
    }
    std::uint32_t number() const
    {
        return number_;
    }

private:
    LONG handle_ = 0;
    std::uint32_t number_;
};

// Wraps a command so that it runs with the target booted (EXIT_TARGET when
// it cannot be). A one-shot command that a stop signal reached while the
// target booted does not run: 128 + the signal's number.
std::function<int()> Booted(Context& context, std::function<int()> command);

// Subcommands with their handlers: after a parse, the handler of the
// subcommand that was given runs.
class CommandSet {
public:
    CLI::App* Add(CLI::App& parent, const std::string& name, const std::string& description,
                  std::function<int()> handler);
    // Runs the handler of the parsed subcommand; false when none was parsed.
    bool RunParsed(int* exitCode) const;

private:
    std::map<CLI::App*, std::function<int()>> handlers_;
};

}  // namespace vtdio
