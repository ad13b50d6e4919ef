// Start and stop of driver instances as the device manager runs them: what
// each model's start prints and sets up, the boards whose start must fail
// (and leave nothing behind), and a stop that does not wait out its
// time-out.
#include <gtest/gtest.h>

#include <chrono>

#include "common/board_types.h"
#include "driver_test_support.h"
#include "platform/host/control/diagnostics.h"

using namespace drivertest;

namespace {

constexpr unsigned IO_BASE = 0xD000;

std::string Hex(DWORD value)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%x", value);
    return text;
}

}  // namespace

TEST(DriverStart, EachModelStartsWithTheExactDebugLines)
{
    const struct {
        vtsim::BoardModel model;
        const char* subsystem;
        const char* deviceId;
        const char* boardId;
        DWORD boardType;
        DWORD ports;
    } models[] = {
        {vtsim::BoardModel::VTC4100, "a100", "4100", "87", BOARD_TYPE_VTC4100, 4},
        {vtsim::BoardModel::VTC4100E, "b100", "4100", "e2", BOARD_TYPE_VTC4100E, 4},
        {vtsim::BoardModel::VTM6200K, "a200", "6200", "dd", BOARD_TYPE_VTM6200K, 2},
    };
    for (const auto& m : models) {
        SCOPED_TRACE(m.boardId);
        // Switch 0x0B: the start keeps the low four bits the board reports.
        ASSERT_TRUE(BootTarget(MachineOf({Board(m.model, 9, 11, IO_BASE, 5)})));
        ASSERT_EQ(vtsim::Devices().size(), 1u);
        DWORD sysIntr = 0;
        ASSERT_TRUE(ReadDword(vtsim::Devices()[0].deviceKey, u"SysIntr", &sysIntr));
        const std::string id = m.boardId;
        const std::vector<std::string> expected = {
            std::string("\n===GetRegistryData SubSystemID: ") + m.subsystem + "\n",
            std::string("\n===GetRegistryData DeviceID: ") + m.deviceId + "\n",
            "\n===GetRegistryData System Interrupt: " + Hex(sysIntr) + "\n",
            "\n===GetRegistryData after read int info board id: " + id + "\n",
            "\n===GetRegistryData after read pci device info board id: " + id + "\n",
            "\n===GetRegistryData SwitchID: b\n",
            "\n===GetRegistryData RegOpenKeyEx board id: " + id + "\n",
            "\n<===GetRegistryData board id: " + id + "\n",
            "\n===VTN InstallISR RegIsrDll: GenIsr.dll\n",
            "\n===VTN InstallISR IsaHandler: IsrHandler\n",
            "\n===VTD INIT Device  board id: " + id + "\n",
        };
        EXPECT_EQ(vtsim::DebugEntries(), expected);

        const vtsim::LiveCounts counts = vtsim::GetLiveCounts();
        EXPECT_EQ(counts.chainHandlers, 1u);
        EXPECT_EQ(counts.threads, 1u);
        {
            // The output shadow starts at 0 for every port of the model.
            DeviceFile device(vtsim::Devices()[0].name);
            const PortRangeRecord range{0, 4};
            BYTE shadow[4] = {0xFF, 0xFF, 0xFF, 0xFF};
            DWORD returned = 0;
            ASSERT_TRUE(Ioctl(device.get(), IOCTL_DIO_GET_CURRENT_DO_PORTS, &range, 8, shadow, 4,
                              &returned));
            EXPECT_EQ(returned, m.ports);
            EXPECT_EQ(shadow[0], 0);
            EXPECT_EQ(BoardInfoOf(device.get()).boardType, m.boardType);
        }
        vtsim::Shutdown();
    }
}

// Without PCI information, or with an identity of none of the models, a
// board starts unidentified: no ports, no publication, interrupts only
// acknowledged.
TEST(DriverStart, UnidentifiedBoardsStartWithoutPortsOrPublication)
{
    vtsim::BoardConfig noPci = Board(vtsim::BoardModel::VTC4100, 9, 1, 0xD000, 5);
    noPci.omitPciInfo = true;
    const vtsim::BoardConfig unknown = Board(vtsim::BoardModel::Unknown, 10, 4, 0xC000, 6);
    const std::string unknownTemplate =
        WriteScript("unknown_template",
                    "[HKEY_LOCAL_MACHINE\\Drivers\\BuiltIn\\PCI\\Template\\RlxUnknown]\n"
                    "\"Dll\"=\"Rlx4100S.dll\"\n\"Prefix\"=\"VTD\"\n\"DeviceID\"=dword:7777\n"
                    "\"IsrDll\"=\"GenIsr.dll\"\n\"IsrHandler\"=\"IsrHandler\"\n");
    const vtsim::LiveCounts before = vtsim::GetLiveCounts();
    vtsim::BootOptions options = MachineOf({noPci, unknown});
    options.registryScripts = vtsim::DefaultRegistryScripts();
    options.registryScripts.push_back(unknownTemplate);
    ASSERT_TRUE(BootTarget(options));
    ASSERT_EQ(vtsim::Devices().size(), 2u);
    const std::vector<std::string> log = vtsim::DebugEntries();
    EXPECT_EQ(std::count(log.begin(), log.end(), "\n===VTD INIT Device  board id: 0\n"), 2);
    EXPECT_EQ(std::count(log.begin(), log.end(), "\n===VTD INIT board id: 0 not published\n"), 2);
    EXPECT_EQ(std::count(log.begin(), log.end(), "\n===GetRegistryData DeviceID: 7777\n"), 1);
    EXPECT_EQ(vtsim::DebugText().find("SwitchID"), std::string::npos);
    EXPECT_FALSE(KeyExists(DEVICE_LIST_KEY));
    for (const auto& loaded : vtsim::Devices()) {
        DeviceFile device(loaded.name);
        BoardInfoRecord info = BoardInfoOf(device.get());
        EXPECT_EQ(info.boardType, 0u);
        const PortRangeRecord range{0, 1};
        BYTE value = 0;
        EXPECT_FALSE(Ioctl(device.get(), IOCTL_DIO_READ_DI_PORTS, &range, 8, &value, 1));
        EXPECT_EQ(GetLastError(), DRV_STATUS_PORT_OUT_OF_RANGE | DRV_STATUS_APPLICATION_BIT);
        const EventIndexRecord index{0};
        EXPECT_FALSE(Ioctl(device.get(), IOCTL_DIO_GET_EVENT_DI_PORTS, &index, 4, &info, 12));
        // All four interrupt inputs are served, though no event window is the board's.
        EXPECT_TRUE(EnableEvent(device.get(), 3, 1, 0));
        EXPECT_FALSE(EnableEvent(device.get(), 4, 1, 0));
        EXPECT_EQ(GetLastError(), DRV_STATUS_BAD_BUFFER | DRV_STATUS_APPLICATION_BIT);
        const EventIndexRecord last{3};
        EXPECT_TRUE(Ioctl(device.get(), IOCTL_DIO_GET_LATEST_EVENT_DI_STATE, &last, 4, &value, 1));
        // The raw registers answer, and a pending status is acknowledged.
        const BYTE enableAll[5] = {REG_INT_ENABLE, 0, 0, 0, 0x0F};
        ASSERT_TRUE(Ioctl(device.get(), IOCTL_PORT_WRITE_BYTE, enableAll, 5, nullptr, 0));
        // Without PCI information the slot is not known to the driver (0).
        vtsim::Board* board = BoardAtSlot(info.slotNumber == 0 ? 9 : info.slotNumber);
        board->pulseInputLine(0, 0);
        for (int i = 0; i < 2000 && board->interruptStatus() != 0; ++i) {
            Sleep(1);
        }
        EXPECT_EQ(board->interruptsRaised(), 1u);
        EXPECT_EQ(board->interruptStatus(), 0u);
    }
    vtsim::Shutdown();
    EXPECT_EQ(vtsim::GetLiveCounts(), before) << vtsim::Describe(vtsim::GetLiveCounts());
}

// Each board fault makes that board's start fail; the good board beside it
// starts, and after shutdown every count is back where it was.
TEST(DriverStart, FailedStartsLeaveNothingBehind)
{
    struct Case {
        const char* what;
        void (*inject)(vtsim::BoardConfig*);
        const char* lastLine;
    };
    const Case cases[] = {
        {"incomplete interrupt information",
         [](vtsim::BoardConfig* b) { b->incompleteIsrInfo = true; },
         "\n<===GetRegistryData board id: 87\n"},
        {"no I/O window", [](vtsim::BoardConfig* b) { b->omitIoWindow = true; },
         "\n===VTD INIT no I/O window, board id: 87\n"},
        {"handler library that does not load",
         [](vtsim::BoardConfig* b) { b->isrDllOverride = "Missing.dll"; },
         "\n===VTN InstallISR IsaHandler: IsrHandler\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const vtsim::LiveCounts before = vtsim::GetLiveCounts();
        vtsim::BoardConfig bad = Board(vtsim::BoardModel::VTC4100, 9, 1, IO_BASE, 5);
        c.inject(&bad);
        const vtsim::BoardConfig good = Board(vtsim::BoardModel::VTM6200K, 10, 3, 0xC000, 6);
        ASSERT_TRUE(BootTarget(MachineOf({bad, good})));
        ASSERT_EQ(vtsim::Devices().size(), 1u);
        EXPECT_EQ(vtsim::GetLiveCounts().chainHandlers, 1u);
        EXPECT_EQ(vtsim::GetLiveCounts().threads, 1u);
        const std::vector<std::string> log = vtsim::DebugEntries();
        ASSERT_FALSE(log.empty());
        EXPECT_NE(std::find(log.begin(), log.end(), c.lastLine), log.end());
        // The failing board does not reach the end of its start.
        EXPECT_EQ(std::count(log.begin(), log.end(), "\n===VTD INIT Device  board id: 87\n"), 0);
        vtsim::Shutdown();
        EXPECT_EQ(vtsim::GetLiveCounts(), before) << vtsim::Describe(vtsim::GetLiveCounts());
    }
}

TEST(DriverStop, StopDoesNotWaitOutTheTimeOut)
{
    const vtsim::LiveCounts before = vtsim::GetLiveCounts();
    ASSERT_TRUE(BootTarget(vtsim::BootOptions{}));
    ASSERT_EQ(vtsim::Devices().size(), 3u);
    {
        // Stop with an interrupt pass just served and an event enabled.
        DeviceFile device = OpenBoardDevice(5);
        ASSERT_TRUE(EnableEvent(device.get(), 0, 1));
        BoardAtSlot(5)->pulseInputLine(0, 0);
    }
    const auto start = std::chrono::steady_clock::now();
    vtsim::Shutdown();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::milliseconds(500));
    EXPECT_EQ(vtsim::GetLiveCounts(), before) << vtsim::Describe(vtsim::GetLiveCounts());
}
