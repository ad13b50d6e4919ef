// Internal: the platform's one UTF-16 / UTF-8 codec (the debug log, registry
// scripts, the text the control API hands to programs).
//
// The rule, in both directions: only well-formed text passes unchanged.
// - Encoding (UTF-16 to UTF-8) never fails: a surrogate pair becomes its
//   four-byte sequence, and an unpaired surrogate (a high one not followed by
//   a low one, a low one not preceded by a high one) becomes U+FFFD
//   (EF BF BD), so the output is always valid UTF-8.
// - Decoding (UTF-8 to UTF-16) accepts only valid UTF-8 and reports where it
//   is not: a stray continuation byte, a lead byte C0, C1 or F5 to FF, a
//   sequence cut short or with a non-continuation byte in it, an overlong
//   form, an encoded surrogate (ED A0 80 to ED BF BF) or a code point above
//   U+10FFFF.
// Both are thread-safe (no shared state).
#pragma once

#include "platform/host/internal_header.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace vtsim::internal {

// Appends the UTF-8 form of text to out. Hot paths pass a buffer whose
// capacity they reuse: the conversion then allocates nothing.
void AppendUtf8(std::string& out, std::u16string_view text);

// The UTF-8 form of text.
std::string ToUtf8(std::u16string_view text);

// True when text has no unpaired surrogate: encoding it loses nothing.
bool IsWellFormedUtf16(std::u16string_view text);

// Appends the UTF-16 form of the UTF-8 bytes to *out and returns true. On
// invalid UTF-8 returns false with *badOffset the offset in bytes of the first
// byte of the first invalid sequence; *out then holds the text before it.
bool DecodeUtf8(std::string_view bytes, std::u16string* out, std::size_t* badOffset);

}  // namespace vtsim::internal
