// Driver modules: module file names, loading (the module's startup code has
// the loader table call DllMain) and the stream entry points.
#include "platform/host/devices/driver_modules.h"

#include <dlfcn.h>

#include "platform/host/control/locations.h"
#include "platform/host/kernel/modules.h"
#include "platform/host/kernel/strings.h"
#include "platform/host/registry/value_text.h"

namespace vtsim::internal {

std::shared_ptr<DriverModule> ModuleTable::Acquire(const std::string& path, std::string* error)
{
    auto found = modules_.find(path);
    if (found != modules_.end()) {
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
    modules_.emplace(path, module);
    return module;
}

void ModuleTable::Release(const std::shared_ptr<DriverModule>& module)
{
    if (!module || --module->users > 0) {
        return;
    }
    dlclose(module->handle);  // the loader table calls DllMain's detach
    modules_.erase(module->path);
}

std::string ModulePathFor(const std::u16string& dll, const std::string& moduleDir)
{
    if (dll.empty() || dll.find_first_of(u"/\\") != std::u16string::npos) {
        return {};
    }
    std::string name = NarrowAscii(dll);
    if (name.size() > 4 && NamesEqual(std::u16string_view(dll).substr(dll.size() - 4), u".dll")) {
        name.resize(name.size() - 4);
    }
    if (name.empty() || name == "." || name == "..") {
        return {};
    }
    const std::string dir = moduleDir.empty() ? DefaultModuleLocation().dir : moduleDir;
    return dir + "/" + name + ".so";
}

namespace {

template <class F>
bool Resolve(void* handle, const std::string& prefix, const char* name, F* out)
{
    std::string symbol = prefix + "_" + name;
    *out = reinterpret_cast<F>(dlsym(handle, symbol.c_str()));
    return *out != nullptr;
}

}  // namespace

bool ResolveEntryPoints(void* handle, const std::string& prefix, StreamEntryPoints* entry,
                        std::string* missing)
{
    const char* absent = nullptr;
    if (!Resolve(handle, prefix, "Init", &entry->init)) {
        absent = "Init";
    } else if (!Resolve(handle, prefix, "Deinit", &entry->deinit)) {
        absent = "Deinit";
    } else if (!Resolve(handle, prefix, "Open", &entry->open)) {
        absent = "Open";
    } else if (!Resolve(handle, prefix, "Close", &entry->close)) {
        absent = "Close";
    } else if (!Resolve(handle, prefix, "IOControl", &entry->ioControl)) {
        absent = "IOControl";
    }
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

}  // namespace vtsim::internal
