// Module resources: the registered tables, and finding a resource by type
// and name through a module's handle.
#include <link.h>
#include <unistd.h>

#include <map>
#include <mutex>

#include "platform/host/kernel/strings.h"
#include "platform/host/windows/module_resources.h"
#include "platform/kernel.h"
#include "platform/resources.h"

namespace vtsim::internal {
namespace {

struct Registry {
    std::mutex mutex;
    std::map<HINSTANCE, const ResourceTable*> tables;
};

Registry& Tables()
{
    static Registry* registry = new Registry;  // outlives every module's unload
    return *registry;
}

bool NameMatches(const ResourceEntry& entry, LPCWSTR name)
{
    if (IS_INTRESOURCE(name)) {
        return entry.name == nullptr && entry.id == reinterpret_cast<ULONG_PTR>(name);
    }
    return entry.name != nullptr && NamesEqual(entry.name, name);
}

int FirstImage(dl_phdr_info* info, std::size_t, void* data)
{
    ElfW(Addr) lowest = ~ElfW(Addr){0};
    for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (header.p_type == PT_LOAD && info->dlpi_addr + header.p_vaddr < lowest) {
            lowest = info->dlpi_addr + header.p_vaddr;
        }
    }
    auto page = static_cast<ElfW(Addr)>(sysconf(_SC_PAGESIZE));
    *static_cast<ElfW(Addr)*>(data) = lowest & ~(page - 1);
    return 1;  // the first object is the program
}

}  // namespace

void RegisterModuleResources(HINSTANCE module, const ResourceTable* table)
{
    Registry& registry = Tables();
    std::lock_guard lock(registry.mutex);
    registry.tables[module] = table;
}

void UnregisterModuleResources(HINSTANCE module)
{
    Registry& registry = Tables();
    std::lock_guard lock(registry.mutex);
    registry.tables.erase(module);
}

HINSTANCE MainProgramHandle()
{
    static const HINSTANCE handle = [] {
        ElfW(Addr) start = 0;
        dl_iterate_phdr(&FirstImage, &start);
        return reinterpret_cast<HINSTANCE>(start);
    }();
    return handle;
}

}  // namespace vtsim::internal

using namespace vtsim::internal;

extern "C" HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type)
{
    if (module == nullptr) {
        module = MainProgramHandle();
    }
    if (name == nullptr || type == nullptr || !IS_INTRESOURCE(type)) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return nullptr;
    }
    const auto typeId = static_cast<std::uint16_t>(reinterpret_cast<ULONG_PTR>(type));
    Registry& registry = Tables();
    std::lock_guard lock(registry.mutex);
    auto found = registry.tables.find(module);
    if (found == registry.tables.end() || found->second == nullptr) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    const ResourceTable& table = *found->second;
    bool typeSeen = false;
    for (std::size_t i = 0; i < table.count; ++i) {
        const ResourceEntry& entry = table.entries[i];
        if (entry.type != typeId) {
            continue;
        }
        typeSeen = true;
        if (NameMatches(entry, name)) {
            return reinterpret_cast<HRSRC>(const_cast<ResourceEntry*>(&entry));
        }
    }
    SetLastError(typeSeen ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
}

extern "C" HGLOBAL LoadResource(HMODULE, HRSRC resource)
{
    if (resource == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    const auto* entry = reinterpret_cast<const ResourceEntry*>(resource);
    return const_cast<std::uint8_t*>(entry->data);
}

extern "C" LPVOID LockResource(HGLOBAL data)
{
    return data;
}

extern "C" DWORD SizeofResource(HMODULE, HRSRC resource)
{
    if (resource == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return reinterpret_cast<const ResourceEntry*>(resource)->size;
}

extern "C" BOOL FreeResource(HGLOBAL)
{
    return FALSE;
}
