// A module's startup code on the simulated target (CMake target
// vtmodule_startup), linked into every module as a C runtime's DLL startup
// object is on the target. When the dynamic linker has loaded the module and
// run its other static initialisers, this object reports the module to the
// platform's loader table, which calls the module's DllMain with
// DLL_PROCESS_ATTACH and the module's real handle (its load address); when
// the module is unloaded (dlclose, or process exit) the table calls it with
// DLL_PROCESS_DETACH. The module's own code defines DllMain and knows
// nothing of this.
#include <dlfcn.h>

#include "platform/host/kernel/modules.h"

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
        vtsim::internal::AttachModule(module_, linkMap, info.dli_fname, &DllMain);
    }
    ~ModuleStartup()
    {
        if (module_ != nullptr) {
            vtsim::internal::DetachModule(module_);
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
