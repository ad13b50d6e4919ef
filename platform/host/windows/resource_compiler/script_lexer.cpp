// The script's text turned into tokens: comments blanked out, then each
// line split into words, numbers, string literals and punctuation marks.
#include "platform/host/windows/resource_compiler/script_lexer.h"

#include <cctype>

namespace vtsim::rc {
namespace {

long long NumberValue(const std::string& text, const std::string& file, int line)
{
    std::string digits = text;
    while (!digits.empty() && (digits.back() == 'L' || digits.back() == 'l' ||
                               digits.back() == 'U' || digits.back() == 'u')) {
        digits.pop_back();
    }
    int base = 10;
    std::size_t start = 0;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        base = 16;
        start = 2;
    }
    if (start >= digits.size()) {
        throw ScriptError(file, line, "bad number " + text);
    }
    long long value = 0;
    for (std::size_t i = start; i < digits.size(); ++i) {
        int digit = std::isdigit(static_cast<unsigned char>(digits[i])) != 0
                        ? digits[i] - '0'
                        : (base == 16 && std::isxdigit(static_cast<unsigned char>(digits[i])) != 0
                               ? std::tolower(static_cast<unsigned char>(digits[i])) - 'a' + 10
                               : -1);
        if (digit < 0) {
            throw ScriptError(file, line, "bad number " + text);
        }
        value = value * base + digit;
        if (value > 0xFFFFFFFFLL) {
            throw ScriptError(file, line, "number too large: " + text);
        }
    }
    return value;
}

// A "..." literal from *at (its opening quote); "" and \" stand for a
// quote, \\ \n \t \r \a \0 and \xHH for their characters.
std::string StringLiteral(const std::string& text, std::size_t* at, const std::string& file,
                          int line)
{
    std::string value;
    std::size_t i = *at + 1;
    for (;;) {
        if (i >= text.size()) {
            throw ScriptError(file, line, "unterminated string");
        }
        char c = text[i];
        if (c == '"') {
            if (i + 1 < text.size() && text[i + 1] == '"') {
                value.push_back('"');
                i += 2;
                continue;
            }
            *at = i + 1;
            return value;
        }
        if (c == '\\' && i + 1 < text.size()) {
            char e = text[i + 1];
            i += 2;
            switch (e) {
            case 'n':
                value.push_back('\n');
                break;
            case 't':
                value.push_back('\t');
                break;
            case 'r':
                value.push_back('\r');
                break;
            case 'a':
                value.push_back('\a');
                break;
            case '0':
                value.push_back('\0');
                break;
            case 'x': {
                int code = 0;
                int digits = 0;
                while (digits < 2 && i < text.size() &&
                       std::isxdigit(static_cast<unsigned char>(text[i])) != 0) {
                    code = code * 16 + std::stoi(std::string(1, text[i]), nullptr, 16);
                    ++i;
                    ++digits;
                }
                value.push_back(static_cast<char>(code));
                break;
            }
            default:
                value.push_back(e);
                break;
            }
            continue;
        }
        value.push_back(c);
        ++i;
    }
}

}  // namespace

bool IsWordStart(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_';
}
bool IsWordChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

std::string WithoutComments(const std::string& text, const std::string& file)
{
    std::string out;
    out.reserve(text.size());
    int line = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            out.push_back(c);
            for (++i; i < text.size() && text[i] != '\n'; ++i) {
                out.push_back(text[i]);
                if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] != '\n') {
                    out.push_back(text[++i]);
                } else if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        out.push_back(text[++i]);  // "" stands for a quote
                    } else {
                        break;
                    }
                }
            }
            if (i < text.size() && text[i] == '\n') {
                out.push_back('\n');
                ++line;
            }
            continue;
        }
        if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
            while (i < text.size() && text[i] != '\n') {
                ++i;
            }
            if (i < text.size()) {
                out.push_back('\n');
                ++line;
            }
            continue;
        }
        if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
            int startLine = line;
            i += 2;
            while (i + 1 < text.size() && !(text[i] == '*' && text[i + 1] == '/')) {
                if (text[i] == '\n') {
                    out.push_back('\n');
                    ++line;
                }
                ++i;
            }
            if (i + 1 >= text.size()) {
                throw ScriptError(file, startLine, "unterminated comment");
            }
            ++i;
            out.push_back(' ');
            continue;
        }
        if (c == '\n') {
            ++line;
        }
        out.push_back(c);
    }
    return out;
}

void LexLine(const std::string& text, const std::string& file, int line, std::vector<Token>* out)
{
    std::size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++i;
            continue;
        }
        Token token;
        token.file = file;
        token.line = line;
        if ((c == 'L' || c == 'l') && i + 1 < text.size() && text[i + 1] == '"') {
            ++i;
            c = '"';
        }
        if (c == '"') {
            token.kind = Token::Kind::String;
            token.text = StringLiteral(text, &i, file, line);
        } else if (IsWordStart(c)) {
            token.kind = Token::Kind::Word;
            std::size_t end = i;
            while (end < text.size() && IsWordChar(text[end])) {
                ++end;
            }
            token.text = text.substr(i, end - i);
            i = end;
        } else if (std::isdigit(static_cast<unsigned char>(c)) != 0) {
            token.kind = Token::Kind::Number;
            std::size_t end = i;
            while (end < text.size() && IsWordChar(text[end])) {
                ++end;
            }
            token.text = text.substr(i, end - i);
            token.number = NumberValue(token.text, file, line);
            i = end;
        } else if (std::string(",|()+-~{}!&*/;=").find(c) != std::string::npos) {
            token.kind = Token::Kind::Punct;
            token.text = std::string(1, c);
            ++i;
        } else {
            throw ScriptError(file, line, std::string("unexpected character '") + c + "'");
        }
        out->push_back(std::move(token));
    }
}

}  // namespace vtsim::rc
