#include "tools/common/numbers.h"

#include <cstdio>

namespace vttools {

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
