// What the tools say about themselves: their version, where they take the
// default registry scripts and driver modules from, and the default machine
// description file that matches the machine they boot without one.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/tools/program_runner.h"

namespace {

using vttest::ProgramResult;
using vttest::RunProgram;

TEST(ToolDefaults, BothToolsPrintThePackageVersion)
{
    ProgramResult r = RunProgram(VTDIO_PATH, {"--version"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "vtdio " VT_TEST_VERSION "\n");
    r = RunProgram(VTSIM_PATH, {"--version"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "vtsim " VT_TEST_VERSION "\n");
}

TEST(ToolDefaults, TheDefaultMachineFileBootsTheDefaultMachine)
{
    const ProgramResult fromTable = RunProgram(VTSIM_PATH, {"boards"});
    const ProgramResult fromFile =
        RunProgram(VTSIM_PATH, {"--machine", VT_TEST_DEFAULT_MACHINE, "boards"});
    ASSERT_EQ(fromTable.exitCode, 0) << fromTable.err;
    ASSERT_EQ(fromFile.exitCode, 0) << fromFile.err;
    EXPECT_EQ(fromFile.out, fromTable.out);
}

TEST(ToolDefaults, HelpSaysWhereDefaultFilesComeFromAndTheEnvironmentMovesThem)
{
    ProgramResult r = RunProgram(VTDIO_PATH, {"--help"});
    EXPECT_NE(r.out.find("packages/*.reg in " VT_TEST_SOURCE_DIR " (build tree)"),
              std::string::npos)
        << r.out;

    vttest::TempDir empty;
    setenv("VT_DATA_DIR", empty.path().c_str(), 1);
    r = RunProgram(VTSIM_PATH, {"--help"});
    const ProgramResult boot = RunProgram(VTDIO_PATH, {"list"});
    unsetenv("VT_DATA_DIR");
    EXPECT_NE(r.out.find(empty.path() + " (from VT_DATA_DIR)"), std::string::npos) << r.out;
    // Nothing to boot from there: the missing script is named.
    EXPECT_EQ(boot.exitCode, 3);
    EXPECT_NE(boot.err.find(empty.path() + "/platform/image/platform.reg"), std::string::npos)
        << boot.err;
}

}  // namespace
