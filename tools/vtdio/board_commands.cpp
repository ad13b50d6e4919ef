#include "tools/vtdio/board_commands.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ostream>
#include <thread>

#include "common/board_types.h"
#include "platform/host/control/target.h"
#include "tools/common/numbers.h"

namespace vtdio {

using vttools::Hex;
using vttools::NumberOf;
using vttools::NumberUpTo;
using vttools::OneOf;

namespace {

struct ViewArguments {
    std::string board;
};

struct DrivingArguments {
    struct {
        std::string board, port, bit, level;
    } in;
    struct {
        std::string board, port, value;
    } inport;
    struct {
        std::string board, port, bit, times = "1", gap = "20";
        bool whenEnabled = false;
    } pulse;
};

std::string Describe(const Target& target, vtsim::Board* board, std::size_t index)
{
    const vtsim::BoardConfig& config = board->config();
    const int device = target.DeviceNumberOf(board);
    char line[200];
    std::snprintf(
        line, sizeof line, "@%zu  %-10s device %-4s bus %u slot %u switch %u io %s len %s irq %u%s",
        index, vtsim::ModelName(config.model), device >= 0 ? std::to_string(device).c_str() : "-",
        config.bus, config.slot, config.switchId, Hex(config.ioBase, 4).c_str(),
        Hex(config.ioLength, 2).c_str(), config.irq, config.loopback ? " loopback" : "");
    return line;
}

std::size_t IndexOf(vtsim::Board* board)
{
    const std::vector<vtsim::Board*> boards = vtsim::Boards();
    for (std::size_t i = 0; i < boards.size(); ++i) {
        if (boards[i] == board) {
            return i;
        }
    }
    return 0;
}

int Boards(Context& context)
{
    const std::vector<vtsim::Board*> boards = vtsim::Boards();
    if (boards.empty()) {
        context.out << "no boards\n";
    }
    for (std::size_t i = 0; i < boards.size(); ++i) {
        context.out << Describe(context.target, boards[i], i) << "\n";
    }
    return EXIT_OK;
}

vtsim::Board* Resolve(Context& context, const std::string& selector)
{
    std::string error;
    vtsim::Board* board = context.target.FindBoard(selector, &error);
    if (board == nullptr) {
        throw CLI::ValidationError("BOARD", error);
    }
    return board;
}

int ShowBoard(Context& context, const ViewArguments& a)
{
    vtsim::Board* board = Resolve(context, a.board);
    std::ostream& out = context.out;
    out << Describe(context.target, board, IndexOf(board)) << "\n";
    out << "  di lines:       ";
    for (unsigned port = 0; port < board->portCount(); ++port) {
        out << (port != 0 ? " " : "") << Hex(board->inputPort(port), 2);
    }
    out << "\n  do latches:     ";
    for (unsigned port = 0; port < board->portCount(); ++port) {
        out << (port != 0 ? " " : "") << Hex(board->outputLatch(port), 2);
    }
    out << "\n  int enable:     " << Hex(board->interruptEnable(), 2)
        << "\n  trigger mode:   " << Hex(board->triggerMode(), 2)
        << "\n  int status:     " << Hex(board->interruptStatus(), 2)
        << "\n  irq asserted:   " << (board->interruptAsserted() ? "yes" : "no")
        << "\n  merged edges:   " << board->mergedEdges()
        << "\n  interrupts:     " << board->interruptsRaised() << "\n";
    return EXIT_OK;
}

unsigned PortOf(vtsim::Board* board, const std::string& text)
{
    const std::uint64_t port = NumberOf(text);
    if (port >= board->portCount()) {
        throw CLI::ValidationError(
            "PORT", "the board has DI ports 0 to " + std::to_string(board->portCount() - 1));
    }
    return static_cast<unsigned>(port);
}

// Sleeps in short steps; false when cancel was set meanwhile.
bool SleepUnlessCancelled(std::chrono::milliseconds time, const std::atomic<bool>& cancel)
{
    const auto end = std::chrono::steady_clock::now() + time;
    while (std::chrono::steady_clock::now() < end) {
        if (cancel.load()) {
            return false;
        }
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            end - std::chrono::steady_clock::now(), std::chrono::milliseconds(10)));
    }
    return !cancel.load();
}

void AddBoard(CLI::App* command, std::string* board)
{
    command->add_option("BOARD", *board, "device number, or @I for the I-th board of the machine")
        ->required();
}

void AddInputPort(CLI::App* command, std::string* port)
{
    command->add_option("PORT", *port, "DI port")->required()->check(NumberUpTo(0xFFFF));
}

void AddInputLine(CLI::App* command, std::string* bit)
{
    command->add_option("BIT", *bit, "line within the port (0 to 7)")
        ->required()
        ->check(NumberUpTo(7));
}

}  // namespace

std::shared_ptr<void> AddBoardViewCommands(CLI::App& app, CommandSet& commands, Context& context)
{
    auto args = std::make_shared<ViewArguments>();
    commands.Add(app, "boards", "list the machine's boards with their device numbers",
                 Booted(context, [&context] { return Boards(context); }));
    CLI::App* c = commands.Add(
        app, "board", "show a board's input lines, output latches and interrupt registers",
        Booted(context, [&context, a = args.get()] { return ShowBoard(context, *a); }));
    AddBoard(c, &args->board);
    return args;
}

std::shared_ptr<void> AddBoardDrivingCommands(CLI::App& app, CommandSet& commands, Context& context,
                                              ActionSink sink)
{
    auto args = std::make_shared<DrivingArguments>();
    DrivingArguments& a = *args;
    CLI::App* c;

    c = commands.Add(app, "in", "set the level of one input line of a board",
                     Booted(context, [&context, &a, sink] {
                         vtsim::Board* board = Resolve(context, a.in.board);
                         const unsigned port = PortOf(board, a.in.port);
                         const unsigned bit = static_cast<unsigned>(NumberOf(a.in.bit));
                         const bool high = a.in.level == "1";
                         return sink([board, port, bit, high](const std::atomic<bool>&) {
                             board->setInputLine(port, bit, high);
                             return EXIT_OK;
                         });
                     }));
    AddBoard(c, &a.in.board);
    AddInputPort(c, &a.in.port);
    AddInputLine(c, &a.in.bit);
    c->add_option("LEVEL", a.in.level, "0 or 1")->required()->check(OneOf({"0", "1"}));

    c = commands.Add(app, "inport", "set the levels of all eight input lines of a DI port",
                     Booted(context, [&context, &a, sink] {
                         vtsim::Board* board = Resolve(context, a.inport.board);
                         const unsigned port = PortOf(board, a.inport.port);
                         const auto value = static_cast<std::uint8_t>(NumberOf(a.inport.value));
                         return sink([board, port, value](const std::atomic<bool>&) {
                             board->setInputPort(port, value);
                             return EXIT_OK;
                         });
                     }));
    AddBoard(c, &a.inport.board);
    AddInputPort(c, &a.inport.port);
    c->add_option("VALUE", a.inport.value, "line levels, bit n = line n")
        ->required()
        ->check(NumberUpTo(0xFF));

    c = commands.Add(
        app, "pulse", "toggle an input line and back (two edges), K times",
        Booted(context, [&context, &a, sink] {
            vtsim::Board* board = Resolve(context, a.pulse.board);
            const unsigned port = PortOf(board, a.pulse.port);
            const unsigned bit = static_cast<unsigned>(NumberOf(a.pulse.bit));
            const auto times = NumberOf(a.pulse.times);
            const auto gap = std::chrono::milliseconds(NumberOf(a.pulse.gap));
            const bool whenEnabled = a.pulse.whenEnabled;
            if (whenEnabled && (port != 0 || bit >= MAX_EVENTS)) {
                throw CLI::ValidationError(
                    "--when-enabled", "only interrupt inputs (port 0, bits 0 to 3) are enabled");
            }
            return sink(
                [board, port, bit, times, gap, whenEnabled](const std::atomic<bool>& cancel) {
                    // Until the input's interrupt is enabled, its edges would go unseen.
                    while (whenEnabled && (board->interruptEnable() & (1u << bit)) == 0) {
                        if (!SleepUnlessCancelled(std::chrono::milliseconds(1), cancel)) {
                            return EXIT_OK;
                        }
                    }
                    for (std::uint64_t i = 0; i < times && !cancel.load(); ++i) {
                        if (i != 0 && !SleepUnlessCancelled(gap, cancel)) {
                            break;
                        }
                        board->pulseInputLine(port, bit);
                    }
                    return EXIT_OK;
                });
        }));
    AddBoard(c, &a.pulse.board);
    AddInputPort(c, &a.pulse.port);
    AddInputLine(c, &a.pulse.bit);
    c->add_option("--times,-k", a.pulse.times, "number of pulses (default 1)")
        ->check(NumberUpTo(100000));
    c->add_option("--gap,-g", a.pulse.gap,
                  "milliseconds between pulses (default 20, time for the driver to "
                  "acknowledge each interrupt)")
        ->check(NumberUpTo(60000));
    c->add_flag("--when-enabled", a.pulse.whenEnabled,
                "first wait until the input's interrupt is enabled (a command such as mon "
                "waits for it), so that no edge goes unseen");
    return args;
}

}  // namespace vtdio
