// The compiler's reading position in a script's tokens, and the constant
// expressions that statements take.
#include "platform/host/windows/resource_compiler/script_cursor.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "platform/host/windows/resource_compiler/script_constants.h"

namespace vtsim::rc {

std::string UpperCase(const std::string& text)
{
    std::string upper;
    for (char c : text) {
        upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    return upper;
}

// ---- Tokens ----

const Token& TokenCursor::Peek(std::size_t ahead) const
{
    std::size_t at = std::min(position_ + ahead, tokens_.size() - 1);
    return tokens_[at];
}

const Token& TokenCursor::Next()
{
    const Token& token = Peek();
    if (position_ < tokens_.size() - 1) {
        ++position_;
    }
    return token;
}

void TokenCursor::Fail(const Token& token, const std::string& message) const
{
    throw ScriptError(token.file, token.line, message);
}

std::string TokenCursor::Describe(const Token& token)
{
    switch (token.kind) {
    case Token::Kind::End:
        return "the end of the script";
    case Token::Kind::String:
        return "\"" + token.text + "\"";
    default:
        return "'" + token.text + "'";
    }
}

bool TokenCursor::IsPunct(const Token& token, const char* mark) const
{
    return token.kind == Token::Kind::Punct && token.text == mark;
}

bool TokenCursor::IsWord(const Token& token, const char* word) const
{
    return token.kind == Token::Kind::Word && UpperCase(token.text) == word;
}

void TokenCursor::Expect(const char* mark)
{
    const Token& token = Next();
    if (!IsPunct(token, mark)) {
        Fail(token, std::string("'") + mark + "' expected, found " + Describe(token));
    }
}

bool TokenCursor::Accept(const char* mark)
{
    if (IsPunct(Peek(), mark)) {
        Next();
        return true;
    }
    return false;
}

const Token& TokenCursor::String()
{
    const Token& token = Next();
    if (token.kind != Token::Kind::String) {
        Fail(token, "a \"text\" is expected, found " + Describe(token));
    }
    return token;
}

// ---- Expressions ----

long long TokenCursor::Expression(long long base)
{
    long long value = base;
    do {
        if (IsWord(Peek(), "NOT")) {
            Next();
            value &= ~Unary();
        } else {
            value |= Sum();
        }
    } while (Accept("|"));
    return value;
}

long long TokenCursor::Sum()
{
    long long value = Unary();
    for (;;) {
        if (Accept("+")) {
            value += Unary();
        } else if (Accept("-")) {
            value -= Unary();
        } else {
            return value;
        }
    }
}

long long TokenCursor::Unary()
{
    const Token& token = Next();
    if (IsPunct(token, "-")) {
        return -Unary();
    }
    if (IsPunct(token, "~")) {
        return ~Unary();
    }
    if (IsPunct(token, "(")) {
        long long value = Expression();
        Expect(")");
        return value;
    }
    if (token.kind == Token::Kind::Number) {
        return token.number;
    }
    if (token.kind == Token::Kind::Word) {
        long long value = 0;
        if (LookUpConstant(token.text, &value)) {
            return value;
        }
        Fail(token, "unknown name '" + token.text + "'");
    }
    Fail(token, "a number is expected, found " + Describe(token));
}

std::int16_t TokenCursor::Coordinate()
{
    const Token& at = Peek();
    long long value = Expression();
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max()) {
        Fail(at, "the value " + std::to_string(value) + " does not fit in 16 bits");
    }
    return static_cast<std::int16_t>(value);
}

std::uint32_t TokenCursor::Dword(long long base)
{
    const Token& at = Peek();
    long long value = Expression(base);
    if (value < std::numeric_limits<std::int32_t>::min() || value > 0xFFFFFFFFLL) {
        Fail(at, "the value " + std::to_string(value) + " does not fit in 32 bits");
    }
    return static_cast<std::uint32_t>(value);
}

}  // namespace vtsim::rc
