// The model-dependent registry names and the device subkey names.
#include "common/registry_layout.h"

#include <cstddef>
#include <iterator>
#include <string_view>

#include "common/board_types.h"

namespace {

// Registry names match without regard to the case of ASCII letters.
WCHAR AsciiLower(WCHAR c)
{
    return (c >= u'A' && c <= u'Z') ? static_cast<WCHAR>(c - u'A' + u'a') : c;
}

constexpr ModelNames MODEL_NAMES[] = {
    {BOARD_TYPE_VTC4100, u"SYSTEM\\CurrentControlSet\\Services\\RLX4100S", u"RLX4100S",
     u"Drivers\\BuiltIn\\PCI\\Template\\Rlx4100S", u"VTC-4100 BoardID=%d I/O=%xH"},
    {BOARD_TYPE_VTC4100E, u"SYSTEM\\CurrentControlSet\\Services\\RLX4100ES", u"RLX4100ES",
     u"Drivers\\BuiltIn\\PCI\\Template\\Rlx4100ES", u"VTC-4100E BoardID=%d I/O=%xH"},
    {BOARD_TYPE_VTM6200K, u"SYSTEM\\CurrentControlSet\\Services\\RLX6200KS", u"RLX6200KS",
     u"Drivers\\BuiltIn\\PCI\\Template\\Rlx6200KS", u"VTM-6200K BoardID=%d I/O=%xH"},
};

// ---- The names agree with each other and with the board table ----------------

// `keyPath` ends in the key `keyName`.
constexpr bool IsKeyNamed(std::u16string_view keyPath, std::u16string_view keyName)
{
    return keyPath.size() > keyName.size() && keyPath.ends_with(keyName) &&
           keyPath[keyPath.size() - keyName.size() - 1] == u'\\';
}

// The DeviceName format starts with the model's name and a blank.
constexpr bool StartsWithModelName(std::u16string_view format, std::string_view modelName)
{
    if (format.size() <= modelName.size() || format[modelName.size()] != u' ') {
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
            searched += std::u16string_view(key) == names.driverKey ? 1 : 0;
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
        if (name[at] < u'0' || name[at] > u'9') {
            return false;
        }
        value = value * 10 + static_cast<DWORD>(name[at] - u'0');
        if (value > MAX_DEVICE_NUMBER) {
            return false;
        }
    }
    *number = value;
    return true;
}
