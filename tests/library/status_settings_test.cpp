// The library's status translation and its registry entry reader and
// writer, built in directly (neither is exported).
#include <gtest/gtest.h>

#include <string>

#include "library/include/rlx4100.h"
#include "library/settings.h"
#include "library/status.h"
#include "library_test_support.h"
#include "platform/host/control/faults.h"
#include "platform/host/control/registry_control.h"

using librarytest::EntryPath;
using librarytest::ReadDword;

namespace {

TEST(Status, LastErrorsTranslateToReasonNumbers)
{
    const struct {
        DWORD lastError;
        DWORD reason;
    } table[] = {
        {0, 0},   {0xFFFFFFFF, 100}, {0x20000040, 64}, {0x2000000A, 10}, {0xE000000D, 0xC000000D},
        {2, 101}, {6, 102},          {56, 103},        {998, 105},       {50, 50},
        {87, 87},
    };
    for (const auto& row : table) {
        SetLastError(row.lastError);
        EXPECT_EQ(StatusFromLastError(), row.reason) << std::hex << row.lastError;
    }
    EXPECT_EQ(ApiDeviceStatus(1, 64), 2 * 4096 + 64);
    EXPECT_EQ(ApiDeviceStatus(0, 101), 4096 + 101);
    EXPECT_EQ(ApiDeviceStatus(2, 7), 3 * 4096 + 7);
    EXPECT_EQ(ApiDeviceStatus(0, 0), 4096);
    EXPECT_EQ(ApiDeviceStatus(0, 0xC000000D), static_cast<LONG>(0xC000100Du));
}

class Settings : public ::testing::Test {
protected:
    void SetUp() override
    {
        vtsim::ResetRegistry();
    }
    void TearDown() override
    {
        vtsim::DisarmAllFaults();
        vtsim::ResetRegistry();
    }
    static void Import(const std::string& script)
    {
        std::string error;
        ASSERT_TRUE(vtsim::ImportRegistryScript(script, &error)) << error;
    }
    // A complete driver-key entry, without the values listed in `omit`.
    static std::string Entry(const std::string& key, DWORD boardId, const std::string& callName,
                             const std::string& omit = "")
    {
        std::string text =
            "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\" + key + "\\Device003]\n";
        char line[64];
        std::snprintf(line, sizeof(line), "\"BoardID\"=dword:%08x\n", boardId);
        text += line;
        for (const char* name : {"SwitchID", "BaseAddress", "SystemIRQ", "IoPortCount", "BusNumber",
                                 "SlotNumber", "OnSystem", "AllowConflicts", "TriggerMode"}) {
            if (omit != name) {
                text += std::string("\"") + name + "\"=dword:00000007\n";
            }
        }
        return text + "\"CallName\"=\"" + callName + "\"\n";
    }
};

TEST_F(Settings, TheFirstDriverKeyInSearchOrderHoldsTheEntry)
{
    Import(Entry("RLX4100ES", 226, "VTD2:") + Entry("RLX4100S", 135, "VTD1:"));
    DeviceSettings settings{};
    ASSERT_EQ(ReadDeviceSettings(3, &settings), 1u);
    EXPECT_EQ(settings.BoardID, 135u);
    EXPECT_EQ(std::u16string(settings.CallName), u"VTD1:");
    EXPECT_EQ(settings.TriggerMode, 7u);
    EXPECT_EQ(ReadDeviceSettings(4, &settings), 0u);
}

TEST_F(Settings, AnEntryLackingAValueOrWithALongNameIsRefused)
{
    Import(Entry("RLX6200KS", 221, "VTD3:", "AllowConflicts"));
    DeviceSettings settings{};
    EXPECT_EQ(ReadDeviceSettings(3, &settings), 0u);
    EXPECT_EQ(settings.BoardID, 221u);
    EXPECT_EQ(settings.OnSystem, 7u);

    vtsim::ResetRegistry();
    Import(Entry("RLX6200KS", 221, "VTD3456789012345"));
    EXPECT_EQ(ReadDeviceSettings(3, &settings), 0u);
}

TEST_F(Settings, WritingUpdatesTheDeviceListAndTheTriggerMode)
{
    DeviceSettings settings{};
    settings.BoardID = 221;
    settings.SwitchID = 2;
    settings.BaseAddress = 0xC000;
    settings.TriggerMode = 0x02;
    ASSERT_EQ(WriteDeviceSettings(4, &settings), 1u);
    const std::u16string listEntry = EntryPath(DEVICE_LIST_KEY, 4);
    char16_t name[64] = {};
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, listEntry.c_str(), 0, KEY_READ, &key),
              ERROR_SUCCESS);
    DWORD type = 0, size = sizeof(name) - 2;
    EXPECT_EQ(
        RegQueryValueExW(key, u"DeviceName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size),
        ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(std::u16string(name), u"VTM-6200K BoardID=2 I/O=c000H");
    DWORD value = 0;
    EXPECT_TRUE(ReadDword(listEntry, u"SwitchID", &value));
    EXPECT_EQ(value, 2u);
    EXPECT_TRUE(ReadDword(EntryPath(u"SYSTEM\\CurrentControlSet\\Services\\RLX6200KS", 4),
                          u"TriggerMode", &value));
    EXPECT_EQ(value, 2u);

    settings.BoardID = 99;
    EXPECT_EQ(WriteDeviceSettings(5, &settings), 0u);
    EXPECT_FALSE(ReadDword(EntryPath(DEVICE_LIST_KEY, 5), u"SwitchID", &value));

    // A failed device-list write skips the driver-key write.
    settings.BoardID = 221;
    vtsim::ArmFault(vtsim::Fault::RegistryWrite, 1);
    EXPECT_EQ(WriteDeviceSettings(6, &settings), 0u);
    EXPECT_FALSE(ReadDword(EntryPath(u"SYSTEM\\CurrentControlSet\\Services\\RLX6200KS", 6),
                           u"TriggerMode", &value));
}

}  // namespace
