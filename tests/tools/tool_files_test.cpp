// The files named on the tools' command lines, bad on purpose: each ends
// with one line that names the file and the reason and exit code 4, quickly
// and without reading without limit, and a good hive is never damaged. The
// hive is saved on every way out, SIGTERM included, through a symbolic link
// and with its mode kept.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

#include "tests/tools/tool_fixture.h"

namespace {

using vttest::ProgramResult;
using vttest::RunProgram;

class ToolFilesTest : public vttest::ToolFixture {
protected:
    ToolFilesTest() : ToolFixture(vttest::kTwoBoards) {}

    // A hive written by a run that listed the devices.
    std::string MakeHive(const std::string& name)
    {
        const std::string hive = dir_.path() + "/" + name;
        const ProgramResult r = Vtdio({"--hive", hive, "list"});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return hive;
    }
};

std::string Contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

mode_t ModeOf(const std::string& path)
{
    struct stat info = {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

// Exit 4 with one line, "error: PATH: reason", the reason matching.
void ExpectFileError(const ProgramResult& r, const std::string& path, const std::string& reason)
{
    EXPECT_EQ(r.exitCode, 4) << path << ": " << r.err;
    const std::string prefix = "error: " + path + ": ";
    ASSERT_EQ(r.err.rfind(prefix, 0), 0u) << r.err;
    EXPECT_TRUE(std::regex_match(r.err.substr(prefix.size()), std::regex(reason + "\n"))) << r.err;
    EXPECT_EQ(r.out, "");
}

TEST_F(ToolFilesTest, FoldersDevicesAndOverLongNamesAreRefusedInOneLine)
{
    const std::string folder = dir_.path();
    const std::string longName = dir_.path() + "/" + std::string(300, 'h') + ".hive";
    // A program that read a device without limit would be killed at the
    // runner's time-out and fail its case.
    for (const std::string& tool : {std::string(VTDIO_PATH), std::string(VTSIM_PATH)}) {
        const std::string command = tool == VTDIO_PATH ? "list" : "boards";
        ExpectFileError(RunProgram(tool, {"--hive", folder, command}), folder, "is a directory");
        ExpectFileError(RunProgram(tool, {"--registry", folder, command}), folder,
                        "is a directory");
        ExpectFileError(RunProgram(tool, {"--machine", folder, command}), folder, "is a directory");
        ExpectFileError(RunProgram(tool, {"--hive", longName, command}), longName,
                        "file name too long");
        for (const char* option : {"--machine", "--registry", "--hive"}) {
            ExpectFileError(RunProgram(tool, {option, "/dev/zero", command}), "/dev/zero",
                            "not a regular file");
        }
        ExpectFileError(RunProgram(tool, {"--trace", folder, command}), folder, "is a directory");
        ExpectFileError(RunProgram(tool, {"--plot", folder + "/missing/p.png", command}),
                        folder + "/missing/p.png", "folder .*: no such file or directory");
    }
    ExpectFileError(RunProgram(VTDIO_PATH, {"run", folder}), folder, "is a directory");
    ExpectFileError(RunProgram(VTDIO_PATH, {"run", "/dev/zero"}), "/dev/zero",
                    "not a regular file");
    ExpectFileError(RunProgram(VTDIO_PATH, {"--modules", "/dev/zero", "list"}), "/dev/zero",
                    "not a directory");
}

TEST_F(ToolFilesTest, AFileLargerThanTheLimitIsRefusedUnread)
{
    const std::string big = dir_.path() + "/big.reg";
    {
        std::ofstream out(big);
        out.seekp(80L << 20);  // a sparse file of 80 MiB
        out << ";";
    }
    ExpectFileError(Vtdio({"--registry", big, "list"}), big, "larger than .*");
}

TEST_F(ToolFilesTest, AFailedRunNeverDamagesAGoodHive)
{
    const std::string hive = MakeHive("good.hive");
    const std::string before = Contents(hive);
    ASSERT_FALSE(before.empty());

    // A broken script over the kept hive stops the boot; a broken machine too.
    const std::string broken =
        dir_.Write("broken.reg", "[HKEY_LOCAL_MACHINE\\X]\n\"v\"=dword:zz\n");
    ProgramResult r = Vtdio({"--hive", hive, "--registry", broken, "list"});
    EXPECT_EQ(r.exitCode, 3) << r.err;
    EXPECT_NE(r.err.find(broken), std::string::npos) << r.err;
    r = RunProgram(VTDIO_PATH,
                   {"--hive", hive, "--machine", dir_.Write("m.toml", "[[board]]\n"), "list"});
    EXPECT_EQ(r.exitCode, 3) << r.err;
    r = Vtdio({"--hive", hive, "get", "9", "0"});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(Contents(hive), before);

    // A hive that is not one is reported, not replaced.
    const std::string notAHive = dir_.Write("text.hive", "not a hive\n");
    r = Vtdio({"--hive", notAHive, "list"});
    EXPECT_EQ(r.exitCode, 3) << r.err;
    EXPECT_EQ(Contents(notAHive), "not a hive\n");
}

TEST_F(ToolFilesTest, ScriptsGivenWithAKeptHiveAreImportedOverIt)
{
    const std::string hive = MakeHive("kept.hive");
    const std::string extra = dir_.Write("extra.reg", R"(
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\RLXDAQ\Device005]
"BoardID"=dword:87
)");
    ProgramResult r = Vtdio({"--hive", hive, "--registry", extra, "list"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("\n  5  VTC-4100 "), std::string::npos) << r.out;
    // ...and saved with it.
    r = Vtdio({"--hive", hive, "list"});
    EXPECT_NE(r.out.find("\n  5  VTC-4100 "), std::string::npos) << r.out;
}

TEST_F(ToolFilesTest, SigtermDuringMonCleansUpAndSavesTheHive)
{
    const std::string hive = dir_.path() + "/mon.hive";
    const std::string trace = dir_.path() + "/mon.vcd";
    // SIGTERM, as timeout(1) and service managers send it, once the driver
    // says (in its debug output) that the event is enabled.
    const std::string err = dir_.path() + "/mon.err";
    const std::string script = "\"$0\" \"$@\" 2>\"" + err + "\" & pid=$!\n" +
                               "for i in $(seq 200); do grep -q 'EnableEvent event count' \"" +
                               err + "\" && break; sleep 0.05; done\n" +
                               "kill -TERM $pid; wait $pid\n";
    const ProgramResult r =
        RunProgram("/bin/sh", {"-c", script, VTDIO_PATH, "--machine", machine_, "--hive", hive,
                               "--trace", trace, "--debug", "mon", "0", "DI0"});
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.exitCode, 143) << r.err;
    // (The shell reports 143 for a kill by the signal too; what follows
    // shows that the tool ended on its own, after its clean-up.)
    // The hive was saved with the device numbers given out in this run...
    const ProgramResult list = Vtdio({"--hive", hive, "list"});
    EXPECT_NE(list.out.find("\n  1  VTM-6200K "), std::string::npos) << list.out << list.err;
    // ...and the event was disabled again: the interrupt enable bit of
    // input 0 was set and ends cleared.
    const std::string vcd = Contents(trace);
    std::smatch id;
    ASSERT_TRUE(std::regex_search(vcd, id, std::regex("\\$var wire 1 (\\S+) enable0 \\$end")))
        << vcd.substr(0, 2000);
    const std::string set = "\n1" + id[1].str() + "\n", cleared = "\n0" + id[1].str() + "\n";
    const std::size_t dumpEnd = vcd.find("$end", vcd.find("$dumpvars"));
    const std::size_t on = vcd.find(set, dumpEnd);
    ASSERT_NE(on, std::string::npos);
    EXPECT_NE(vcd.find(cleared, on), std::string::npos);
}

// A one-shot command that is over before a SIGTERM's clean-up is: the exit
// code still says the run was stopped, and the (large) hive is saved whole.
TEST_F(ToolFilesTest, SigtermDuringAOneShotCommandExits143AndSavesTheHive)
{
    std::string filler;
    for (int i = 0; i < 8000; ++i) {
        filler += "[HKEY_LOCAL_MACHINE\\Software\\Filler\\Key" + std::to_string(i) +
                  "]\n\"Name\"=\"" + std::string(100, 'x') + "\"\n";
    }
    const std::string hive = dir_.path() + "/big.hive";
    ProgramResult r =
        Vtdio({"--hive", hive, "--registry", VT_TEST_SOURCE_DIR "/platform/image/platform.reg",
               PACKAGES_DIR "/VTC4100.reg", PACKAGES_DIR "/VTM6200K.reg",
               dir_.Write("filler.reg", filler), "list"});
    ASSERT_EQ(r.exitCode, 0) << r.err;

    // SIGTERM as soon as the driver speaks during the boot.
    const std::string err = dir_.path() + "/list.err";
    const std::string script = "\"$0\" \"$@\" >/dev/null 2>\"" + err + "\" & pid=$!\n" +
                               "for i in $(seq 2000); do grep -q '^driver: ' \"" + err +
                               "\" 2>/dev/null && break; sleep 0.002; done\n" +
                               "kill -TERM $pid; wait $pid\n";
    r = RunProgram("/bin/sh", {"-c", script, VTDIO_PATH, "--machine", machine_, "--hive", hive,
                               "--debug", "list"});
    EXPECT_EQ(r.exitCode, 143) << Contents(err);
    r = Vtdio({"--hive", hive, "list"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("\n  1  VTM-6200K "), std::string::npos) << r.out;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
        EXPECT_EQ(entry.path().filename().string().find("big.hive.tmp"), std::string::npos)
            << entry.path();
    }
}

TEST_F(ToolFilesTest, AHiveThatCannotBeSavedFailsTheRun)
{
    // Checked before the boot: a folder that does not exist.
    const std::string missing = dir_.path() + "/no/such/folder/t.hive";
    ExpectFileError(Vtdio({"--hive", missing, "list"}), missing,
                    "folder .*: no such file or directory");
    ExpectFileError(Vtsim({"--hive", missing, "boards"}), missing,
                    "folder .*: no such file or directory");

    // Found at the end: a folder that takes no files (even from root).
    const ProgramResult r = Vtdio({"--hive", "/proc/vtdio-test.hive", "list"});
    EXPECT_EQ(r.exitCode, 4) << r.err;
    EXPECT_NE(r.out.find("VTM-6200K"), std::string::npos) << r.out;  // the command itself ran
    EXPECT_EQ(r.err.rfind("error: the hive was not saved: /proc/vtdio-test.hive: ", 0), 0u)
        << r.err;
}

TEST_F(ToolFilesTest, AHiveBehindALinkIsSavedThroughItWithItsModeKept)
{
    const std::string hive = MakeHive("real.hive");
    ASSERT_EQ(::chmod(hive.c_str(), 0640), 0);
    const std::string link = dir_.path() + "/link.hive";
    ASSERT_EQ(::symlink("real.hive", link.c_str()), 0);
    const std::string before = Contents(hive);

    // A new board gets a device number, which the saved hive keeps.
    const std::string three = dir_.Write("three.toml", std::string(vttest::kTwoBoards) + R"(
[[board]]
model = "VTC-4100E"
slot = 2
switch = 2
io_base = 0xB000
irq = 4
)");
    ProgramResult r = RunProgram(VTDIO_PATH, {"--machine", three, "--hive", link, "list"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    struct stat info = {};
    ASSERT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_NE(Contents(hive), before);
    EXPECT_EQ(ModeOf(hive), 0640u);
    r = Vtdio({"--hive", hive, "list"});
    EXPECT_NE(r.out.find("\n  2  VTC-4100E "), std::string::npos) << r.out;
}

TEST_F(ToolFilesTest, AReadOnlyHiveIsRefusedAndLeftAsItIs)
{
    const std::string hive = MakeHive("frozen.hive");
    ASSERT_EQ(::chmod(hive.c_str(), 0444), 0);
    const std::string before = Contents(hive);
    ExpectFileError(Vtdio({"--hive", hive, "list"}), hive, "read-only .*");
    ExpectFileError(Vtsim({"--hive", hive, "boards"}), hive, "read-only .*");
    EXPECT_EQ(Contents(hive), before);
    EXPECT_EQ(ModeOf(hive), 0444u);
}

TEST_F(ToolFilesTest, AKeptEntryOfAMovedBoardShowsWhereTheBoardIsNow)
{
    const std::string hive = MakeHive("moved.hive");
    std::string moved = vttest::kTwoBoards;
    moved.replace(moved.find("0xC000"), 6, "0xA000");
    const ProgramResult r = RunProgram(
        VTDIO_PATH, {"--machine", dir_.Write("moved.toml", moved), "--hive", hive, "list"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(std::regex_search(
        r.out, std::regex("\n  1  VTM-6200K .* 0xc000 .*\\(board now at 0xa000 irq 5\\)\n")))
        << r.out;
}

}  // namespace
