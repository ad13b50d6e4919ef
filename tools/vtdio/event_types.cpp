#include "tools/vtdio/event_types.h"

#include <algorithm>
#include <cctype>

#include "library/include/rlx4100.h"
#include "tools/common/numbers.h"

namespace vtdio {

using vttools::Hex;
using vttools::ParseUnsigned;

namespace {

struct NamedEvent {
    const char* shortName;
    const char* name;
    std::uint32_t code;
    int input;  // the interrupt input it signals, or -1
};

constexpr NamedEvent kEvents[] = {
    {"DI0", "EVT_DI_INTERRUPT0", EVT_DI_INTERRUPT0, 0},
    {"DI1", "EVT_DI_INTERRUPT1", EVT_DI_INTERRUPT1, 1},
    {"DI2", "EVT_DI_INTERRUPT2", EVT_DI_INTERRUPT2, 2},
    {"DI3", "EVT_DI_INTERRUPT3", EVT_DI_INTERRUPT3, 3},
    {"DI2_ALIAS", "EVT_DI_INTERRUPT2_ALIAS", EVT_DI_INTERRUPT2_ALIAS, 2},
    {"DI3_ALIAS", "EVT_DI_INTERRUPT3_ALIAS", EVT_DI_INTERRUPT3_ALIAS, 3},
    {nullptr, "EVT_NONE", EVT_NONE, -1},
    {nullptr, "EVT_TERMINATED", EVT_TERMINATED, -1},
    {nullptr, "EVT_TIMEOUT", EVT_TIMEOUT, -1},
};

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

}  // namespace

bool ParseEventType(const std::string& text, std::uint32_t* code)
{
    const std::string upper = Upper(text);
    for (const NamedEvent& event : kEvents) {
        if (event.shortName == nullptr) {
            continue;  // results only, not something to enable
        }
        if (upper == event.shortName || upper == event.name) {
            *code = event.code;
            return true;
        }
    }
    std::uint64_t value;
    if (!ParseUnsigned(text, 0xFFFF, &value)) {
        return false;
    }
    *code = static_cast<std::uint32_t>(value);
    return true;
}

std::string EventTypeName(std::uint32_t code)
{
    for (const NamedEvent& event : kEvents) {
        if (event.code == code) {
            return event.name;
        }
    }
    return "EVT_" + Hex(code, 4);
}

int InputOfEventType(std::uint32_t code)
{
    for (const NamedEvent& event : kEvents) {
        if (event.code == code) {
            return event.input;
        }
    }
    return -1;
}

std::vector<std::uint32_t> EveryInputEvent(unsigned interruptInputs)
{
    std::vector<std::uint32_t> codes;
    for (const NamedEvent& event : kEvents) {
        if (event.shortName != nullptr && event.input >= 0 &&
            static_cast<unsigned>(event.input) < interruptInputs &&
            std::string(event.shortName).find('_') == std::string::npos) {
            codes.push_back(event.code);
        }
    }
    return codes;
}

const char* EventNamesHelp()
{
    return "EVENT: DI0, DI1, DI2, DI3 (EVT_DI_INTERRUPT0..3), DI2_ALIAS, DI3_ALIAS "
           "(EVT_DI_INTERRUPT2_ALIAS, EVT_DI_INTERRUPT3_ALIAS), 'all' (every interrupt input "
           "of the device) or a numeric event type code up to 0xFFFF (0x3400, 12288, ...)";
}

}  // namespace vtdio
