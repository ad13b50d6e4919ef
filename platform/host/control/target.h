// Booting and shutting down the simulated target, and reaching its parts.
//
// One target per process: the platform's services are process-wide. The
// kernel and registry services work without a booted target (tests of them
// need no boards); boot adds the machine, enumerates the PCI bus and loads
// the drivers.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/host/control/board.h"
#include "platform/host/control/diagnostics.h"
#include "platform/host/control/machine.h"

namespace vtsim {

// The points of a boot at which BootOptions::registryStage is called.
enum class RegistryStage {
    HiveLoaded,       // the kept hive is loaded, the scripts not yet imported
    ScriptsImported,  // every registry script is imported
};

struct BootOptions {
    MachineDescription machine = MachineDescription::Default();
    // Registry scripts imported at boot, in order. Empty: the platform
    // image's base script and the board package's scripts (packages/*.reg)
    // from the default data folder (see locations.h) when no hive is loaded,
    // nothing over a loaded hive.
    std::vector<std::string> registryScripts;
    // When set, the hive is loaded from this file at boot when it exists
    // (the registry scripts named above are then imported over it) and
    // saved to it at shutdown.
    std::string hiveFile;
    // When set, called in the booting thread with the registry as it stands
    // at each stage: HiveLoaded only when a kept hive was loaded,
    // ScriptsImported always (also when no script was imported), both
    // before the boards are installed and the drivers load. It may read and
    // change the registry through the registry services. Not called for a
    // stage the boot did not reach (a hive or script that failed).
    std::function<void(RegistryStage)> registryStage;
    // Echo the debug output on stderr from the start of the boot on, in
    // this style (see SetDebugEcho).
    bool echoDebug = false;
    DebugEchoStyle debugEchoStyle = DebugEchoStyle::Lines;
    // Where driver modules are looked up ("Rlx4100S.dll" -> dir/Rlx4100S.so).
    // Empty: the default module folder (see locations.h).
    std::string moduleDir;
    bool loadDrivers = true;
};

// Starts from an empty hive, loads the hive file (when it exists) or imports
// the scripts, installs the machine's boards, enumerates the PCI bus and
// loads a driver per matched board (in template Order). A driver that does
// not load or start leaves no device (see DriverLoadFailures) and does not
// fail the boot. Fails (false, *error set, nothing left behind) when already
// booted, a script or the hive cannot be read, or the machine is invalid.
bool Boot(const BootOptions& options, std::string* error);
// Unloads every driver (Deinit), saves the hive when one is kept, removes the
// boards and resets the registry. Returns false when the hive could not be
// saved (the target is shut down all the same, the file left as it was):
// the reason goes to *error, or to stderr when error is null.
bool Shutdown(std::string* error = nullptr);
bool IsBooted();

std::vector<Board*> Boards();

struct LoadedDevice {
    std::u16string name;       // "VTD1:"
    std::u16string dll;        // "Rlx4100S.dll"
    std::u16string activeKey;  // "Drivers\\Active\\01"
    std::u16string deviceKey;  // "Drivers\\BuiltIn\\PCI\\Instance\\Rlx4100S1"
};
std::vector<LoadedDevice> Devices();

// Why each enumerated board of the last boot has no device (module missing,
// entry point missing, Init returned 0, ...), one line per board.
std::vector<std::string> DriverLoadFailures();

// The default registry scripts that Boot imports when none are given: the
// data folder's platform/image/platform.reg, then its packages/*.reg in name
// order (see locations.h for which folder).
std::vector<std::string> DefaultRegistryScripts();

}  // namespace vtsim
