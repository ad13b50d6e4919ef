#include "tools/common/target_options.h"

#include "platform/host/control/locations.h"
#include "tools/common/numbers.h"

namespace vttools {

void AddTargetOptions(CLI::App& app, TargetOptions* options, ScriptCheck scripts)
{
    app.add_option("--machine", options->machineFile,
                   "machine description (TOML) instead of the default machine")
        ->type_name("FILE")
        ->check(ReadableFile());
    CLI::Option* registry =
        app.add_option("--registry", options->registryFiles,
                       "registry scripts to boot from instead of the default ones")
            ->type_name("FILE")
            ->expected(1, -1);
    if (scripts == ScriptCheck::WhenParsed) {
        registry->check(ReadableFile());
    }
    app.add_option("--hive", options->hiveFile,
                   "keep the target's registry in FILE across runs (device numbers stay put)")
        ->type_name("FILE");
    app.add_option("--modules", options->moduleDir,
                   "directory of the driver modules instead of the default one")
        ->type_name("DIR");
    app.add_flag("--debug", options->debug, "echo the driver's debug output on stderr");
    app.footer(DefaultFilesText());
}

std::string DefaultFilesText()
{
    return "Default registry scripts: platform/image/platform.reg and packages/*.reg in " +
           vtsim::DescribeLocation(vtsim::DefaultDataLocation(), vtsim::kDataDirVariable) +
           "\nDriver modules: " +
           vtsim::DescribeLocation(vtsim::DefaultModuleLocation(), vtsim::kModuleDirVariable) +
           "\nSet " + vtsim::kDataDirVariable + " or " + vtsim::kModuleDirVariable +
           " to take them from another folder.";
}

bool BootOptionsOf(const TargetOptions& options, vtsim::BootOptions* boot, std::string* error)
{
    if (!options.machineFile.empty() &&
        !vtsim::MachineDescription::FromTomlFile(options.machineFile, &boot->machine, error)) {
        return false;
    }
    if (options.loopbackEverywhere) {
        for (vtsim::BoardConfig& board : boot->machine.boards) {
            board.loopback = true;
        }
    }
    boot->registryScripts = options.registryFiles;
    boot->hiveFile = options.hiveFile;
    boot->moduleDir = options.moduleDir;
    boot->echoDebug = options.debug;
    return true;
}

}  // namespace vttools
