// LoadLibraryW, GetProcAddress and FreeLibrary: modules loaded by name from
// the platform's module folder ("X.dll" -> <module folder>/X.so), counted
// per handle as the target's loader counts them.
#include <dlfcn.h>

#include <map>
#include <mutex>
#include <string>

#include "platform/host/devices/driver_modules.h"
#include "platform/host/kernel/modules.h"
#include "platform/host/kernel/utf.h"
#include "platform/kernel.h"
#include "platform/module_loader.h"

namespace {

struct LoadedLibrary {
    void* dlopenHandle = nullptr;
    int loads = 0;
};

struct LibraryTable {
    std::mutex mutex;
    std::map<HMODULE, LoadedLibrary> libraries;
};

LibraryTable& Libraries()
{
    static LibraryTable* table = new LibraryTable;  // outlives every module's unload
    return *table;
}

// The shared object for a file name: a bare name from the module folder; a
// name with a folder ("dir\X.dll", "/dir/X.dll") from that folder.
std::string SharedObjectFor(const std::u16string& name)
{
    const auto cut = name.find_last_of(u"/\\");
    if (cut == std::u16string::npos) {
        return vtsim::internal::ModulePathFor(name, {});
    }
    std::string dir = vtsim::internal::ToUtf8(name.substr(0, cut));
    for (char& c : dir) {
        if (c == '\\') {
            c = '/';
        }
    }
    return vtsim::internal::ModulePathFor(name.substr(cut + 1), dir.empty() ? "/" : dir);
}

}  // namespace

extern "C" HMODULE LoadLibraryW(LPCWSTR fileName)
{
    if (fileName == nullptr || fileName[0] == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::string path = SharedObjectFor(std::u16string(fileName));
    void* handle = path.empty() ? nullptr : dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    using vtsim::internal::ModuleState;
    const ModuleState state = vtsim::internal::StateOfLoadedModule(handle);
    if (state != ModuleState::Attached) {
        dlclose(handle);
        SetLastError(state == ModuleState::Refused ? ERROR_DLL_INIT_FAILED : ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    HMODULE module = vtsim::internal::HandleOfLoadedModule(handle);
    LibraryTable& table = Libraries();
    std::lock_guard lock(table.mutex);
    LoadedLibrary& loaded = table.libraries[module];
    if (loaded.loads > 0) {
        dlclose(handle);  // the table keeps one dlopen reference per module
    } else {
        loaded.dlopenHandle = handle;
    }
    ++loaded.loads;
    return module;
}

extern "C" FARPROC GetProcAddress(HMODULE module, LPCSTR procName)
{
    void* handle = nullptr;
    {
        LibraryTable& table = Libraries();
        std::lock_guard lock(table.mutex);
        auto found = table.libraries.find(module);
        if (module == nullptr || found == table.libraries.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return nullptr;
        }
        handle = found->second.dlopenHandle;
    }
    void* symbol = procName != nullptr ? dlsym(handle, procName) : nullptr;
    if (symbol == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

extern "C" BOOL FreeLibrary(HMODULE module)
{
    void* handle = nullptr;
    {
        LibraryTable& table = Libraries();
        std::lock_guard lock(table.mutex);
        auto found = table.libraries.find(module);
        if (module == nullptr || found == table.libraries.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        if (--found->second.loads > 0) {
            return TRUE;
        }
        handle = found->second.dlopenHandle;
        table.libraries.erase(found);
    }
    dlclose(handle);  // outside the lock: the module's DllMain may call the platform
    return TRUE;
}
