// Internal: the text forms the target's registry values and names take —
// string values read back from raw bytes, hexadecimal ids and window lists,
// and ASCII renderings of wide names for host-side messages.
#pragma once

#include "platform/host/internal_header.h"

#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace vtsim::internal {

// The characters of a string value's bytes up to its first terminator.
std::u16string ValueCharacters(const std::vector<BYTE>& data);

// Parses a hexadecimal text of at most 8 digits, with or without "0x".
bool ParseHexDword(std::u16string_view text, DWORD* out);

// Parses every entry of a REG_MULTI_SZ list of hexadecimal texts, appending
// them to *out; false when an entry is not one.
bool ParseHexList(const std::vector<BYTE>& data, std::vector<DWORD>* out);

// ASCII for a wide name, '?' for any other character.
std::string NarrowAscii(const std::u16string& text);

// The wide form of an ASCII text.
std::u16string WidenAscii(const std::string& text);

}  // namespace vtsim::internal
