// Fuzzes the simulated target's registry script importer on random texts
// (UTF-8 or UTF-16 with its byte-order mark). Whatever a script leaves in
// the hive, imported whole or up to its first bad line, the hive must
// survive both ways it is kept: exported as a script and imported again it
// gives the same keys and values, and saved to a hive file it loads again
// to the same keys and values.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/host/control/registry_control.h"

namespace {

std::string g_hivePath;

[[noreturn]] void Fail(const char* what, const std::string& detail)
{
    std::fprintf(stderr, "registry_import_fuzzer: %s\n%s\n", what, detail.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::filesystem::path dir =
        std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    g_hivePath = (dir / ("vt-fuzz-registry-import-" + std::to_string(getpid()) + ".hive")).string();
    std::atexit([] { std::remove(g_hivePath.c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    vtsim::ResetRegistry();
    std::string error;
    vtsim::ImportRegistryScript(std::string(reinterpret_cast<const char*>(data), size), &error);
    const std::string exported = vtsim::ExportRegistryScript();

    vtsim::ResetRegistry();
    if (!vtsim::ImportRegistryScript(exported, &error)) {
        Fail("the exported hive does not import again", error + "\n" + exported);
    }
    if (vtsim::ExportRegistryScript() != exported) {
        Fail("the exported hive imports to other keys or values", exported);
    }

    if (!vtsim::SaveHive(g_hivePath, &error)) {
        Fail("the hive was not saved", error);
    }
    vtsim::ResetRegistry();
    if (!vtsim::LoadHive(g_hivePath, &error)) {
        Fail("the saved hive does not load again", error + "\n" + exported);
    }
    if (vtsim::ExportRegistryScript() != exported) {
        Fail("the saved hive loads to other keys or values", exported);
    }
    return 0;
}
