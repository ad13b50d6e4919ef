// Start and stop of driver instances as the device manager runs them: what
// each model's start prints and sets up, the boards whose start must fail
// (and leave nothing behind), and a stop that does not wait out its
// time-out.
#include <gtest/gtest.h>

#include <chrono>

#include "common/board_types.h"
#include "driver_test_support.h"
#include "platform/host/diagnostics.h"

using namespace drivertest;

namespace {

constexpr DWORD IO_BASE = 0xD000;

std::u16string InstanceKeyOfSlot(unsigned slot)
{
    for (const auto& device : vtsim::Devices()) {
        DWORD number = 0;
        if (ReadDword(device.deviceKey, u"DeviceNumber", &number) && number == slot) {
            return device.deviceKey;
        }
    }
    return u"";
}

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
        ASSERT_TRUE(ReadDword(InstanceKeyOfSlot(9), u"SysIntr", &sysIntr));
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
            DeviceFile device(vtsim::Devices()[0].name);
            ASSERT_TRUE(device.valid());
            const BoardInfoRecord info = BoardInfoOf(device.get());
            EXPECT_EQ(info.boardType, m.boardType);
            EXPECT_EQ(info.slotNumber, 9u);
            // The output shadow starts at 0 for every port of the model.
            const PortRangeRecord range{0, 4};
            BYTE shadow[4] = {0xFF, 0xFF, 0xFF, 0xFF};
            DWORD returned = 0;
            ASSERT_TRUE(Ioctl(device.get(), IOCTL_DIO_GET_CURRENT_DO_PORTS, &range, 8, shadow, 4,
                              &returned));
            EXPECT_EQ(returned, m.ports);
            EXPECT_EQ(shadow[0], 0);
        }
        vtsim::Shutdown();
    }
}

TEST(DriverStart, BoardWithoutPciInformationStartsUnidentified)
{
    const vtsim::LiveCounts before = vtsim::GetLiveCounts();
    vtsim::BoardConfig board = Board(vtsim::BoardModel::VTC4100, 9, 1, IO_BASE, 5);
    board.omitPciInfo = true;
    ASSERT_TRUE(BootTarget(MachineOf({board})));
    ASSERT_EQ(vtsim::Devices().size(), 1u);
    EXPECT_TRUE(vtsim::DebugText().find("\n===VTD INIT Device  board id: 0\n") !=
                std::string::npos);
    {
        DeviceFile device(vtsim::Devices()[0].name);
        ASSERT_TRUE(device.valid());
        EXPECT_EQ(BoardInfoOf(device.get()).boardType, 0u);
        // No ports for an unidentified board; the raw registers still answer.
        const PortRangeRecord range{0, 1};
        BYTE value = 0;
        DWORD returned = 0;
        EXPECT_FALSE(Ioctl(device.get(), IOCTL_DIO_READ_DI_PORTS, &range, 8, &value, 1, &returned));
        EXPECT_EQ(GetLastError(), DRV_STATUS_PORT_OUT_OF_RANGE | DRV_STATUS_APPLICATION_BIT);
        const DWORD offset = REG_BOARD_ID;
        EXPECT_TRUE(Ioctl(device.get(), IOCTL_PORT_READ_BYTE, &offset, 4, &value, 1, &returned));
        EXPECT_EQ(value & 0x0F, 1);
    }
    // Not published: nothing in the device list.
    EXPECT_FALSE(KeyExists(DEVICE_LIST_KEY));
    vtsim::Shutdown();
    EXPECT_EQ(vtsim::GetLiveCounts(), before) << vtsim::Describe(vtsim::GetLiveCounts());
}

TEST(DriverStart, UnknownBoardStartsWithoutPortsOrPublication)
{
    vtsim::BootOptions options = MachineOf({Board(vtsim::BoardModel::Unknown, 9, 4, IO_BASE, 5)});
    options.registryScripts = ScriptsWith({UnknownBoardTemplateScript()});
    ASSERT_TRUE(BootTarget(options));
    ASSERT_EQ(vtsim::Devices().size(), 1u);
    const std::string log = vtsim::DebugText();
    EXPECT_NE(log.find("\n===GetRegistryData DeviceID: 7777\n"), std::string::npos);
    EXPECT_NE(log.find("\n===VTD INIT Device  board id: 0\n"), std::string::npos);
    EXPECT_EQ(log.find("SwitchID"), std::string::npos);
    EXPECT_FALSE(KeyExists(DEVICE_LIST_KEY));
    {
        DeviceFile device(vtsim::Devices()[0].name);
        ASSERT_TRUE(device.valid());
        const PortRangeRecord range{0, 1};
        BYTE out[4] = {};
        DWORD returned = 0;
        EXPECT_FALSE(Ioctl(device.get(), IOCTL_DIO_WRITE_DO_PORTS, &range, 8, out, 0, &returned));
        EXPECT_EQ(GetLastError(), DRV_STATUS_PORT_OUT_OF_RANGE | DRV_STATUS_APPLICATION_BIT);
        const EventIndexRecord index{0};
        EXPECT_FALSE(
            Ioctl(device.get(), IOCTL_DIO_GET_EVENT_DI_PORTS, &index, 4, out, 4, &returned));
        // A pending status is still acknowledged by the thread.
        const BYTE enableAll[5] = {REG_INT_ENABLE, 0, 0, 0, 0x0F};
        ASSERT_TRUE(
            Ioctl(device.get(), IOCTL_PORT_WRITE_BYTE, enableAll, 5, nullptr, 0, &returned));
        vtsim::Board* board = BoardAtSlot(9);
        board->pulseInputLine(0, 0);
        for (int i = 0; i < 2000 && board->interruptStatus() != 0; ++i) {
            Sleep(1);
        }
        EXPECT_EQ(board->interruptsRaised(), 1u);
        EXPECT_EQ(board->interruptStatus(), 0u);
    }
    vtsim::Shutdown();
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
        // The no-window board never had a port touched from 0.
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
        EventEnableRecord record{};
        record.enable = 1;
        record.count = 1;
        DWORD returned = 0;
        ASSERT_TRUE(Ioctl(device.get(), IOCTL_DIO_ENABLE_EVENT, &record, 24, nullptr, 0, &returned));
        BoardAtSlot(5)->pulseInputLine(0, 0);
    }
    const auto start = std::chrono::steady_clock::now();
    vtsim::Shutdown();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::milliseconds(500));
    EXPECT_EQ(vtsim::GetLiveCounts(), before) << vtsim::Describe(vtsim::GetLiveCounts());
}
