// Unsigned numbers in command words (decimal, 0x hexadecimal or 0b binary)
// with a limit. Plain C++ (also built into vtcfg.exe on Windows). Pure
// function: any thread.
#pragma once

#include <cstdint>
#include <string>

namespace vttools {

// Parses text as an unsigned number no larger than max. Accepts "123",
// "0x7b", "0b1111011"; no sign, no spaces, no trailing characters.
bool ParseUnsigned(const std::string& text, std::uint64_t max, std::uint64_t* value);

}  // namespace vttools
