// The arguments that the device commands share (a device number, a port, a
// bit) and the widths their values are checked against.
#pragma once

#include <cstdint>
#include <string>

#include <CLI/CLI.hpp>

#include "platform/types.h"

namespace vtdio {

// The widths of the C types that the library takes.
constexpr std::uint64_t U8 = 0xFF;
constexpr std::uint64_t U16 = 0xFFFF;
constexpr std::uint64_t U32 = 0xFFFFFFFF;

// Adds the required argument N: a device number up to 32 bits (whether the
// device exists is for the library to judge).
void AddDeviceArgument(CLI::App* command, std::string* device);
// Adds the required argument PORT, a 16-bit number; what describes it.
void AddPortArgument(CLI::App* command, std::string* port, const char* what);
// Adds the required argument BIT, a 16-bit number.
void AddBitArgument(CLI::App* command, std::string* bit);

// Text that the checks above (or a NumberUpTo check as wide) accepted, as
// the type the library takes.
std::uint32_t Number32(const std::string& text);
WORD Number16(const std::string& text);

}  // namespace vtdio
