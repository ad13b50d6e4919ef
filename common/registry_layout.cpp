// The model-dependent registry names and the device subkey names.
#include "common/registry_layout.h"

#include "common/board_types.h"

namespace {

// Registry names match without regard to the case of ASCII letters.
WCHAR AsciiLower(WCHAR c)
{
    return (c >= u'A' && c <= u'Z') ? static_cast<WCHAR>(c - u'A' + u'a') : c;
}

constexpr ModelNames MODEL_NAMES[] = {
    {BOARD_TYPE_VTC4100, "VTC-4100", u"SYSTEM\\CurrentControlSet\\Services\\RLX4100S", u"RLX4100S",
     u"Drivers\\BuiltIn\\PCI\\Template\\Rlx4100S", u"VTC-4100 BoardID=%d I/O=%xH"},
    {BOARD_TYPE_VTC4100E, "VTC-4100E", u"SYSTEM\\CurrentControlSet\\Services\\RLX4100ES", u"RLX4100ES",
     u"Drivers\\BuiltIn\\PCI\\Template\\Rlx4100ES", u"VTC-4100E BoardID=%d I/O=%xH"},
    {BOARD_TYPE_VTM6200K, "VTM-6200K", u"SYSTEM\\CurrentControlSet\\Services\\RLX6200KS", u"RLX6200KS",
     u"Drivers\\BuiltIn\\PCI\\Template\\Rlx6200KS", u"VTM-6200K BoardID=%d I/O=%xH"},
};

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
