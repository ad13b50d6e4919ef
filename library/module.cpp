// The module entry point of the library.
#include "library/module.h"

#include <atomic>

#include "platform/kernel.h"

namespace {

std::atomic<HINSTANCE> moduleInstance{nullptr};

// Stands for the module where the platform has no loader to call DllMain:
// its address identifies this module.
const char moduleAnchor = 0;

// Runs DllMain at load and unload of the module on a host without a loader
// notification.
struct ModuleEntryCaller {
    HINSTANCE instance;
    ModuleEntryCaller()
        : instance(reinterpret_cast<HINSTANCE>(const_cast<char*>(&moduleAnchor)))
    {
        DllMain(instance, DLL_PROCESS_ATTACH, nullptr);
    }
    ~ModuleEntryCaller() { DllMain(instance, DLL_PROCESS_DETACH, nullptr); }
};

const ModuleEntryCaller moduleEntryCaller;

}  // namespace

HINSTANCE ModuleInstance()
{
    return moduleInstance.load(std::memory_order_acquire);
}

BOOL DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        moduleInstance.store(module, std::memory_order_release);
        DisableThreadLibraryCalls(module);
        break;
    case DLL_PROCESS_DETACH:
        moduleInstance.store(nullptr, std::memory_order_release);
        break;
    default:
        break;
    }
    return TRUE;
}
