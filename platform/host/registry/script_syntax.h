// Internal to the registry script importer and exporter: the script format
// and the parsing of value data that the importer's lines carry.
//
// A script is UTF-8 (an optional UTF-8 byte-order mark is skipped) or UTF-16
// LE with its byte-order mark, with LF, CR LF or lone CR line ends. Lines:
//   [HKEY_LOCAL_MACHINE\path] or [HKLM\path]  opens (creating) the key
//   "name"=<data> or @=<data>                  sets a value of the current key
//   ; ...                                      comment (also after a line's content)
// Data forms: "text" (REG_SZ; \\ and \" are escapes, any other backslash is
// taken as it stands), dword:hhhhhhhh, hex:bb,bb,.. (REG_BINARY),
// hex(t):bb,.. (type t in hexadecimal), multi_sz:"a","b" (REG_MULTI_SZ).
// A line ending in a backslash outside quotes continues on the next line. A
// leading "REGEDIT4" or "Windows Registry Editor Version 5.00" line is
// ignored. Deleting keys or values ("[-...]", "name"=-) is not supported.
//
// The exporter writes this same format; what it writes, the importer reads
// back to the same keys and values.
#pragma once

#include "platform/host/internal_header.h"

#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace vtsim::registry::script {

// A blank inside a line: space or tab.
bool IsBlank(char16_t c);
// s without its leading and trailing blanks.
std::u16string_view Trim(std::u16string_view s);

// Parses the quoted string that starts at s[*pos] (a '"'), undoing the \\ and
// \" escapes, into *out; *pos ends after the closing quote. False when the
// closing quote is missing.
bool ParseQuoted(std::u16string_view s, std::size_t* pos, std::u16string* out);

// Parses the data of a value line (the text after '=') into its type and the
// bytes the hive stores. False with the reason in *why when it is not one of
// the data forms.
bool ParseValueData(std::u16string_view text, DWORD* type, std::vector<BYTE>* data,
                    std::string* why);

}  // namespace vtsim::registry::script
