// Helpers shared by the registry suites.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/host/control/diagnostics.h"
#include "platform/host/control/faults.h"
#include "platform/host/control/registry_control.h"
#include "platform/registry.h"

namespace registry_test {

// Every test starts from an empty hive with no armed fault and checks that it
// leaves no key handle open.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vtsim::DisarmAllFaults();
        vtsim::ResetRegistry();
        keysBefore_ = vtsim::GetLiveCounts().registryKeys;
    }
    void TearDown() override
    {
        vtsim::DisarmAllFaults();
        EXPECT_EQ(vtsim::GetLiveCounts().registryKeys, keysBefore_) << "a key handle was left open";
    }

private:
    std::size_t keysBefore_ = 0;
};

inline HKEY Create(const char16_t* path)
{
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              static_cast<LONG>(ERROR_SUCCESS));
    return key;
}

inline std::vector<BYTE> WideBytes(std::u16string_view text)  // with the terminator
{
    std::vector<BYTE> bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<BYTE>(c & 0xFF));
        bytes.push_back(static_cast<BYTE>(c >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

// A value's type and bytes read through the services; type REG_NONE and no
// bytes with the error in *result when it cannot be read.
struct Stored {
    LONG result = ERROR_SUCCESS;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};
inline Stored Query(const char16_t* path, const char16_t* name)
{
    Stored out;
    HKEY key = nullptr;
    out.result = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key);
    if (out.result != ERROR_SUCCESS) {
        return out;
    }
    DWORD size = 0;
    out.result = RegQueryValueExW(key, name, nullptr, &out.type, nullptr, &size);
    if (out.result == ERROR_SUCCESS) {
        out.data.resize(size);
        out.result = RegQueryValueExW(key, name, nullptr, &out.type, out.data.data(), &size);
    }
    RegCloseKey(key);
    return out;
}

inline std::vector<std::u16string> Subkeys(const char16_t* path)
{
    std::vector<std::u16string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return names;
    }
    WCHAR name[256];
    for (DWORD i = 0;; ++i) {
        DWORD chars = 256;
        if (RegEnumKeyExW(key, i, name, &chars, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name, chars);
    }
    RegCloseKey(key);
    return names;
}

}  // namespace registry_test
