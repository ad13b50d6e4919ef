#include "tools/common/command_line.h"

#include <cctype>
#include <iostream>

#include "tools/common/exit_codes.h"

namespace vttools {

void TidyHelp(CLI::App& app)
{
    for (CLI::Option* option : app.get_options()) {
        if (option->get_expected_max() == 0 || option->get_type_name() != "TEXT") {
            continue;  // a flag, or a value already named
        }
        std::string placeholder;
        if (!option->get_lnames().empty()) {
            for (char c : option->get_lnames().front()) {
                placeholder += c == '-' ? '_' : static_cast<char>(std::toupper(c));
            }
        }
        option->type_name(placeholder);
    }
    for (CLI::App* sub : app.get_subcommands([](CLI::App*) { return true; })) {
        TidyHelp(*sub);
    }
}

std::string ParseErrorText(const CLI::App& app, const CLI::Error& error)
{
    const CLI::App* innermost = &app;
    while (!innermost->get_subcommands().empty()) {
        innermost = innermost->get_subcommands().front();
    }
    const std::vector<std::string> extra = app.remaining(true);
    if (error.get_name() == "RequiredError" && innermost->get_require_subcommand_min() > 0 &&
        innermost->get_subcommands().empty() && !extra.empty()) {
        return "unknown command '" + extra.front() + "'";
    }
    return error.what();
}

std::string UsageOf(const CLI::App& app)
{
    // help() follows the subcommands that were given down to the innermost.
    return app.help();
}

std::string ExitCodesHelp()
{
    return "Exit codes: 0 done, 1 refused by the library or the target (reason printed), "
           "2 bad arguments, 3 the target did not boot, 4 a file cannot be read or written "
           "(named with the reason), 128+N stopped by signal N.";
}

std::optional<int> ParseToolCommandLine(CLI::App& app, FileOptions& files, int argc, char** argv)
{
    try {
        app.parse(argc, argv);
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
        return EXIT_USAGE;
    }
    std::string error;
    if (!files.Check(&error)) {
        std::cerr << "error: " << error << "\n";
        return EXIT_FILE;
    }
    return std::nullopt;
}

}  // namespace vttools
