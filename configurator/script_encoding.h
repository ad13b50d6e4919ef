// The registry script's two encodings: 8-bit text (UTF-8 as the target reads
// it) and UTF-16 little-endian behind its byte-order mark, which the editor
// works on as UTF-8 and writes back as UTF-16. Pure functions; any thread.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// True when bytes begin with the UTF-16 little-endian byte-order mark FF FE.
bool IsUtf16Script(std::string_view bytes);
// True when bytes begin with FE FF, the big-endian mark the target refuses.
bool IsUtf16BigEndianScript(std::string_view bytes);

// The UTF-8 form of a UTF-16 LE script (bytes with their mark) into *text.
// False when it does not read back unchanged: an odd byte count or an
// unpaired surrogate; *badOffset then holds the offset in bytes of the
// first code unit that does not.
bool DecodeUtf16Script(std::string_view bytes, std::string* text, std::size_t* badOffset);

// The UTF-16 LE bytes, with the mark, of a UTF-8 text into *bytes. False for
// a text that is not valid UTF-8 (never made from DecodeUtf16Script's text
// by inserting ASCII lines).
bool EncodeUtf16Script(std::string_view text, std::string* bytes);
