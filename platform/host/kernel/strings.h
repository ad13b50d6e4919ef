// Internal: the platform's one rule for names compared without regard to
// case (registry keys and values, device names, module names). Formatting is
// in wide_format.h.
#pragma once

#include "platform/host/internal_header.h"

#include <string>
#include <string_view>

#include "platform/types.h"

namespace vtsim::internal {

// The lower-case form of an ASCII or Latin-1 capital letter (A-Z, U+00C0 to
// U+00DE except the multiplication sign); any other character unchanged.
char16_t FoldCase(char16_t c);

// True when a and b are the same name without regard to case (FoldCase).
bool NamesEqual(std::u16string_view a, std::u16string_view b);

}  // namespace vtsim::internal
