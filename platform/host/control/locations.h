// Where the simulated target takes its default files from: the registry
// scripts it boots from (the platform image's platform/image/platform.reg and
// the board package's packages/*.reg, under one data folder) and the driver
// modules that its device manager loads ("Rlx4100S.dll" -> DIR/Rlx4100S.so).
//
// Each folder is chosen once per process, in this order:
//   1. the environment: VT_DATA_DIR, VT_MODULE_DIR (when set and not empty);
//   2. the build tree, when the platform library is the one the build made:
//      the source folder for data and the build's module folder;
//   3. the installed layout, relative to the folder that the platform library
//      was loaded from (LIBDIR): LIBDIR/../share/rlx4100 for data (with the
//      same relative paths as in the source folder, and the default machine
//      description default_machine.toml) and LIBDIR/rlx4100/modules for
//      modules, whatever the installation prefix.
// A folder found this way is not checked for existence: a missing file is
// reported, with its path, by whatever opens it. Safe from any thread.
#pragma once

#include <string>

namespace vtsim {

enum class LocationOrigin {
    Environment,  // named by an environment variable
    BuildTree,    // the build tree's sources and modules
    Installed,    // next to the installed platform library
};

struct Location {
    std::string dir;  // absolute unless the environment gave a relative one
    LocationOrigin origin;
};

// The folder of the default registry scripts (and, when installed, of the
// default machine description).
Location DefaultDataLocation();
// The folder of the driver modules used when a boot names none.
Location DefaultModuleLocation();

// "VT_DATA_DIR", "VT_MODULE_DIR": the variables that override the two.
inline constexpr const char* kDataDirVariable = "VT_DATA_DIR";
inline constexpr const char* kModuleDirVariable = "VT_MODULE_DIR";

// One line for people: "DIR (build tree)", "DIR (installed)" or
// "DIR (from VT_DATA_DIR)".
std::string DescribeLocation(const Location& location, const char* variable);

}  // namespace vtsim
