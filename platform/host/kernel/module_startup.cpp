// A module's startup code on the simulated target (CMake target
// vtmodule_startup), linked into every module as a C runtime's DLL startup
// object is on the target. When the dynamic linker has loaded the module and
// run its other static initialisers, this object reports the module to the
// platform's loader table, which calls the module's DllMain with
// DLL_PROCESS_ATTACH and the module's real handle (its load address); when
// the module is unloaded (dlclose, or process exit) the table calls it with
// DLL_PROCESS_DETACH. The module's own code defines DllMain and knows
// nothing of this. A module with a resource script (vt_add_resources) has
// its resource table registered under its handle before DllMain runs, and
// dropped after the detach.
#include <dlfcn.h>

#include "platform/host/kernel/modules.h"
#include "platform/host/windows/module_resources.h"

// The module's resource table, when vtrc generated one for it.
extern "C" __attribute__((weak, visibility("hidden")))
const vtsim::internal::ResourceTable vt_module_resource_table;

// The module's entry point. Declared hidden: the reference binds to this
// module's own definition, never to another module's DllMain.
extern "C" __attribute__((visibility("hidden"))) BOOL DllMain(HINSTANCE module, DWORD reason,
                                                              LPVOID reserved);

namespace {

const char moduleAddress = 0;  // an address inside this module

class ModuleStartup {
public:
    ModuleStartup()
    {
        Dl_info info{};
        void* linkMap = nullptr;
        if (dladdr1(&moduleAddress, &info, &linkMap, RTLD_DL_LINKMAP) == 0) {
            return;
        }
        module_ = static_cast<HINSTANCE>(info.dli_fbase);
        if (&vt_module_resource_table != nullptr) {
            vtsim::internal::RegisterModuleResources(module_, &vt_module_resource_table);
        }
        vtsim::internal::AttachModule(module_, linkMap, info.dli_fname, &DllMain);
    }
    ~ModuleStartup()
    {
        if (module_ != nullptr) {
            vtsim::internal::DetachModule(module_);
            vtsim::internal::UnregisterModuleResources(module_);
        }
    }
    ModuleStartup(const ModuleStartup&) = delete;
    ModuleStartup& operator=(const ModuleStartup&) = delete;

private:
    HINSTANCE module_ = nullptr;
};

// Linked after the module's own objects, so constructed after their static
// objects and destroyed before them.
const ModuleStartup startup;

}  // namespace
