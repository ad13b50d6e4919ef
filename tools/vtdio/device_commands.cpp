#include "tools/vtdio/device_commands.h"

#include <vector>

#include "tools/vtdio/info_commands.h"
#include "tools/vtdio/io_commands.h"
#include "tools/vtdio/monitor.h"
#include "tools/vtdio/register_commands.h"

namespace vtdio {

std::shared_ptr<void> AddDeviceCommands(CLI::App& app, CommandSet& commands, Context& context)
{
    auto monitorArguments = std::make_shared<MonitorArguments>();
    auto held = std::make_shared<std::vector<std::shared_ptr<void>>>();
    held->push_back(AddInfoCommands(app, commands, context));
    held->push_back(AddIoCommands(app, commands, context));
    held->push_back(AddRegisterCommands(app, commands, context));
    AddMonitorCommand(app, commands, context, monitorArguments.get());
    held->push_back(monitorArguments);
    return held;
}

}  // namespace vtdio
