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
#include "tools/vtdio/target.h"

namespace vtdio {

// Exit codes of every command.
constexpr int EXIT_OK = 0;
constexpr int EXIT_FAILED = 1;         // the library or the target refused: status printed
constexpr int EXIT_USAGE = 2;          // bad arguments: usage printed
constexpr int EXIT_TARGET = 3;         // the simulated target could not be booted
constexpr int EXIT_INTERRUPTED = 130;  // a script stopped by Ctrl-C

struct Context {
    Target& target;
    std::ostream& out;
    std::ostream& err;
    // Boots the target on first use (the one-shot tool boots only when a
    // command needs it, so --help works without a target).
    std::function<bool()> ensureTarget;
    // Set by Ctrl-C; long-running commands poll it.
    std::atomic<bool>& interrupted;
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
// it cannot be).
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

// Drops the value types ("TEXT") from the help of every option of app and
// its subcommands: the descriptions say what a value is.
void TidyHelp(CLI::App& app);

// The message for a parse error: CLI11's, or "unknown command 'x'" when a
// command was required and an unknown word came instead.
std::string ParseErrorText(const CLI::App& app, const CLI::Error& error);

// The help text of the innermost subcommand given on the command line.
std::string UsageOf(const CLI::App& app);

}  // namespace vtdio
