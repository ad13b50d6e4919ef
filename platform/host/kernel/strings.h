// Internal: wide-string formatting shared by StringCchVPrintfW and the debug
// output, and UTF-16 to UTF-8 conversion.
#pragma once

#include "platform/host/internal_header.h"

#include <cstdarg>
#include <string>

#include "platform/types.h"

namespace vtsim::internal {

// Formats like StringCchPrintfW, without a length limit.
std::u16string FormatWide(LPCWSTR format, va_list args);
// The same, appending to out (whose capacity is reused by callers on hot paths).
void AppendFormatted(std::u16string& out, LPCWSTR format, va_list args);

// UTF-8 for UTF-16 text; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(const std::u16string& text);
// The same, appending to out.
void AppendUtf8(std::string& out, const std::u16string& text);

}  // namespace vtsim::internal
