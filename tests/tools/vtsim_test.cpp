// vtsim run as a person runs it: boards numbered from 0, the registers after
// driving an input, and its messages and exit codes when a board, the
// machine description or a registry script is wrong.
#include <gtest/gtest.h>

#include <string>

#include "tests/tools/tool_fixture.h"

namespace {

using vttest::ProgramResult;
using vttest::RunProgram;

class VtsimTest : public vttest::ToolFixture {
protected:
    VtsimTest() : ToolFixture(vttest::kTwoBoards) {}
};

TEST_F(VtsimTest, BoardsAreNumberedFromZeroAsVtdioNumbersThem)
{
    const ProgramResult r = Vtsim({"boards"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("\n  0   VTC-4100   0/4/0       1      D000-D01F (32)     7\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\n  1   VTM-6200K  0/8/0       3      C000-C01F (32)     5\n"),
              std::string::npos)
        << r.out;

    const ProgramResult set = Vtsim({"set-input", "--board", "1", "--port", "1", "--value", "90"});
    ASSERT_EQ(set.exitCode, 0) << set.err;
    EXPECT_NE(set.out.find("Board 1 (VTM-6200K): DI 00 5A  DO 00 00"), std::string::npos)
        << set.out;
}

TEST_F(VtsimTest, WrongBoardsMachinesAndScriptsExitAsVtdioDoes)
{
    ProgramResult r = Vtsim({"set-input", "--board", "2", "--port", "0", "--value", "1"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "error: there is no board 2 (the machine has 2, numbered from 0)\n");
    r = Vtsim({"pulse", "--board", "1", "--port", "2", "--bit", "0"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "error: board 1 has ports 0 to 1\n");

    const std::string broken = dir_.Write("broken.toml", "[[board]]\nmodel = \n");
    r = RunProgram(VTSIM_PATH, {"--machine", broken, "boards"});
    EXPECT_EQ(r.exitCode, 3);
    const std::string prefix = "error: the simulated target did not boot: " + broken + ": ";
    EXPECT_EQ(r.err.rfind(prefix, 0), 0u) << r.err;
    EXPECT_EQ(r.err.find(broken, prefix.size()), std::string::npos) << "named once: " << r.err;

    r = Vtsim({"--registry", dir_.path() + "/missing.reg", "boards"});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.err, "error: " + dir_.path() + "/missing.reg: no such file or directory\n");
}

}  // namespace
