// vtsim run as a person runs it: boards numbered from 1, the registers after
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

TEST_F(VtsimTest, BoardsAreNumberedFromOne)
{
    const ProgramResult r = Vtsim({"boards"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("\n  1   VTC-4100   0/4/0       1      D000-D01F (32)     7\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\n  2   VTM-6200K  0/8/0       3      C000-C01F (32)     5\n"),
              std::string::npos)
        << r.out;

    const ProgramResult set = Vtsim({"set-input", "--board", "2", "--port", "1", "--value", "90"});
    ASSERT_EQ(set.exitCode, 0) << set.err;
    EXPECT_NE(set.out.find("Board 2 (VTM-6200K): DI 00 5A  DO 00 00"), std::string::npos)
        << set.out;
}

TEST_F(VtsimTest, WrongBoardsMachinesAndScriptsExitOne)
{
    ProgramResult r = Vtsim({"set-input", "--board", "0", "--port", "0", "--value", "1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "vtsim: there is no board 0 (the machine has 2)\n");
    r = Vtsim({"pulse", "--board", "2", "--port", "2", "--bit", "0"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "vtsim: board 2 has ports 0 to 1\n");

    const std::string broken = dir_.Write("broken.toml", "[[board]]\nmodel = \n");
    r = RunProgram(VTSIM_PATH, {"--machine", broken, "boards"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.rfind("vtsim: " + broken + ": ", 0), 0u) << r.err;
    EXPECT_EQ(r.err.find(broken, 7 + broken.size()), std::string::npos) << "named once: " << r.err;

    r = Vtsim({"--registry", dir_.path() + "/missing.reg", "boards"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.rfind("vtsim: boot failed: ", 0), 0u) << r.err;
}

}  // namespace
