// The module entry point of the configurator library.
#include "configurator/module.h"

#include <atomic>

#include "platform/framework/application.h"
#include "platform/kernel.h"

namespace {

std::atomic<HINSTANCE> moduleInstance{nullptr};

}  // namespace

HINSTANCE ConfiguratorModule()
{
    return moduleInstance.load(std::memory_order_acquire);
}

BOOL DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        moduleInstance.store(module, std::memory_order_release);
        DisableThreadLibraryCalls(module);
        // The library links its own copy of the framework: its message
        // boxes without a caption carry the library's name.
        vtfw::SetApplicationTitle(TEXT("VTC4100Cfg"));
        break;
    case DLL_PROCESS_DETACH:
        moduleInstance.store(nullptr, std::memory_order_release);
        break;
    default:
        break;
    }
    return TRUE;
}
