// The device manager: loads one driver module per enumerated board, names the
// device, writes its active key, calls the driver's Init, and at unload undoes
// all of it in reverse order. Modules, active keys and names have files of
// their own (driver_modules, active_keys, device_names).
#include "platform/host/devices/device_manager.h"

#include <algorithm>
#include <utility>

#include "platform/host/devices/active_keys.h"
#include "platform/host/devices/device_names.h"
#include "platform/host/devices/driver_modules.h"
#include "platform/host/kernel/short_lock.h"
#include "platform/host/kernel/strings.h"
#include "platform/host/registry/value_text.h"

namespace vtsim::internal {

// ---- Call gate -------------------------------------------------------------------

bool CallGate::Enter()
{
    inFlight_.fetch_add(1);
    if (shut_.load()) {
        Leave();
        return false;
    }
    return true;
}

void CallGate::Leave()
{
    inFlight_.fetch_sub(1);
}

void CallGate::Shut()
{
    shut_.store(true);
    // Calls in flight are short (a control request, an open); while a long
    // one lasts, this wait naps instead of keeping a processor busy.
    BackOffUntil([this] { return inFlight_.load() == 0; });
}

// ---- Device ----------------------------------------------------------------------

void StreamDevice::AddFile(const std::shared_ptr<OpenDeviceFile>& file)
{
    std::lock_guard<std::mutex> lock(filesMutex_);
    files_.push_back(file);
}

void StreamDevice::RemoveFile(const OpenDeviceFile* file)
{
    std::lock_guard<std::mutex> lock(filesMutex_);
    std::erase_if(files_, [file](const auto& f) { return f.get() == file; });
}

std::vector<std::shared_ptr<OpenDeviceFile>> StreamDevice::TakeFiles()
{
    std::lock_guard<std::mutex> lock(filesMutex_);
    return std::exchange(files_, {});
}

// ---- Loading and unloading -------------------------------------------------------

namespace {

struct Manager {
    // Serialises loading and unloading (Boot and Shutdown).
    std::mutex loadMutex;
    // Guards the tables below; never held across a call into a driver.
    std::mutex tableMutex;
    std::vector<std::shared_ptr<StreamDevice>> devices;  // load order
    std::vector<std::string> failures;
    // Guarded by loadMutex.
    ModuleTable modules;
    std::vector<std::shared_ptr<DriverModule>> keptModules;  // Deinit failed: never released
    DWORD nextHnd = 1;
};

Manager& TheManager()
{
    static Manager* manager = new Manager;  // outlives static destructors of users
    return *manager;
}

void LoadOne(Manager& m, const DriverBinding& binding, const std::string& moduleDir)
{
    const std::string label = NarrowAscii(binding.dll) + " for " + NarrowAscii(binding.deviceKey);
    auto fail = [&](const std::string& why) {
        std::lock_guard<std::mutex> lock(m.tableMutex);
        m.failures.push_back(label + ": " + why);
    };
    if (binding.prefix.empty()) {
        fail("the template names no Prefix");
        return;
    }
    std::string path = ModulePathFor(binding.dll, moduleDir);
    if (path.empty()) {
        fail("not a module file name");
        return;
    }
    std::string error;
    auto module = m.modules.Acquire(path, &error);
    if (!module) {
        fail(error);
        return;
    }
    auto device = std::make_shared<StreamDevice>();
    std::string missing;
    if (!ResolveEntryPoints(module->handle, NarrowAscii(binding.prefix), &device->entry,
                            &missing)) {
        m.modules.Release(module);
        fail("the module has no " + missing);
        return;
    }
    device->module = module;
    device->info.dll = binding.dll;
    device->info.deviceKey = binding.deviceKey;
    {
        std::lock_guard<std::mutex> lock(m.tableMutex);
        std::vector<std::u16string> taken;
        for (const auto& loaded : m.devices) {
            taken.push_back(loaded->info.name);
        }
        device->info.name = FreeDeviceName(binding.prefix, taken);
    }
    device->info.activeKey =
        WriteActiveKey(binding.deviceKey, device->info.name, m.nextHnd, &error);
    if (device->info.activeKey.empty()) {
        m.modules.Release(module);
        fail(error);
        return;
    }
    ++m.nextHnd;
    device->deviceContext = device->entry.init(device->info.activeKey.c_str(), 0);
    if (device->deviceContext == 0) {
        DeleteActiveKey(device->info.activeKey);
        m.modules.Release(module);
        fail("Init returned 0");
        return;
    }
    std::lock_guard<std::mutex> lock(m.tableMutex);
    m.devices.push_back(std::move(device));
}

}  // namespace

void LoadDrivers(const std::vector<DriverBinding>& bindings, const std::string& moduleDir)
{
    Manager& m = TheManager();
    std::lock_guard<std::mutex> load(m.loadMutex);
    bool fresh = false;
    {
        std::lock_guard<std::mutex> lock(m.tableMutex);
        m.failures.clear();
        fresh = m.devices.empty();
    }
    if (fresh) {
        ClearActiveKeys();
    }
    std::vector<DriverBinding> ordered = bindings;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const auto& a, const auto& b) { return a.order < b.order; });
    for (const auto& binding : ordered) {
        LoadOne(m, binding, moduleDir);
    }
}

void UnloadDrivers()
{
    Manager& m = TheManager();
    std::lock_guard<std::mutex> load(m.loadMutex);
    std::vector<std::shared_ptr<StreamDevice>> devices;
    {
        std::lock_guard<std::mutex> lock(m.tableMutex);
        devices.swap(m.devices);
    }
    for (auto it = devices.rbegin(); it != devices.rend(); ++it) {
        StreamDevice& device = **it;
        device.gate.Shut();  // no new opens; opens and closes in flight are done
        for (auto& file : device.TakeFiles()) {
            file->CloseForUnload();
        }
        const BOOL stopped = device.entry.deinit(device.deviceContext);
        DeleteActiveKey(device.info.activeKey);
        if (stopped) {
            m.modules.Release(device.module);
        } else {
            // The driver could not stop everything it runs: its code stays
            // mapped for as long as the process lives.
            m.keptModules.push_back(device.module);
        }
        device.module.reset();
    }
}

std::shared_ptr<StreamDevice> FindDevice(const std::u16string& name)
{
    Manager& m = TheManager();
    std::lock_guard<std::mutex> lock(m.tableMutex);
    for (const auto& device : m.devices) {
        if (NamesEqual(device->info.name, name)) {
            return device;
        }
    }
    return nullptr;
}

std::vector<LoadedDevice> LoadedDevices()
{
    Manager& m = TheManager();
    std::lock_guard<std::mutex> lock(m.tableMutex);
    std::vector<LoadedDevice> out;
    for (const auto& device : m.devices) {
        out.push_back(device->info);
    }
    return out;
}

std::vector<std::string> DriverLoadFailures()
{
    Manager& m = TheManager();
    std::lock_guard<std::mutex> lock(m.tableMutex);
    return m.failures;
}

}  // namespace vtsim::internal
