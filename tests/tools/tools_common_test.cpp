// The tools' shared pieces on their own: the signal recorder's ordering and
// times, the trace file's identifiers and values, the checks of file
// options on links and unusual files, and how exit codes combine.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "tests/tools/program_runner.h"
#include "tools/common/command_line.h"
#include "tools/common/exit_codes.h"
#include "tools/common/file_options.h"
#include "tools/common/signal_recorder.h"
#include "tools/common/tool_target.h"
#include "tools/common/vcd_file.h"

namespace {

using namespace vttools;

vtsim::BoardIdentity OneBoard()
{
    vtsim::BoardIdentity board;
    board.place = 0;
    board.ports = 2;
    board.interruptInputs = 2;
    return board;
}

TEST(SignalRecorderTest, ChangesComeInOrderWithStrictlyIncreasingTimes)
{
    SignalRecorder recorder;
    const vtsim::BoardIdentity board = OneBoard();
    vtsim::BoardSignals signals;
    signals.inputs[0] = 0x01;
    recorder.BoardChanged(board, signals);  // DI0.0 up
    signals.inputs[0] = 0x00;
    recorder.BoardChanged(board, signals);  // and down at once: still a pulse
    recorder.BoardChanged(board, signals);  // no change: nothing recorded
    signals.interruptStatus = 0x02;
    signals.interruptLine = true;
    recorder.BoardChanged(board, signals);  // two signals in one report
    recorder.EventChanged(u"EVT_A", true);
    recorder.EventChanged(u"EVT_A", false);

    const Trace trace = recorder.Finish();
    // 16 DI, 16 DO, enable/trigger/status of two inputs, irq, one event.
    ASSERT_EQ(trace.signals.size(), 16u + 16u + 6u + 1u + 1u);
    EXPECT_EQ(trace.signals[0].name, "DI0_0");
    EXPECT_EQ(trace.signals[0].group, "board0");
    EXPECT_EQ(trace.signals.back().name, "EVT_A");
    EXPECT_TRUE(trace.signals.back().event);
    ASSERT_EQ(trace.changes.size(), 6u);
    EXPECT_EQ(trace.changes[0].signal, 0u);
    EXPECT_TRUE(trace.changes[0].value);
    EXPECT_EQ(trace.changes[1].signal, 0u);
    EXPECT_FALSE(trace.changes[1].value);
    EXPECT_LT(trace.changes[0].timeNs, trace.changes[1].timeNs);
    // The status bit and the line changed in one report: one time.
    EXPECT_EQ(trace.changes[2].timeNs, trace.changes[3].timeNs);
    EXPECT_LT(trace.changes[3].timeNs, trace.changes[4].timeNs);
    EXPECT_GT(trace.endNs, trace.changes.back().timeNs);
}

TEST(VcdFileTest, EveryWireHasItsOwnIdentifierWithoutTimeOrKeywordCharacters)
{
    Trace trace;
    for (int i = 0; i < 20000; ++i) {
        std::string name = "E";
        name += std::to_string(i);
        trace.signals.push_back({"events", name, "", true});
    }
    trace.changes.push_back({5, 19999, true});
    trace.endNs = 9;
    std::ostringstream out;
    WriteVcd(trace, out);
    std::istringstream lines(out.str());
    std::set<std::string> ids;
    std::string last;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("$var wire 1 ", 0) == 0) {
            const std::string id = line.substr(12, line.find(' ', 12) - 12);
            EXPECT_EQ(id.find_first_of("#$ "), std::string::npos) << line;
            EXPECT_TRUE(ids.insert(id).second) << "twice: " << id;
            last = id;
        }
    }
    EXPECT_EQ(ids.size(), 20000u);
    // The one change, after the initial values, at its time; then the end.
    EXPECT_NE(out.str().find("$end\n#5\n1" + last + "\n#9\n"), std::string::npos);
}

TEST(FileProblemTest, LinksAndUnusualFilesAreJudgedByWhatTheyReach)
{
    const vttest::TempDir dir;
    const std::string file = dir.Write("f.reg", "x");
    EXPECT_EQ(FileProblem(file, FileUse::Read), "");
    EXPECT_EQ(FileProblem(dir.path(), FileUse::Folder), "");
    EXPECT_EQ(FileProblem(file, FileUse::Folder), "not a directory");
    EXPECT_EQ(FileProblem("", FileUse::Read), "no file named");
    EXPECT_EQ(FileProblem(dir.path() + "/none", FileUse::Read), "no such file or directory");
    EXPECT_EQ(FileProblem(dir.path() + "/new.hive", FileUse::Keep), "");
    EXPECT_EQ(FileProblem(dir.path() + "/new.vcd", FileUse::Write), "");
    EXPECT_EQ(FileProblem(file + "/below", FileUse::Write), "not a directory");

    // A link to a hive still to be made in a folder that is there is fine;
    // into a folder that is not, refused; a loop of links, refused.
    const std::string toNew = dir.path() + "/to-new.hive";
    ASSERT_EQ(::symlink("made-later.hive", toNew.c_str()), 0);
    EXPECT_EQ(FileProblem(toNew, FileUse::Keep), "");
    const std::string toMissing = dir.path() + "/to-missing.hive";
    ASSERT_EQ(::symlink("no/such/folder/h.hive", toMissing.c_str()), 0);
    EXPECT_NE(FileProblem(toMissing, FileUse::Keep).find("no such file or directory"),
              std::string::npos);
    const std::string loop = dir.path() + "/loop.hive";
    ASSERT_EQ(::symlink("loop.hive", loop.c_str()), 0);
    EXPECT_NE(FileProblem(loop, FileUse::Keep), "");
    EXPECT_NE(FileProblem(loop, FileUse::Read), "");

    const std::string frozen = dir.Write("frozen.hive", "x");
    ASSERT_EQ(::chmod(frozen.c_str(), 0444), 0);
    EXPECT_EQ(FileProblem(frozen, FileUse::Keep).rfind("read-only", 0), 0u);
    EXPECT_EQ(FileProblem(frozen, FileUse::Read), "");
}

TEST(ExitCodeTest, AFileNotWrittenOutweighsSuccessRefusalAndSignalsButNotUsageOrBoot)
{
    EXPECT_EQ(CombinedExitCode(EXIT_OK, EXIT_OK), EXIT_OK);
    EXPECT_EQ(CombinedExitCode(EXIT_FAILED, EXIT_OK), EXIT_FAILED);
    EXPECT_EQ(CombinedExitCode(EXIT_SIGNAL_BASE + 15, EXIT_OK), 143);
    EXPECT_EQ(CombinedExitCode(EXIT_OK, EXIT_FILE), EXIT_FILE);
    EXPECT_EQ(CombinedExitCode(EXIT_FAILED, EXIT_FILE), EXIT_FILE);
    EXPECT_EQ(CombinedExitCode(EXIT_SIGNAL_BASE + 15, EXIT_FILE), EXIT_FILE);
    EXPECT_EQ(CombinedExitCode(EXIT_USAGE, EXIT_FILE), EXIT_USAGE);
    EXPECT_EQ(CombinedExitCode(EXIT_TARGET, EXIT_FILE), EXIT_TARGET);
}

// Options of single use given more than once, options and subcommands
// alike: said in the tools' words, with the option's description; a wrong
// count of values says how many it takes; other errors stay CLI11's.
TEST(ParseErrorTextTest, ARepeatedOptionIsNamedWithHowOftenItCame)
{
    auto parse = [](std::vector<std::string> args) {
        CLI::App app("test", "tool");
        std::string machine;
        std::vector<int> window;
        int count = 0;
        app.add_option("--machine", machine, "machine description");
        CLI::App* mon = app.add_subcommand("mon", "");
        mon->add_option("-c,--count", count, "every K-th interrupt");
        mon->add_option("--window", window, "FIRST COUNT")->expected(2);
        std::reverse(args.begin(), args.end());
        try {
            app.parse(args);
        } catch (const CLI::Error& e) {
            return ParseErrorText(app, e);
        }
        return std::string("parsed");
    };
    EXPECT_EQ(parse({"--machine", "a", "--machine", "b"}),
              "--machine can be given once only, not 2 times: machine description");
    EXPECT_EQ(parse({"mon", "-c", "1", "--count", "2", "--count", "3"}),
              "--count can be given once only, not 3 times: every K-th interrupt");
    EXPECT_EQ(parse({"mon", "--window", "0", "1", "--window", "2", "1"}),
              "--window can be given once only (with its 2 values), not 2 times: FIRST COUNT");
    EXPECT_EQ(parse({"mon", "--window", "0", "1", "2"}),
              "--window takes 2 values, not 3: FIRST COUNT");
    EXPECT_EQ(parse({"mon", "--count", "x"}).find("can be given"), std::string::npos);
    EXPECT_EQ(parse({"mon", "--count", "1"}), "parsed");
}

}  // namespace
