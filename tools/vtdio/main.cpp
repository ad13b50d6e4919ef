// vtdio: digital I/O from the command line, through the driver library, on
// a simulated target booted in this process.
#include <unistd.h>

#include <iostream>

#include <CLI/CLI.hpp>

#include "tools/common/file_options.h"
#include "tools/common/stop_signals.h"
#include "tools/common/target_options.h"
#include "tools/vtdio/config_commands.h"
#include "tools/vtdio/context.h"
#include "tools/vtdio/demo.h"
#include "tools/vtdio/device_commands.h"
#include "tools/vtdio/session.h"
#include "tools/vtdio/target.h"
#include "vt_version.h"

int main(int argc, char** argv)
{
    using namespace vtdio;

    CLI::App app(
        "Digital I/O on VTC-4100, VTC-4100E and VTM-6200K boards through the driver "
        "library, on a simulated target booted in this process.\n" +
            vttools::ExitCodesHelp(),
        "vtdio");
    app.require_subcommand(1);
    app.fallthrough();
    app.set_version_flag("--version", "vtdio " VT_PACKAGE_VERSION);

    vttools::TargetOptions options;
    vttools::FileOptions files;
    vttools::AddTargetOptions(app, &options, &files);

    Target target(options);
    Context context{target, std::cout, std::cerr,
                    [&]() {
                        std::string error;
                        if (target.Boot(&error)) {
                            return true;
                        }
                        std::cerr << "error: the simulated target did not boot: " << error << "\n";
                        return false;
                    },
                    vttools::StopRequested()};

    CommandSet commands;
    auto deviceArgs = AddDeviceCommands(app, commands, context);
    auto configArgs = AddConfigCommand(app, commands, context);

    commands.Add(app, "demo",
                 "boot the default target with outputs wired to inputs, and show the whole "
                 "chain on every device: outputs, read-back, inputs, interrupts",
                 [&] {
                     options.loopbackEverywhere = true;
                     if (!context.ensureTarget()) {
                         return EXIT_TARGET;
                     }
                     return Demo(context);
                 });

    bool shellKeepGoing = false;
    bool interactiveShell = false;  // where Ctrl-C ends only the running command
    CLI::App* shell = commands.Add(
        app, "shell",
        "interactive session: the device commands plus board commands (in, inport, pulse, "
        "board, boards), the device setting dialog step by step (config, rising, falling, "
        "click, picture, ok, cancel) and after, wait, sleep; 'help' inside lists them. Without a "
        "terminal "
        "it reads commands from stdin as 'run' reads a script",
        [&] {
            vttools::SetSecondSignalEndsProcess(false);
            interactiveShell = isatty(STDIN_FILENO) != 0;
            return RunShell(context, shellKeepGoing);
        });
    shell->add_flag("--keep-going", shellKeepGoing,
                    "without a terminal: go on after a failing command");

    std::string script;
    bool echo = false, keepGoing = false;
    CLI::App* run = commands.Add(app, "run", "run a script of shell commands in one session",
                                 [&] { return RunScript(context, script, echo, keepGoing); });
    files
        .Add(run, "FILE", &script, vttools::FileUse::Read,
             "script: one command per line, # comments")
        ->required();
    run->add_flag("--echo", echo, "print each command before it runs");
    run->add_flag("--keep-going", keepGoing, "go on after a failing command");

    TidyHelp(app);
    int exitCode = EXIT_OK;
    if (const std::optional<int> ended = vttools::ParseToolCommandLine(app, files, argc, argv)) {
        return *ended;
    }
    vttools::InstallStopHandlers();
    try {
        commands.RunParsed(&exitCode);
    } catch (const CLI::Error& e) {
        // A check that only the command itself can make (a count too large
        // for its buffer, two forms at once).
        std::cerr << "error: " << ParseErrorText(app, e) << "\n" << UsageOf(app);
        exitCode = EXIT_USAGE;
    }
    std::cout.flush();
    const int finish = target.Finish(std::cerr);
    // A run that a signal asked to stop says so in its exit code, also when
    // its command finished first (a quick one-shot command, a signal during
    // the boot or the hive's save) or gave up because of it.
    const bool stopped =
        interactiveShell ? vttools::SessionEndRequested() : vttools::LastStopSignal() != 0;
    if (stopped && (exitCode == EXIT_OK || exitCode == EXIT_FAILED)) {
        exitCode = EXIT_SIGNAL_BASE + vttools::LastStopSignal();
    }
    return vttools::CombinedExitCode(exitCode, finish);
}
