// Device names: prefix, lowest free index, colon.
#include "platform/host/devices/device_names.h"

#include <algorithm>

#include "platform/host/kernel/strings.h"
#include "platform/host/registry/value_text.h"

namespace vtsim::internal {

std::u16string FreeDeviceName(const std::u16string& prefix,
                              const std::vector<std::u16string>& taken)
{
    for (unsigned index = 1;; ++index) {
        std::u16string name = prefix + WidenAscii(std::to_string(index)) + u":";
        if (std::none_of(taken.begin(), taken.end(),
                         [&](const auto& t) { return NamesEqual(t, name); })) {
            return name;
        }
    }
}

}  // namespace vtsim::internal
