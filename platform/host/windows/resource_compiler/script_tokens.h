// Internal (resource compiler): a resource script read into tokens, with
// the preprocessing a resource compiler does first: #include, #define,
// #undef, #ifdef / #ifndef / #if 0 / #if 1 / #else / #endif, #pragma
// (ignored), comments, and macro expansion of object-like macros.
#pragma once

#include "platform/host/internal_header.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace vtsim::rc {

// A fault in a script: where, and what. what() is "file:line: message".
class ScriptError : public std::runtime_error {
public:
    ScriptError(const std::string& file, int line, const std::string& message)
        : std::runtime_error(file + ":" + std::to_string(line) + ": " + message)
    {}
};

struct Token {
    enum class Kind { Word, Number, String, Punct, End };
    Kind kind = Kind::End;
    std::string text;      // a word, a punctuation mark, or a string's content (UTF-8)
    long long number = 0;  // a number's value
    std::string file;
    int line = 0;
};

// The system headers a script may include for the platform's names: they
// are known without being read.
bool IsSystemHeader(const std::string& name);

struct TokenStream {
    std::vector<Token> tokens;       // ends with an End token
    std::vector<std::string> files;  // every file read (the script and its includes)
};

// Reads and preprocesses the script at path; #include "x" is looked up
// beside the including file, then in includeDirs. Throws ScriptError.
TokenStream ReadScript(const std::string& path, const std::vector<std::string>& includeDirs);

}  // namespace vtsim::rc
