// Text conversions for programs that show the target's wide strings (device
// names, registry paths, debug lines) or hand it text of their own.
#pragma once

#include <string>

namespace vtsim {

// UTF-8 for UTF-16 text; an unpaired surrogate becomes U+FFFD.
std::string Utf8FromUtf16(const std::u16string& text);

}  // namespace vtsim
