// The device manager: loads one driver module per enumerated board, writes
// the board's active key, calls the driver's Init, names the device, and at
// unload undoes all of it in reverse order.
#include "platform/host/devices/device_manager.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "platform/host/kernel/modules.h"
#include "platform/host/registry/hive.h"
#include "platform/host/registry/value_text.h"
#include "platform/registry.h"

#ifndef VT_MODULE_DIR
#define VT_MODULE_DIR "."
#endif

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
    if (inFlight_.fetch_sub(1) == 1 && shut_.load()) {
        std::lock_guard<std::mutex> lock(mutex_);
        drained_.notify_all();
    }
}

void CallGate::Shut()
{
    shut_.store(true);
    std::unique_lock<std::mutex> lock(mutex_);
    drained_.wait(lock, [this] { return inFlight_.load() == 0; });
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

std::vector<std::shared_ptr<OpenDeviceFile>> StreamDevice::Files()
{
    std::lock_guard<std::mutex> lock(filesMutex_);
    return files_;
}

// ---- Modules ---------------------------------------------------------------------

// A dlopen'ed driver module, shared by the devices that use it. Its module
// startup code has the loader table call DllMain: one process attach at the
// first load and one detach at the last release (dlclose), as a module
// loaded several times by name would see.
struct DriverModule {
    std::string path;
    void* handle = nullptr;
    int users = 0;
};

namespace {

bool EqualNoCase(const std::u16string& a, const std::u16string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i], y = b[i];
        if (x >= u'A' && x <= u'Z')
            x = static_cast<char16_t>(x - u'A' + u'a');
        if (y >= u'A' && y <= u'Z')
            y = static_cast<char16_t>(y - u'A' + u'a');
        if (x != y)
            return false;
    }
    return true;
}

struct Manager {
    // Serialises loading and unloading (Boot and Shutdown).
    std::mutex loadMutex;
    // Guards the tables below; never held across a call into a driver.
    std::mutex tableMutex;
    std::vector<std::shared_ptr<StreamDevice>> devices;  // load order
    std::vector<std::string> failures;
    // Modules by path; guarded by loadMutex.
    std::map<std::string, std::shared_ptr<DriverModule>> modules;
    DWORD nextHnd = 1;
};

Manager& TheManager()
{
    static Manager* manager = new Manager;  // outlives static destructors of users
    return *manager;
}

std::shared_ptr<DriverModule> AcquireModule(Manager& m, const std::string& path, std::string* error)
{
    auto found = m.modules.find(path);
    if (found != m.modules.end()) {
        ++found->second->users;
        return found->second;
    }
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        *error = why ? std::string(why) : "cannot load " + path;
        return nullptr;
    }
    switch (StateOfLoadedModule(handle)) {
    case ModuleState::Attached:
        break;
    case ModuleState::Refused:
        dlclose(handle);
        *error = path + ": DllMain refused the process attach";
        return nullptr;
    case ModuleState::Unknown:
        dlclose(handle);
        *error = path + ": not a module of this platform (no module startup code linked)";
        return nullptr;
    }
    auto module = std::make_shared<DriverModule>();
    module->path = path;
    module->handle = handle;
    module->users = 1;
    m.modules.emplace(path, module);
    return module;
}

void ReleaseModule(Manager& m, const std::shared_ptr<DriverModule>& module)
{
    if (!module || --module->users > 0)
        return;
    dlclose(module->handle);  // the loader table calls DllMain's detach
    m.modules.erase(module->path);
}

template <class F>
bool Resolve(void* handle, const std::string& prefix, const char* name, F* out)
{
    std::string symbol = prefix + "_" + name;
    *out = reinterpret_cast<F>(dlsym(handle, symbol.c_str()));
    return *out != nullptr;
}

bool ResolveEntryPoints(void* handle, const std::string& prefix, StreamEntryPoints* entry,
                        std::string* missing)
{
    const char* absent = nullptr;
    if (!Resolve(handle, prefix, "Init", &entry->init))
        absent = "Init";
    else if (!Resolve(handle, prefix, "Deinit", &entry->deinit))
        absent = "Deinit";
    else if (!Resolve(handle, prefix, "Open", &entry->open))
        absent = "Open";
    else if (!Resolve(handle, prefix, "Close", &entry->close))
        absent = "Close";
    else if (!Resolve(handle, prefix, "IOControl", &entry->ioControl))
        absent = "IOControl";
    if (absent) {
        *missing = prefix + "_" + absent;
        return false;
    }
    Resolve(handle, prefix, "Read", &entry->read);
    Resolve(handle, prefix, "Write", &entry->write);
    Resolve(handle, prefix, "Seek", &entry->seek);
    Resolve(handle, prefix, "PowerUp", &entry->powerUp);
    Resolve(handle, prefix, "PowerDown", &entry->powerDown);
    return true;
}

// Lowest index from 1 that no loaded device of this prefix uses.
unsigned FreeDeviceIndex(Manager& m, const std::u16string& prefix)
{
    std::lock_guard<std::mutex> lock(m.tableMutex);
    for (unsigned index = 1;; ++index) {
        std::u16string name = prefix + WidenAscii(std::to_string(index)) + u":";
        bool used = std::any_of(m.devices.begin(), m.devices.end(),
                                [&](const auto& d) { return EqualNoCase(d->info.name, name); });
        if (!used)
            return index;
    }
}

constexpr const char16_t* kActiveRoot = u"Drivers\\Active";

bool KeyExists(const std::u16string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// Removes every active key: they describe the devices of an earlier run
// (a hive saved while drivers were loaded).
void ClearActiveKeys()
{
    std::vector<std::u16string_view> elements;
    registry::SplitKeyPath(kActiveRoot, &elements);
    std::lock_guard<std::mutex> lock(registry::HiveMutex());
    if (auto active = registry::FindPath(registry::HiveRoot(), elements))
        active->subkeys.clear();
}

// Removes an active key (a leaf that only the device manager writes).
void DeleteActiveKey(const std::u16string& path)
{
    std::vector<std::u16string_view> elements;
    if (!registry::SplitKeyPath(path, &elements) || elements.empty())
        return;
    std::u16string_view leaf = elements.back();
    elements.pop_back();
    std::lock_guard<std::mutex> lock(registry::HiveMutex());
    auto parent = registry::FindPath(registry::HiveRoot(), elements);
    if (parent)
        std::erase_if(parent->subkeys,
                      [leaf](const auto& key) { return registry::NamesEqual(key->name, leaf); });
}

LONG SetString(HKEY key, const char16_t* name, const std::u16string& value)
{
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(char16_t)));
}

// Creates HKLM\Drivers\Active\NN (the lowest free NN from 01) with Key, Name
// and Hnd. Returns the path relative to HKLM, or an empty string on failure
// (nothing is left behind then).
std::u16string WriteActiveKey(const std::u16string& deviceKey, const std::u16string& name,
                              DWORD hnd, std::string* error)
{
    std::u16string path;
    for (unsigned n = 1; n < 10000; ++n) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%02u", n);
        std::u16string candidate = std::u16string(kActiveRoot) + u"\\" + WidenAscii(digits);
        if (!KeyExists(candidate)) {
            path = candidate;
            break;
        }
    }
    HKEY key = nullptr;
    DWORD disposition = 0;
    LONG status = path.empty() ? ERROR_NO_MORE_ITEMS
                               : RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &key, &disposition);
    if (status == ERROR_SUCCESS) {
        status = SetString(key, u"Key", deviceKey);
        if (status == ERROR_SUCCESS && !name.empty())
            status = SetString(key, u"Name", name);
        if (status == ERROR_SUCCESS)
            status = RegSetValueExW(key, u"Hnd", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&hnd),
                                    sizeof hnd);
        RegCloseKey(key);
        if (status != ERROR_SUCCESS)
            DeleteActiveKey(path);
    }
    if (status != ERROR_SUCCESS) {
        *error = "cannot write the active key (error " + std::to_string(status) + ")";
        return {};
    }
    return path;
}

void LoadOne(Manager& m, const DriverBinding& binding, const std::string& moduleDir)
{
    const std::string label =
        NarrowAscii(binding.dll) + " for " + NarrowAscii(binding.deviceKey);
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
    auto module = AcquireModule(m, path, &error);
    if (!module) {
        fail(error);
        return;
    }
    auto device = std::make_shared<StreamDevice>();
    std::string missing;
    if (!ResolveEntryPoints(module->handle, NarrowAscii(binding.prefix), &device->entry,
                            &missing)) {
        ReleaseModule(m, module);
        fail("the module has no " + missing);
        return;
    }
    device->module = module;
    device->info.dll = binding.dll;
    device->info.deviceKey = binding.deviceKey;
    device->info.name =
        binding.prefix + WidenAscii(std::to_string(FreeDeviceIndex(m, binding.prefix))) + u":";
    device->info.activeKey = WriteActiveKey(binding.deviceKey, device->info.name, m.nextHnd, &error);
    if (device->info.activeKey.empty()) {
        ReleaseModule(m, module);
        fail(error);
        return;
    }
    ++m.nextHnd;
    device->deviceContext = device->entry.init(device->info.activeKey.c_str(), 0);
    if (device->deviceContext == 0) {
        DeleteActiveKey(device->info.activeKey);
        ReleaseModule(m, module);
        fail("Init returned 0");
        return;
    }
    std::lock_guard<std::mutex> lock(m.tableMutex);
    m.devices.push_back(std::move(device));
}

}  // namespace

std::string ModulePathFor(const std::u16string& dll, const std::string& moduleDir)
{
    if (dll.empty() || dll.find_first_of(u"/\\") != std::u16string::npos)
        return {};
    std::string name = NarrowAscii(dll);
    if (name.size() > 4 && EqualNoCase(dll.substr(dll.size() - 4), u".dll"))
        name.resize(name.size() - 4);
    if (name.empty() || name == "." || name == "..")
        return {};
    std::string dir = moduleDir.empty() ? std::string(VT_MODULE_DIR) : moduleDir;
    return dir + "/" + name + ".so";
}

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
    if (fresh)
        ClearActiveKeys();
    std::vector<DriverBinding> ordered = bindings;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const auto& a, const auto& b) { return a.order < b.order; });
    for (const auto& binding : ordered)
        LoadOne(m, binding, moduleDir);
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
        for (auto& file : device.Files())
            file->CloseForUnload();
        device.entry.deinit(device.deviceContext);
        DeleteActiveKey(device.info.activeKey);
        ReleaseModule(m, device.module);
        device.module.reset();
    }
}

std::shared_ptr<StreamDevice> FindDevice(const std::u16string& name)
{
    Manager& m = TheManager();
    std::lock_guard<std::mutex> lock(m.tableMutex);
    for (const auto& device : m.devices)
        if (EqualNoCase(device->info.name, name))
            return device;
    return nullptr;
}

std::vector<LoadedDevice> LoadedDevices()
{
    Manager& m = TheManager();
    std::lock_guard<std::mutex> lock(m.tableMutex);
    std::vector<LoadedDevice> out;
    for (const auto& device : m.devices)
        out.push_back(device->info);
    return out;
}

std::vector<std::string> DriverLoadFailures()
{
    Manager& m = TheManager();
    std::lock_guard<std::mutex> lock(m.tableMutex);
    return m.failures;
}

}  // namespace vtsim::internal
