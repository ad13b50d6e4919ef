// Internal (resource compiler): the lexical part of reading a script.
#pragma once

#include "platform/host/internal_header.h"

#include <string>
#include <vector>

#include "platform/host/windows/resource_compiler/script_tokens.h"

namespace vtsim::rc {

// Characters that start and continue a word (a name or keyword).
bool IsWordStart(char c);
bool IsWordChar(char c);
// The text with comments (// and /* */) replaced by blanks (newlines kept,
// so that line numbers stay), string literals left alone. Throws
// ScriptError for a comment that does not end.
std::string WithoutComments(const std::string& text, const std::string& file);
// Appends the tokens of one line of text (words, numbers with their value,
// string literals with escapes resolved, punctuation marks), each with its
// file and line. Throws ScriptError for what is none of them.
void LexLine(const std::string& text, const std::string& file, int line, std::vector<Token>* out);

}  // namespace vtsim::rc
