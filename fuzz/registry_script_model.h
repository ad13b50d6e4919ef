// A plain model of what RegistryScript does to a script's text, for the
// registry script fuzzer to compare the real operations with: where a
// template section is, which template numbers a scan finds, the value line
// a write produces and the file after it.
#pragma once

#include <cstddef>
#include <string>

#include "platform/types.h"

// A template section of the text: from its header to its end, and where
// its values begin. start, end and values are the text's size when not
// found.
struct Span {
    bool found = false;
    std::size_t start, end, values;
};

// Template section n under key: the first line that holds "key\TemplateN]"
// and no ';', from the '[' before it to the next line starting with '['
// (blanks before it allowed). Not found when the search text is longer than
// RegistryScript::MAX_SEARCH_TEXT.
Span ModelLocate(const std::string& text, const std::string& key, int n);
// What ScanTemplateNumbers answers for the section prefix: bit N set for
// each line without ';' that holds the prefix (in any case) followed by the
// number N (one or two digits, at most 15).
int ModelScan(const std::string& text, const std::string& prefix);
// The value line as written, with its CR LF; empty when it is not written.
std::string ModelValueLine(const std::string& name, DWORD type, const std::string& data,
                           DWORD size);
// The file after WriteValue, or the file unchanged when the write is refused.
std::string ModelWrite(const std::string& text, const Span& span, const std::string& name,
                       const std::string& line);
// The four bytes of a DWORD as they lie in memory.
std::string AsBytes(DWORD value);
