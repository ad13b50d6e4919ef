#include "tools/vtdio/context.h"

#include <ostream>

#include "library/include/rlx4100.h"
#include "tools/common/stop_signals.h"
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
        if (!context.inSession && context.interrupted.load()) {
            return EXIT_SIGNAL_BASE + vttools::LastStopSignal();  // stopped during the boot
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

}  // namespace vtdio
