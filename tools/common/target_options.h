// The simulated target as a tool's command line describes it: the options
// every tool takes (--machine, --registry, --hive, --modules, --debug) and
// the boot options they stand for.
#pragma once

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "platform/host/control/target.h"

namespace vttools {

struct TargetOptions {
    std::string machineFile;                 // empty: the default machine
    std::vector<std::string> registryFiles;  // empty: the default scripts
    std::string treeDir;                     // a platform tree to boot from (platform_tree.h)
    std::string hiveFile;                    // empty: no hive kept
    std::string moduleDir;                   // empty: the build's module directory
    bool debug = false;                      // echo the driver's debug output
    bool loopbackEverywhere = false;         // wire DO k to DI k on every board (no option)
};

// When an unreadable registry script is refused: as a bad command line
// (CLI::ValidationError while parsing), or only when the target boots (a
// failed boot).
enum class ScriptCheck { WhenParsed, AtBoot };

// Adds --machine FILE, --registry FILE..., --tree DIR, --hive FILE,
// --modules DIR and --debug to app, storing their values in *options (which must outlive the
// parse). A machine description that cannot be read is refused while
// parsing; registry scripts as scripts says.
void AddTargetOptions(CLI::App& app, TargetOptions* options, ScriptCheck scripts);

// The boot options that options stand for: the machine read from its
// description (the default machine when none is named), wired for loopback
// when asked, the scripts (those of the platform tree when one is named),
// hive, module directory and debug echo. False with *error set ("FILE: what
// is wrong") when the description cannot be read or is invalid, or the tree
// lacks a readable script; *boot is then unspecified.
bool BootOptionsOf(const TargetOptions& options, vtsim::BootOptions* boot, std::string* error);

}  // namespace vttools
