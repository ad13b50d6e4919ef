// Fuzzes the hive file loader. An input is either a whole file as it
// stands, or (first byte odd) a payload that the fuzzer wraps with the right
// header, length and checksum, so that the tree reader behind them is
// reached. A file the loader refuses must leave the hive as it was; a file
// it accepts must save and load again to the same keys and values.
#include <unistd.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/host/control/registry_control.h"

namespace {

std::string g_inputPath;
std::string g_savedPath;

[[noreturn]] void Fail(const char* what, const std::string& detail)
{
    std::fprintf(stderr, "hive_file_fuzzer: %s\n%s\n", what, detail.c_str());
    std::abort();
}

void PutU32(std::string& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

std::string Wrapped(const std::uint8_t* payload, std::size_t size)
{
    std::string file = "VTHIVE01";
    PutU32(file, static_cast<std::uint32_t>(size));
    file.append(reinterpret_cast<const char*>(payload), size);
    PutU32(file, static_cast<std::uint32_t>(crc32(0, payload, static_cast<uInt>(size))));
    return file;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::filesystem::path dir =
        std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    const std::string stem = "vt-fuzz-hive-file-" + std::to_string(getpid());
    g_inputPath = (dir / (stem + ".in")).string();
    g_savedPath = (dir / (stem + ".saved")).string();
    std::atexit([] {
        std::remove(g_inputPath.c_str());
        std::remove(g_savedPath.c_str());
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    const std::string file = (data[0] & 1) != 0
                                 ? Wrapped(data + 1, size - 1)
                                 : std::string(reinterpret_cast<const char*>(data + 1), size - 1);
    std::ofstream(g_inputPath, std::ios::binary | std::ios::trunc) << file;

    // A hive that a refused file must leave untouched.
    vtsim::ResetRegistry();
    std::string error;
    vtsim::ImportRegistryScript("[HKLM\\Kept]\n\"v\"=dword:00000001\n", &error);
    const std::string before = vtsim::ExportRegistryScript();

    if (!vtsim::LoadHive(g_inputPath, &error)) {
        if (vtsim::ExportRegistryScript() != before) {
            Fail("a refused hive file changed the hive", error);
        }
        return 0;
    }
    const std::string loaded = vtsim::ExportRegistryScript();
    if (!vtsim::SaveHive(g_savedPath, &error)) {
        Fail("a loaded hive was not saved", error);
    }
    vtsim::ResetRegistry();
    if (!vtsim::LoadHive(g_savedPath, &error)) {
        Fail("a loaded hive, saved, does not load again", error);
    }
    if (vtsim::ExportRegistryScript() != loaded) {
        Fail("a loaded hive, saved, loads to other keys or values", loaded);
    }
    return 0;
}
