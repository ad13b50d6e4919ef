// Internal to the device manager: driver modules (the shared objects that
// stand in for the target's driver libraries), their file names and their
// stream entry points.
#pragma once

#include "platform/host/internal_header.h"

#include <map>
#include <memory>
#include <string>

#include "platform/host/devices/device_manager.h"

namespace vtsim::internal {

// A dlopen'ed driver module, shared by the devices that use it. Its module
// startup code has the loader table call DllMain: one process attach at the
// first load and one detach at the last release (dlclose), as a module
// loaded several times by name would see.
struct DriverModule {
    std::string path;
    void* handle = nullptr;
    int users = 0;
};

// The loaded driver modules, by path. Not thread-safe: the device manager
// uses it only while it holds its load lock.
class ModuleTable {
public:
    // The module at path with one more user: loaded for its first user (its
    // startup code runs DllMain's process attach). nullptr with the reason in
    // *error when it does not load, has no module startup code, or DllMain
    // refuses the attach (it is then closed again and nothing is kept).
    std::shared_ptr<DriverModule> Acquire(const std::string& path, std::string* error);
    // Drops one user of module; the last one closes the module (its startup
    // code runs DllMain's process detach). nullptr is accepted and ignored.
    void Release(const std::shared_ptr<DriverModule>& module);

private:
    std::map<std::string, std::shared_ptr<DriverModule>> modules_;
};

// The shared object path for a module name: "X.dll" -> "<dir>/X.so" (the
// ".dll" matched without regard to case; "X" alone -> "<dir>/X.so"). Empty
// when the name is empty, "." or "..", or holds a path separator. moduleDir
// empty: the default module folder (locations.h).
std::string ModulePathFor(const std::u16string& dll, const std::string& moduleDir);

// Finds <prefix>_Init, _Deinit, _Open, _Close and _IOControl (required) and
// _Read, _Write, _Seek, _PowerUp and _PowerDown (optional) in the module.
// False with the first missing required symbol's name in *missing.
bool ResolveEntryPoints(void* handle, const std::string& prefix, StreamEntryPoints* entry,
                        std::string* missing);

}  // namespace vtsim::internal
