// The shared object exports the documented operations and nothing else of
// the library's own.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "library/include/rlx4100.h"

namespace {

TEST(Exports, PlainAndDecoratedNamesAreExported)
{
    void* module = dlopen(RLX4100_MODULE_PATH, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(module, nullptr) << dlerror();
    for (const char* name : {"DriverProc",
                             "DeviceOpen",
                             "DeviceClose",
                             "DeviceGetFeatures",
                             "DioReadDiPorts",
                             "DioWriteDoPorts",
                             "DioGetCurrentDoPortsState",
                             "DioReadBit",
                             "DioReadPortByte",
                             "DioReadPortWord",
                             "DioReadPortDword",
                             "DioWriteBit",
                             "DioWritePortByte",
                             "DioWritePortWord",
                             "DioWritePortDword",
                             "DioGetCurrentDOBit",
                             "DioGetCurrentDOByte",
                             "DioGetCurrentDOWord",
                             "DioGetCurrentDODword",
                             "ReadPortByte",
                             "ReadPortWord",
                             "WritePortByte",
                             "WritePortWord",
                             "EnableEvent",
                             "CheckEvent",
                             "DioEnableEventAndSpecifyDiPorts",
                             "DioDisableEvent",
                             "DioGetLatestEventDiPortsState",
                             "DeviceConfig",
                             "DeviceConfigExt"}) {
        EXPECT_NE(dlsym(module, name), nullptr) << name;
    }

    // DeviceGetProperty(LONG, WORD, void*, DWORD*), DeviceSetProperty(LONG, WORD, void*, DWORD).
    EXPECT_EQ(dlsym(module, "_Z17DeviceGetPropertyitPvPj"),
              reinterpret_cast<void*>(&DeviceGetProperty));
    EXPECT_EQ(dlsym(module, "_Z17DeviceSetPropertyitPvj"),
              reinterpret_cast<void*>(&DeviceSetProperty));
    EXPECT_EQ(dlsym(module, "DeviceGetProperty"), nullptr);

    // Internal operations and the shared registry code stay inside.
    for (const char* name :
         {"_Z19StatusFromLastErrorv", "DllMain", "_Z14ModuleInstancev", "_Z7NamesOfj"}) {
        EXPECT_EQ(dlsym(module, name), nullptr) << name;
    }
    dlclose(module);
}

}  // namespace
