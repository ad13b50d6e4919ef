// vtdio one command per process, as a person or a script runs it: output,
// decoded statuses, usage errors and exit codes.
#include <gtest/gtest.h>

#include <regex>

#include "tests/tools/tool_fixture.h"

namespace {

using vttest::Lines;
using vttest::ProgramResult;
using vttest::RunProgram;

class VtdioTest : public vttest::ToolFixture {
protected:
    VtdioTest() : ToolFixture(vttest::kTwoBoards) {}
};

TEST_F(VtdioTest, ListShowsEveryPublishedDeviceWithItsEdges)
{
    const ProgramResult r = Vtdio({"list"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "DEV  MODEL      CALL   SWITCH  IO-BASE  IRQ  EDGES\n"
              "  0  VTC-4100   VTD1:       1  0xd000     7  DI0=fall DI1=rise DI2=fall DI3=rise\n"
              "  1  VTM-6200K  VTD2:       3  0xc000     5  DI0=fall DI1=rise\n");
}

TEST_F(VtdioTest, InfoShowsPropertiesAndFeatures)
{
    const ProgramResult r = Vtdio({"info", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const char* line :
         {"model:            VTM-6200K (board type 221)\n", "call name:        VTD2:\n",
          "bus/slot:         0/8\n", "base address:     0xc000\n", "irq:              5\n",
          "di ports:         2 (16 channels)\n",
          "interrupt inputs: DI0.0 DI0.1 (interrupt bits property: 0x03 0x00)\n",
          "edges:            DI0.0=falling DI0.1=rising\n", "rising edges:     0x02 0x00\n",
          "falling edges:    0x01 0x00\n",
          "features:         version \"Ver 1.0\", library \"RLX4100.DLL\", board type 221, "
          "digital lines 16\n"}) {
        EXPECT_NE(r.out.find(line), std::string::npos) << line << "in\n" << r.out;
    }
}

TEST_F(VtdioTest, InputReadsReportValuesAndValidBitMasks)
{
    EXPECT_EQ(Vtdio({"get", "0", "0", "4"}).out, "0x00 0x00 0x00 0x00\n");
    EXPECT_EQ(Vtdio({"word", "0", "3"}).out, "0x0000 mask=0x00ff\n");
    EXPECT_EQ(Vtdio({"dword", "1", "0"}).out, "0x00000000 mask=0x0000ffff\n");
    EXPECT_EQ(Vtdio({"bit", "0", "0", "7"}).out, "0\n");
    // The trigger-edge register holds the template's mode from the start.
    EXPECT_EQ(Vtdio({"reg", "read", "0", "+0x0c"}).out, "0x05\n");
    EXPECT_EQ(Vtdio({"reg", "read", "0", "0xd00c", "--word"}).out.substr(0, 4), "0x00");
}

TEST_F(VtdioTest, RefusalsPrintTheDecodedStatusAndExitOne)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"bit", "0", "0", "9"}, "DioReadBit: 4106 = device 0, API_INVALID_PARAMETER"},
        {{"get", "0", "3", "2"}, "DioReadDiPorts: 4103 = device 0, API_PORT_OUT_OF_RANGE"},
        {{"get", "1", "0", "0"}, "DioReadDiPorts: 8199 = device 1, API_PORT_OUT_OF_RANGE"},
        {{"word", "1", "2"}, "DioReadPortWord: 8199 = device 1, API_PORT_OUT_OF_RANGE"},
        {{"set", "1", "2", "1"}, "DioWritePortByte: 8199 = device 1, API_PORT_OUT_OF_RANGE"},
        {{"info", "7"}, "DeviceOpen: 2 = API_CONFIG_NOT_FOUND"},
        {{"reg", "read", "0", "0x100"}, "ReadPortByte: 4106 = device 0, API_INVALID_PARAMETER"},
        {{"reg", "read", "0", "+0x20"},
         "ReadPortByte: 4160 = device 0, DRV_STATUS_PORT_OUT_OF_RANGE"},
        {{"mon", "1", "DI2"}, "EnableEvent: 8232 = device 1, API_EVENT_NOT_SUPPORTED"},
        {{"mon", "0", "0x3402"}, "EnableEvent: 4136 = device 0, API_EVENT_NOT_SUPPORTED"},
        {{"mon", "0", "DI0", "--count", "0"},
         "EnableEvent: 4106 = device 0, API_INVALID_PARAMETER"},
        {{"mon", "0", "DI1", "--window", "3", "2"},
         "DioEnableEventAndSpecifyDiPorts: 4106 = device 0, API_INVALID_PARAMETER"},
    };
    for (const auto& [args, message] : cases) {
        const ProgramResult r = Vtdio(args);
        EXPECT_EQ(r.exitCode, 1) << args[0] << " " << r.err;
        EXPECT_EQ(r.err, "error: " + message + "\n") << args[0];
        EXPECT_EQ(r.out, "") << args[0];
    }
}

TEST_F(VtdioTest, BadArgumentsPrintUsageAndExitTwo)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"bogus"},
        {"reg", "peek", "0", "0"},
        {"get"},
        {"get", "x", "0"},
        {"get", "0", "0x10000"},
        {"get", "0", "-1"},
        {"setbit", "0", "0", "0", "2"},
        {"set", "0", "0", "0x100"},
        {"set", "0", "0", "1", "--word", "--dword"},
        {"readback", "0", "0", "--word", "--bit", "1"},
        {"reg", "write", "0", "+0", "0x100"},
        {"mon", "0"},
        {"mon", "0", "DI9"},
        {"mon", "0", "DI0", "--window", "1"},
        {"mon", "0", "DI0", "--num-events", "0"},
        {"list", "extra"},
        {"run"},
        {"mon", "0", "0x13400"},
        {"mon", "0", "DI0", "--json", "--quiet"},
        {"mon", "0", "DI0", "--format", "%x"},
    };
    for (const auto& args : cases) {
        const ProgramResult r = Vtdio(args);
        const std::string line = args.empty() ? "(none)" : args[0];
        EXPECT_EQ(r.exitCode, 2) << line << ": " << r.err;
        EXPECT_EQ(r.err.rfind("error: ", 0), 0u) << line << ": " << r.err;
        EXPECT_NE(r.err.find("Usage: vtdio"), std::string::npos) << line << ": " << r.err;
        EXPECT_EQ(r.out, "") << line;
    }
    EXPECT_EQ(Vtdio({"bogus"}).err.rfind("error: unknown command 'bogus'\n", 0), 0u);
}

TEST_F(VtdioTest, HelpWorksForEveryCommandWithoutATarget)
{
    for (const char* command : {"list", "info", "get", "bit", "word", "dword", "set", "setbit",
                                "readback", "mon", "demo", "shell", "run"}) {
        const ProgramResult r = RunProgram(VTDIO_PATH, {command, "--help"});
        EXPECT_EQ(r.exitCode, 0) << command;
        EXPECT_NE(r.out.find(std::string("Usage: vtdio ") + command), std::string::npos) << r.out;
    }
    EXPECT_NE(RunProgram(VTDIO_PATH, {"reg", "write", "--help"}).out.find("Usage: vtdio reg write"),
              std::string::npos);
}

TEST_F(VtdioTest, AMachineThatCannotBeReadStopsTheBootWithExitThree)
{
    const std::string broken = dir_.Write("broken.toml", "[[board]]\nmodel = \n");
    const ProgramResult r = RunProgram(VTDIO_PATH, {"--machine", broken, "list"});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_NE(r.err.find("the simulated target did not boot"), std::string::npos) << r.err;
}

TEST_F(VtdioTest, AHiveKeepsDeviceNumbersAcrossRuns)
{
    const std::string hive = dir_.path() + "/target.hive";
    ASSERT_EQ(Vtdio({"--hive", hive, "list"}).exitCode, 0);

    // The VTC-4100 is gone, a VTC-4100E is new: the VTM-6200K keeps number
    // 1, the newcomer gets the next free number, and device 0 stays listed
    // but no longer opens.
    const std::string changed = dir_.Write("changed.toml", R"(
[[board]]
model = "VTC-4100E"
slot = 2
switch = 2
io_base = 0xB000
irq = 4

[[board]]
model = "VTM-6200K"
slot = 8
switch = 3
io_base = 0xC000
irq = 5
)");
    const ProgramResult r = RunProgram(VTDIO_PATH, {"--hive", hive, "--machine", changed, "list"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(
        std::regex_search(r.out, std::regex("\n  0  VTC-4100 .*not available \\(DeviceOpen: "
                                            "4122 = device 0, API_DRIVER_OPEN_FAILED\\)\n")))
        << r.out;
    EXPECT_TRUE(
        std::regex_search(r.out, std::regex("\n  1  VTM-6200K .* 0xc000 .*DI0=fall DI1=rise\n")))
        << r.out;
    EXPECT_TRUE(std::regex_search(r.out, std::regex("\n  2  VTC-4100E .* 0xb000 "))) << r.out;

    // Without the hive the same machine starts numbering afresh.
    const ProgramResult fresh = RunProgram(VTDIO_PATH, {"--machine", changed, "list"});
    EXPECT_TRUE(std::regex_search(fresh.out, std::regex("\n  0  VTC-4100E "))) << fresh.out;
}

TEST_F(VtdioTest, RegistryScriptsReplaceTheDefaultOnes)
{
    // Without the VTM-6200K's package no driver serves that board.
    const ProgramResult r =
        Vtdio({"--registry", std::string(PACKAGES_DIR) + "/VTC4100.reg", "list"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "DEV  MODEL     CALL   SWITCH  IO-BASE  IRQ  EDGES\n"
              "  0  VTC-4100  VTD1:       1  0xd000     7  DI0=fall DI1=rise DI2=fall DI3=rise\n"
              "\n"
              "boards without a device:\n"
              "BOARD  MODEL      BUS/SLOT  IO-BASE  WHY NO DEVICE\n"
              "@1     VTM-6200K  0/8       0xc000   no driver template matches the board (is its "
              "package among the registry scripts?)\n");
}

TEST_F(VtdioTest, ListCountsDeviceEntriesAsTheDriverDoes)
{
    // Device entries named in another case and with more digits than the
    // driver writes: the driver counts 0 and 7 as taken, so this machine's
    // boards get 1 and 2, and list shows all four.
    const std::string entries = dir_.Write("entries.reg", R"(
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\RLXDAQ\DEVICE0000]
"BoardID"=dword:dd

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\RLXDAQ\device7]
"BoardID"=dword:87

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\RLX4100S\device7]
"BoardID"=dword:87
"CallName"="VTD9:"
"SwitchID"=dword:9
"BaseAddress"=dword:a000
"SystemIRQ"=dword:3
"BusNumber"=dword:0
"SlotNumber"=dword:14
)");
    const ProgramResult r = Vtdio({"--registry", std::string(PACKAGES_DIR) + "/VTC4100.reg",
                                   std::string(PACKAGES_DIR) + "/VTM6200K.reg", entries, "list"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // The library looks a device up by the name the driver writes
    // ("Device007"), so these two entries do not open.
    EXPECT_EQ(r.out,
              "DEV  MODEL      CALL   SWITCH  IO-BASE  IRQ  EDGES\n"
              "  0  VTM-6200K              0  0x0000     0  not available (DeviceOpen: 2 = "
              "API_CONFIG_NOT_FOUND)\n"
              "  1  VTC-4100   VTD1:       1  0xd000     7  DI0=fall DI1=rise DI2=fall DI3=rise\n"
              "  2  VTM-6200K  VTD2:       3  0xc000     5  DI0=fall DI1=rise\n"
              "  7  VTC-4100   VTD9:       9  0xa000     3  not available (DeviceOpen: 2 = "
              "API_CONFIG_NOT_FOUND)\n");
}

TEST_F(VtdioTest, DebugEchoesTheDriverDebugOutput)
{
    EXPECT_EQ(Vtdio({"get", "0", "0"}).err, "");
    ProgramResult r = Vtdio({"--debug", "get", "0", "0"});
    EXPECT_EQ(r.exitCode, 0);
    // Each entry once, on a line of its own, marked as the driver's.
    EXPECT_NE(r.err.find("\ndriver: ===GetRegistryData SwitchID: 3\n"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("\n\n"), std::string::npos) << r.err;
    for (const std::string& line : Lines(r.err)) {
        EXPECT_EQ(line.rfind("driver: ", 0), 0u) << line;
    }
    r = Vtdio({"--raw-debug", "get", "0", "0"});
    EXPECT_NE(r.err.find("===GetRegistryData SwitchID: 3"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("driver: "), std::string::npos) << r.err;
}

TEST_F(VtdioTest, MonEndsOnItsTimeoutAndOnCtrlC)
{
    auto start = std::chrono::steady_clock::now();
    ProgramResult r = Vtdio({"mon", "0", "DI0", "DI3", "--timeout", "150"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));

    // Asked for events that never came: the time-out is a failure.
    r = Vtdio({"mon", "0", "DI0", "--timeout", "100", "--num-events", "2"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("0 of 2 events before the time-out"), std::string::npos) << r.err;

    // Without a time-out only a signal ends it, cleanly, with 128 + its
    // number. The signal comes once mon has enabled its events (the driver's
    // debug line says so).
    start = std::chrono::steady_clock::now();
    r = VtdioInterruptedWhenReady({"--debug", "mon", "1", "DI0", "DI1"}, "EnableEvent event count");
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.exitCode, 130) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(VtdioTest, AShellWithoutATerminalStopsOnAFailingLineAsRunDoes)
{
    const std::string input = "get 0 0\nbit 0 0 9\nget 0 1\n";
    ProgramResult r = Vtdio({"shell"}, input);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "0x00\n");
    EXPECT_NE(r.err.find("stdin:2: exit code 1"), std::string::npos) << r.err;
    r = Vtdio({"shell", "--keep-going"}, input);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "0x00\n0x00\n");
}

}  // namespace
