// The simulated loader's module table: attach and detach calls of module
// entry points, thread-notification requests, and the table as tests see it.
#include "platform/host/kernel/modules.h"

#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/host/control/diagnostics.h"
#include "platform/kernel.h"

namespace vtsim::internal {
namespace {

struct LoadedModule {
    ModuleRecord record;
    const void* linkMap = nullptr;
    ModuleEntry entry = nullptr;
};

struct ModuleTable {
    std::mutex mutex;
    std::vector<LoadedModule> modules;  // load order

    LoadedModule* Find(const void* handle)
    {
        auto found = std::find_if(modules.begin(), modules.end(),
                                  [&](const LoadedModule& m) { return m.record.handle == handle; });
        return found == modules.end() ? nullptr : &*found;
    }
};

ModuleTable& Table()
{
    static ModuleTable* table = new ModuleTable;  // outlives every module's unload
    return *table;
}

}  // namespace

BOOL AttachModule(HINSTANCE module, const void* linkMap, const char* path, ModuleEntry entry)
{
    ModuleTable& table = Table();
    {
        std::lock_guard lock(table.mutex);
        LoadedModule loaded;
        loaded.record.handle = module;
        loaded.record.path = path != nullptr ? path : "";
        loaded.linkMap = linkMap;
        loaded.entry = entry;
        table.modules.push_back(std::move(loaded));
    }
    const BOOL attached = entry(module, DLL_PROCESS_ATTACH, nullptr);
    std::lock_guard lock(table.mutex);
    if (LoadedModule* loaded = table.Find(module)) {
        loaded->record.attached = attached != FALSE;
    }
    return attached;
}

void DetachModule(HINSTANCE module)
{
    ModuleTable& table = Table();
    ModuleEntry entry = nullptr;
    {
        std::lock_guard lock(table.mutex);
        LoadedModule* loaded = table.Find(module);
        if (loaded == nullptr) {
            return;
        }
        if (loaded->record.attached) {
            entry = loaded->entry;
        }
    }
    if (entry != nullptr) {
        entry(module, DLL_PROCESS_DETACH, nullptr);
    }
    std::lock_guard lock(table.mutex);
    std::erase_if(table.modules, [&](const LoadedModule& m) { return m.record.handle == module; });
}

ModuleState StateOfLoadedModule(void* dlopenHandle)
{
    link_map* map = nullptr;
    if (dlopenHandle == nullptr || dlinfo(dlopenHandle, RTLD_DI_LINKMAP, &map) != 0) {
        return ModuleState::Unknown;
    }
    ModuleTable& table = Table();
    std::lock_guard lock(table.mutex);
    for (const LoadedModule& loaded : table.modules) {
        if (loaded.linkMap == map) {
            return loaded.record.attached ? ModuleState::Attached : ModuleState::Refused;
        }
    }
    return ModuleState::Unknown;
}

HINSTANCE HandleOfLoadedModule(void* dlopenHandle)
{
    link_map* map = nullptr;
    if (dlopenHandle == nullptr || dlinfo(dlopenHandle, RTLD_DI_LINKMAP, &map) != 0) {
        return nullptr;
    }
    ModuleTable& table = Table();
    std::lock_guard lock(table.mutex);
    for (const LoadedModule& loaded : table.modules) {
        if (loaded.linkMap == map) {
            return reinterpret_cast<HINSTANCE>(const_cast<void*>(loaded.record.handle));
        }
    }
    return nullptr;
}

}  // namespace vtsim::internal

extern "C" BOOL DisableThreadLibraryCalls(HMODULE module)
{
    vtsim::internal::ModuleTable& table = vtsim::internal::Table();
    std::lock_guard lock(table.mutex);
    vtsim::internal::LoadedModule* loaded = table.Find(module);
    if (module == nullptr || loaded == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    ++loaded->record.threadCallsDisabled;
    return TRUE;
}

namespace vtsim {

std::vector<ModuleRecord> LoadedModules()
{
    internal::ModuleTable& table = internal::Table();
    std::lock_guard lock(table.mutex);
    std::vector<ModuleRecord> records;
    for (const internal::LoadedModule& loaded : table.modules) {
        records.push_back(loaded.record);
    }
    return records;
}

}  // namespace vtsim
