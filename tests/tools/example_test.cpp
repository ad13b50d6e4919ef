// The example application runs on the simulated target and gets through
// every step.
#include <gtest/gtest.h>

#include "tests/tools/program_runner.h"

TEST(DioExample, RunsToTheEndOnTheSimulatedTarget)
{
    const vttest::ProgramResult r = vttest::RunProgram(DIO_EXAMPLE_PATH, {});
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("DO ports 0-1 hold 0x06 0x81; DI ports 0-1 read 0x8106 (valid 0xffff)"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("event 0x3400: interrupt on input 0"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("example finished"), std::string::npos) << r.out;
}
