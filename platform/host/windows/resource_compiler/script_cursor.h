// Internal (resource compiler): the compiler's reading position in a script's
// tokens, and the constant expressions that statements take (numbers,
// names of the platform's constants, | + - ~ NOT and parentheses).
#pragma once

#include "platform/host/internal_header.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/host/windows/resource_compiler/script_tokens.h"

namespace vtsim::rc {

// text in upper case (ASCII letters only).
std::string UpperCase(const std::string& text);

// Every failure throws ScriptError naming the token it happened at.
class TokenCursor {
public:
    // tokens ends with an End token.
    explicit TokenCursor(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

    // The token `ahead` places on (the End token at most).
    const Token& Peek(std::size_t ahead = 0) const;
    // The current token, moving on (never beyond End).
    const Token& Next();
    [[noreturn]] void Fail(const Token& token, const std::string& message) const;
    // A token as error messages quote it.
    static std::string Describe(const Token& token);
    bool IsPunct(const Token& token, const char* mark) const;
    // A word, without regard to case.
    bool IsWord(const Token& token, const char* word) const;
    // Takes the punctuation mark, or fails.
    void Expect(const char* mark);
    // Takes the punctuation mark when it comes next.
    bool Accept(const char* mark);
    // Takes a "text" token, or fails.
    const Token& String();

    // term ('|' term)*, where a term is NOT unary (clears bits) or a sum;
    // the value starts from base.
    long long Expression(long long base = 0);
    // An expression that fits in 16 bits (signed), or 32 bits.
    std::int16_t Coordinate();
    std::uint32_t Dword(long long base = 0);

private:
    long long Sum();
    long long Unary();

    std::vector<Token> tokens_;
    std::size_t position_ = 0;
};

}  // namespace vtsim::rc
