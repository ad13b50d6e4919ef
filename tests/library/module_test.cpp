// The library as a module of the platform: the loader attached it once, and
// the handle its DllMain keeps is its real module handle, the address it was
// loaded at.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "library/include/rlx4100.h"
#include "platform/host/control/diagnostics.h"
#include "platform/types.h"

namespace {

const vtsim::ModuleRecord* FindModule(const std::vector<vtsim::ModuleRecord>& modules,
                                      const void* handle)
{
    for (const auto& module : modules) {
        if (module.handle == handle) {
            return &module;
        }
    }
    return nullptr;
}

TEST(Module, TheLibraryIsAttachedOnceUnderItsLoadAddress)
{
    Dl_info info{};
    ASSERT_NE(dladdr(reinterpret_cast<void*>(&DeviceOpen), &info), 0);
    const auto modules = vtsim::LoadedModules();
    const vtsim::ModuleRecord* library = FindModule(modules, info.dli_fbase);
    ASSERT_NE(library, nullptr);
    EXPECT_TRUE(library->attached);
    EXPECT_EQ(library->path, info.dli_fname);
    // Its DllMain ran once, with that handle.
    EXPECT_EQ(library->threadCallsDisabled, 1u);
}

TEST(Module, TheEntryPointKeepsTheHandleTheLoaderGave)
{
    void* probe = dlopen(MODULE_PROBE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(probe, nullptr) << dlerror();
    auto instance = reinterpret_cast<HINSTANCE (*)()>(dlsym(probe, "ProbeModuleInstance"));
    ASSERT_NE(instance, nullptr);
    Dl_info info{};
    ASSERT_NE(dladdr(reinterpret_cast<void*>(instance), &info), 0);
    EXPECT_EQ(static_cast<const void*>(instance()), info.dli_fbase);
    const auto modules = vtsim::LoadedModules();
    const vtsim::ModuleRecord* record = FindModule(modules, info.dli_fbase);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->threadCallsDisabled, 1u);

    const void* handle = info.dli_fbase;
    dlclose(probe);
    EXPECT_EQ(FindModule(vtsim::LoadedModules(), handle), nullptr);
}

}  // namespace
