// Fuzzes the machine description reader (TOML). A description it refuses
// must come with a message; one it accepts must boot: the target installs
// every board it names at its slot and I/O window, and shuts down again.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/host/control/machine.h"
#include "platform/host/control/target.h"

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail)
{
    std::fprintf(stderr, "machine_description_fuzzer: %s\n%s\n", what, detail.c_str());
    std::abort();
}

// The base registry alone: the boot under test is the machine's, not the
// board packages'.
std::vector<std::string> g_scripts;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    g_scripts = {vtsim::DefaultRegistryScripts().front()};
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    vtsim::MachineDescription machine;
    std::string error;
    if (!vtsim::MachineDescription::FromToml(text, &machine, &error)) {
        if (error.empty()) {
            Fail("a refused description without a message", text);
        }
        return 0;
    }
    vtsim::BootOptions options;
    options.machine = machine;
    options.registryScripts = g_scripts;
    options.loadDrivers = false;
    if (!vtsim::Boot(options, &error)) {
        Fail("an accepted description does not boot", error + "\n" + text);
    }
    const std::vector<vtsim::Board*> boards = vtsim::Boards();
    bool installed = boards.size() == machine.boards.size();
    for (std::size_t i = 0; installed && i < boards.size(); ++i) {
        const vtsim::BoardConfig& config = boards[i]->config();
        installed = config.slot == machine.boards[i].slot &&
                    config.ioBase == machine.boards[i].ioBase &&
                    config.model == machine.boards[i].model;
    }
    vtsim::Shutdown();
    if (!installed) {
        Fail("the booted boards differ from the description", text);
    }
    return 0;
}
