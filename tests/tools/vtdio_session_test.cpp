// vtdio sessions: scripts (run FILE) and the shell on one target, with the
// boards driven from outside; and the demo.
#include <gtest/gtest.h>

#include <regex>

#include "tests/tools/tool_fixture.h"

namespace {

using vttest::Lines;
using vttest::ProgramResult;
using vttest::RunProgram;

// One board with rising edges on every interrupt input (switch 3's template).
constexpr const char* kMachine = R"(
[[board]]
model = "VTC-4100"
slot = 4
switch = 3
io_base = 0xD000
irq = 7
)";

class VtdioSessionTest : public vttest::ToolFixture {
protected:
    VtdioSessionTest() : ToolFixture(kMachine) {}

    // vtdio run <script written to script.txt> extra...
    ProgramResult Run(const std::string& script, std::vector<std::string> extra = {})
    {
        extra.insert(extra.begin(), {"run", dir_.Write("script.txt", script)});
        return Vtdio(extra);
    }
};

TEST_F(VtdioSessionTest, ScheduledPulsesRaiseTheEventsThatMonWaitsFor)
{
    // The pulses wait for mon's events to be enabled, however long mon
    // takes to start; the second mon enables the input of the later pulses.
    const ProgramResult r = Run(R"(
# the input levels that the driver latches at each interrupt
inport 0 1 0x5a
after 50 pulse 0 0 1 --when-enabled
after 150 pulse 0 0 0 --times 2 --gap 50 --when-enabled
mon 0 DI1 --num-events 1 --timeout 2000 --window 1 2
mon 0 DI0 --num-events 2 --timeout 2000 --window 1 2
board 0
)");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_GE(lines.size(), 3u) << r.out;
    // Time, device, sequence, event, input and its edge, latched ports.
    const std::regex event(
        "([0-9]+\\.[0-9]{9}) dev 0 seq ([0-9]) (EVT_DI_INTERRUPT[01] DI0\\.[01]) "
        "rising di=0x5a,0x00");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(lines[0], match, event)) << lines[0];
    EXPECT_EQ(match[2], "1");
    EXPECT_EQ(match[3], "EVT_DI_INTERRUPT1 DI0.1");
    const double first = std::stod(match[1]);
    // The second mon numbers its events from 1 again.
    ASSERT_TRUE(std::regex_match(lines[1], match, event)) << lines[1];
    EXPECT_EQ(match[2], "1");
    EXPECT_EQ(match[3], "EVT_DI_INTERRUPT0 DI0.0");
    EXPECT_GT(std::stod(match[1]), first);
    ASSERT_TRUE(std::regex_match(lines[2], match, event)) << lines[2];
    EXPECT_EQ(match[2], "2");
    EXPECT_EQ(match[3], "EVT_DI_INTERRUPT0 DI0.0");
    // After mon the events are disabled again; the board saw three interrupts.
    EXPECT_NE(r.out.find("  int enable:     0x00\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  interrupts:     3\n"), std::string::npos) << r.out;
    EXPECT_TRUE(std::regex_search(r.out, std::regex("\n  merged edges:   [0-9]+\n"))) << r.out;
}

TEST_F(VtdioSessionTest, MonCountsInterruptsPerEventAndStopsWhenTheInputsGoQuiet)
{
    const ProgramResult r = Run(R"(
after 20 pulse 0 0 2 --times 5 --gap 30
mon 0 DI2_ALIAS --count 2 --timeout 400
)");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 2u) << r.out;
    for (const std::string& line : lines) {
        EXPECT_TRUE(std::regex_match(line, std::regex(".* EVT_DI_INTERRUPT2_ALIAS DI0.2 rising")))
            << line;
    }
}

TEST_F(VtdioSessionTest, OutputsReachTheLatchesAndReadBackAndInputsReadAsDriven)
{
    const ProgramResult r = Run(R"(
set 0 1 0xa5
set 0 1 0x0f --mask 0x0c
readback 0 1
setbit 0 3 7 1
readback 0 3 --bit 7
set 0 0 0x1234 --word
readback 0 0 --word
readback 0 3 --dword
readback 0 0 4
board 0
inport 0 2 0x3c
in 0 3 0 1
dword 0 0
bit 0 2 2
get 0 2 2
)");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find("@0")),
              "0xad\n"
              "1\n"
              "0x1234 mask=0xffff\n"
              "0x00000080 mask=0x000000ff\n"
              "0x34 0x12 0x00 0x80\n");
    EXPECT_NE(r.out.find("  do latches:     0x34 0x12 0x00 0x80\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.substr(r.out.find("interrupts:")),
              "interrupts:     0\n"
              "0x013c0000 mask=0xffffffff\n"
              "1\n"
              "0x3c 0x01\n");
}

TEST_F(VtdioSessionTest, RawRegisterWritesReachTheBoard)
{
    const ProgramResult r = Run(R"(
reg read 0 +0x0c
reg write 0 +0x0c 0x0f
reg read 0 0xd00c
board 0
)");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, 10), "0x00\n0x0f\n");
    EXPECT_NE(r.out.find("  trigger mode:   0x0f\n"), std::string::npos) << r.out;
}

TEST_F(VtdioSessionTest, AFailingLineStopsTheScriptWithItsExitCode)
{
    const std::string script = "echo one\nbit 0 0 9\nbogus\necho two\n";
    ProgramResult r = Run(script);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "one\n");
    EXPECT_NE(r.err.find("4106 = device 0, API_INVALID_PARAMETER"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("script.txt:2: exit code 1"), std::string::npos) << r.err;

    r = Run(script, {"--keep-going", "--echo"});
    EXPECT_EQ(r.exitCode, 2);  // the last failure: the unknown command
    EXPECT_EQ(r.out, "> echo one\none\n> bit 0 0 9\n> bogus\n> echo two\ntwo\n");

    // Board commands are checked against the machine before they run.
    for (const char* line : {"pulse 5 0 0", "pulse @1 0 0", "in 0 4 0 1", "in 0 0 8 1",
                             "after 10 get 0 0", "after 10 pulse 0 9 0", "\"open quote"}) {
        r = Run(line);
        EXPECT_EQ(r.exitCode, 2) << line;
        EXPECT_EQ(r.err.rfind("error: ", 0), 0u) << line << ": " << r.err;
    }
}

TEST_F(VtdioSessionTest, EndingASessionCancelsScheduledAndRunningCommands)
{
    const std::string script = R"(
after 10 pulse 0 0 0 --times 1000 --gap 1000
after 60000 in 0 0 0 1
after 20 in 0 0 1 1
sleep 100
get 0 0
)";
    auto start = std::chrono::steady_clock::now();
    ProgramResult r = Run(script);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "0x02\n");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

    // Ctrl-C while the script waits for them ends the script. It comes once
    // the script has printed what comes before its wait.
    start = std::chrono::steady_clock::now();
    r = VtdioInterruptedWhenReady({"run", dir_.Write("wait.txt", script + "wait\nget 0 0\n")},
                                  "0x02\n");
    EXPECT_EQ(r.exitCode, 130);
    EXPECT_EQ(r.out, "0x02\n");
    EXPECT_NE(r.err.find("wait.txt:7: interrupted"), std::string::npos) << r.err;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(VtdioSessionTest, ShellReadsCommandsFromAPipeUntilQuit)
{
    const ProgramResult r = Vtdio({"shell"}, "inport 0 0 0x81\nget 0 0\n\n# note\nquit\nlist\n");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "0x81\n");
}

TEST(VtdioScenario, TheShippedPulseScenarioSeesBothInterrupts)
{
    const ProgramResult r =
        RunProgram(VTDIO_PATH, {"run", std::string(EXAMPLES_DIR) + "/pulse_scenario.txt"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_GE(lines.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(std::regex_match(
            lines[i], std::regex(".* EVT_DI_INTERRUPT0 DI0.0 falling di=0x[0-9a-f]{2},0x5a")))
            << lines[i];
    }
    EXPECT_NE(r.out.find("  interrupts:     2\n"), std::string::npos) << r.out;
}

TEST(VtdioDemo, ShowsTheWholeChainOnEveryDefaultBoard)
{
    const auto start = std::chrono::steady_clock::now();
    const ProgramResult r = RunProgram(VTDIO_PATH, {"demo"});
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "3 of 3 devices passed the demo");
    std::size_t events = 0, checks = 0;
    for (const std::string& line : lines) {
        events += std::regex_match(line, std::regex(" +[0-9]+ms EVT_DI_INTERRUPT0 di=.*"));
        checks += line.size() > 4 && line.compare(line.size() - 4, 4, "  ok") == 0;
    }
    EXPECT_EQ(events, 9u) << r.out;
    EXPECT_EQ(checks, 9u) << r.out;  // read-back, loopback, events on each board
}

}  // namespace
