// The device manager's active keys, written through the registry services
// and removed through the hive's key deletion.
#include "platform/host/devices/active_keys.h"

#include <cstdio>

#include "platform/host/registry/hive.h"
#include "platform/host/registry/value_text.h"
#include "platform/registry.h"

namespace vtsim::internal {
namespace {

constexpr const char16_t* kActiveRoot = u"Drivers\\Active";

bool KeyExists(const std::u16string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

LONG SetString(HKEY key, const char16_t* name, const std::u16string& value)
{
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(char16_t)));
}

}  // namespace

void ClearActiveKeys()
{
    registry::DeleteSubkeys(kActiveRoot);
}

void DeleteActiveKey(const std::u16string& path)
{
    registry::DeleteKey(path);
}

std::u16string WriteActiveKey(const std::u16string& deviceKey, const std::u16string& name,
                              DWORD hnd, std::string* error)
{
    std::u16string path;
    for (unsigned n = 1; n < 10000; ++n) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%02u", n);
        std::u16string candidate = std::u16string(kActiveRoot) + u"\\" + WidenAscii(digits);
        if (!KeyExists(candidate)) {
            path = candidate;
            break;
        }
    }
    HKEY key = nullptr;
    DWORD disposition = 0;
    LONG status = path.empty() ? ERROR_NO_MORE_ITEMS
                               : RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &key, &disposition);
    if (status == ERROR_SUCCESS) {
        status = SetString(key, u"Key", deviceKey);
        if (status == ERROR_SUCCESS && !name.empty()) {
            status = SetString(key, u"Name", name);
        }
        if (status == ERROR_SUCCESS) {
            status = RegSetValueExW(key, u"Hnd", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&hnd),
                                    sizeof hnd);
        }
        RegCloseKey(key);
        if (status != ERROR_SUCCESS) {
            DeleteActiveKey(path);
        }
    }
    if (status != ERROR_SUCCESS) {
        *error = "cannot write the active key (error " + std::to_string(status) + ")";
        return {};
    }
    return path;
}

}  // namespace vtsim::internal
