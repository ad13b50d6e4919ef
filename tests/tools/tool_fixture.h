// Tests that run vtdio or vtsim on their own machine description, kept with
// the test's other files in a temporary directory.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tools/program_runner.h"

namespace vttest {

// A VTC-4100 with switch 1 and a VTM-6200K with switch 3: the board
// package's templates give them the trigger modes 5 and 1.
inline constexpr const char* kTwoBoards = R"(
[[board]]
model = "VTC-4100"
bus = 0
slot = 4
switch = 1
io_base = 0xD000
irq = 7

[[board]]
model = "VTM-6200K"
bus = 0
slot = 8
switch = 3
io_base = 0xC000
irq = 5
)";

// The lines of a program's output, without their line ends.
inline std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

class ToolFixture : public ::testing::Test {
protected:
    explicit ToolFixture(const char* machineDescription)
        : machine_(dir_.Write("machine.toml", machineDescription))
    {}

    // vtdio --machine <the test's machine> args..., with input on stdin and
    // a Ctrl-C after interruptAfterMs when that is > 0.
    ProgramResult Vtdio(std::vector<std::string> args, const std::string& input = "",
                        int interruptAfterMs = 0) const
    {
        args.insert(args.begin(), {"--machine", machine_});
        return RunProgram(VTDIO_PATH, args, input, interruptAfterMs);
    }

    // vtdio --machine <the test's machine> args..., with a Ctrl-C once
    // readyText has appeared in its output.
    ProgramResult VtdioInterruptedWhenReady(std::vector<std::string> args,
                                            const std::string& readyText) const
    {
        args.insert(args.begin(), {"--machine", machine_});
        return RunProgramInterruptedWhenReady(VTDIO_PATH, args, readyText);
    }

    // vtsim --machine <the test's machine> args...
    ProgramResult Vtsim(std::vector<std::string> args) const
    {
        args.insert(args.begin(), {"--machine", machine_});
        return RunProgram(VTSIM_PATH, args);
    }

    TempDir dir_;
    std::string machine_;
};

}  // namespace vttest
