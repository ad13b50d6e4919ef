// PCI enumeration against driver templates, and the device-key services
// reading the instance keys it writes.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/ddk.h"
#include "platform/host/control/diagnostics.h"
#include "platform/host/control/faults.h"
#include "platform/host/control/registry_control.h"
#include "platform/host/hardware/pci_bus.h"
#include "platform/registry.h"

#include "tests/host/hardware/make_board.h"

using namespace vtsim::internal;

namespace {

// A broad template (vendor and device) and a narrower one (also the
// subsystem), a template of another order, and two that must never match.
constexpr const char* kTemplates = R"(
[HKEY_LOCAL_MACHINE\Drivers\BuiltIn\PCI\Template\Plain]
"Dll"="Plain.dll"
"Prefix"="VTD"
"Order"=dword:20
"VendorID"=dword:1d5a
"DeviceID"=dword:4100
"IsrDll"="GenIsr.dll"
"IsrHandler"="IsrHandler"
"Extra"="kept"
[HKEY_LOCAL_MACHINE\Drivers\BuiltIn\PCI\Template\Narrow]
"Dll"="Narrow.dll"
"Prefix"="VTD"
"Order"=dword:20
"VendorID"=dword:1d5a
"DeviceID"=dword:4100
"SubSystemID"=dword:b100
"IsrDll"="GenIsr.dll"
"IsrHandler"="IsrHandler"
[HKEY_LOCAL_MACHINE\Drivers\BuiltIn\PCI\Template\Small]
"Dll"="Small.dll"
"Order"=dword:10
"DeviceID"=multi_sz:"6200","6300"
"IsrDll"="GenIsr.dll"
"IsrHandler"="IsrHandler"
[HKEY_LOCAL_MACHINE\Drivers\BuiltIn\PCI\Template\NoIds]
"Dll"="Any.dll"
[HKEY_LOCAL_MACHINE\Drivers\BuiltIn\PCI\Template\NoDll]
"VendorID"=dword:1d5a
"DeviceID"=dword:4100
"SubSystemID"=dword:b100
"RevisionID"=dword:1
)";

class PciDdk : public testing::Test {
protected:
    void SetUp() override
    {
        vtsim::ResetRegistry();
        std::string error;
        ASSERT_TRUE(vtsim::ImportRegistryScript(kTemplates, &error)) << error;
    }
    void TearDown() override
    {
        RemoveBoards();
        vtsim::ResetRegistry();
    }
    void Enumerate(std::vector<vtsim::BoardConfig> boards)
    {
        vtsim::MachineDescription m;
        m.boards = std::move(boards);
        std::string error;
        ASSERT_TRUE(InstallBoards(m, &error)) << error;
        ASSERT_TRUE(EnumeratePciBus(&devices_, &error)) << error;
    }
    // Opens the device key the way a driver does: through an active key.
    HKEY OpenDevice(const std::u16string& instanceKey)
    {
        HKEY active = nullptr;
        EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Drivers\\Active\\42", 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &active, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(active, u"Key", 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(instanceKey.c_str()),
                       static_cast<DWORD>((instanceKey.size() + 1) * 2));
        RegCloseKey(active);
        return OpenDeviceKey(u"Drivers\\Active\\42");
    }
    std::vector<EnumeratedDevice> devices_;
};

}  // namespace

TEST_F(PciDdk, EachBoardGetsTheMostSpecificMatchingTemplateInOrder)
{
    Enumerate({MakeBoard(vtsim::BoardModel::VTC4100E, 6, 0xC000, 10),
               MakeBoard(vtsim::BoardModel::VTC4100, 5, 0xC100, 11),
               MakeBoard(vtsim::BoardModel::VTM6200K, 7, 0xC200, 10),
               MakeBoard(vtsim::BoardModel::VTC4100, 8, 0xC300, 12),
               MakeBoard(vtsim::BoardModel::Unknown, 9, 0xC400, 12)});
    ASSERT_EQ(devices_.size(), 4u);  // the unknown board matches nothing
    EXPECT_EQ(devices_[0].instanceKey, u"Drivers\\BuiltIn\\PCI\\Instance\\Small1");
    EXPECT_EQ(devices_[0].dll, u"Small.dll");
    EXPECT_EQ(devices_[0].order, 0x10u);
    EXPECT_EQ(devices_[1].instanceKey, u"Drivers\\BuiltIn\\PCI\\Instance\\Plain1");
    EXPECT_EQ(devices_[1].board->config().slot, 5u) << "bus order: slot 5 before slot 6";
    EXPECT_EQ(devices_[2].instanceKey, u"Drivers\\BuiltIn\\PCI\\Instance\\Narrow1");
    EXPECT_EQ(devices_[2].prefix, u"VTD");
    EXPECT_EQ(devices_[3].instanceKey, u"Drivers\\BuiltIn\\PCI\\Instance\\Plain2");

    // A second enumeration of another machine leaves no stale instance.
    RemoveBoards();
    Enumerate({MakeBoard(vtsim::BoardModel::VTM6200K, 7, 0xC200, 10)});
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Drivers\\BuiltIn\\PCI\\Instance\\Plain1", 0,
                            KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
}

TEST_F(PciDdk, DeviceKeyServicesReadWhatEnumerationWrote)
{
    Enumerate({MakeBoard(vtsim::BoardModel::VTC4100E, 6, 0xC000, 10)});
    ASSERT_EQ(devices_.size(), 1u);
    const auto before = vtsim::GetLiveCounts();
    HKEY key = OpenDevice(devices_[0].instanceKey);
    ASSERT_NE(key, nullptr);

    DDKPCIINFO pci{};
    EXPECT_EQ(DDKReg_GetPciInfo(key, &pci), ERROR_INVALID_PARAMETER);
    pci.cbSize = sizeof pci;
    ASSERT_EQ(DDKReg_GetPciInfo(key, &pci), ERROR_SUCCESS);
    EXPECT_EQ(pci.dwDeviceNumber, 6u);
    EXPECT_EQ(pci.dwInstanceIndex, 1u);
    EXPECT_EQ(pci.dwWhichIds, 0xFFu);
    EXPECT_EQ(pci.idVals[PCIID_DEVICEID], 0x4100u);
    EXPECT_EQ(pci.idVals[PCIID_SUBSYSTEMID], 0xB100u);

    DDKISRINFO isr{};
    isr.cbSize = sizeof isr;
    ASSERT_EQ(DDKReg_GetIsrInfo(key, &isr), ERROR_SUCCESS);
    EXPECT_EQ(isr.dwIrq, 10u);
    EXPECT_EQ(isr.dwSysintr, SYSINTR_DEVICES);
    EXPECT_EQ(std::u16string(isr.szIsrDll), u"GenIsr.dll");
    EXPECT_EQ(std::u16string(isr.szIsrHandler), u"IsrHandler");

    DDKWINDOWINFO win{};
    win.cbSize = sizeof win;
    ASSERT_EQ(DDKReg_GetWindowInfo(key, &win), ERROR_SUCCESS);
    EXPECT_EQ(win.dwInterfaceType, static_cast<DWORD>(PCIBus));
    ASSERT_EQ(win.dwNumIoWindows, 1u);
    EXPECT_EQ(win.ioWindows[0].dwBase, 0xC000u);
    EXPECT_EQ(win.ioWindows[0].dwLen, 0x20u);
    EXPECT_EQ(win.dwNumMemWindows, 0u);

    // Values come from the chosen template only (Plain's "Extra" is not here).
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"Extra", nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
    EXPECT_EQ(vtsim::GetLiveCounts(), before);

    EXPECT_EQ(OpenDeviceKey(u"Drivers\\Active\\99"), nullptr);
    EXPECT_EQ(OpenDeviceKey(nullptr), nullptr);
}

TEST_F(PciDdk, BoardFaultsShowInTheDeviceKey)
{
    auto noPci = MakeBoard(vtsim::BoardModel::VTC4100, 1, 0xC000, 10);
    noPci.omitPciInfo = true;
    auto noHandler = MakeBoard(vtsim::BoardModel::VTC4100, 2, 0xC100, 10);
    noHandler.incompleteIsrInfo = true;
    auto noWindow = MakeBoard(vtsim::BoardModel::VTC4100, 3, 0xC200, 10);
    noWindow.omitIoWindow = true;
    noWindow.isrDllOverride = "Broken.dll";
    Enumerate({noPci, noHandler, noWindow});
    ASSERT_EQ(devices_.size(), 3u);

    HKEY key = OpenDevice(devices_[0].instanceKey);
    DDKPCIINFO pci{};
    pci.cbSize = sizeof pci;
    EXPECT_EQ(DDKReg_GetPciInfo(key, &pci), ERROR_FILE_NOT_FOUND);
    DWORD size = 0;  // the template's own values are carried over
    EXPECT_EQ(RegQueryValueExW(key, u"Extra", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    RegCloseKey(key);

    key = OpenDevice(devices_[1].instanceKey);
    DDKISRINFO isr{};
    isr.cbSize = sizeof isr;
    EXPECT_EQ(DDKReg_GetIsrInfo(key, &isr), ERROR_INVALID_DATA);
    RegCloseKey(key);

    key = OpenDevice(devices_[2].instanceKey);
    DDKWINDOWINFO win{};
    win.cbSize = sizeof win;
    EXPECT_EQ(DDKReg_GetWindowInfo(key, &win), ERROR_SUCCESS);
    EXPECT_EQ(win.dwNumIoWindows, 0u);
    isr.cbSize = sizeof isr;
    ASSERT_EQ(DDKReg_GetIsrInfo(key, &isr), ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(isr.szIsrDll), u"Broken.dll");
    EXPECT_EQ(LoadIntChainHandler(isr.szIsrDll, isr.szIsrHandler, 10), nullptr);
    RegCloseKey(key);

    // A failing registry write fails the enumeration with a message.
    vtsim::ArmFault(vtsim::Fault::RegistryWrite, 3);
    std::string error;
    EXPECT_FALSE(EnumeratePciBus(&devices_, &error));
    EXPECT_NE(error.find("Instance"), std::string::npos) << error;
    vtsim::DisarmAllFaults();
}

TEST_F(PciDdk, RecordsFromHandWrittenKeys)
{
    std::string error;
    ASSERT_TRUE(vtsim::ImportRegistryScript(R"(
[HKEY_LOCAL_MACHINE\Dev\Multi]
"IoBase"=multi_sz:"E800","0xE400"
"IoLen"=multi_sz:"20","10"
"DeviceNumber"=dword:3
"FunctionNumber"=dword:0
"InstanceIndex"="one"
"IsrDll"="GenIsr.dll"
"Irq"=dword:7
[HKEY_LOCAL_MACHINE\Dev\Mismatched]
"IoBase"=dword:e800
"IoLen"=multi_sz:"20"
"MemBase"=dword:fe000000
[HKEY_LOCAL_MACHINE\Dev\Empty]
)",
                                            &error))
        << error;
    HKEY multi = nullptr, mismatched = nullptr, empty = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Dev\\Multi", 0, KEY_READ, &multi), 0);
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Dev\\Mismatched", 0, KEY_READ, &mismatched), 0);
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Dev\\Empty", 0, KEY_READ, &empty), 0);

    DDKWINDOWINFO win{};
    win.cbSize = sizeof win;
    ASSERT_EQ(DDKReg_GetWindowInfo(multi, &win), ERROR_SUCCESS);
    ASSERT_EQ(win.dwNumIoWindows, 2u);
    EXPECT_EQ(win.ioWindows[1].dwBase, 0xE400u);
    EXPECT_EQ(win.ioWindows[1].dwLen, 0x10u);
    EXPECT_EQ(DDKReg_GetWindowInfo(mismatched, &win), ERROR_INVALID_DATA);
    ASSERT_EQ(DDKReg_GetWindowInfo(empty, &win), ERROR_SUCCESS);
    EXPECT_EQ(win.dwInterfaceType, static_cast<DWORD>(InterfaceTypeUndefined));
    EXPECT_EQ(win.dwNumIoWindows, 0u);

    DDKPCIINFO pci{};
    pci.cbSize = sizeof pci;
    EXPECT_EQ(DDKReg_GetPciInfo(multi, &pci), ERROR_INVALID_DATA);  // InstanceIndex is text

    DDKISRINFO isr{};
    isr.cbSize = sizeof isr;
    EXPECT_EQ(DDKReg_GetIsrInfo(multi, &isr), ERROR_INVALID_DATA);  // IsrDll without IsrHandler
    isr.cbSize = sizeof isr;
    ASSERT_EQ(DDKReg_GetIsrInfo(empty, &isr), ERROR_SUCCESS);
    EXPECT_EQ(isr.dwIrq, IRQ_UNSPECIFIED);
    EXPECT_EQ(isr.dwSysintr, SYSINTR_NOP);

    for (HKEY k : {multi, mismatched, empty}) {
        RegCloseKey(k);
    }
}
