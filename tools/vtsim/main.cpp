// vtsim: boots the simulated target, shows its boards and the devices its
// device manager loaded, and drives the boards' input lines from outside.
//
//   vtsim [show]                      boards, devices, drivers that did not load
//   vtsim boards | devices
//   vtsim registers                   every board's registers
//   vtsim set-input --board N --port P --value V
//   vtsim pulse --board N --port P --bit B [--count K]
//
// Common options: --machine FILE.toml, --registry FILE (repeatable), --tree DIR,
// --hive FILE, --modules DIR, --debug.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/host/control/board.h"
#include "platform/host/control/target.h"
#include "platform/host/control/text.h"
#include "tools/common/target_options.h"

namespace {

using vtsim::Utf8FromUtf16;

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
        std::printf("  %-3zu %-10s %-11s %-6u %-18s %u%s\n", i + 1, vtsim::ModelName(c.model), slot,
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
        std::printf("Board %zu (%s):", i + 1, vtsim::ModelName(b.config().model));
        std::printf(" DI");
        for (unsigned p = 0; p < b.portCount(); ++p) {
            std::printf(" %02X", b.inputPort(p));
        }
        std::printf("  DO");
        for (unsigned p = 0; p < b.portCount(); ++p) {
            std::printf(" %02X", b.outputLatch(p));
        }
        std::printf("  enable %02X  trigger %02X  status %02X  line %s  raised %llu\n",
                    b.interruptEnable(), b.triggerMode(), b.interruptStatus(),
                    b.interruptAsserted() ? "asserted" : "idle",
                    static_cast<unsigned long long>(b.interruptsRaised()));
    }
}

// The board a 1-based --board number names, or nullptr (with a message).
vtsim::Board* BoardNumbered(unsigned number, unsigned port)
{
    auto boards = vtsim::Boards();
    if (number < 1 || number > boards.size()) {
        std::fprintf(stderr, "vtsim: there is no board %u (the machine has %zu)\n", number,
                     boards.size());
        return nullptr;
    }
    vtsim::Board* board = boards[number - 1];
    if (port >= board->portCount()) {
        std::fprintf(stderr, "vtsim: board %u has ports 0 to %u\n", number, board->portCount() - 1);
        return nullptr;
    }
    return board;
}

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Boots the simulated target and shows its boards and devices."};
    vttools::TargetOptions targetOptions;
    vttools::AddTargetOptions(app, &targetOptions, vttools::ScriptCheck::AtBoot);

    app.add_subcommand("show", "boards, devices and drivers that did not load (the default)");
    app.add_subcommand("boards", "the machine's boards");
    app.add_subcommand("devices", "the devices the device manager loaded");
    app.add_subcommand("registers", "every board's registers");
    unsigned board = 1, port = 0, bit = 0, count = 1, value = 0;
    auto* setInput = app.add_subcommand("set-input", "set a DI port's line levels");
    setInput->add_option("--board", board, "board number (1-based)")->required();
    setInput->add_option("--port", port, "DI port")->required();
    setInput->add_option("--value", value, "line levels (0-255)")
        ->required()
        ->check(CLI::Range(0, 255));
    auto* pulse =
        app.add_subcommand("pulse", "pulse an input line (two edges) and show the registers");
    pulse->add_option("--board", board, "board number (1-based)")->required();
    pulse->add_option("--port", port, "DI port")->required();
    pulse->add_option("--bit", bit, "line 0-7")->required()->check(CLI::Range(0, 7));
    pulse->add_option("--count", count, "number of pulses")->check(CLI::Range(1, 1000000));
    app.require_subcommand(0, 1);
    CLI11_PARSE(app, argc, argv);

    vtsim::BootOptions options;
    std::string error;
    if (!vttools::BootOptionsOf(targetOptions, &options, &error)) {
        std::fprintf(stderr, "vtsim: %s\n", error.c_str());
        return 1;
    }
    if (!vtsim::Boot(options, &error)) {
        std::fprintf(stderr, "vtsim: boot failed: %s\n", error.c_str());
        return 1;
    }

    int status = 0;
    const std::string command =
        app.get_subcommands().empty() ? "show" : app.get_subcommands()[0]->get_name();
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
        vtsim::Board* target = BoardNumbered(board, port);
        if (!target) {
            status = 1;
        } else {
            if (command == "set-input") {
                target->setInputPort(port, static_cast<std::uint8_t>(value));
            } else {
                for (unsigned i = 0; i < count; ++i) {
                    target->pulseInputLine(port, bit);
                }
            }
            PrintRegisters();
        }
    }
    vtsim::Shutdown();
    return status;
}
