// Fuzzes RegistryScript on random script texts: each input is a script file
// and a list of operations (scan, has, locate, read, write, append, delete,
// table access) run on it under AddressSanitizer and UBSan. After every
// operation the fuzzer checks what must hold whatever the text: a reading
// operation changes no byte, the scan and the header search agree, a
// written number reads back, a deleted template is gone, a save that fails
// leaves the file as it was, and the file holds the text in memory.
//
// Input: the script text, then a block with the board name, the operations
// and their parameters, then two bytes (little-endian) giving the block's
// length modulo 1024.
#include <fuzzer/FuzzedDataProvider.h>

#include <unistd.h>
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "configurator/registry_script.h"
#include "platform/host/control/files.h"

namespace {

std::string g_hostPath;
std::u16string g_targetPath;

[[noreturn]] void Fail(const char* what, const std::string& before, const std::string& after)
{
    std::fprintf(
        stderr,
        "registry_script_fuzzer: %s\n--- before (%zu bytes)\n%s\n--- after (%zu bytes)\n%s\n", what,
        before.size(), before.c_str(), after.size(), after.c_str());
    std::abort();
}

void Check(bool condition, const char* what, const std::string& before, const std::string& after)
{
    if (!condition) {
        Fail(what, before, after);
    }
}

void WriteHostFile(const std::string& bytes)
{
    FILE* file = std::fopen(g_hostPath.c_str(), "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        std::abort();
    }
    std::fclose(file);
}

std::string ReadHostFile()
{
    std::string bytes;
    FILE* file = std::fopen(g_hostPath.c_str(), "rb");
    if (!file) {
        std::abort();
    }
    char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;) {
        bytes.append(chunk, got);
    }
    std::fclose(file);
    return bytes;
}

// ---- Inputs ---------------------------------------------------------------------

const char* const BOARDS[] = {"VTC4100", "VTC4100E", "VTM6200K", "VTC"};

std::string PickKey(FuzzedDataProvider& in, const RegistryScript& script)
{
    switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0:
        return script.DriverKey();
    case 1:
        return "RLX4100S";
    case 2:
        return "RLX4100ES";
    case 3:
        return "RLX6200KS";
    case 4:
        return "RLX4100";
    default:
        return std::string(in.ConsumeIntegralInRange<std::size_t>(100, 130), 'K');
    }
}

std::string PickName(FuzzedDataProvider& in)
{
    const char* const names[] = {"SwitchID", "TriggerMode", "A", "Template", "ID", "\"", "=", ";"};
    const int pick = in.ConsumeIntegralInRange(0, 8);
    if (pick < 8) {
        return names[pick];
    }
    std::string name = in.ConsumeRandomLengthString(12);
    return name.substr(0, std::strlen(name.c_str()));
}

enum Operation { SCAN, HAS, LOCATE, READ, WRITE, APPEND, DELETE, ACCESS, OPERATION_COUNT };

// Names whose value lines read back as they were written.
bool IsPlainName(const std::string& name)
{
    return !name.empty() && name.find_first_of("\"\\;\r\n") == std::string::npos;
}

bool ReadsDword(RegistryScript& script, const std::string& key, int n, const char* name,
                DWORD value)
{
    DWORD type = 0, read = 0, size = 4;
    return script.ReadValue(key.c_str(), n, name, &type, &read, &size) == 0 && type == REG_DWORD &&
           read == value;
}

// Runs one operation; *diverged is set once a save failed, so that the text
// in memory is ahead of the file from then on.
void RunOperation(FuzzedDataProvider& in, Operation operation, RegistryScript& script,
                  bool* diverged)
{
    const std::string before = ReadHostFile();
    const std::string key = PickKey(in, script);
    const int n = in.ConsumeIntegralInRange(-1, 17);
    bool changes = false;
    try {
        switch (operation) {
        case SCAN: {
            const int numbers = script.ScanTemplateNumbers();
            Check((numbers & ~0xFFFF) == 0, "scan beyond 15", before, before);
            for (int t = 0; t < 16; ++t) {
                Check(((numbers >> t & 1) != 0) ==
                          (script.HasTemplateSection(t, script.DriverKey()) == 1),
                      "scan and header search disagree", before, before);
            }
            break;
        }
        case HAS:
        case LOCATE:
            script.LocateTemplateSection(key.c_str(), n);
            Check(script.SectionFound() == (script.HasTemplateSection(n, key.c_str()) == 1),
                  "locate and header search disagree", before, before);
            Check(script.SectionStart() <= script.SectionEnd() &&
                      script.SectionEnd() <= script.Text().size(),
                  "section span", before, before);
            break;
        case READ: {
            const std::string name = PickName(in);
            const DWORD capacity = in.ConsumeIntegralInRange<DWORD>(0, 64);
            std::vector<BYTE> data(capacity);  // exactly the capacity: an overflow is caught
            DWORD type = 0xDEAD, size = capacity;
            const bool sizeOnly = in.ConsumeBool();
            const int result = script.ReadValue(key.c_str(), n, name.c_str(), &type,
                                                sizeOnly ? nullptr : data.data(), &size);
            Check(result == 0 || result == 1, "read result", before, before);
            if (result == 0) {
                Check(size <= capacity && (type == REG_DWORD || type == REG_BINARY ||
                                           type == REG_SZ || type == REG_MULTI_SZ),
                      "read size", before, before);
            }
            break;
        }
        case WRITE: {
            const std::string name = PickName(in);
            const DWORD types[] = {REG_DWORD, REG_SZ, REG_BINARY, REG_MULTI_SZ};
            const DWORD type = types[in.ConsumeIntegralInRange(0, 3)];
            std::string data = in.ConsumeRandomLengthString(80);
            data.resize(std::max<std::size_t>(data.size(), 4));
            const DWORD size = type == REG_DWORD ? 4
                                                 : in.ConsumeIntegralInRange<DWORD>(
                                                       0, static_cast<DWORD>(data.size()));
            changes = true;
            const int result =
                script.WriteValue(key.c_str(), n, name.c_str(), type, data.data(), size);
            if (result == 0 && type == REG_DWORD && IsPlainName(name)) {
                DWORD value = 0;
                std::memcpy(&value, data.data(), 4);
                Check(ReadsDword(script, key, n, name.c_str(), value), "a written dword reads back",
                      before, ReadHostFile());
            }
            break;
        }
        case APPEND:
            changes = true;
            if (script.AppendTemplateSection(n) == 0) {
                Check(script.HasTemplateSection(n, script.DriverKey()) == 1,
                      "appended header found", before, ReadHostFile());
            }
            break;
        case DELETE:
            changes = true;
            Check(script.DeleteTemplateSection(n, key.c_str()) == 0, "delete result", before,
                  before);
            Check(script.HasTemplateSection(n, key.c_str()) == 0, "a deleted template is gone",
                  before, ReadHostFile());
            break;
        case ACCESS: {
            DWORD values[2] = {in.ConsumeIntegral<DWORD>(), in.ConsumeIntegral<DWORD>()};
            ScriptValueEntry rows[] = {{"SwitchID", REG_DWORD, 4, &values[0]},
                                       {"TriggerMode", REG_DWORD, 4, &values[1]},
                                       {nullptr, 0, 0, nullptr}};
            if (in.ConsumeBool()) {
                changes = true;
                const bool found = script.HasTemplateSection(n, key.c_str()) == 1;
                const int result = script.AccessValues(key.c_str(), n, rows, SCRIPT_ACCESS_WRITE);
                Check(result == 0 || found, "access wrote a template that is not there", before,
                      ReadHostFile());
                if (result == 1) {
                    Check(ReadsDword(script, key, n, "SwitchID", values[0]) &&
                              ReadsDword(script, key, n, "TriggerMode", values[1]),
                          "written values read back", before, ReadHostFile());
                }
            } else {
                script.AccessValues(key.c_str(), n, rows, SCRIPT_ACCESS_READ);
            }
            break;
        }
        default:
            break;
        }
    } catch (const vtfw::FileException&) {
        // A save that fails leaves the file as it was.
        Check(changes && ReadHostFile() == before, "a failed save changed the file", before,
              ReadHostFile());
        *diverged = true;
        return;
    }
    const std::string after = ReadHostFile();
    if (!changes) {
        Check(after == before, "a reading operation changed the file", before, after);
    }
    const bool utf16 = after.size() >= 2 && static_cast<unsigned char>(after[0]) == 0xFF &&
                       static_cast<unsigned char>(after[1]) == 0xFE;
    if (!*diverged && !utf16) {
        Check(script.Text() == after, "text in memory differs from the file", before, after);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::filesystem::path dir =
        std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    dir /= "vt-fuzz-registry-script-" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    vtsim::MapDrive('F', dir.string());
    g_hostPath = (dir / "VTC4100.reg").string();
    g_targetPath = u"F:\\VTC4100.reg";
    static const std::filesystem::path removeAtExit = dir;
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(removeAtExit, ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The last two bytes give the length of the parameter block before them;
    // the text is everything in front of it.
    if (size < 2) {
        return 0;
    }
    const std::size_t parameters =
        std::min<std::size_t>((data[size - 2] | data[size - 1] << 8) % 1024, size - 2);
    const std::size_t textLength = size - 2 - parameters;
    FuzzedDataProvider in(data + textLength, parameters);
    WriteHostFile(std::string(reinterpret_cast<const char*>(data), textLength));

    RegistryScript script;
    if (script.Open(g_targetPath.c_str(), BOARDS[in.ConsumeIntegralInRange(0, 3)]) != 0) {
        std::abort();
    }
    bool diverged = false;
    const int count = in.ConsumeIntegralInRange(1, 6);
    for (int i = 0; i < count; ++i) {
        RunOperation(in, static_cast<Operation>(in.ConsumeIntegralInRange(0, OPERATION_COUNT - 1)),
                     script, &diverged);
    }
    script.Close();
    return 0;
}
