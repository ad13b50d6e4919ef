// Internal: the printf subset of wide-string formatting that the package
// uses (StringCchPrintfW and the debug output share it), formatted at once or
// recorded for later.
//
// Directives: %[flags][width][.precision][h|l]conversion with flags - 0 + space
// #, width and precision as digits or '*' (taken from an int argument),
// conversions d i u x X (32-bit; 'h' cuts to 16 bits), c, s (wide text; %hs
// narrow text, each byte one character; a null string prints "(null)") and
// %%. An unknown directive is copied as text and takes no argument; a lone
// '%' at the end is kept as text.
#pragma once

#include "platform/host/internal_header.h"

#include <cstdarg>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace vtsim::internal {

// Formats like StringCchPrintfW, without a length limit. A null format gives
// nothing.
std::u16string FormatWide(LPCWSTR format, va_list args);
// The same, appending to out (whose capacity is reused by callers on hot paths).
void AppendFormatted(std::u16string& out, LPCWSTR format, va_list args);

// A formatting call kept for later, so that a hot path pays for copying
// instead of formatting: RecordFormatted appends to `records` one record of
// the format text and the arguments its directives take (integers by value,
// strings copied), and AppendRecorded later appends to out exactly the text
// that AppendFormatted would have given at the time of the call, whatever
// became of the caller's strings and module since. Records lie back to back;
// AppendRecorded takes the one that starts at `at` and returns where the
// next one starts.
void RecordFormatted(std::u16string& records, LPCWSTR format, va_list args);
std::size_t AppendRecorded(std::u16string& out, std::u16string_view records, std::size_t at);

}  // namespace vtsim::internal
