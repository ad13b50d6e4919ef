// The simulated target as a tool's command line describes it: the options
// every tool takes before its command (--machine, --registry, --hive,
// --modules, --trace, --plot, --debug, --raw-debug) and the boot options
// they stand for.
#pragma once

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "platform/host/control/target.h"
#include "tools/common/file_options.h"

namespace vttools {

struct TargetOptions {
    std::string machineFile;                 // empty: the default machine
    std::vector<std::string> registryFiles;  // empty: the default scripts (none over a hive)
    std::string treeDir;                     // a platform tree to boot from (platform_tree.h)
    std::string hiveFile;                    // empty: no hive kept
    std::string moduleDir;                   // empty: the default module folder
    std::string traceFile;                   // empty: no signal trace written
    std::string plotFile;                    // empty: no timing diagram drawn
    bool debug = false;                      // echo the driver's debug output
    bool rawDebug = false;                   // ... each entry exactly as the driver formatted it
    bool loopbackEverywhere = false;         // wire DO k to DI k on every board (no option)
};

// Adds the options to app, storing their values in *options (which must
// outlive the parse); the options that name files are added through files,
// which checks them (FileOptions::Check) before the tool boots.
void AddTargetOptions(CLI::App& app, TargetOptions* options, FileOptions* files);

// For --help: where the default registry scripts and the driver modules are
// taken from, and the environment variables that choose other folders.
std::string DefaultFilesText();

// The boot options that options stand for: the machine read from its
// description (the default machine when none is named), wired for loopback
// when asked, the scripts (those of the platform tree when one is named),
// hive, module directory and debug echo. False with *error set ("FILE: what
// is wrong") when the description cannot be read or is invalid, or the tree
// lacks a readable script; *boot is then unspecified.
bool BootOptionsOf(const TargetOptions& options, vtsim::BootOptions* boot, std::string* error);

}  // namespace vttools
