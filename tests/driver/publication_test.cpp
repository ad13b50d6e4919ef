// Publication of boards in the registry, booted against prepared registries:
// device numbers found, allocated and kept across restarts, the entries'
// values, and the trigger mode from the stored entry or the templates.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "common/board_types.h"
#include "driver_test_support.h"

using namespace drivertest;

namespace {

// The platform image and the three PCI templates, without setting templates.
std::vector<std::string> BaseScripts()
{
    std::ostringstream text;
    const char* keys[] = {"Rlx4100S", "Rlx4100ES", "Rlx6200KS"};
    const char* ids[] = {"dword:4100\n", "dword:4100\n\"SubSystemID\"=dword:b100\n",
                         "dword:6200\n"};
    for (int i = 0; i < 3; ++i) {
        text << "[HKEY_LOCAL_MACHINE\\Drivers\\BuiltIn\\PCI\\Template\\" << keys[i] << "]\n"
             << "\"Dll\"=\"Rlx4100S.dll\"\n\"Prefix\"=\"VTD\"\n\"DeviceID\"=" << ids[i]
             << "\"IsrDll\"=\"GenIsr.dll\"\n\"IsrHandler\"=\"IsrHandler\"\n\n";
    }
    return {vtsim::DefaultRegistryScripts().front(), WriteScript("pci_templates", text.str())};
}

std::string DeviceList(const std::string& name, const std::vector<std::string>& subkeys)
{
    std::ostringstream text;
    for (const auto& subkey : subkeys) {
        text << "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\RLXDAQ\\" << subkey
             << "]\n\"BoardID\"=dword:87\n\n";
    }
    return WriteScript(name, text.str());
}

vtsim::BootOptions Prepared(std::vector<vtsim::BoardConfig> boards,
                            const std::vector<std::string>& extraScripts = {})
{
    vtsim::BootOptions options = MachineOf(std::move(boards));
    options.registryScripts = BaseScripts();
    options.registryScripts.insert(options.registryScripts.end(), extraScripts.begin(),
                                   extraScripts.end());
    return options;
}

vtsim::BoardConfig Vtc4100(unsigned slot, unsigned switchId = 5, unsigned ioBase = 0xE800)
{
    return Board(vtsim::BoardModel::VTC4100, slot, switchId, ioBase, 10);
}

class Publication : public ::testing::Test {
protected:
    void TearDown() override
    {
        vtsim::Shutdown();
    }
};

}  // namespace

TEST_F(Publication, FirstBoardInAnEmptyRegistryWritesBothEntriesInFull)
{
    ASSERT_TRUE(BootTarget(
        Prepared({Vtc4100(5, 5, 0xE800), Board(vtsim::BoardModel::VTM6200K, 7, 15, 0xC000, 9)})));
    const int vtc = DeviceNumberOf(DRIVER_KEY_VTC4100, 5);
    const int vtm = DeviceNumberOf(DRIVER_KEY_VTM6200K, 7);
    ASSERT_EQ(std::min(vtc, vtm), 0);
    ASSERT_EQ(std::max(vtc, vtm), 1);
    const std::u16string list = DeviceEntry(DEVICE_LIST_KEY, vtc);
    const std::u16string entry = DeviceEntry(DRIVER_KEY_VTC4100, vtc);
    DWORD instanceIndex = 0;
    for (const auto& device : vtsim::Devices()) {
        if (device.name == DeviceNameOfSlot(5)) {
            ASSERT_TRUE(ReadDword(device.deviceKey, u"InstanceIndex", &instanceIndex));
        }
    }

    DWORD value = 0;
    EXPECT_TRUE(ReadDword(list, u"BoardID", &value) && value == BOARD_TYPE_VTC4100);
    EXPECT_EQ(ReadString(list, u"DeviceName"), u"VTC-4100 BoardID=5 I/O=e800H");
    EXPECT_EQ(ReadString(list, u"DriverName"), u"Rlx4100.dll");
    EXPECT_EQ(ReadString(list, u"KernelKey"), u"RLX4100S");
    const std::pair<const char16_t*, DWORD> dwords[] = {{u"BusNumber", 0},
                                                        {u"SlotNumber", 5},
                                                        {u"AllowConflicts", 1},
                                                        {u"OnSystem", 1},
                                                        {u"DeviceIndex", instanceIndex},
                                                        {u"BoardID", 135},
                                                        {u"SystemIRQ", 10},
                                                        {u"SwitchID", 5},
                                                        {u"BaseAddress", 0xE800},
                                                        {u"IoPortCount", 0x20},
                                                        {u"TriggerMode", 0}};
    for (const auto& [name, expected] : dwords) {
        EXPECT_TRUE(ReadDword(entry, name, &value) && value == expected);
    }
    EXPECT_EQ(ReadString(entry, u"DeviceName"), u"VTC-4100 BoardID=5 I/O=e800H");
    EXPECT_EQ(ReadString(entry, u"DriverName"), u"Rlx4100.dll");
    EXPECT_EQ(ReadString(entry, u"CallName"), DeviceNameOfSlot(5));
    EXPECT_EQ(ReadString(entry, u"KernelKey"), u"RLX4100S");
    EXPECT_EQ(ReadString(DeviceEntry(DRIVER_KEY_VTM6200K, vtm), u"DeviceName"),
              u"VTM-6200K BoardID=15 I/O=c000H");
    EXPECT_EQ(ReadString(DeviceEntry(DEVICE_LIST_KEY, vtm), u"KernelKey"), u"RLX6200KS");

    // The values stand in their documented order.
    const std::string script = vtsim::ExportRegistryScript();
    std::size_t at = script.find("Services\\RLX4100S\\Device00" + std::to_string(vtc) + "]");
    ASSERT_NE(at, std::string::npos);
    for (const char* name :
         {"BusNumber", "SlotNumber", "AllowConflicts", "OnSystem", "DeviceIndex", "BoardID",
          "DeviceName", "DriverName", "CallName", "KernelKey", "SystemIRQ", "SwitchID",
          "BaseAddress", "IoPortCount", "TriggerMode"}) {
        at = script.find(std::string("\"") + name + "\"", at);
        ASSERT_NE(at, std::string::npos) << name;
    }
}

TEST_F(Publication, LowestFreeNumberWhateverWroteTheList)
{
    const std::string list = DeviceList("gaps", {"Device000", "Device001", "Device003", "Device255",
                                                 "Device300", "DeviceABC", "Other"});
    ASSERT_TRUE(BootTarget(Prepared({Vtc4100(5)}, {list})));
    EXPECT_EQ(DeviceNumberOf(DRIVER_KEY_VTC4100, 5), 2);
}

TEST_F(Publication, AllNumbersTakenStartsUnpublished)
{
    std::vector<std::string> all;
    for (int n = 0; n <= 254; ++n) {
        char name[16];
        std::snprintf(name, sizeof(name), "Device%03d", n);
        all.push_back(name);
    }
    ASSERT_TRUE(BootTarget(Prepared({Vtc4100(5)}, {DeviceList("all_taken", all)})));
    ASSERT_EQ(vtsim::Devices().size(), 1u);
    EXPECT_NE(vtsim::DebugText().find(
                  "\n===PublishDevice no free device number, board id: 87 not published\n"),
              std::string::npos);
    EXPECT_NE(vtsim::DebugText().find("\n===VTD INIT board id: 87 not published\n"),
              std::string::npos);
    // No entry under any number; the list's entries are untouched.
    EXPECT_FALSE(KeyExists(DRIVER_KEY_VTC4100));
    EXPECT_EQ(ReadString(DeviceEntry(DEVICE_LIST_KEY, 0), u"DeviceName"), u"");
    // The board works all the same.
    DeviceFile device = OpenBoardDevice(5);
    const BYTE write[9] = {0, 0, 0, 0, 1, 0, 0, 0, 0x33};
    EXPECT_TRUE(Ioctl(device.get(), IOCTL_DIO_WRITE_DO_PORTS, write, 9, nullptr, 0));
    EXPECT_EQ(BoardAtSlot(5)->outputLatch(0), 0x33);
}

TEST_F(Publication, TemplateChosenByTheBoardsSwitch)
{
    const std::string templates =
        WriteScript("templates",
                    "[HKEY_LOCAL_MACHINE\\Drivers\\BuiltIn\\PCI\\Template\\RLX4100S\\Template0]\n"
                    "\"SwitchID\"=dword:1\n\"TriggerMode\"=dword:5\n\n"
                    "[HKEY_LOCAL_MACHINE\\Drivers\\BuiltIn\\PCI\\Template\\RLX4100S\\Template1]\n"
                    "\"SwitchID\"=dword:3\n\"TriggerMode\"=dword:a\n\n"
                    "[HKEY_LOCAL_MACHINE\\Drivers\\BuiltIn\\PCI\\Template\\RLX4100S\\Template2]\n"
                    "\"SwitchID\"=dword:3\n\"TriggerMode\"=dword:f\n");
    ASSERT_TRUE(BootTarget(Prepared({Vtc4100(5, 3), Vtc4100(6, 5, 0xE400)}, {templates})));
    EXPECT_EQ(BoardAtSlot(5)->triggerMode(), 0x0Au);  // the first match wins
    EXPECT_EQ(BoardAtSlot(6)->triggerMode(), 0x00u);
    DWORD stored = 0xFF;
    EXPECT_TRUE(ReadDword(DeviceEntry(DRIVER_KEY_VTC4100, DeviceNumberOf(DRIVER_KEY_VTC4100, 5)),
                          u"TriggerMode", &stored));
    EXPECT_EQ(stored, 0x0Au);
}

TEST_F(Publication, StoredEntryGivesTheTriggerModeAndIsRefreshed)
{
    const std::string stored = WriteScript(
        "stored",
        "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\RLXDAQ\\Device004]\n"
        "\"DeviceName\"=\"old\"\n\n"
        "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\RLX4100S\\Device004]\n"
        "\"BusNumber\"=dword:0\n\"SlotNumber\"=dword:5\n\"TriggerMode\"=dword:5\n"
        "\"BaseAddress\"=dword:1234\n\"SwitchID\"=dword:9\n\"CallName\"=\"XXX9:\"\n");
    ASSERT_TRUE(BootTarget(Prepared({Vtc4100(5, 2, 0xE800)}, {stored})));
    EXPECT_EQ(BoardAtSlot(5)->triggerMode(), 5u);
    const std::u16string entry = DeviceEntry(DRIVER_KEY_VTC4100, 4);
    DWORD value = 0;
    EXPECT_TRUE(ReadDword(entry, u"SwitchID", &value) && value == 2);
    EXPECT_TRUE(ReadDword(entry, u"BaseAddress", &value) && value == 0x1234);
    EXPECT_TRUE(ReadDword(entry, u"TriggerMode", &value) && value == 5);
    EXPECT_EQ(ReadString(entry, u"CallName"), DeviceNameOfSlot(5));
    EXPECT_EQ(ReadString(entry, u"DeviceName"), u"VTC-4100 BoardID=2 I/O=e800H");
    EXPECT_EQ(ReadString(DeviceEntry(DEVICE_LIST_KEY, 4), u"DeviceName"),
              u"VTC-4100 BoardID=2 I/O=e800H");
    EXPECT_FALSE(KeyExists(DeviceEntry(DRIVER_KEY_VTC4100, 0)));
}

TEST_F(Publication, DeviceNumberSevenNamesTheEvents)
{
    const std::string list =
        DeviceList("seven", {"Device000", "Device001", "Device002", "Device003", "Device004",
                             "Device005", "Device006"});
    ASSERT_TRUE(BootTarget(Prepared({Vtc4100(5)}, {list})));
    ASSERT_EQ(DeviceNumberOf(DRIVER_KEY_VTC4100, 5), 7);
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, u"RLX_EVT_DI_INTERRUPT1_007");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));  // the driver's
    {
        DeviceFile device = OpenBoardDevice(5);
        ASSERT_TRUE(EnableEvent(device.get(), 1, 1));
        BoardAtSlot(5)->pulseInputLine(0, 1);  // trigger mode 0: rising edge
        EXPECT_EQ(WaitForSingleObject(event, 2000), WAIT_OBJECT_0);
    }
    CloseHandle(event);
}

TEST_F(Publication, RestartKeepsNumbersAndAMovedBoardGetsANewOne)
{
    const std::string hive = ::testing::TempDir() + "driver_test_restart.hive";
    std::filesystem::remove(hive);
    const vtsim::BoardConfig vtm = Board(vtsim::BoardModel::VTM6200K, 7, 3, 0xE000, 9);
    vtsim::BootOptions options = Prepared({Vtc4100(5), Vtc4100(6, 5, 0xE400), vtm});
    options.hiveFile = hive;
    ASSERT_TRUE(BootTarget(options));
    const int first[3] = {DeviceNumberOf(DRIVER_KEY_VTC4100, 5),
                          DeviceNumberOf(DRIVER_KEY_VTC4100, 6),
                          DeviceNumberOf(DRIVER_KEY_VTM6200K, 7)};
    EXPECT_EQ(first[0] + first[1] + first[2], 0 + 1 + 2);
    vtsim::Shutdown();

    // The same boards in another order: the same numbers.
    options.machine.boards = {vtm, Vtc4100(6, 5, 0xE400), Vtc4100(5)};
    ASSERT_TRUE(BootTarget(options));
    EXPECT_EQ(DeviceNumberOf(DRIVER_KEY_VTC4100, 5), first[0]);
    EXPECT_EQ(DeviceNumberOf(DRIVER_KEY_VTC4100, 6), first[1]);
    EXPECT_EQ(DeviceNumberOf(DRIVER_KEY_VTM6200K, 7), first[2]);
    vtsim::Shutdown();

    // The VTC-4100 from slot 5 moved to slot 8; a VTC-4100E sits at slot 6.
    options.machine.boards = {Vtc4100(8), Board(vtsim::BoardModel::VTC4100E, 6, 2, 0xE400, 11)};
    ASSERT_TRUE(BootTarget(options));
    const int moved = DeviceNumberOf(DRIVER_KEY_VTC4100, 8);
    const int other = DeviceNumberOf(DRIVER_KEY_VTC4100E, 6);
    EXPECT_EQ(std::min(moved, other), 3);
    EXPECT_EQ(std::max(moved, other), 4);
    EXPECT_EQ(DeviceNumberOf(DRIVER_KEY_VTC4100, 5), first[0]);  // the old entries stay
    vtsim::Shutdown();
    std::filesystem::remove(hive);
}
