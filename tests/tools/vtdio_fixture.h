// Tests that run vtdio on their own machine description, kept with the
// test's other files in a temporary directory.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tools/program_runner.h"

namespace vttest {

class VtdioFixture : public ::testing::Test {
protected:
    explicit VtdioFixture(const char* machineDescription)
        : machine_(dir_.Write("machine.toml", machineDescription))
    {
    }

    // vtdio --machine <the test's machine> args..., with input on stdin and
    // a Ctrl-C after interruptAfterMs when that is > 0.
    ProgramResult Vtdio(std::vector<std::string> args, const std::string& input = "",
                        int interruptAfterMs = 0) const
    {
        args.insert(args.begin(), {"--machine", machine_});
        return RunProgram(VTDIO_PATH, args, input, interruptAfterMs);
    }

    TempDir dir_;
    std::string machine_;
};

}  // namespace vttest
