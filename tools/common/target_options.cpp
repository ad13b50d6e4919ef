#include "tools/common/target_options.h"

#include "platform/host/control/locations.h"
#include "tools/common/numbers.h"
#include "tools/common/platform_tree.h"

namespace vttools {

void AddTargetOptions(CLI::App& app, TargetOptions* options, FileOptions* files)
{
    files
        ->Add(&app, "--machine", &options->machineFile, FileUse::Read,
              "machine description (TOML) instead of the default machine")
        ->type_name("FILE");
    CLI::Option* registry =
        files
            ->Add(&app, "--registry", &options->registryFiles, FileUse::Read,
                  "registry scripts to boot from instead of the default ones; with a kept "
                  "--hive, imported over it")
            ->type_name("FILE")
            ->expected(1, -1);
    files
        ->Add(&app, "--tree", &options->treeDir, FileUse::Tree,
              "boot from the registry scripts of a platform tree (as 'vtcfg init' lays it out) "
              "instead of the default ones")
        ->type_name("DIR")
        ->excludes(registry);
    files
        ->Add(&app, "--hive", &options->hiveFile, FileUse::Keep,
              "keep the target's registry in FILE across runs (device numbers stay put)")
        ->type_name("FILE");
    files
        ->Add(&app, "--modules", &options->moduleDir, FileUse::Folder,
              "directory of the driver modules instead of the default one")
        ->type_name("DIR");
    files
        ->Add(&app, "--trace", &options->traceFile, FileUse::Write,
              "write every board line, register bit, interrupt line and named event with its "
              "time to FILE as a Value Change Dump (.vcd) at the end")
        ->type_name("FILE");
    files
        ->Add(&app, "--plot", &options->plotFile, FileUse::Write,
              "draw the same signals as a timing diagram to FILE (.png) at the end")
        ->type_name("FILE");
    app.add_flag("--debug", options->debug,
                 "echo the driver's debug output on stderr, each line once as 'driver: ...'");
    app.add_flag("--raw-debug", options->rawDebug,
                 "echo the driver's debug output exactly as it is formatted");
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
    if (!options.treeDir.empty() && !TreeScripts(options.treeDir, &boot->registryScripts, error)) {
        return false;
    }
    boot->hiveFile = options.hiveFile;
    boot->moduleDir = options.moduleDir;
    boot->echoDebug = options.debug || options.rawDebug;
    boot->debugEchoStyle =
        options.rawDebug ? vtsim::DebugEchoStyle::Raw : vtsim::DebugEchoStyle::Lines;
    return true;
}

}  // namespace vttools
