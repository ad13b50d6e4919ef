// Runs the example application on the simulated target: boots the default
// machine with each board's outputs wired to its inputs, runs the
// application and shuts the target down. On a real target the application
// runs as it is and this file is not needed.
#include <cstdio>
#include <string>

#include "dio_example.h"
#include "platform/host/control/target.h"

int main()
{
    vtsim::BootOptions options;
    for (vtsim::BoardConfig& board : options.machine.boards) {
        board.loopback = true;
    }
    std::string error;
    if (!vtsim::Boot(options, &error)) {
        std::fprintf(stderr, "the simulated target did not boot: %s\n", error.c_str());
        return 3;
    }
    const int result = RunDioExample(0);
    vtsim::Shutdown();
    return result;
}
