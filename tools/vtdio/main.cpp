// vtdio: digital I/O from the command line, through the driver library, on
// a simulated target booted in this process.
#include <signal.h>

#include <atomic>
#include <iostream>

#include <CLI/CLI.hpp>

#include "tools/common/target_options.h"
#include "tools/vtdio/context.h"
#include "tools/vtdio/demo.h"
#include "tools/vtdio/device_commands.h"
#include "tools/vtdio/session.h"
#include "tools/vtdio/target.h"
#include "vt_version.h"

namespace {

std::atomic<bool> g_interrupted{false};
volatile sig_atomic_t g_exitOnSecondInterrupt = 1;

// The first Ctrl-C asks the running command to end cleanly; a second one
// (outside the shell) ends the process.
void OnInterrupt(int)
{
    if (g_interrupted.exchange(true) && g_exitOnSecondInterrupt) {
        signal(SIGINT, SIG_DFL);
        raise(SIGINT);
    }
}

void InstallInterruptHandler()
{
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(SIGINT, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace vtdio;

    CLI::App app(
        "Digital I/O on VTC-4100, VTC-4100E and VTM-6200K boards through the driver "
        "library, on a simulated target booted in this process.\n"
        "Exit codes: 0 done, 1 refused by the library (status printed), "
        "2 bad arguments, 3 the target did not boot.",
        "vtdio");
    app.require_subcommand(1);
    app.fallthrough();
    app.set_version_flag("--version", "vtdio " VT_PACKAGE_VERSION);

    vttools::TargetOptions options;
    vttools::AddTargetOptions(app, &options, vttools::ScriptCheck::WhenParsed);

    Target target;
    Context context{target, std::cout, std::cerr,
                    [&]() {
                        if (target.booted()) {
                            return true;
                        }
                        std::string error;
                        if (target.Boot(options, &error)) {
                            return true;
                        }
                        std::cerr << "error: the simulated target did not boot: " << error << "\n";
                        return false;
                    },
                    g_interrupted};

    CommandSet commands;
    auto deviceArgs = AddDeviceCommands(app, commands, context);

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

    commands.Add(app, "shell",
                 "interactive session: the device commands plus board commands (in, inport, "
                 "pulse, board, boards) and after, wait, sleep; 'help' inside lists them",
                 [&] {
                     g_exitOnSecondInterrupt = 0;
                     return RunShell(context);
                 });

    std::string script;
    bool echo = false, keepGoing = false;
    CLI::App* run = commands.Add(app, "run", "run a script of shell commands in one session",
                                 [&] { return RunScript(context, script, echo, keepGoing); });
    run->add_option("FILE", script, "script: one command per line, # comments")->required();
    run->add_flag("--echo", echo, "print each command before it runs");
    run->add_flag("--keep-going", keepGoing, "go on after a failing command");

    TidyHelp(app);
    InstallInterruptHandler();
    int exitCode = EXIT_OK;
    try {
        app.parse(argc, argv);
        commands.RunParsed(&exitCode);
    } catch (const CLI::CallForHelp&) {
        std::cout << app.help();
        return EXIT_OK;
    } catch (const CLI::CallForAllHelp&) {
        std::cout << app.help("", CLI::AppFormatMode::All);
        return EXIT_OK;
    } catch (const CLI::CallForVersion& version) {
        std::cout << version.what() << "\n";
        return EXIT_OK;
    } catch (const CLI::Error& e) {
        std::cerr << "error: " << ParseErrorText(app, e) << "\n" << UsageOf(app);
        exitCode = EXIT_USAGE;
    }
    std::cout.flush();
    target.Shutdown();
    return exitCode;
}
