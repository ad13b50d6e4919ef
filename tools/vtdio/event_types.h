// Event type codes by name, both ways.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vtdio {

// Accepts "DI0".."DI3", "DI2_ALIAS", "DI3_ALIAS", the full names
// ("EVT_DI_INTERRUPT0", "EVT_DI_INTERRUPT2_ALIAS", case-insensitive) or any
// number up to 0xFFFF, the width of an event type (passed to the library as
// it is, so that the library judges it).
bool ParseEventType(const std::string& text, std::uint32_t* code);

// The interrupt input (0 to 3) whose interrupts an event type signals, or
// -1 for a code that names none.
int InputOfEventType(std::uint32_t code);

// The event types of every interrupt input of a board with that many
// inputs: what "all" stands for.
std::vector<std::uint32_t> EveryInputEvent(unsigned interruptInputs);

// "EVT_DI_INTERRUPT0", "EVT_TIMEOUT", ...; "EVT_0x1234" for a code without a name.
std::string EventTypeName(std::uint32_t code);

// Help text listing the accepted event names.
const char* EventNamesHelp();

}  // namespace vtdio
