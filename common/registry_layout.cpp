// The model-dependent registry names and the device subkey names.
#include "common/registry_layout.h"

#include <cstddef>
#include <iterator>
#include <string_view>

#include "common/board_types.h"

namespace {

// A view of a wide string (WCHAR is wchar_t on Windows, char16_t on the host).
using WStringView = std::basic_string_view<WCHAR>;

// Registry names match without regard to the case of ASCII letters.
WCHAR AsciiLower(WCHAR c)
{
    return (c >= TEXT('A') && c <= TEXT('Z')) ? static_cast<WCHAR>(c - TEXT('A') + TEXT('a')) : c;
}

constexpr ModelNames MODEL_NAMES[] = {
    {BOARD_TYPE_VTC4100, TEXT("SYSTEM\\CurrentControlSet\\Services\\RLX4100S"), TEXT("RLX4100S"),
     TEXT("Drivers\\BuiltIn\\PCI\\Template\\Rlx4100S"), TEXT("VTC-4100 BoardID=%d I/O=%xH")},
    {BOARD_TYPE_VTC4100E, TEXT("SYSTEM\\CurrentControlSet\\Services\\RLX4100ES"), TEXT("RLX4100ES"),
     TEXT("Drivers\\BuiltIn\\PCI\\Template\\Rlx4100ES"), TEXT("VTC-4100E BoardID=%d I/O=%xH")},
    {BOARD_TYPE_VTM6200K, TEXT("SYSTEM\\CurrentControlSet\\Services\\RLX6200KS"), TEXT("RLX6200KS"),
     TEXT("Drivers\\BuiltIn\\PCI\\Template\\Rlx6200KS"), TEXT("VTM-6200K BoardID=%d I/O=%xH")},
};

// ---- The names agree with each other and with the board table ----------------

// `keyPath` ends in the key `keyName`.
constexpr bool IsKeyNamed(WStringView keyPath, WStringView keyName)
{
    return keyPath.size() > keyName.size() && keyPath.ends_with(keyName) &&
           keyPath[keyPath.size() - keyName.size() - 1] == TEXT('\\');
}

// The DeviceName format starts with the model's name and a blank.
constexpr bool StartsWithModelName(WStringView format, std::string_view modelName)
{
    if (format.size() <= modelName.size() || format[modelName.size()] != TEXT(' ')) {
        return false;
    }
    for (std::size_t i = 0; i < modelName.size(); ++i) {
        if (format[i] != static_cast<WCHAR>(modelName[i])) {
            return false;
        }
    }
    return true;
}

// Every board model has its names; its driver key is named as its "KernelKey"
// value says; its DeviceName text starts with its model name; and the
// library's search order holds each driver key exactly once.
constexpr bool NamesAgree()
{
    if (std::size(MODEL_NAMES) != std::size(BOARD_TYPES) ||
        std::size(DRIVER_KEY_SEARCH_ORDER) != std::size(BOARD_TYPES)) {
        return false;
    }
    for (const ModelNames& names : MODEL_NAMES) {
        const BoardTypeInfo model = BoardTypeInfoOf(names.boardType);
        DWORD rows = 0;
        for (const ModelNames& other : MODEL_NAMES) {
            rows += other.boardType == names.boardType ? 1 : 0;
        }
        DWORD searched = 0;
        for (const WCHAR* key : DRIVER_KEY_SEARCH_ORDER) {
            searched += WStringView(key) == names.driverKey ? 1 : 0;
        }
        if (model.boardType == 0 || rows != 1 || searched != 1 ||
            !IsKeyNamed(names.driverKey, names.kernelKeyName) ||
            !StartsWithModelName(names.deviceNameFormat, model.modelName)) {
            return false;
        }
    }
    return true;
}
static_assert(NamesAgree());

}  // namespace

const ModelNames* NamesOf(DWORD boardType)
{
    for (const ModelNames& names : MODEL_NAMES) {
        if (names.boardType == boardType) {
            return &names;
        }
    }
    return nullptr;
}

bool ParseDeviceSubkeyName(const WCHAR* name, DWORD* number)
{
    if (name == nullptr) {
        return false;
    }
    int at = 0;
    for (; DEVICE_SUBKEY_TAG[at] != 0; ++at) {
        if (AsciiLower(name[at]) != AsciiLower(DEVICE_SUBKEY_TAG[at])) {
            return false;
        }
    }
    if (name[at] == 0) {
        return false;
    }
    DWORD value = 0;
    for (; name[at] != 0; ++at) {
        if (name[at] < TEXT('0') || name[at] > TEXT('9')) {
            return false;
        }
        value = value * 10 + static_cast<DWORD>(name[at] - TEXT('0'));
        if (value > MAX_DEVICE_NUMBER) {
            return false;
        }
    }
    *number = value;
    return true;
}
