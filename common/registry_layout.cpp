// The model-dependent registry names.
#include "common/registry_layout.h"

#include "common/board_types.h"

namespace {

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
