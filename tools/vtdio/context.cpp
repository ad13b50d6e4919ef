#include "tools/vtdio/context.h"

#include <cctype>
#include <ostream>

#include "library/include/rlx4100.h"
#include "tools/vtdio/status_text.h"

namespace vtdio {

bool Check(Context& context, const char* operation, LONG status)
{
    if (status == API_SUCCESS) {
        return true;
    }
    context.err << "error: " << operation << ": " << DescribeStatus(status) << "\n";
    return false;
}

int Outcome(Context& context, const char* operation, LONG status)
{
    return Check(context, operation, status) ? EXIT_OK : EXIT_FAILED;
}

bool Property32(Context& context, LONG handle, WORD id, std::uint32_t* value)
{
    DWORD length = sizeof *value;
    std::uint32_t data = 0;
    if (!Check(context, "DeviceGetProperty", DeviceGetProperty(handle, id, &data, &length))) {
        return false;
    }
    *value = data;
    return true;
}

bool PropertyBytes(Context& context, LONG handle, WORD id, std::vector<BYTE>* bytes)
{
    DWORD length = 0;
    if (!Check(context, "DeviceGetProperty", DeviceGetProperty(handle, id, nullptr, &length))) {
        return false;
    }
    bytes->assign(length, 0);
    return Check(context, "DeviceGetProperty",
                 DeviceGetProperty(handle, id, bytes->data(), &length));
}

OpenDevice::OpenDevice(Context& context, std::uint32_t deviceNumber) : number_(deviceNumber)
{
    LONG handle = 0;
    if (Check(context, "DeviceOpen", DeviceOpen(deviceNumber, &handle))) {
        handle_ = handle;
    }
}

OpenDevice::~OpenDevice()
{
    if (handle_ != 0) {
        DeviceClose(&handle_);
    }
}

std::function<int()> Booted(Context& context, std::function<int()> command)
{
    return [&context, command]() {
        if (!context.ensureTarget()) {
            return EXIT_TARGET;
        }
        return command();
    };
}

CLI::App* CommandSet::Add(CLI::App& parent, const std::string& name, const std::string& description,
                          std::function<int()> handler)
{
    CLI::App* command = parent.add_subcommand(name, description);
    handlers_[command] = std::move(handler);
    return command;
}

bool CommandSet::RunParsed(int* exitCode) const
{
    for (const auto& [command, handler] : handlers_) {
        if (command->parsed()) {
            *exitCode = handler();
            return true;
        }
    }
    return false;
}

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

}  // namespace vtdio
