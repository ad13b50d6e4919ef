// Command lines of the tools' shells and scripts, split into words.
#pragma once

#include <string>
#include <vector>

namespace vttools {

// Splits a command line into words: blanks separate, "..." and '...' quote,
// a word starting with # begins a comment. False with a message on an
// unterminated quote.
bool SplitCommandLine(const std::string& line, std::vector<std::string>* words, std::string* error);

}  // namespace vttools
