// Driver modules and the simulated loader: each module's startup code has
// the loader call its DllMain once at load and once at unload, with the
// module's load address as its handle; a module whose DllMain refuses, or
// that carries no startup code, is not used.
#include <dlfcn.h>

#include "devmgr_fixture.h"

namespace devmgr_test {
namespace {

bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

const vtsim::ModuleRecord* FindModule(const std::vector<vtsim::ModuleRecord>& modules,
                                      const std::string& fileName)
{
    for (const auto& module : modules) {
        if (EndsWith(module.path, "/" + fileName)) {
            return &module;
        }
    }
    return nullptr;
}

TEST_F(DeviceManagerTest, EachDriverModuleIsAttachedOnceUnderItsLoadAddress)
{
    BootOrFail(Options());
    const auto modules = vtsim::LoadedModules();
    const vtsim::ModuleRecord* testVtd = FindModule(modules, "TestVtd.so");
    ASSERT_NE(testVtd, nullptr);
    EXPECT_TRUE(testVtd->attached);
    // Its DllMain ran once (three devices share the module) and handed the
    // loader's handle back to the platform.
    EXPECT_EQ(CountEntries("TVD DllMain 1\n"), 1u);
    EXPECT_EQ(testVtd->threadCallsDisabled, 1u);

    void* module = dlopen(testVtd->path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(module, nullptr) << dlerror();
    Dl_info info{};
    ASSERT_NE(dladdr(dlsym(module, "VTD_Init"), &info), 0);
    EXPECT_EQ(testVtd->handle, info.dli_fbase);
    dlclose(module);

    vtsim::Shutdown();
    EXPECT_EQ(CountEntries("TVD DllMain 0\n"), 1u);
    EXPECT_EQ(FindModule(vtsim::LoadedModules(), "TestVtd.so"), nullptr);
}

TEST_F(DeviceManagerTest, ModulesThatRefuseTheAttachOrLackTheStartupCodeAreNotUsed)
{
    auto templates = DefaultTemplates();
    templates[0].dll = "Refusing.dll";
    templates[1].dll = "Foreign.dll";
    BootOrFail(Options(templates));
    EXPECT_EQ(vtsim::Devices().size(), 1u);

    std::string failures;
    for (const auto& failure : vtsim::DriverLoadFailures()) {
        failures += failure + "\n";
    }
    EXPECT_NE(failures.find("Refusing.so: DllMain refused the process attach"), std::string::npos)
        << failures;
    EXPECT_NE(failures.find("Foreign.so: not a module of this platform"), std::string::npos)
        << failures;
    // The refused module is unloaded without a detach call.
    EXPECT_EQ(CountEntries("REFUSING DllMain 1\n"), 1u);
    EXPECT_EQ(CountEntries("REFUSING DllMain 0\n"), 0u);
    const auto modules = vtsim::LoadedModules();
    EXPECT_EQ(FindModule(modules, "Refusing.so"), nullptr);
    EXPECT_EQ(FindModule(modules, "Foreign.so"), nullptr);
    EXPECT_NE(FindModule(modules, "TestVtd.so"), nullptr);
}

}  // namespace
}  // namespace devmgr_test
