#include "tools/vtdio/session.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <thread>

#include <readline/history.h>
#include <readline/readline.h>

#include "platform/host/control/host_files.h"
#include "tools/common/command_words.h"
#include "tools/common/numbers.h"
#include "tools/common/stop_signals.h"
#include "tools/vtdio/board_commands.h"
#include "tools/vtdio/config_commands.h"
#include "tools/vtdio/device_commands.h"

namespace vtdio {

using vttools::NumberOf;
using vttools::NumberUpTo;
using vttools::SplitCommandLine;

namespace {

// Parses words with app and runs the command they name; usage errors print
// the message and the command's usage.
int ParseAndRun(CLI::App& app, const CommandSet& commands, std::vector<std::string> words,
                std::ostream& out, std::ostream& err)
{
    std::vector<std::string> reversed(words.rbegin(), words.rend());
    try {
        app.parse(reversed);
        int code = EXIT_OK;
        commands.RunParsed(&code);
        return code;
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return EXIT_OK;
    } catch (const CLI::CallForAllHelp&) {
        out << app.help("", CLI::AppFormatMode::All);
        return EXIT_OK;
    } catch (const CLI::Error& e) {
        const std::string message = ParseErrorText(app, e);
        err << "error: " << message << "\n";
        // A whole list of commands helps less than a pointer to it.
        if (message.rfind("unknown command", 0) == 0 && app.get_subcommands().empty()) {
            err << "'help' lists the commands\n";
        } else {
            err << UsageOf(app);
        }
        return EXIT_USAGE;
    }
}

}  // namespace

Session::Session(Context& context) : context_(context)
{
    context_.inSession = true;
}

int Session::Schedule(const std::vector<std::string>& command, unsigned delayMs)
{
    // Device commands open and close devices, which the library allows in
    // one thread at a time: only board commands run in the background.
    if (command[0] != "in" && command[0] != "inport" && command[0] != "pulse") {
        context_.err << "error: after runs in, inport or pulse, not '" << command[0] << "'\n";
        return EXIT_USAGE;
    }
    CLI::App app("Board commands that 'after' can schedule", "after MS");
    app.require_subcommand(1);
    CommandSet commands;
    auto keep =
        AddBoardDrivingCommands(app, commands, context_, [this, delayMs](BoardAction action) {
            scheduler_.After(std::chrono::milliseconds(delayMs),
                             [action](const std::atomic<bool>& cancel) { action(cancel); });
            return EXIT_OK;
        });
    TidyHelp(app);
    return ParseAndRun(app, commands, command, context_.out, context_.err);
}

int Session::Execute(const std::string& line, bool* quit)
{
    std::vector<std::string> words;
    std::string error;
    if (!SplitCommandLine(line, &words, &error)) {
        context_.err << "error: " << error << "\n";
        return EXIT_USAGE;
    }
    if (words.empty()) {
        return EXIT_OK;
    }
    if (dialog_ && dialog_->IsOpen() && !AllowedWhileDialogOpen(words[0])) {
        context_.err << "error: the device setting dialog is open: close it with ok or cancel "
                        "before '"
                     << words[0] << "'\n";
        return EXIT_FAILED;
    }

    CLI::App app("Commands of a vtdio session", "");
    app.require_subcommand(1);
    CommandSet commands;
    auto deviceArgs = AddDeviceCommands(app, commands, context_);
    auto dialogArgs = AddDialogSessionCommands(app, commands, context_, dialog_);
    auto viewArgs = AddBoardViewCommands(app, commands, context_);
    // In the foreground Ctrl-C cancels a long pulse train.
    auto drivingArgs = AddBoardDrivingCommands(app, commands, context_, [this](BoardAction action) {
        return action(context_.interrupted);
    });

    std::string delay;
    CLI::App* after = commands.Add(
        app, "after",
        "after MS COMMAND...: run a board-driving command (in, inport, pulse) MS "
        "milliseconds from now in the background, e.g. while mon waits",
        [&] {
            std::vector<std::string> rest = app.get_subcommand("after")->remaining();
            if (rest.empty()) {
                throw CLI::ValidationError("COMMAND", "a command (in, inport, pulse) is required");
            }
            return Schedule(rest, static_cast<unsigned>(NumberOf(delay)));
        });
    after->add_option("MS", delay, "delay in milliseconds")->required()->check(NumberUpTo(3600000));
    after->prefix_command();

    commands.Add(
        app, "wait", "wait until every scheduled command has run (Ctrl-C ends it)", [this] {
            scheduler_.Drain(context_.interrupted);  // Ctrl-C ends the wait, not the actions
            return EXIT_OK;
        });

    std::string sleepMs;
    commands
        .Add(app, "sleep", "pause for MS milliseconds (Ctrl-C ends it)",
             [&] {
                 const auto end = std::chrono::steady_clock::now() +
                                  std::chrono::milliseconds(NumberOf(sleepMs));
                 while (std::chrono::steady_clock::now() < end && !context_.interrupted.load()) {
                     std::this_thread::sleep_for(std::chrono::milliseconds(10));
                 }
                 return EXIT_OK;
             })
        ->add_option("MS", sleepMs, "milliseconds")
        ->required()
        ->check(NumberUpTo(3600000));

    std::vector<std::string> text;
    commands
        .Add(app, "echo", "print the words given",
             [&] {
                 for (std::size_t i = 0; i < text.size(); ++i) {
                     context_.out << (i != 0 ? " " : "") << text[i];
                 }
                 context_.out << "\n";
                 return EXIT_OK;
             })
        ->add_option("TEXT", text, "words");

    commands.Add(app, "help", "list the commands (COMMAND --help for one command)", [&] {
        context_.out << app.get_formatter()->make_help(&app, "", CLI::AppFormatMode::Normal);
        return EXIT_OK;
    });
    commands.Add(app, "quit", "end the session", [quit] {
        *quit = true;
        return EXIT_OK;
    });
    commands.Add(app, "exit", "end the session", [quit] {
        *quit = true;
        return EXIT_OK;
    });
    TidyHelp(app);
    return ParseAndRun(app, commands, words, context_.out, context_.err);
}

namespace {

// Runs the lines of a script or of a shell without a terminal in one
// session; source names them in messages ("FILE:LINE: ...").
int RunLines(Context& context, std::istream& lines, const std::string& source, bool echo,
             bool keepGoing)
{
    if (!context.ensureTarget()) {
        return EXIT_TARGET;
    }
    Session session(context);
    std::string line;
    int result = EXIT_OK;
    for (unsigned number = 1; !context.interrupted.load() && std::getline(lines, line); ++number) {
        std::vector<std::string> words;
        std::string error;
        if (SplitCommandLine(line, &words, &error) && words.empty()) {
            continue;  // blank or comment
        }
        if (echo) {
            context.out << "> " << line << std::endl;
        }
        bool quit = false;
        const int code = session.Execute(line, &quit);
        context.out.flush();
        if (context.interrupted.load()) {
            context.err << source << ":" << number << ": interrupted by "
                        << vttools::StopSignalName(vttools::LastStopSignal()) << "\n";
            return EXIT_SIGNAL_BASE + vttools::LastStopSignal();
        }
        if (code != EXIT_OK) {
            context.err << source << ":" << number << ": exit code " << code << "\n";
            result = code;
            if (!keepGoing) {
                break;
            }
        }
        if (quit) {
            break;
        }
    }
    if (context.interrupted.load()) {
        // The signal came while a line was being read.
        return EXIT_SIGNAL_BASE + vttools::LastStopSignal();
    }
    return result;
}

// Readline calls this when a signal interrupted its read: SIGTERM and
// SIGHUP end the shell as they end any other command.
int EndReadlineOnSessionEnd()
{
    if (vttools::SessionEndRequested()) {
        rl_done = 1;
    }
    return 0;
}

}  // namespace

int RunScript(Context& context, const std::string& path, bool echo, bool keepGoing)
{
    std::string text, error;
    if (!vtsim::ReadHostFile(path, &text, &error)) {
        context.err << "error: " << error << "\n";
        return EXIT_FILE;
    }
    std::istringstream lines(text);
    return RunLines(context, lines, path, echo, keepGoing);
}

int RunShell(Context& context, bool keepGoing)
{
    if (isatty(STDIN_FILENO) == 0) {
        return RunLines(context, std::cin, "stdin", false, keepGoing);
    }
    if (!context.ensureTarget()) {
        return EXIT_TARGET;
    }
    Session session(context);
    std::string historyFile;
    if (const char* home = std::getenv("HOME")) {
        historyFile = std::string(home) + "/.vtdio_history";
    }
    using_history();
    stifle_history(1000);
    if (!historyFile.empty()) {
        read_history(historyFile.c_str());
    }
    rl_signal_event_hook = EndReadlineOnSessionEnd;
    context.out << "vtdio shell: 'help' lists the commands, 'quit' or Ctrl-D ends.\n";
    int result = EXIT_OK;
    while (!vttools::SessionEndRequested()) {
        char* text = readline("vtdio> ");
        if (text == nullptr) {
            break;
        }
        std::string line = text;
        std::free(text);
        if (vttools::SessionEndRequested()) {
            break;
        }
        if (line.find_first_not_of(" \t") != std::string::npos) {
            add_history(line.c_str());
        }
        context.interrupted.store(false);
        bool quit = false;
        result = session.Execute(line, &quit);
        if (context.interrupted.load()) {
            context.out << "\n";  // after the ^C the terminal echoed
        }
        context.out.flush();
        if (quit) {
            break;
        }
    }
    if (!historyFile.empty()) {
        write_history(historyFile.c_str());
    }
    return vttools::SessionEndRequested() ? EXIT_SIGNAL_BASE + vttools::LastStopSignal() : result;
}

}  // namespace vtdio
