#include "tools/common/target_options.h"

#include "tools/common/numbers.h"
#include "tools/common/platform_tree.h"

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
    app.add_option("--tree", options->treeDir,
                   "boot from the registry scripts of a platform tree (as 'vtcfg init' lays "
                   "it out) instead of the default ones")
        ->type_name("DIR")
        ->excludes(registry);
    app.add_option("--hive", options->hiveFile,
                   "keep the target's registry in FILE across runs (device numbers stay put)")
        ->type_name("FILE");
    app.add_option("--modules", options->moduleDir,
                   "directory of the driver modules instead of the build's")
        ->type_name("DIR");
    app.add_flag("--debug", options->debug, "echo the driver's debug output on stderr");
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
    if (!options.treeDir.empty() && !TreeScripts(options.treeDir, &boot->registryScripts, error)) {
        return false;
    }
    boot->hiveFile = options.hiveFile;
    boot->moduleDir = options.moduleDir;
    boot->echoDebug = options.debug;
    return true;
}

}  // namespace vttools
