// Internal: wide-string formatting shared by StringCchVPrintfW and the debug
// output, and the platform's one rule for names compared without regard to
// case (registry keys and values, device names, module names).
#pragma once

#include "platform/host/internal_header.h"

#include <cstdarg>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace vtsim::internal {

// Formats like StringCchPrintfW, without a length limit.
std::u16string FormatWide(LPCWSTR format, va_list args);
// The same, appending to out (whose capacity is reused by callers on hot paths).
void AppendFormatted(std::u16string& out, LPCWSTR format, va_list args);

// The lower-case form of an ASCII or Latin-1 capital letter (A-Z, U+00C0 to
// U+00DE except the multiplication sign); any other character unchanged.
char16_t FoldCase(char16_t c);

// True when a and b are the same name without regard to case (FoldCase).
bool NamesEqual(std::u16string_view a, std::u16string_view b);

}  // namespace vtsim::internal
