// Numbers on the command line (decimal, 0x hexadecimal or 0b binary, each
// with a limit, typically the width of the C type it is passed as), the
// other checks of command-line values, and numbers in hexadecimal for
// output. Pure functions: any thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "tools/common/parse_unsigned.h"

namespace vttools {

// A CLI11 check for ParseUnsigned with the given limit ("a number up to 255").
CLI::Validator NumberUpTo(std::uint64_t max);

// A CLI11 check that the text is one of the given words.
CLI::Validator OneOf(std::vector<std::string> words);

// Converts text that a NumberUpTo check has already accepted.
std::uint64_t NumberOf(const std::string& text);

// "0x5a", "0x00ff", ...: hexadecimal with a fixed number of digits.
std::string Hex(std::uint64_t value, int digits);

// Bytes as "0x5a 0xa5" (or with another separator: "0x5a,0xa5").
std::string HexBytes(const std::uint8_t* bytes, std::size_t count, const char* separator = " ");

}  // namespace vttools
