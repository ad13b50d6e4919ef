// Shared set-up of the device manager's tests: a registry script whose PCI
// templates name the test driver (TestVtd.dll, prefix VTD), booted on the
// default machine (one VTC-4100, one VTC-4100E, one VTM-6200K).
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/host/control/diagnostics.h"
#include "platform/host/control/faults.h"
#include "platform/host/control/target.h"
#include "platform/kernel.h"
#include "platform/registry.h"

namespace devmgr_test {

inline std::string Narrow(const std::u16string& text)
{
    return std::string(text.begin(), text.end());
}

// One PCI template of the test script.
struct TestTemplate {
    std::string name;      // "TestA"
    unsigned deviceId;     // 0x4100 / 0x6200
    int subSystemId = -1;  // listed when >= 0
    unsigned order = 10;
    std::string extra;  // more value lines ("FailInit"=dword:1)
    std::string dll = "TestVtd.dll";
};

// The three default boards matched by templates A (VTC-4100), B (VTC-4100E)
// and C (VTM-6200K), loaded in the order C, A, B.
inline std::vector<TestTemplate> DefaultTemplates()
{
    return {{"TestA", 0x4100, -1, 20, ""},
            {"TestB", 0x4100, 0xB100, 30, ""},
            {"TestC", 0x6200, -1, 10, ""}};
}

class DeviceManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(vtsim::IsBooted());
        dir_ = std::filesystem::temp_directory_path() /
               ("vt_devmgr_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        vtsim::ClearDebugLog();
        vtsim::DisarmAllFaults();
    }
    void TearDown() override
    {
        vtsim::Shutdown();
        vtsim::DisarmAllFaults();
        std::filesystem::remove_all(dir_);
    }

    std::string WriteScript(const std::vector<TestTemplate>& templates,
                            const std::string& fileName = "test.reg")
    {
        std::string path = (dir_ / fileName).string();
        std::ofstream out(path, std::ios::binary);
        for (const auto& t : templates) {
            char ids[128];
            std::snprintf(ids, sizeof ids, "\"VendorID\"=dword:1d5a\n\"DeviceID\"=dword:%x\n",
                          t.deviceId);
            out << "[HKEY_LOCAL_MACHINE\\Drivers\\BuiltIn\\PCI\\Template\\" << t.name << "]\n"
                << "\"Dll\"=\"" << t.dll << "\"\n\"Prefix\"=\"VTD\"\n"
                << "\"Order\"=dword:" << std::hex << t.order << std::dec << "\n"
                << ids;
            if (t.subSystemId >= 0) {
                out << "\"SubSystemID\"=dword:" << std::hex << t.subSystemId << std::dec << "\n";
            }
            out << "\"IsrDll\"=\"GenIsr.dll\"\n\"IsrHandler\"=\"IsrHandler\"\n" << t.extra << "\n";
        }
        return path;
    }

    vtsim::BootOptions Options(const std::vector<TestTemplate>& templates = DefaultTemplates())
    {
        vtsim::BootOptions options;
        options.registryScripts = {WriteScript(templates)};
        options.moduleDir = VT_TEST_MODULE_DIR;
        return options;
    }

    void BootOrFail(const vtsim::BootOptions& options)
    {
        std::string error;
        ASSERT_TRUE(vtsim::Boot(options, &error)) << error;
    }

    static size_t CountEntries(const std::string& text)
    {
        auto entries = vtsim::DebugEntries();
        return static_cast<size_t>(std::count(entries.begin(), entries.end(), text));
    }

    static bool HasEntryStartingWith(const std::string& prefix)
    {
        for (const auto& e : vtsim::DebugEntries()) {
            if (e.rfind(prefix, 0) == 0) {
                return true;
            }
        }
        return false;
    }

    static bool KeyExists(const std::u16string& path)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return false;
        }
        RegCloseKey(key);
        return true;
    }

    std::filesystem::path dir_;
};

}  // namespace devmgr_test
