// vtsim: boots the simulated target, shows its boards and the devices its
// device manager loaded, and drives the boards' input lines from outside.
//
//   vtsim [show]                      boards, devices, drivers that did not load
//   vtsim boards | devices
//   vtsim registers                   every board's registers
//   vtsim set-input --board N --port P --value V
//   vtsim pulse --board N --port P --bit B [--count K]
//   vtsim machine                     the machine description as TOML (no boot)
//
// Boards are numbered from 0, in the order of the machine description (the
// board vtdio calls @N). The options before the command, the file checks,
// the exit codes and the stop signals are those of vtdio (tools/common).
#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "platform/host/control/board.h"
#include "platform/host/control/target.h"
#include "platform/host/control/text.h"
#include "tools/common/command_line.h"
#include "tools/common/exit_codes.h"
#include "tools/common/file_options.h"
#include "tools/common/stop_signals.h"
#include "tools/common/target_options.h"
#include "tools/common/tool_target.h"
#include "vt_version.h"

namespace {

using vtsim::Utf8FromUtf16;
using namespace vttools;

void PrintBoards()
{
    auto boards = vtsim::Boards();
    std::printf("Boards (%zu):\n", boards.size());
    std::printf("  %-3s %-10s %-11s %-6s %-18s %s\n", "#", "model", "bus/slot/fn", "switch", "I/O",
                "IRQ");
    for (std::size_t i = 0; i < boards.size(); ++i) {
        const vtsim::BoardConfig& c = boards[i]->config();
        char slot[32], io[32];
        std::snprintf(slot, sizeof slot, "%u/%u/%u", c.bus, c.slot, c.function);
        std::snprintf(io, sizeof io, "%04X-%04X (%u)", c.ioBase, c.ioBase + c.ioLength - 1,
                      c.ioLength);
        std::printf("  %-3zu %-10s %-11s %-6u %-18s %u%s\n", i, vtsim::ModelName(c.model), slot,
                    static_cast<unsigned>(c.switchId), io, c.irq, c.loopback ? "  loopback" : "");
    }
}

void PrintDevices()
{
    auto devices = vtsim::Devices();
    std::printf("Devices (%zu):\n", devices.size());
    for (const auto& d : devices) {
        std::printf("  %-6s %-14s %-44s %s\n", Utf8FromUtf16(d.name).c_str(),
                    Utf8FromUtf16(d.dll).c_str(), Utf8FromUtf16(d.deviceKey).c_str(),
                    Utf8FromUtf16(d.activeKey).c_str());
    }
    auto failures = vtsim::DriverLoadFailures();
    if (!failures.empty()) {
        std::printf("Not loaded (%zu):\n", failures.size());
        for (const auto& f : failures) {
            std::printf("  %s\n", f.c_str());
        }
    }
}

void PrintRegisters()
{
    auto boards = vtsim::Boards();
    for (std::size_t i = 0; i < boards.size(); ++i) {
        const vtsim::Board& b = *boards[i];
        std::printf("Board %zu (%s):", i, vtsim::ModelName(b.config().model));
        std::printf(" DI");
        for (unsigned p = 0; p < b.portCount(); ++p) {
            std::printf(" %02X", b.inputPort(p));
        }
        std::printf("  DO");
        for (unsigned p = 0; p < b.portCount(); ++p) {
            std::printf(" %02X", b.outputLatch(p));
        }
        std::printf("  enable %02X  trigger %02X  status %02X  line %s  raised %llu  merged %llu\n",
                    b.interruptEnable(), b.triggerMode(), b.interruptStatus(),
                    b.interruptAsserted() ? "asserted" : "idle",
                    static_cast<unsigned long long>(b.interruptsRaised()),
                    static_cast<unsigned long long>(b.mergedEdges()));
    }
}

// The board that --board names, or nullptr with *error set.
vtsim::Board* BoardNumbered(unsigned number, unsigned port, std::string* error)
{
    auto boards = vtsim::Boards();
    if (number >= boards.size()) {
        *error = "there is no board " + std::to_string(number) + " (the machine has " +
                 std::to_string(boards.size()) + ", numbered from 0)";
        return nullptr;
    }
    vtsim::Board* board = boards[number];
    if (port >= board->portCount()) {
        *error = "board " + std::to_string(number) + " has ports 0 to " +
                 std::to_string(board->portCount() - 1);
        return nullptr;
    }
    return board;
}

// Runs the parsed command on the booted target.
int RunCommand(const std::string& command, unsigned board, unsigned port, unsigned bit,
               unsigned count, unsigned value)
{
    if (command == "show") {
        PrintBoards();
        PrintDevices();
    } else if (command == "boards") {
        PrintBoards();
    } else if (command == "devices") {
        PrintDevices();
    } else if (command == "registers") {
        PrintRegisters();
    } else if (command == "set-input" || command == "pulse") {
        std::string error;
        vtsim::Board* target = BoardNumbered(board, port, &error);
        if (target == nullptr) {
            std::cerr << "error: " << error << "\n";
            return EXIT_USAGE;
        }
        if (command == "set-input") {
            target->setInputPort(port, static_cast<std::uint8_t>(value));
        } else {
            for (unsigned i = 0; i < count && !StopRequested().load(); ++i) {
                target->pulseInputLine(port, bit);
            }
        }
        PrintRegisters();
    }
    return EXIT_OK;
}

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Boots the simulated target and shows its boards and devices.\n" + ExitCodesHelp(),
                 "vtsim"};
    app.set_version_flag("--version", "vtsim " VT_PACKAGE_VERSION);
    TargetOptions targetOptions;
    FileOptions files;
    AddTargetOptions(app, &targetOptions, &files);

    app.add_subcommand("show", "boards, devices and drivers that did not load (the default)");
    app.add_subcommand("boards", "the machine's boards, numbered from 0");
    app.add_subcommand("devices", "the devices the device manager loaded");
    app.add_subcommand("registers", "every board's registers");
    unsigned board = 0, port = 0, bit = 0, count = 1, value = 0;
    auto* setInput = app.add_subcommand("set-input", "set a DI port's line levels");
    setInput->add_option("--board", board, "board number (from 0, as 'boards' lists them)")
        ->required();
    setInput->add_option("--port", port, "DI port")->required();
    setInput->add_option("--value", value, "line levels (0-255)")
        ->required()
        ->check(CLI::Range(0, 255));
    auto* pulse =
        app.add_subcommand("pulse", "pulse an input line (two edges) and show the registers");
    pulse->add_option("--board", board, "board number (from 0, as 'boards' lists them)")
        ->required();
    pulse->add_option("--port", port, "DI port")->required();
    pulse->add_option("--bit", bit, "line 0-7")->required()->check(CLI::Range(0, 7));
    pulse->add_option("--count", count, "number of pulses")->check(CLI::Range(1, 1000000));
    auto* machine = app.add_subcommand(
        "machine", "print the machine description (--machine FILE, or the default) as TOML");
    app.require_subcommand(0, 1);
    TidyHelp(app);

    if (const std::optional<int> ended = ParseToolCommandLine(app, files, argc, argv)) {
        return *ended;
    }
    std::string error;
    if (machine->parsed()) {
        vtsim::BootOptions options;
        if (!BootOptionsOf(targetOptions, &options, &error)) {
            std::cerr << "error: " << error << "\n";
            return EXIT_FILE;
        }
        std::cout << options.machine.ToToml();
        return EXIT_OK;
    }

    InstallStopHandlers();
    ToolTarget target(targetOptions);
    if (!target.Boot(&error)) {
        std::cerr << "error: the simulated target did not boot: " << error << "\n";
        return EXIT_TARGET;
    }
    const std::string command =
        app.get_subcommands().empty() ? "show" : app.get_subcommands()[0]->get_name();
    const int status = RunCommand(command, board, port, bit, count, value);
    std::fflush(stdout);
    const int finish = target.Finish(std::cerr);
    if (LastStopSignal() != 0 && status == EXIT_OK) {
        return CombinedExitCode(EXIT_SIGNAL_BASE + LastStopSignal(), finish);
    }
    return CombinedExitCode(status, finish);
}
