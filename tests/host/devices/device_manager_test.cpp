// The device manager at boot and shutdown: loading order, device names,
// active keys, Init/Deinit/DllMain calls, drivers that do not start, the hive
// kept across restarts, and failed boots.
#include <filesystem>
#include <fstream>

#include "devmgr_fixture.h"
#include "platform/host/control/registry_control.h"
#include "platform/host/devices/device_manager.h"
#include "platform/host/devices/driver_modules.h"

namespace devmgr_test {
namespace {

std::u16string ReadString(const std::u16string& keyPath, const char16_t* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return u"<no key>";
    }
    char16_t buffer[260] = {};
    DWORD size = sizeof buffer - sizeof(char16_t), type = 0;
    LONG status =
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_SZ ? std::u16string(buffer) : u"<no value>";
}

DWORD ReadDword(const std::u16string& keyPath, const char16_t* name)
{
    HKEY key = nullptr;
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return 0xDEADBEEF;
    }
    LONG status =
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_DWORD ? value : 0xDEADBEEF;
}

std::vector<std::u16string> Subkeys(const std::u16string& keyPath)
{
    std::vector<std::u16string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return names;
    }
    for (DWORD i = 0;; ++i) {
        char16_t name[256];
        DWORD chars = 256;
        if (RegEnumKeyExW(key, i, name, &chars, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name, chars);
    }
    RegCloseKey(key);
    return names;
}

std::vector<std::string> DriverLines()
{
    std::vector<std::string> lines;
    for (const auto& e : vtsim::DebugEntries()) {
        if (e.rfind("TVD ", 0) == 0) {
            lines.push_back(e);
        }
    }
    return lines;
}

bool EndsWith(const std::u16string& text, const std::u16string& tail)
{
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST_F(DeviceManagerTest, BootLoadsOneDevicePerBoardInTemplateOrder)
{
    BootOrFail(Options());
    auto devices = vtsim::Devices();
    ASSERT_EQ(devices.size(), 3u);
    // Order 10 (TestC, the VTM-6200K) first, then 20 (TestA), then 30 (TestB).
    const std::u16string instances[3] = {u"TestC1", u"TestA1", u"TestB1"};
    std::vector<DWORD> hnds;
    for (size_t i = 0; i < devices.size(); ++i) {
        const auto& d = devices[i];
        SCOPED_TRACE(Narrow(d.name));
        EXPECT_EQ(d.name, u"VTD" + std::u16string(1, char16_t(u'1' + i)) + u":");
        EXPECT_EQ(d.dll, u"TestVtd.dll");
        EXPECT_TRUE(EndsWith(d.deviceKey, u"\\Instance\\" + instances[i])) << Narrow(d.deviceKey);
        EXPECT_EQ(d.activeKey.rfind(u"Drivers\\Active\\", 0), 0u);
        // The active key names the device key and the device; Init got its path.
        EXPECT_EQ(ReadString(d.activeKey, u"Key"), d.deviceKey);
        EXPECT_EQ(ReadString(d.activeKey, u"Name"), d.name);
        hnds.push_back(ReadDword(d.activeKey, u"Hnd"));
        EXPECT_NE(hnds.back(), 0xDEADBEEFu);
        EXPECT_EQ(CountEntries("TVD Init " + Narrow(d.activeKey) + " 0\n"), 1u);
    }
    std::sort(hnds.begin(), hnds.end());
    EXPECT_EQ(std::unique(hnds.begin(), hnds.end()), hnds.end()) << "Hnd values must differ";
    EXPECT_EQ(Subkeys(u"Drivers\\Active").size(), 3u);
    // One module shared by the three devices: one process attach.
    EXPECT_EQ(CountEntries("TVD DllMain 1\n"), 1u);
    EXPECT_TRUE(vtsim::DriverLoadFailures().empty());
}

TEST_F(DeviceManagerTest, ShutdownDeinitsInReverseOrderThenDetachesTheModule)
{
    BootOrFail(Options());
    auto devices = vtsim::Devices();
    ASSERT_EQ(devices.size(), 3u);

    std::string error;
    EXPECT_FALSE(vtsim::Boot(Options(), &error)) << "a second boot must be refused";
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(vtsim::Devices().size(), 3u) << "the refused boot must not disturb the target";

    vtsim::ClearDebugLog();
    vtsim::Shutdown();
    std::vector<std::string> expected;
    for (auto it = devices.rbegin(); it != devices.rend(); ++it) {
        expected.push_back("TVD Deinit " + Narrow(it->activeKey) + "\n");
    }
    expected.push_back("TVD DllMain 0\n");
    EXPECT_EQ(DriverLines(), expected);
    EXPECT_FALSE(vtsim::IsBooted());
    EXPECT_TRUE(vtsim::Devices().empty());
    EXPECT_TRUE(vtsim::Boards().empty());
    EXPECT_FALSE(KeyExists(u"Drivers")) << "the registry is reset at shutdown";

    // The target boots again after a shutdown, with the same names.
    BootOrFail(Options());
    ASSERT_EQ(vtsim::Devices().size(), 3u);
    EXPECT_EQ(vtsim::Devices()[0].name, u"VTD1:");
}

TEST_F(DeviceManagerTest, DriversThatDoNotStartLeaveNoDeviceAndNoActiveKey)
{
    auto templates = DefaultTemplates();
    templates[0].extra = "\"FailInit\"=dword:1\n";  // TestA: Init returns 0
    templates[1].dll = "Missing.dll";               // TestB: no such module
    BootOrFail(Options(templates));

    auto devices = vtsim::Devices();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].name, u"VTD1:");
    EXPECT_TRUE(EndsWith(devices[0].deviceKey, u"TestC1"));
    // Init ran for TestA (and got an active key), which is gone again.
    EXPECT_EQ(DriverLines().size(), 1u + 2u) << "DllMain attach and two Init calls";
    EXPECT_EQ(Subkeys(u"Drivers\\Active").size(), 1u);
    // The device keys written by enumeration stay.
    EXPECT_TRUE(KeyExists(u"Drivers\\BuiltIn\\PCI\\Instance\\TestA1"));

    auto failures = vtsim::DriverLoadFailures();
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_NE(failures[0].find("TestA1"), std::string::npos) << failures[0];
    EXPECT_NE(failures[0].find("Init returned 0"), std::string::npos) << failures[0];
    EXPECT_NE(failures[1].find("Missing.dll"), std::string::npos) << failures[1];

    // The failed instance is not kept loaded: shutdown deinitialises only VTD1:.
    vtsim::ClearDebugLog();
    vtsim::Shutdown();
    EXPECT_EQ(DriverLines(),
              (std::vector<std::string>{"TVD Deinit " + Narrow(devices[0].activeKey) + "\n",
                                        "TVD DllMain 0\n"}));
}

TEST_F(DeviceManagerTest, HiveIsKeptAcrossShutdownAndBoot)
{
    auto options = Options();
    options.hiveFile = (dir_ / "target.hive").string();
    BootOrFail(options);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Marker", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    DWORD marker = 42;
    ASSERT_EQ(RegSetValueExW(key, u"Value", 0, REG_DWORD, reinterpret_cast<BYTE*>(&marker), 4),
              ERROR_SUCCESS);
    RegCloseKey(key);
    vtsim::Shutdown();
    ASSERT_TRUE(std::filesystem::exists(options.hiveFile));

    // With the hive present the scripts named are imported over it.
    const std::string over = (dir_ / "over.reg").string();
    std::ofstream(over) << "[HKEY_LOCAL_MACHINE\\Software\\Over]\n\"Value\"=dword:7\n";
    options.registryScripts = {over};
    BootOrFail(options);
    EXPECT_EQ(ReadDword(u"Software\\Marker", u"Value"), 42u);
    EXPECT_EQ(ReadDword(u"Software\\Over", u"Value"), 7u);
    auto devices = vtsim::Devices();
    ASSERT_EQ(devices.size(), 3u);
    EXPECT_EQ(devices[0].name, u"VTD1:");
    EXPECT_EQ(Subkeys(u"Drivers\\Active").size(), 3u);

    // A hive saved while drivers were loaded holds their active keys; a boot
    // from it starts the device list afresh.
    const std::string snapshot = (dir_ / "snapshot.hive").string();
    ASSERT_TRUE(vtsim::SaveHive(snapshot, nullptr));
    vtsim::Shutdown();
    options.hiveFile = snapshot;
    BootOrFail(options);
    EXPECT_EQ(Subkeys(u"Drivers\\Active").size(), 3u);
    EXPECT_EQ(vtsim::Devices()[0].activeKey, u"Drivers\\Active\\01");
}

TEST_F(DeviceManagerTest, FailedBootLeavesNothingBehind)
{
    const vtsim::LiveCounts before = vtsim::GetLiveCounts();
    std::string error;

    auto options = Options();
    options.registryScripts.push_back((dir_ / "absent.reg").string());
    EXPECT_FALSE(vtsim::Boot(options, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(vtsim::IsBooted());
    EXPECT_FALSE(KeyExists(u"Drivers"));

    options = Options();
    options.machine.boards[1].ioBase = options.machine.boards[0].ioBase;  // overlapping windows
    error.clear();
    EXPECT_FALSE(vtsim::Boot(options, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(vtsim::IsBooted());
    EXPECT_TRUE(vtsim::Boards().empty());
    EXPECT_TRUE(vtsim::Devices().empty());
    EXPECT_FALSE(KeyExists(u"Drivers"));
    EXPECT_TRUE(DriverLines().empty());
    EXPECT_EQ(vtsim::GetLiveCounts(), before) << vtsim::Describe(vtsim::GetLiveCounts());

    // A failed boot does not stand in the way of the next one.
    BootOrFail(Options());
    EXPECT_EQ(vtsim::Devices().size(), 3u);
}

TEST_F(DeviceManagerTest, BoardPackageTemplatesMatchEachModelOnce)
{
    auto scripts = vtsim::DefaultRegistryScripts();
    ASSERT_GE(scripts.size(), 3u);
    EXPECT_EQ(std::filesystem::path(scripts[0]).filename(), "platform.reg");

    vtsim::BootOptions options;
    options.moduleDir = VT_TEST_MODULE_DIR;  // holds no Rlx4100S module
    BootOrFail(options);
    // The VTC-4100E takes the more specific Rlx4100ES template, not Rlx4100S.
    const std::u16string instance = u"Drivers\\BuiltIn\\PCI\\Instance\\";
    EXPECT_EQ(Subkeys(u"Drivers\\BuiltIn\\PCI\\Instance"),
              (std::vector<std::u16string>{u"Rlx4100S1", u"Rlx4100ES1", u"Rlx6200KS1"}));
    for (const char16_t* name : {u"Rlx4100S1", u"Rlx4100ES1", u"Rlx6200KS1"}) {
        EXPECT_EQ(ReadString(instance + name, u"Dll"), u"Rlx4100S.dll") << Narrow(name);
        EXPECT_EQ(ReadString(instance + name, u"Prefix"), u"VTD") << Narrow(name);
        EXPECT_EQ(ReadString(instance + name, u"IsrDll"), u"GenIsr.dll") << Narrow(name);
    }
    EXPECT_EQ(ReadDword(instance + u"Rlx4100ES1", u"SubSystemID"), 0xB100u);
    // The per-switch setting templates sit under the template keys.
    EXPECT_EQ(ReadDword(u"Drivers\\BuiltIn\\PCI\\Template\\RLX4100S\\Template0", u"SwitchID"), 1u);
    EXPECT_EQ(ReadDword(u"Drivers\\BuiltIn\\PCI\\Template\\Rlx6200KS\\Template0", u"TriggerMode"),
              1u);
    // Without the driver module every board is reported, none is loaded.
    EXPECT_TRUE(vtsim::Devices().empty());
    EXPECT_EQ(vtsim::DriverLoadFailures().size(), 3u);
}

TEST(DeviceManagerModulePath, MapsDllNamesToSharedObjectsInTheModuleDirectory)
{
    using vtsim::internal::ModulePathFor;
    EXPECT_EQ(ModulePathFor(u"TestVtd.DLL", "/m"), "/m/TestVtd.so");
    EXPECT_EQ(ModulePathFor(u"Plain", "/m"), "/m/Plain.so");
    // Only file names: a template cannot point the loader elsewhere.
    EXPECT_EQ(ModulePathFor(u"../evil.dll", "/m"), "");
    EXPECT_EQ(ModulePathFor(u"sub\\x.dll", "/m"), "");
}

}  // namespace
}  // namespace devmgr_test
