// Booting and shutting down the simulated target: registry, boards, bus
// enumeration and drivers, in that order, undone in reverse.
#include "platform/host/control/target.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <mutex>

#include "platform/host/control/diagnostics.h"
#include "platform/host/control/host_files.h"
#include "platform/host/control/locations.h"
#include "platform/host/control/registry_control.h"
#include "platform/host/devices/device_manager.h"
#include "platform/host/hardware/pci_bus.h"

namespace vtsim {

namespace {

struct TargetState {
    std::mutex mutex;  // serialises Boot and Shutdown
    bool booted = false;
    std::string hiveFile;
};

TargetState& State()
{
    static TargetState* state = new TargetState;
    return *state;
}

bool LoadRegistry(const BootOptions& options, std::string* error)
{
    std::vector<std::string> scripts = options.registryScripts;
    std::error_code ec;
    // A name that is there in any form counts as a hive to load, so that a
    // directory or a device is refused by the load instead of replaced; a
    // link to nothing yet is a hive still to be made.
    const bool hiveKept = !options.hiveFile.empty() &&
                          std::filesystem::status(options.hiveFile, ec).type() !=
                              std::filesystem::file_type::not_found &&
                          !ec;
    if (hiveKept) {
        if (!LoadHive(options.hiveFile, error)) {
            return false;
        }
        if (options.registryStage) {
            options.registryStage(RegistryStage::HiveLoaded);
        }
    } else if (!options.hiveFile.empty() && ec && ec != std::errc::no_such_file_or_directory) {
        *error = options.hiveFile + ": " + HostErrorText(ec.value());
        return false;
    } else if (scripts.empty()) {
        scripts = DefaultRegistryScripts();
    }
    for (const auto& script : scripts) {
        if (!ImportRegistryScriptFile(script, error)) {
            return false;
        }
    }
    if (options.registryStage) {
        options.registryStage(RegistryStage::ScriptsImported);
    }
    return true;
}

}  // namespace

std::vector<std::string> DefaultRegistryScripts()
{
    namespace fs = std::filesystem;
    const fs::path data(DefaultDataLocation().dir);
    std::vector<std::string> scripts{(data / "platform" / "image" / "platform.reg").string()};
    std::vector<std::string> packages;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(data / "packages", ec)) {
        if (entry.is_regular_file() && entry.path().extension() == ".reg") {
            packages.push_back(entry.path().string());
        }
    }
    std::sort(packages.begin(), packages.end());
    scripts.insert(scripts.end(), packages.begin(), packages.end());
    return scripts;
}

bool Boot(const BootOptions& options, std::string* error)
{
    std::string ignored;
    if (!error) {
        error = &ignored;
    }
    TargetState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (state.booted) {
        *error = "the target is already booted";
        return false;
    }
    // Echo from the start, so that the drivers' start-up lines show too.
    SetDebugEcho(options.echoDebug, options.debugEchoStyle);
    ResetRegistry();
    if (!LoadRegistry(options, error)) {
        ResetRegistry();
        SetDebugEcho(false);
        return false;
    }
    std::vector<internal::EnumeratedDevice> enumerated;
    if (!internal::InstallBoards(options.machine, error) ||
        !internal::EnumeratePciBus(&enumerated, error)) {
        internal::RemoveBoards();
        ResetRegistry();
        SetDebugEcho(false);
        return false;
    }
    if (options.loadDrivers) {
        std::vector<internal::DriverBinding> bindings;
        for (const auto& device : enumerated) {
            bindings.push_back({device.instanceKey, device.dll, device.prefix, device.order});
        }
        internal::LoadDrivers(bindings, options.moduleDir);
    }
    state.hiveFile = options.hiveFile;
    state.booted = true;
    return true;
}

bool Shutdown(std::string* error)
{
    TargetState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (!state.booted) {
        return true;
    }
    internal::UnloadDrivers();
    bool saved = true;
    if (!state.hiveFile.empty()) {
        std::string failure;
        saved = SaveHive(state.hiveFile, &failure);
        if (!saved && error != nullptr) {
            *error = failure;
        } else if (!saved) {
            std::fprintf(stderr, "vtsim: the hive was not saved: %s\n", failure.c_str());
        }
    }
    internal::RemoveBoards();
    ResetRegistry();
    SetDebugEcho(false);
    state.hiveFile.clear();
    state.booted = false;
    return saved;
}

bool IsBooted()
{
    TargetState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.booted;
}

std::vector<Board*> Boards()
{
    return internal::InstalledBoards();
}

std::vector<LoadedDevice> Devices()
{
    return internal::LoadedDevices();
}

std::vector<std::string> DriverLoadFailures()
{
    return internal::DriverLoadFailures();
}

}  // namespace vtsim
