// Helpers shared by the registry script suites: a script file on a mapped
// drive, its bytes before and after, the editor's load and save steps, and a
// check that no handle or allocation is left behind.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "configurator/registry_script.h"
#include "platform/host/control/diagnostics.h"
#include "platform/host/control/faults.h"
#include "tests/support/scratch_folder.h"

namespace script_test {

inline constexpr const char* SCRIPT_FILE = "TREE/Public/VTC4100/VTC4100.reg";

// The header line of template n of a driver key, without its line break.
inline std::string Header(const std::string& driverKey, int n)
{
    return "[HKEY_LOCAL_MACHINE\\Drivers\\BuiltIn\\PCI\\Template\\" + driverKey + "\\Template" +
           std::to_string(n) + "]";
}

struct TemplateValues {
    DWORD switchId = 0;
    DWORD triggerMode = 0;
    bool operator==(const TemplateValues&) const = default;
};

class ScriptTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vtsim::DisarmAllFaults();
        before_ = vtsim::GetLiveCounts();
    }
    void TearDown() override
    {
        script_.Close();
        vtsim::DisarmAllFaults();
        const auto after = vtsim::GetLiveCounts();
        EXPECT_EQ(after.handles, before_.handles) << "a file handle was left open";
        EXPECT_EQ(after.allocations, before_.allocations) << "a text was not released";
    }

    void Given(const std::string& bytes)
    {
        folder_.Write(SCRIPT_FILE, bytes);
    }
    std::string Bytes() const
    {
        return folder_.Read(SCRIPT_FILE);
    }
    std::u16string Path() const
    {
        return folder_.TargetPath(SCRIPT_FILE);
    }
    int Open(const char* boardName = "VTC4100")
    {
        return script_.Open(Path().c_str(), boardName);
    }

    // The editor's save of one template: append its header when it has none,
    // then write SwitchID and TriggerMode.
    void Save(const char* boardName, int n, TemplateValues values)
    {
        RegistryScript script;
        ASSERT_EQ(script.Open(Path().c_str(), boardName), 0);
        if (!script.HasTemplateSection(n, script.DriverKey())) {
            script.AppendTemplateSection(n);
        }
        ScriptValueEntry rows[] = {{"SwitchID", REG_DWORD, 4, &values.switchId},
                                   {"TriggerMode", REG_DWORD, 4, &values.triggerMode},
                                   {nullptr, 0, 0, nullptr}};
        EXPECT_EQ(script.AccessValues(script.DriverKey(), n, rows, SCRIPT_ACCESS_WRITE), 1);
    }
    // The editor's load of one template; false when AccessValues fails.
    bool Load(const char* boardName, int n, TemplateValues* values)
    {
        RegistryScript script;
        if (script.Open(Path().c_str(), boardName) != 0) {
            return false;
        }
        ScriptValueEntry rows[] = {{"SwitchID", REG_DWORD, 4, &values->switchId},
                                   {"TriggerMode", REG_DWORD, 4, &values->triggerMode},
                                   {nullptr, 0, 0, nullptr}};
        return script.AccessValues(script.DriverKey(), n, rows, SCRIPT_ACCESS_READ) == 1;
    }

    test_support::ScratchFolder folder_{'C'};
    RegistryScript script_;

private:
    vtsim::LiveCounts before_;
};

}  // namespace script_test
