// Loading, configuring and unloading installable chain handlers. The host has
// its handler libraries built in: a (library, entry) pair that names none of
// them does not load (NULL, ERROR_FILE_NOT_FOUND), just as a missing library
// or export would on the target. Library names compare without regard to
// case (they are file names); entry names compare exactly.
#include <memory>

#include "platform/ddk.h"
#include "platform/host/interrupts/controller.h"
#include "platform/host/interrupts/generic_handler.h"
#include "platform/kernel.h"

namespace {

struct BuiltInHandlerLibrary {
    const WCHAR* library;
    const WCHAR* entry;
    std::unique_ptr<vtsim::internal::ChainHandler> (*create)();
};

const BuiltInHandlerLibrary kLibraries[] = {
    {u"GenIsr.dll", u"IsrHandler", &vtsim::internal::CreateGenericInstallableHandler},
};

bool SameText(const WCHAR* a, const WCHAR* b)
{
    for (; *a && *b; ++a, ++b) {
        if (*a != *b) {
            return false;
        }
    }
    return *a == *b;
}

}  // namespace

extern "C" HANDLE LoadIntChainHandler(LPCWSTR dll, LPCWSTR entry, BYTE irq)
{
    if (dll == nullptr || entry == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    for (const auto& lib : kLibraries) {
        if (lstrcmpiW(dll, lib.library) == 0 && SameText(entry, lib.entry)) {
            return vtsim::internal::InstallChainHandler(lib.create(), irq);
        }
    }
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
}

extern "C" BOOL FreeIntChainHandler(HANDLE handler)
{
    return vtsim::internal::RemoveChainHandler(handler);
}

extern "C" BOOL KernelLibIoControl(HANDLE module, DWORD code, LPVOID in, DWORD inSize, LPVOID out,
                                   DWORD outSize, LPDWORD returned)
{
    return vtsim::internal::ChainHandlerIoControl(module, code, in, inSize, out, outSize, returned);
}
