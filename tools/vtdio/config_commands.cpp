#include "tools/vtdio/config_commands.h"

#include <ostream>
#include <set>

#include "common/board_types.h"
#include "platform/host/control/ui_driver.h"
#include "tools/common/numbers.h"
#include "tools/vtdio/device_arguments.h"

namespace vtdio {
namespace {

using vttools::Hex;

constexpr unsigned kDialogBits = 4;

struct ConfigArguments {
    std::string device, rising, falling, picture;
    bool cancel = false;
};

struct SessionArguments {
    std::string device, bitsRising, bitsFalling, control, picture;
};

// "0,2" -> bits 0 and 2 (each 0 to 3); false with a message otherwise.
bool ParseBits(const std::string& text, unsigned* mask, std::string* error)
{
    *mask = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(',', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string item = text.substr(start, end - start);
        std::uint64_t bit = 0;
        if (!vttools::ParseUnsigned(item, kDialogBits - 1, &bit)) {
            *error = "'" + item + "' is not an input bit (0 to 3); give a list like 0,2";
            return false;
        }
        *mask |= 1u << bit;
        start = end + 1;
    }
    return true;
}

CLI::Validator BitListCheck()
{
    return CLI::Validator(
        [](std::string& text) -> std::string {
            unsigned mask = 0;
            std::string error;
            return ParseBits(text, &mask, &error) ? std::string() : error;
        },
        "");
}

unsigned BitsOf(const std::string& text)
{
    unsigned mask = 0;
    std::string error;
    ParseBits(text, &mask, &error);
    return text.empty() ? 0 : mask;
}

// Clicks the edge buttons of the bits in mask; prints the first refusal.
bool ClickEdges(Context& context, ConfigDialog& dialog, unsigned mask, bool falling)
{
    for (unsigned bit = 0; bit < kDialogBits; ++bit) {
        if ((mask >> bit & 1u) == 0) {
            continue;
        }
        std::string error;
        if (!dialog.Act(
                [&](HWND window, std::string* why) { return ClickEdge(window, bit, falling, why); },
                &error)) {
            context.err << "error: " << error << "\n";
            return false;
        }
    }
    return true;
}

bool Press(ConfigDialog& dialog, bool ok, std::string* error)
{
    return dialog.Act(
        [ok](HWND window, std::string* why) {
            return ok ? vtsim::PressOk(window, why) : vtsim::PressCancel(window, why);
        },
        error);
}

// Prints why the dialog did not show.
int NotShown(Context& context, ConfigDialog& dialog, std::uint32_t deviceNumber)
{
    if (dialog.Result() == -1) {
        context.err << "error: DeviceConfig: the dialog could not be created\n";
    } else {
        context.err << "error: DeviceConfig: device " << deviceNumber
                    << " has no readable registry entry; the dialog closed at once\n";
    }
    return EXIT_FAILED;
}

// Prints the trigger mode stored for the device and in its board's register.
void PrintTriggerMode(Context& context, std::uint32_t deviceNumber)
{
    for (const PublishedDevice& device : context.target.PublishedDevices()) {
        if (device.number != deviceNumber) {
            continue;
        }
        context.out << "registry TriggerMode: " << Hex(device.triggerMode, 2);
        const DWORD inputs = EventCountOf(device.boardType);
        for (DWORD bit = 0; bit < inputs; ++bit) {
            context.out << (bit == 0 ? " (" : ", ") << "bit" << bit << " "
                        << ((device.triggerMode >> bit & 1u) != 0 ? "falling" : "rising");
        }
        context.out << (inputs != 0 ? ")\n" : "\n");
    }
    std::string error;
    if (vtsim::Board* board = context.target.FindBoard(std::to_string(deviceNumber), &error)) {
        context.out << "board trigger register: " << Hex(board->triggerMode(), 2) << "\n";
    }
}

// Waits for the closed dialog and reports it.
int Finish(Context& context, ConfigDialog& dialog, std::uint32_t deviceNumber, bool confirmed)
{
    dialog.Result();
    context.out << (confirmed ? "confirmed\n" : "cancelled: nothing written\n");
    PrintTriggerMode(context, deviceNumber);
    return EXIT_OK;
}

int RunConfig(Context& context, const ConfigArguments& a)
{
    const std::uint32_t deviceNumber = Number32(a.device);
    const unsigned rising = BitsOf(a.rising);
    const unsigned falling = BitsOf(a.falling);
    if ((rising & falling) != 0) {
        throw CLI::ValidationError("--falling", "a bit cannot be both rising and falling");
    }
    ConfigDialog dialog;
    if (!dialog.Open(deviceNumber)) {
        return NotShown(context, dialog, deviceNumber);
    }
    std::string error;
    if (!ClickEdges(context, dialog, rising, false) ||
        !ClickEdges(context, dialog, falling, true)) {
        Press(dialog, false, &error);
        dialog.Result();
        return EXIT_FAILED;
    }
    if (!a.picture.empty() &&
        !dialog.Act([&](HWND window,
                        std::string* why) { return WriteDialogPicture(window, a.picture, why); },
                    &error)) {
        context.err << "error: " << error << "\n";
        Press(dialog, false, &error);
        dialog.Result();
        return EXIT_FAILED;
    }
    if (!Press(dialog, !a.cancel, &error)) {
        context.err << "error: " << error << "\n";
        return EXIT_FAILED;
    }
    const int code = Finish(context, dialog, deviceNumber, !a.cancel);
    // A one-shot command boots its own target: without a hive what OK
    // stored ends with it, and a person should not expect it next time.
    if (!a.cancel && !context.inSession && !context.target.keepsHive()) {
        context.err << "note: config runs on a target booted for this command alone: the edges "
                       "stored in its registry are gone when vtdio ends (keep them with --hive "
                       "FILE, or configure and use them in one session: vtdio shell, vtdio run "
                       "FILE)\n";
    }
    return code;
}

}  // namespace

std::shared_ptr<void> AddConfigCommand(CLI::App& app, CommandSet& commands, Context& context)
{
    auto args = std::make_shared<ConfigArguments>();
    ConfigArguments& a = *args;
    CLI::App* c = commands.Add(
        app, "config",
        "show the device setting dialog of device N (DeviceConfig), click the edges given, "
        "press OK (or Cancel), and print the trigger mode stored and on the board",
        Booted(context, [&context, &a] { return RunConfig(context, a); }));
    AddDeviceArgument(c, &a.device);
    c->add_option("--rising", a.rising, "input bits to set to the rising edge, e.g. 0,2")
        ->check(BitListCheck());
    c->add_option("--falling", a.falling, "input bits to set to the falling edge, e.g. 1,3")
        ->check(BitListCheck());
    c->add_option("--picture", a.picture, "write the dialog's picture (PNG) as it looks before OK");
    c->add_flag("--cancel", a.cancel, "press Cancel instead of OK: nothing is written");
    return args;
}

std::shared_ptr<void> AddDialogSessionCommands(CLI::App& app, CommandSet& commands,
                                               Context& context,
                                               std::unique_ptr<ConfigDialog>& dialog)
{
    auto args = std::make_shared<SessionArguments>();
    SessionArguments& a = *args;

    // Runs an action on the open dialog; when the action closed it, reports
    // the outcome.
    auto act = [&context, &dialog](const ConfigDialog::Action& action, bool confirming) {
        if (!dialog || !dialog->IsOpen()) {
            context.err << "error: no device setting dialog is open (config N opens one)\n";
            return EXIT_FAILED;
        }
        std::string error;
        const bool done = dialog->Act(action, &error);
        if (!done) {
            context.err << "error: " << error << "\n";
        }
        if (!dialog->IsOpen()) {
            Finish(context, *dialog, dialog->deviceNumber(), confirming);
            dialog.reset();
        }
        return done ? EXIT_OK : EXIT_FAILED;
    };

    CLI::App* c = commands.Add(
        app, "config",
        "open the device setting dialog of device N and keep it open: rising, falling, "
        "click, dialog, picture act on it; ok or cancel close it",
        Booted(context, [&context, &dialog, &a] {
            if (dialog && dialog->IsOpen()) {
                context.err << "error: a device setting dialog is already open\n";
                return EXIT_FAILED;
            }
            const std::uint32_t deviceNumber = Number32(a.device);
            dialog = std::make_unique<ConfigDialog>();
            if (!dialog->Open(deviceNumber)) {
                const int code = NotShown(context, *dialog, deviceNumber);
                dialog.reset();
                return code;
            }
            std::string edges, error;
            dialog->Act(
                [&edges](HWND window, std::string*) {
                    edges = DescribeEdges(window);
                    return true;
                },
                &error);
            context.out << "device setting dialog of device " << deviceNumber << " open\n" << edges;
            return EXIT_OK;
        }));
    AddDeviceArgument(c, &a.device);

    for (bool falling : {false, true}) {
        std::string* bits = falling ? &a.bitsFalling : &a.bitsRising;
        commands
            .Add(app, falling ? "falling" : "rising",
                 falling ? "click the Falling buttons of input BITS (e.g. 1,3)"
                         : "click the Rising buttons of input BITS (e.g. 0,2)",
                 [&context, &dialog, bits, falling] {
                     if (!dialog || !dialog->IsOpen()) {
                         context.err
                             << "error: no device setting dialog is open (config N opens one)\n";
                         return EXIT_FAILED;
                     }
                     return ClickEdges(context, *dialog, BitsOf(*bits), falling) ? EXIT_OK
                                                                                 : EXIT_FAILED;
                 })
            ->add_option("BITS", *bits, "input bits")
            ->required()
            ->check(BitListCheck());
    }

    commands
        .Add(app, "click", "click a control of the dialog by id (1011 to 1018, 1, 2) or text",
             [act, &a] {
                 const bool closing = a.control == "1" || a.control == "OK";
                 return act([&a](HWND window,
                                 std::string* why) { return ClickControl(window, a.control, why); },
                            closing);
             })
        ->add_option("CONTROL", a.control, "control id or text")
        ->required();

    commands.Add(app, "dialog", "show the edges the dialog's buttons show now", [act, &context] {
        return act(
            [&context](HWND window, std::string*) {
                context.out << DescribeEdges(window);
                return true;
            },
            false);
    });

    commands
        .Add(app, "picture", "write the dialog's picture as a PNG file",
             [act, &a] {
                 return act(
                     [&a](HWND window, std::string* why) {
                         return WriteDialogPicture(window, a.picture, why);
                     },
                     false);
             })
        ->add_option("FILE", a.picture, "PNG file to write")
        ->required();

    commands.Add(app, "ok", "press OK: store the edges and write them to the board", [act] {
        return act([](HWND window, std::string* why) { return vtsim::PressOk(window, why); }, true);
    });
    commands.Add(app, "cancel", "press Cancel: close the dialog, nothing written", [act] {
        return act([](HWND window, std::string* why) { return vtsim::PressCancel(window, why); },
                   false);
    });
    return args;
}

bool AllowedWhileDialogOpen(const std::string& command)
{
    static const std::set<std::string> allowed = {
        "rising", "falling", "click", "dialog", "picture", "ok",     "cancel",
        "help",   "echo",    "sleep", "quit",   "exit",    "boards", "board",
        "in",     "inport",  "pulse", "after",  "wait"};
    return allowed.count(command) != 0;
}

}  // namespace vtdio
