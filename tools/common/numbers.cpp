#include "tools/common/numbers.h"

#include <cstdio>

namespace vttools {

bool ParseUnsigned(const std::string& text, std::uint64_t max, std::uint64_t* value)
{
    unsigned base = 10;
    std::size_t pos = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        pos = 2;
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'b' || text[1] == 'B')) {
        base = 2;
        pos = 2;
    }
    if (pos >= text.size()) {
        return false;
    }
    std::uint64_t result = 0;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        unsigned digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return false;
        }
        if (digit >= base) {
            return false;
        }
        if (digit > max || result > (max - digit) / base) {
            return false;  // would exceed max (and so never overflows)
        }
        result = result * base + digit;
    }
    *value = result;
    return true;
}

CLI::Validator NumberUpTo(std::uint64_t max)
{
    return CLI::Validator(
        [max](std::string& text) -> std::string {
            std::uint64_t value;
            if (ParseUnsigned(text, max, &value)) {
                return {};
            }
            return "'" + text + "' is not a number from 0 to " + std::to_string(max) +
                   " (decimal, 0x hex or 0b binary)";
        },
        "");
}

CLI::Validator OneOf(std::vector<std::string> words)
{
    return CLI::Validator(
        [words](std::string& text) -> std::string {
            std::string list;
            for (const std::string& word : words) {
                if (text == word) {
                    return {};
                }
                list += (list.empty() ? "" : ", ") + word;
            }
            return "'" + text + "' is not one of " + list;
        },
        "");
}

std::uint64_t NumberOf(const std::string& text)
{
    std::uint64_t value = 0;
    ParseUnsigned(text, UINT64_MAX, &value);
    return value;
}

std::string Hex(std::uint64_t value, int digits)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%0*llx", digits, static_cast<unsigned long long>(value));
    return text;
}

std::string HexBytes(const std::uint8_t* bytes, std::size_t count, const char* separator)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text += (i != 0 ? separator : "") + Hex(bytes[i], 2);
    }
    return text;
}

}  // namespace vttools
