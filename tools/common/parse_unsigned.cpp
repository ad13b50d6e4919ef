#include "tools/common/parse_unsigned.h"

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

}  // namespace vttools
