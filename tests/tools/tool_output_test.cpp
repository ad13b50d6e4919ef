// What the tools write for programs and viewers: vtdio's JSON parsed back,
// the signal trace (Value Change Dump) read back for its header and known
// edges, and the timing diagram's size and a few of its pixels.
#include <cairo.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <sstream>

#include "tests/tools/tool_fixture.h"

namespace {

using nlohmann::json;
using vttest::Lines;
using vttest::ProgramResult;
using vttest::RunProgram;

class ToolOutputTest : public vttest::ToolFixture {
protected:
    ToolOutputTest() : ToolFixture(vttest::kTwoBoards) {}

    json Json(const std::vector<std::string>& args)
    {
        const ProgramResult r = Vtdio(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return json::parse(r.out);
    }
};

std::string Contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(ToolOutputTest, JsonOfListInfoGetAndReadbackParsesBack)
{
    const json list = Json({"list", "--json"});
    ASSERT_EQ(list["devices"].size(), 2u);
    EXPECT_EQ(list["devices"][1]["device"], 1);
    EXPECT_EQ(list["devices"][1]["model"], "VTM-6200K");
    EXPECT_EQ(list["devices"][1]["io_base"], 0xC000);
    EXPECT_EQ(list["devices"][1]["edges"]["DI0.0"], "falling");
    EXPECT_EQ(list["devices"][1]["edges"]["DI0.1"], "rising");
    EXPECT_TRUE(list["boards_without_device"].empty());

    const json info = Json({"info", "0", "--json"});
    EXPECT_EQ(info["board_type"], 135);
    EXPECT_EQ(info["irq"], 7);
    EXPECT_EQ(info["io_ports"], 32);
    EXPECT_EQ(info["interrupt_inputs"], json({"DI0.0", "DI0.1", "DI0.2", "DI0.3"}));
    EXPECT_EQ(info["features"]["library"], "RLX4100.DLL");

    const json get = Json({"get", "1", "0", "2", "--json"});
    EXPECT_EQ(get["ports"], json({0, 0}));

    // In a session the read-back shows what was written, and says the
    // target is not fresh.
    const ProgramResult r = Vtdio({"run", dir_.Write("rb.txt",
                                                     "set 0 1 0xa5\n"
                                                     "readback 0 1 --json\n")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const json readback = json::parse(r.out);
    EXPECT_EQ(readback["ports"], json({0xA5}));
    EXPECT_EQ(readback["fresh_target"], false);
    EXPECT_EQ(json::parse(Vtdio({"readback", "0", "1", "--json"}).out)["fresh_target"], true);
}

TEST_F(ToolOutputTest, MonJsonGivesOneObjectPerEventWithMergedEdges)
{
    // Input 0 of device 0 reacts to falling edges; the burst's pulses may
    // come faster than the driver takes the interrupt, so that later edges
    // merge (how many depends on the machine's speed and load). Each event
    // reports the edges merged since the one before; the last pulse comes
    // well after the burst, so the events account for every merged edge
    // that the board counted.
    const ProgramResult r = Vtdio({"run", dir_.Write("mon.txt", R"(
inport 0 1 0x5a
after 20 pulse 0 0 0 --when-enabled
after 60 pulse 0 0 0 --times 50 --gap 0 --when-enabled
after 300 pulse 0 0 0 --when-enabled
mon 0 all --window 0 2 --json --timeout 500
board 0
)")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::vector<std::string> lines;
    for (const std::string& line : Lines(r.out)) {
        if (line.rfind("{", 0) == 0) {
            lines.push_back(line);
        }
    }
    ASSERT_GE(lines.size(), 3u) << r.out;
    std::uint64_t lastTime = 0;
    std::uint64_t merged = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const json event = json::parse(lines[i]);
        EXPECT_EQ(event["device"], 0);
        EXPECT_EQ(event["event"], "EVT_DI_INTERRUPT0");
        EXPECT_EQ(event["code"], 0x3400);
        EXPECT_EQ(event["input"], "DI0.0");
        EXPECT_EQ(event["edge"], "falling");
        EXPECT_EQ(event["seq"], i + 1);
        EXPECT_EQ(event["di"], json({0, 0x5a}));
        EXPECT_GT(event["time_ns"].get<std::uint64_t>(), lastTime);
        lastTime = event["time_ns"];
        merged += event["merged"].get<std::uint64_t>();
    }
    std::smatch boardMerged;
    ASSERT_TRUE(std::regex_search(r.out, boardMerged, std::regex("\n  merged edges: +([0-9]+)\n")))
        << r.out;
    EXPECT_EQ(merged, std::stoull(boardMerged[1])) << r.out;
    // 52 falling edges: each one an event or merged into one (edges that
    // come while the driver has the input's interrupt off are not counted).
    EXPECT_LE(merged + lines.size(), 52u) << r.out;
}

TEST_F(ToolOutputTest, MonFormatsEachEventAsAskedOrStaysQuiet)
{
    const ProgramResult r = Vtdio({"run", dir_.Write("format.txt", R"(
after 10 pulse 1 0 1 --when-enabled
mon 1 all --num-events 1 --timeout 2000 --format "%n|%d|%E|%e|%i|%g|%m|%%\t."
after 10 pulse 1 0 0 --when-enabled
mon 1 DI0 --num-events 1 --timeout 2000 --quiet
)")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "1|1|EVT_DI_INTERRUPT1|0x3401|DI0.1|rising|0|%\t.\n");
}

TEST_F(ToolOutputTest, TheTraceHasItsHeaderAndTheEdgesAndEventsOfTheRun)
{
    const std::string vcd = dir_.path() + "/run.vcd";
    const ProgramResult r = Vtdio({"--trace", vcd, "run", dir_.Write("t.txt", R"(
in 0 0 3 1
set 1 0 0x80
after 10 pulse 0 0 1 --when-enabled
mon 0 DI1 --num-events 1 --timeout 2000
)")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string text = Contents(vcd);
    ASSERT_EQ(text.rfind("$date ", 0), 0u) << text.substr(0, 200);
    for (const char* header :
         {"$timescale 1ns $end\n", "$scope module board0 $end\n", "$scope module board1 $end\n",
          "$scope module events $end\n", "$enddefinitions $end\n", "#0\n$dumpvars\n"}) {
        EXPECT_NE(text.find(header), std::string::npos) << header;
    }
    // The identifiers of the wires, scope by scope.
    std::map<std::string, std::string> ids;  // "board0.DI0_3" -> id
    std::string scope;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line) && line != "$enddefinitions $end";) {
        std::smatch m;
        if (std::regex_match(line, m, std::regex("\\$scope module (\\S+) \\$end"))) {
            scope = m[1];
        } else if (std::regex_match(line, m, std::regex("\\$var wire 1 (\\S+) (\\S+) \\$end"))) {
            EXPECT_EQ(m[1].str().find_first_of("#$"), std::string::npos) << line;
            ids[scope + "." + m[2].str()] = m[1];
        }
    }
    ASSERT_TRUE(ids.count("board0.DI0_3") && ids.count("board1.DO0_7") &&
                ids.count("board0.status1") && ids.count("board0.irq"))
        << text.substr(0, 3000);
    // The changes after the initial values, in order, each with its time.
    std::vector<std::pair<std::uint64_t, std::string>> changes;
    std::uint64_t time = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line[0] == '#') {
            const std::uint64_t next = std::stoull(line.substr(1));
            EXPECT_GE(next, time);
            time = next;
        } else if ((line[0] == '0' || line[0] == '1') && time > 0) {
            changes.push_back({time, line});
        }
    }
    auto at = [&](const std::string& change) {
        for (std::size_t i = 0; i < changes.size(); ++i) {
            if (changes[i].second == change) {
                return static_cast<long>(i);
            }
        }
        return -1L;
    };
    EXPECT_GE(at("1" + ids["board0.DI0_3"]), 0);  // in 0 0 3 1
    EXPECT_GE(at("1" + ids["board1.DO0_7"]), 0);  // set 1 0 0x80
    // The pulse on input 1 (a rising edge on this board) sets its status
    // bit and the interrupt line, then the driver clears both.
    const long rise = at("1" + ids["board0.DI0_1"]);
    const long status = at("1" + ids["board0.status1"]);
    const long line = at("1" + ids["board0.irq"]);
    ASSERT_GE(rise, 0);
    EXPECT_GT(status, rise);
    EXPECT_GT(line, rise);
    EXPECT_GT(at("0" + ids["board0.irq"]), line);
    // The event of input 1 was set and taken.
    std::string eventId;
    for (const auto& [name, id] : ids) {
        if (name.rfind("events.", 0) == 0 && name.find("INTERRUPT1") != std::string::npos) {
            eventId = id;
        }
    }
    ASSERT_FALSE(eventId.empty()) << text.substr(0, 4000);
    EXPECT_GT(at("1" + eventId), status);
    EXPECT_GT(at("0" + eventId), at("1" + eventId));
}

// The pixel at x, y as 0xRRGGBB.
unsigned Pixel(cairo_surface_t* png, int x, int y)
{
    const unsigned char* row =
        cairo_image_surface_get_data(png) + y * cairo_image_surface_get_stride(png);
    std::uint32_t argb;
    std::memcpy(&argb, row + x * 4, 4);
    return argb & 0xFFFFFF;
}

TEST_F(ToolOutputTest, ThePlotHasARowPerChangedSignalAndShowsTheLevels)
{
    const std::string vcd = dir_.path() + "/p.vcd", plot = dir_.path() + "/p.png";
    for (const std::string& tool : {std::string(VTDIO_PATH), std::string(VTSIM_PATH)}) {
        const std::vector<std::string> command =
            tool == VTDIO_PATH
                ? std::vector<std::string>{"run", dir_.Write("p.txt", "in 0 0 0 1\n")}
                : std::vector<std::string>{"set-input", "--board", "0", "--port",
                                           "0",         "--value", "1"};
        std::vector<std::string> args = {"--machine", machine_, "--trace", vcd, "--plot", plot};
        args.insert(args.end(), command.begin(), command.end());
        const ProgramResult r = RunProgram(tool, args);
        ASSERT_EQ(r.exitCode, 0) << r.err;

        // The rows: the signals that changed in the trace, under their
        // boards' titles.
        const std::string text = Contents(vcd);
        std::set<std::string> changed;
        const std::size_t dumpEnd = text.find("$end", text.find("$dumpvars"));
        std::istringstream after(text.substr(dumpEnd));
        for (std::string line; std::getline(after, line);) {
            if (line[0] == '0' || line[0] == '1') {
                changed.insert(line.substr(1));
            }
        }
        std::set<std::string> groups;
        std::string scope;
        std::istringstream header(text.substr(0, text.find("$enddefinitions")));
        for (std::string line; std::getline(header, line);) {
            std::smatch m;
            if (std::regex_match(line, m, std::regex("\\$scope module (\\S+) \\$end"))) {
                scope = m[1];
            } else if (std::regex_match(line, m, std::regex("\\$var wire 1 (\\S+) \\S+ \\$end")) &&
                       changed.count(m[1])) {
                groups.insert(scope);
            }
        }

        cairo_surface_t* png = cairo_image_surface_create_from_png(plot.c_str());
        ASSERT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS) << tool;
        EXPECT_EQ(cairo_image_surface_get_width(png), 1000);
        EXPECT_EQ(
            cairo_image_surface_get_height(png),
            30 + 20 * static_cast<int>(groups.size()) + 18 * static_cast<int>(changed.size()) + 40)
            << tool << ": " << changed.size() << " rows in " << groups.size() << " groups";
        EXPECT_EQ(Pixel(png, 3, 3), 0xFFFFFFu);   // the background
        EXPECT_EQ(Pixel(png, 3, 40), 0xEEEEEEu);  // board 0's title row
        // DI0.0 of board 0, its first row, is high at the end: filled
        // under the line.
        EXPECT_EQ(Pixel(png, 975, 30 + 20 + 9), 0xD6E4F7u) << tool;
        EXPECT_EQ(Pixel(png, 100, 30 + 20 + 9), 0xFFFFFFu) << tool;  // the labels
        cairo_surface_destroy(png);
    }
}

}  // namespace

TEST(ToolOutputScenario, TheShippedTraceScenarioWritesTheTraceAndThePlot)
{
    const vttest::TempDir dir;
    const std::string vcd = dir.path() + "/pulses.vcd", plot = dir.path() + "/pulses.png";
    const ProgramResult r =
        RunProgram(VTDIO_PATH, {"--trace", vcd, "--plot", plot, "run",
                                std::string(EXAMPLES_DIR) + "/signal_trace_scenario.txt"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_GE(Lines(r.out).size(), 4u) << r.out;  // a line per pulse, the burst's at least one
    EXPECT_NE(Contents(vcd).find("$enddefinitions $end"), std::string::npos);
    cairo_surface_t* png = cairo_image_surface_create_from_png(plot.c_str());
    EXPECT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
    cairo_surface_destroy(png);
}
