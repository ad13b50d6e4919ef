#include "tools/common/command_line.h"

#include <algorithm>
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

namespace {

// The option of that name in command or the commands above it, or null.
const CLI::Option* FindOption(const CLI::App* command, const std::string& name)
{
    for (; command != nullptr; command = command->get_parent()) {
        for (const CLI::Option* option : command->get_options()) {
            if (option->get_name() == name) {
                return option;
            }
        }
    }
    return nullptr;
}

// "--rising can be given once only, not 2 times: <description>" for an
// option of single use given more than once ("--window takes 2 values, not
// 3: ..." when the count is no multiple of its values); "" for any other
// error.
std::string RepeatedOptionText(const CLI::App* innermost, const CLI::Error& error)
{
    if (error.get_name() != "ArgumentMismatch") {
        return {};
    }
    const std::string what = error.what();
    const std::size_t colon = what.find(": At Most ");
    if (colon == std::string::npos) {
        return {};
    }
    const std::string name = what.substr(0, colon);
    const CLI::Option* option = FindOption(innermost, name);
    if (option == nullptr || option->count() == 0) {
        return {};
    }
    const std::size_t values =
        static_cast<std::size_t>(std::max(option->get_items_expected_max(), 1));
    const std::size_t given = option->count();  // values, over every use
    std::string text;
    if (given % values != 0 || given / values < 2) {
        text = name + " takes " + std::to_string(values) + " values, not " + std::to_string(given);
    } else {
        text = name + " can be given once only";
        if (values > 1) {
            text += " (with its " + std::to_string(values) + " values)";
        }
        text += ", not " + std::to_string(given / values) + " times";
    }
    if (!option->get_description().empty()) {
        text += ": " + option->get_description();
    }
    return text;
}

}  // namespace

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
    const std::string repeated = RepeatedOptionText(innermost, error);
    return repeated.empty() ? error.what() : repeated;
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
